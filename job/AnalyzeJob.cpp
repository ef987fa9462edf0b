#include "job/AnalyzeJob.h"

#include "engine/Analyze.h"
#include "engine/TargetList.h"
#include "platform/Directory.h"
#include "settings/EnvData.h"

int32_t ClassifyPath(const char* path, Failure& why)
{
    if (path == nullptr) {
        why = MakeFailure(FailureKind::NotFound);
        return TARGET_INVALID;
    }
    uint32_t attributes = 0;
    if (!FindPathEntry(path, attributes, why)) {
        return TARGET_NONE;
    }
    if ((attributes & kAttrDevice) != 0) {
        why = MakeFailure(FailureKind::NotRegularFile);
        return TARGET_NONE;
    }
    return (attributes & kAttrDirectory) != 0 ? TARGET_FOLDER : TARGET_FILE;
}

int32_t GetTargetKind(const char* path)
{
    Failure why;
    return ClassifyPath(path, why);
}

AnalysisOptions MakeAnalysisOptions(const CEnvData& settings)
{
    AnalysisOptions options;
    options.delimiter = settings.m_strToken;
    options.condition = settings.m_nStrFlg;
    options.syntax = settings.m_nSyntax;
    options.targetList = NormalizeTargetList(settings.m_strTgtFile);
    options.subFolders = settings.m_bSubFolder;
    return options;
}

void RunAnalysis(int32_t kind, const char* path, const AnalysisOptions& options,
                 AnalysisEvents& events)
{
    if (kind == TARGET_FOLDER) {
        AnalyzeFolder(path, options, events);
    } else if (kind == TARGET_FILE) {
        AnalyzeFile(path, options, events);
    } else {
        events.OnEnd(AnalysisSummary());
    }
}
