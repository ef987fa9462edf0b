#include "engine/Analyze.h"

#include "engine/ExtractStrings.h"
#include "engine/LogFile.h"
#include "engine/TargetList.h"
#include "job/JobMessages.h"
#include "platform/Directory.h"
#include "platform/Path.h"
#include "platform/Shell.h"
#include "settings/EnvData.h"

namespace {

const uint32_t kSkippedAttributes = kAttrHidden | kAttrSystem | kAttrDirectory | kAttrDevice;

// `folder` and `name` joined by a separator, unless the folder already ends with one.
CString JoinPath(const CString& folder, const char* name)
{
    CString joined = folder;
    if (!EndsWithSeparator(folder)) {
        joined += kPathSeparator;
    }
    joined += name;
    return joined;
}

}  // namespace

void AnalyzeFolder(const char* folderPath, HWND window, const CEnvData& settings)
{
    CString folder;
    if (!MakeAbsolutePath(folderPath, folder) || !SetCurrentDir(folder)) {
        return;
    }
    LogFile log(JoinPath(folder, kLogFileName));
    DirectoryList entries;
    if (!entries.Open(folder)) {
        return;
    }
    int64_t total = 0;
    DirEntry entry;
    while (entries.Next(entry)) {
        if ((entry.attributes & kSkippedAttributes) != 0) {
            continue;
        }
        CString fullPath = JoinPath(folder, entry.name);
        if (IsTarget(settings.m_strTgtFile, fullPath)) {
            SendStatus(window, STATUS_ANALYZING, entry.name);
            total += ExtractStrings(log, fullPath, entry.name, settings);
        }
    }
    if (total > 0) {
        OpenFileInShell(log.Path());
    }
}

void AnalyzeFile(const char* filePath, HWND window, const CEnvData& settings)
{
    CString file;
    if (!MakeAbsolutePath(filePath, file)) {
        return;
    }
    PathParts parts;
    SplitPath(file, parts);
    CString logPath = parts.drive;
    logPath += JoinPath(parts.dir, kLogFileName);
    if (!IsTarget(settings.m_strTgtFile, file)) {
        return;
    }
    CString displayName = parts.name;
    displayName += parts.ext;
    SendStatus(window, STATUS_ANALYZING, displayName);
    if (ExtractStrings(logPath, file, displayName, settings) > 0) {
        OpenFileInShell(logPath);
    }
}
