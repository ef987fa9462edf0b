#include "engine/Analyze.h"

#include "engine/ExtractStrings.h"
#include "engine/LogFormat.h"
#include "engine/RecordFile.h"
#include "engine/TargetList.h"
#include "platform/Directory.h"
#include "platform/Path.h"

#include <memory>
#include <set>
#include <vector>

namespace {

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

// One analysis: the log, the settings of the scanner, and what the front end is told.
class Analysis {
public:
    Analysis(const char* logPath, const AnalysisOptions& options, AnalysisEvents& events)
        : m_log(logPath),
          m_settings(MakeScanSettings(options.delimiter, options.condition)),
          m_stop(options.stop),
          m_events(events)
    {
    }

    // False once the analysis cannot or must not go on.
    bool CanGoOn()
    {
        if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed)) {
            m_summary.stopped = true;
        }
        return !m_summary.stopped && !m_summary.logFailed;
    }

    void ScanFile(const char* path, const char* displayName)
    {
        m_events.OnFileBegin(displayName);
        FileScan scan;
        scan.stop = m_stop;
        m_total += ExtractStrings(m_log, m_format, path, displayName, m_settings, scan);
        m_summary.filesRead += scan.read ? 1 : 0;
        m_summary.stopped = m_summary.stopped || scan.stopped;
        if (scan.readFailure.kind != FailureKind::None) {
            ReadFailed(path, scan.readFailure);
        }
        if (m_log.Failed() && !m_summary.logFailed) {
            m_summary.logFailed = true;
            m_events.OnLogFailure(m_log.Path(), m_log.GetFailure());
        }
    }

    void ReadFailed(const char* path, const Failure& failure)
    {
        ++m_summary.readFailures;
        m_events.OnReadFailure(path, failure);
    }

    AnalysisSummary& Summary() { return m_summary; }

    void End()
    {
        m_summary.recordsWritten = m_log.RecordsWritten();
        if (m_total > 0) {
            m_summary.logPath = m_log.Path();
        }
        m_events.OnEnd(m_summary);
    }

private:
    RecordFile m_log;
    LogFormat m_format;
    ScanSettings m_settings;
    const std::atomic<bool>* m_stop;
    AnalysisEvents& m_events;
    AnalysisSummary m_summary;
    int64_t m_total = 0;  // lines that held the delimiter, in every file
};

void EndWithReadFailure(const char* path, const Failure& failure, AnalysisEvents& events)
{
    AnalysisSummary summary;
    summary.readFailures = 1;
    events.OnReadFailure(path, failure);
    events.OnEnd(summary);
}

// Files that are not read: hidden and system ones, folders, devices, and links unless they are
// followed.
bool IsSkippedFile(uint32_t attributes, bool followLinks)
{
    const uint32_t kSkipped = kAttrHidden | kAttrSystem | kAttrDirectory | kAttrDevice;
    return (attributes & kSkipped) != 0 || ((attributes & kAttrLink) != 0 && !followLinks);
}

// Folders that are entered: the visible ones, not through a link unless links are followed.
bool IsEnteredFolder(const DirEntry& entry, bool followLinks)
{
    if ((entry.attributes & kAttrDirectory) == 0 ||
        (entry.attributes & (kAttrHidden | kAttrSystem | kAttrDevice)) != 0) {
        return false;
    }
    if ((entry.attributes & kAttrLink) != 0 && !followLinks) {
        return false;
    }
    return entry.name != "." && entry.name != "..";
}

// Goes through a folder and, when asked, its subfolders depth first: one open listing per level,
// so that memory grows with the depth of the tree, not with the number of its files. The records
// of a file in a subfolder name it by its path from the analysed folder.
class FolderWalk {
public:
    FolderWalk(Analysis& analysis, const AnalysisOptions& options)
        : m_analysis(analysis), m_options(options)
    {
    }

    void Walk(const CString& root)
    {
        Enter(root, CString());
        while (!m_levels.empty() && m_analysis.CanGoOn()) {
            Level& level = *m_levels.back();
            DirEntry entry;
            if (!level.entries.Next(entry)) {
                m_levels.pop_back();
                continue;
            }
            CString path = JoinPath(level.path, entry.name);
            CString relative = level.relative.IsEmpty() ? CString(entry.name) : JoinPath(level.relative, entry.name);
            if (IsEnteredFolder(entry, m_options.followLinks)) {
                if (m_options.subFolders) {
                    Enter(path, relative);
                }
            } else if (!IsSkippedFile(entry.attributes, m_options.followLinks) &&
                       IsTarget(m_options.targetList, path)) {
                ScanFile(path, relative);
            }
        }
    }

private:
    struct Level {
        DirectoryList entries;
        CString path;
        CString relative;  // from the analysed folder; empty for the folder itself
    };

    void Enter(const CString& path, const CString& relative)
    {
        if (IsPathTooLong(path)) {
            m_analysis.ReadFailed(path, MakeFailure(FailureKind::NameTooLong));
            return;
        }
        if (m_options.followLinks && !FirstVisit(path)) {
            return;
        }
        std::unique_ptr<Level> level(new Level);
        if (!level->entries.Open(path)) {
            m_analysis.ReadFailed(path, level->entries.GetFailure());
            return;
        }
        level->path = path;
        level->relative = relative;
        m_levels.push_back(std::move(level));
    }

    void ScanFile(const CString& path, const CString& relative)
    {
        if (IsPathTooLong(path)) {
            m_analysis.ReadFailed(path, MakeFailure(FailureKind::NameTooLong));
            return;
        }
        m_analysis.ScanFile(path, relative);
    }

    // With links followed, a folder may be reached again (a link to a folder above it): it is
    // entered once.
    bool FirstVisit(const char* path)
    {
        FolderIdentity identity;
        return !GetFolderIdentity(path, identity) || m_visited.insert(identity).second;
    }

    Analysis& m_analysis;
    const AnalysisOptions& m_options;
    std::vector<std::unique_ptr<Level>> m_levels;
    std::set<FolderIdentity> m_visited;
};

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
    FolderWalk(analysis, options).Walk(folder);
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
