#include "engine/Analysis.h"

#include "engine/CsvFormat.h"
#include "engine/JsonLinesFormat.h"
#include "engine/LogFormat.h"
#include "engine/Syntax.h"
#include "platform/Path.h"

namespace {

std::unique_ptr<RecordFormat> MakeFormat(const AnalysisOptions& options)
{
    switch (options.format) {
    case RecordFormatKind::JsonLines:
        return std::unique_ptr<RecordFormat>(new JsonLinesFormat);
    case RecordFormatKind::Csv:
        return std::unique_ptr<RecordFormat>(new CsvFormat(options.syntax == SYNTAX_CPP));
    default:
        return std::unique_ptr<RecordFormat>(new LogFormat);
    }
}

std::unique_ptr<RecordFile> MakeOutput(const char* logPath, const AnalysisOptions& options)
{
    if (options.toStandardOutput) {
        return std::unique_ptr<RecordFile>(new RecordFile(RecordFile::StandardOutput()));
    }
    if (!options.outputPath.IsEmpty()) {
        return std::unique_ptr<RecordFile>(
            new RecordFile(options.outputPath.GetString(), RecordFile::Named()));
    }
    return std::unique_ptr<RecordFile>(new RecordFile(logPath));
}

}  // namespace

Analysis::Analysis(const char* logPath, const AnalysisOptions& options, AnalysisEvents& events)
    : m_format(MakeFormat(options)),
      m_output(MakeOutput(logPath, options)),
      m_log(*m_output),
      m_settings(MakeScanSettings(options.delimiter, options.condition, options.syntax)),
      m_stop(options.stop),
      m_events(events)
{
    m_log.SetPreamble(m_format->Preamble());
}

bool Analysis::CanGoOn()
{
    if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed)) {
        m_summary.stopped = true;
    }
    return !m_summary.stopped && !m_summary.logFailed;
}

void Analysis::ScanFile(const char* path, const char* displayName)
{
    m_events.OnFileBegin(displayName);
    if (IsSamePath(path, m_log.Path())) {
        // The log as a source is read as it stands when its scan begins, with every record of
        // the files before it.
        m_log.Release();
    }
    FileScan scan;
    scan.stop = m_stop;
    int lines = ExtractStrings(m_log, *m_format, path, displayName, m_settings, scan);
    FileScanned(path, scan, lines);
}

void Analysis::FileScanned(const char* path, const FileScan& scan, int delimiterLines)
{
    m_total += delimiterLines;
    m_summary.filesRead += scan.read ? 1 : 0;
    m_summary.stopped = m_summary.stopped || scan.stopped;
    if (scan.readFailure.kind != FailureKind::None) {
        ReadFailed(path, scan.readFailure);
    }
    TellLogFailure();
    m_events.OnProgress(m_summary.filesRead, m_log.RecordsTaken());
}

void Analysis::TellLogFailure()
{
    if (m_log.Failed() && !m_summary.logFailed) {
        m_summary.logFailed = true;
        m_events.OnLogFailure(m_log.Path(), m_log.GetFailure());
    }
}

void Analysis::ReadFailed(const char* path, const Failure& failure)
{
    ++m_summary.readFailures;
    m_events.OnReadFailure(path, failure);
}

void Analysis::End()
{
    m_log.Release();
    TellLogFailure();
    m_summary.recordsWritten = m_log.RecordsWritten();
    if (m_total > 0 && !m_log.IsStandardOutput()) {
        m_summary.logPath = m_log.Path();
    }
    m_events.OnEnd(m_summary);
}
