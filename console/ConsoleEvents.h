#pragma once

#include "engine/AnalysisEvents.h"

#include <chrono>
#include <cstdint>
#include <string>

// How the `tolvek` command shows a job on standard error. Failures are always told, one line each.
// Beside them:
// - on a terminal, one line that is redrawn in place: files read, records found, the current
//   file (cut to the terminal's width), erased at the end;
// - with --verbose, a line for each file and one at the end;
// - otherwise (not a terminal, or --quiet) nothing.
// At the end the log's path goes to standard output, or the log to the desktop with --open.
class ConsoleEvents : public AnalysisEvents {
public:
    enum class Show { Nothing, ProgressLine, EveryFile };

    // After InitTerminalEncoding: the texts shown are converted for the terminal once.
    ConsoleEvents(const char* path, Show show, bool openLog);

    void OnFileBegin(const char* displayName) override;
    void OnReadFailure(const char* path, const Failure& failure) override;
    void OnLogFailure(const char* path, const Failure& failure) override;
    void OnProgress(int64_t filesRead, int64_t recordsFound) override;
    void OnEnd(const AnalysisSummary& summary) override;

    // The exit status the job earns: 0 when all it was asked was done, else 1. A job stopped by
    // a signal ends with that signal's status instead (the front end knows which).
    int ExitStatus() const { return m_failed ? 1 : 0; }
    bool Stopped() const { return m_stopped; }
    int64_t RecordsWritten() const { return m_recordsWritten; }

private:
    void Redraw();
    void EraseLine();
    void Failed(const char* path, const std::string& reason);

    const char* m_path;  // as the user named it
    Show m_show;
    bool m_openLog;
    std::string m_analyzing;  // "解析中...", for the terminal
    bool m_failed = false;
    bool m_stopped = false;
    int64_t m_recordsWritten = 0;
    // The progress line.
    std::string m_current;  // the name of the file being read, as the system gave it
    int64_t m_filesRead = 0;
    int64_t m_recordsFound = 0;
    bool m_lineShown = false;
    std::chrono::steady_clock::time_point m_lastDrawn;
};
