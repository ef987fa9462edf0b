#pragma once

#include "engine/AnalysisEvents.h"

// How the `tolvek` command shows a job: the job's status lines and every failure on standard
// error, and at the end the log's path on standard output, or the log handed to the desktop
// with --open.
class ConsoleEvents : public AnalysisEvents {
public:
    ConsoleEvents(const char* path, bool openLog) : m_path(path), m_openLog(openLog) {}

    void OnFileBegin(const char* displayName) override;
    void OnReadFailure(const char* path, const Failure& failure) override;
    void OnLogFailure(const char* path, const Failure& failure) override;
    void OnEnd(const AnalysisSummary& summary) override;

    // The exit status the job earns: 0 when all it was asked was done, else 1. A job stopped by
    // a signal ends with that signal's status instead (the front end knows which).
    int ExitStatus() const { return m_failed ? 1 : 0; }
    bool Stopped() const { return m_stopped; }

private:
    const char* m_path;  // as the user named it
    bool m_openLog;
    bool m_failed = false;
    bool m_stopped = false;
};
