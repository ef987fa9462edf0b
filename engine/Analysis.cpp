#include "engine/Analysis.h"

#include "engine/Baseline.h"
#include "engine/CsvFormat.h"
#include "engine/JsonLinesFormat.h"
#include "engine/LogFormat.h"
#include "engine/PrefixedNames.h"
#include "engine/Syntax.h"
#include "platform/Path.h"

namespace {

std::unique_ptr<RecordFormat> MakeWriter(const AnalysisOptions& options)
{
    switch (options.format) {
    case RecordFormatKind::JsonLines:
        return std::unique_ptr<RecordFormat>(new JsonLinesFormat);
    case RecordFormatKind::Csv:
        return std::unique_ptr<RecordFormat>(new CsvFormat(options.syntax == SYNTAX_CPP));
    default:
        return std::unique_ptr<RecordFormat>(new LogFormat(options.lineFeedOnly));
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
    : m_writer(MakeWriter(options)),
      m_format(m_writer.get()),
      m_output(MakeOutput(logPath, options)),
      m_log(*m_output),
      m_settings(MakeScanSettings(options.delimiter, options.condition, options.syntax)),
      m_stop(options.stop),
      m_events(events)
{
    const RecordFormat* format = m_writer.get();
    if (options.baseline != nullptr) {
        m_known.reset(new BaselineFormat(*format, *options.baseline));
        format = m_known.get();
    }
    if (!options.namePrefix.IsEmpty()) {
        m_named.reset(new PrefixedNamesFormat(*format, options.namePrefix));
        format = m_named.get();
    }
    m_format = format;
    m_log.SetPreamble(m_format->Preamble());
    m_log.SetStop(options.stop);
}

bool Analysis::CanGoOn()
{
    if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed)) {
        m_summary.stopped = true;
    }
    return !m_summary.stopped && !m_summary.logFailed;
}

void Analysis::ScanFile(const char* path, const char* displayName, const SourcePlace& place,
                        HeldTextGate* gate)
{
    m_events.OnFileBegin(displayName);
    FileScan scan;
    scan.stop = m_stop;
    scan.place = place;
    scan.gate = gate;
    scan.buffers = &m_buffers;
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
    if (m_log.Failed() && m_log.GetFailure().kind == FailureKind::Stopped) {
        // A stop asked while the log was waited for: the job stops, nothing failed.
        m_summary.stopped = true;
        return;
    }
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
