#include "engine/Analyze.h"

#include "engine/Analysis.h"
#include "engine/FolderWalk.h"
#include "engine/ParallelScan.h"
#include "engine/SortedWalk.h"
#include "engine/TargetList.h"
#include "platform/Path.h"

#include <memory>

namespace {

void EndWithReadFailure(const char* path, const Failure& failure, AnalysisEvents& events)
{
    AnalysisSummary summary;
    summary.readFailures = 1;
    events.OnReadFailure(path, failure);
    events.OnEnd(summary);
}

bool EndWithoutTargetList(const AnalysisOptions& options, AnalysisEvents& events)
{
    if (TargetListHasExtension(options.targetList)) {
        return false;
    }
    AnalysisSummary summary;
    summary.noTargetList = true;
    events.OnEnd(summary);
    return true;
}

// The walk's items, one after another on this thread.
void ScanInTurn(WalkSource& walk, Analysis& analysis)
{
    WalkItem item;
    while (analysis.CanGoOn() && walk.Next(item)) {
        if (item.failed) {
            analysis.ReadFailed(item.path, item.failure);
        } else {
            analysis.ScanFile(item.path, item.displayName, item.Place());
        }
    }
}

}  // namespace

void AnalyzeFolder(const char* folderPath, const AnalysisOptions& options, AnalysisEvents& events)
{
    if (EndWithoutTargetList(options, events)) {
        return;
    }
    CString folder;
    if (!MakeAbsolutePath(folderPath, folder) || !SetCurrentDir(folder)) {
        EndWithReadFailure(folderPath, LastSystemFailure(), events);
        return;
    }
    Analysis analysis(JoinPath(folder, kLogFileName), options, events);
    FolderWalk folderWalk(folder, options);
    std::unique_ptr<SortedWalk> sortedWalk;
    if (options.sorted) {
        sortedWalk.reset(new SortedWalk(folderWalk));
    }
    WalkSource& walk = sortedWalk != nullptr ? static_cast<WalkSource&>(*sortedWalk) : folderWalk;
    int threads = ScanThreads(options.threads);
    if (threads > 1) {
        ScanInParallel(walk, analysis, threads);
    } else {
        ScanInTurn(walk, analysis);
    }
    analysis.End();
}

void AnalyzeFile(const char* filePath, const AnalysisOptions& options, AnalysisEvents& events)
{
    if (EndWithoutTargetList(options, events)) {
        return;
    }
    CString file;
    if (!MakeAbsolutePath(filePath, file)) {
        EndWithReadFailure(filePath, LastSystemFailure(), events);
        return;
    }
    PathParts parts;
    SplitPath(file, parts);
    CString logPath = parts.drive;
    logPath += JoinPath(parts.dir, kLogFileName);
    Analysis analysis(logPath, options, events);
    if (IsTarget(options.targetList, file)) {
        CString displayName = parts.name;
        displayName += parts.ext;
        analysis.ScanFile(file, displayName);
    } else {
        analysis.Summary().notTarget = true;
    }
    analysis.End();
}
