#pragma once

#include "engine/AnalysisEvents.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// How the `tolvek` command shows its jobs on standard error. Failures are always told, one line
// each. Beside them:
// - on a terminal, one line that is redrawn in place: files read, records found, the current
//   file (cut to the terminal's width), erased at the end;
// - with --verbose, a line for each file and one at the end;
// - otherwise (not a terminal, --quiet, --no-progress, TERM=dumb, NO_COLOR) nothing.
// At the end the paths of the logs go to standard output, or the logs to the desktop with --open.
class ConsoleEvents : public AnalysisEvents {
public:
    enum class Show { Nothing, ProgressLine, EveryFile };

    // After InitTerminalEncoding: the texts shown are converted for the terminal once.
    ConsoleEvents(Show show, bool openLog);

    // The path that the next job analyses, as the user named it. A file of a list that is not a
    // target is passed by without a word when `passNonTargets` says so.
    void BeginJob(const char* path, bool passNonTargets);

    void OnFileBegin(const char* displayName) override;
    void OnReadFailure(const char* path, const Failure& failure) override;
    void OnLogFailure(const char* path, const Failure& failure) override;
    void OnProgress(int64_t filesRead, int64_t recordsFound) override;
    void OnFewerThreads(int started, int requested) override;
    void OnEnd(const AnalysisSummary& summary) override;

    // Something of the run's own failed (a list, the output): told, and the run fails.
    void Failed(const char* path, const std::string& reason);

    // After the last job: erases the progress line and, when `nameLogs`, names the logs that took
    // records (`outputName` in place of the file that the records were written to meanwhile,
    // when given), or opens them.
    void Finish(const char* writtenPath, const char* outputName, bool nameLogs);

    // The exit status the run earns: 0 when all it was asked was done, else 1. A run stopped by
    // a signal ends with that signal's status instead (the front end knows which).
    int ExitStatus() const { return m_failed ? 1 : 0; }
    bool Stopped() const { return m_stopped; }
    // The records could not be written: the jobs after it are not run.
    bool OutputFailed() const { return m_outputFailed; }
    int64_t RecordsWritten() const { return m_recordsWritten; }

private:
    void Redraw();
    void EraseLine();

    const char* m_path = "";  // as the user named it
    bool m_passNonTargets = false;
    Show m_show;
    bool m_openLog;
    std::string m_analyzing;  // "Analyzing...", for the terminal
    std::string m_finished;
    const char* m_countsFormat;
    bool m_failed = false;
    bool m_stopped = false;
    bool m_outputFailed = false;
    int64_t m_recordsWritten = 0;
    std::vector<std::string> m_logPaths;  // in the order first written
    // The progress line, over all jobs.
    std::string m_current;  // the name of the file being read, as the system gave it
    int64_t m_filesBefore = 0;
    int64_t m_recordsBefore = 0;
    int64_t m_filesRead = 0;
    int64_t m_recordsFound = 0;
    bool m_lineShown = false;
    std::chrono::steady_clock::time_point m_lastDrawn;
};
