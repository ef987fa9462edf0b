#include "engine/Analyze.h"

#include "engine/ExtractStrings.h"
#include "engine/LogFile.h"
#include "engine/TargetList.h"
#include "platform/Directory.h"
#include "platform/Path.h"

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

// One analysis: the log, the settings of the scanner, and what the front end is told.
class Analysis {
public:
    Analysis(const char* logPath, const AnalysisOptions& options, AnalysisEvents& events)
        : m_log(logPath),
          m_settings(MakeScanSettings(options.delimiter, options.condition)),
          m_events(events)
    {
    }

    void ScanFile(const char* path, const char* displayName)
    {
        m_events.OnFileBegin(displayName);
        FileScan scan;
        m_total += ExtractStrings(m_log, path, displayName, m_settings, scan);
        m_summary.filesRead += scan.read ? 1 : 0;
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

    void End()
    {
        m_summary.recordsWritten = m_summary.logFailed ? 0 : m_log.RecordsTaken();
        if (m_total > 0) {
            m_summary.logPath = m_log.Path();
        }
        m_events.OnEnd(m_summary);
    }

private:
    LogFile m_log;
    ScanSettings m_settings;
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

}  // namespace

void AnalyzeFolder(const char* folderPath, const AnalysisOptions& options, AnalysisEvents& events)
{
    CString folder;
    if (!MakeAbsolutePath(folderPath, folder) || !SetCurrentDir(folder)) {
        EndWithReadFailure(folderPath, LastSystemFailure(), events);
        return;
    }
    Analysis analysis(JoinPath(folder, kLogFileName), options, events);
    DirectoryList entries;
    if (!entries.Open(folder)) {
        analysis.ReadFailed(folder, entries.GetFailure());
    }
    DirEntry entry;
    while (entries.Next(entry)) {
        if ((entry.attributes & kSkippedAttributes) != 0) {
            continue;
        }
        CString fullPath = JoinPath(folder, entry.name);
        if (IsTarget(options.targetList, fullPath)) {
            analysis.ScanFile(fullPath, entry.name);
        }
    }
    analysis.End();
}

void AnalyzeFile(const char* filePath, const AnalysisOptions& options, AnalysisEvents& events)
{
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
    }
    analysis.End();
}
