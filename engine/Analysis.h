#pragma once

#include "engine/AnalysisEvents.h"
#include "engine/AnalysisOptions.h"
#include "engine/ExtractStrings.h"
#include "engine/RecordFile.h"
#include "engine/RecordFormat.h"
#include "engine/ScanBuffers.h"

#include <atomic>
#include <cstdint>
#include <memory>

// One analysis, as the thread that runs it sees it: the log, the settings of the scanner, the
// summary, and what the front end is told, in the order of the files.
class Analysis {
public:
    // The records go to the log at `logPath`, unless the options send them elsewhere.
    Analysis(const char* logPath, const AnalysisOptions& options, AnalysisEvents& events);

    // False once the analysis cannot or must not go on (the log failed, or a stop was asked).
    bool CanGoOn();

    // Tells the front end of the file and scans it into the log here and now; the file opens at
    // `place` when that names a folder, and a long text asks `gate` (when there is one).
    void ScanFile(const char* path, const char* displayName, const SourcePlace& place = SourcePlace(),
                  HeldTextGate* gate = nullptr);

    void ReadFailed(const char* path, const Failure& failure);
    // Counts the scan of the file at `path` done elsewhere, whose records went to the log already,
    // with the lines that held the delimiter (0 when its records were not written).
    void FileScanned(const char* path, const FileScan& scan, int delimiterLines);
    void TellLogFailure();

    // The front end's stop request, which threads of the job's own may watch too (or null).
    const std::atomic<bool>* StopRequest() const { return m_stop; }
    RecordFile& Log() { return m_log; }
    const RecordFormat& Format() const { return *m_format; }
    const ScanSettings& Settings() const { return m_settings; }
    AnalysisEvents& Events() { return m_events; }
    AnalysisSummary& Summary() { return m_summary; }

    // Writes what waits in the log and tells the end.
    void End();

private:
    std::unique_ptr<RecordFormat> m_writer;  // the output format
    std::unique_ptr<RecordFormat> m_known;   // what passes the known texts by, if any
    std::unique_ptr<RecordFormat> m_named;   // what puts the prefix before the names, if any
    const RecordFormat* m_format;            // what the scans write through
    std::unique_ptr<RecordFile> m_output;
    RecordFile& m_log;
    ScanSettings m_settings;
    const std::atomic<bool>* m_stop;
    AnalysisEvents& m_events;
    AnalysisSummary m_summary;
    int64_t m_total = 0;  // lines that held the delimiter, in every file
    ScanBuffers m_buffers;  // of the files that this analysis's own thread scans
};
