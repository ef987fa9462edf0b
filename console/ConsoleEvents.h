#pragma once

#include "engine/AnalysisEvents.h"

// How the `tolvek` command shows a job: the job's status lines on standard error, and at the end
// the log's path on standard output, or the log handed to the desktop with --open.
class ConsoleEvents : public AnalysisEvents {
public:
    explicit ConsoleEvents(bool openLog) : m_openLog(openLog) {}

    void OnFileBegin(const char* displayName) override;
    void OnReadFailure(const char* path, const Failure& failure) override;
    void OnLogFailure(const char* path, const Failure& failure) override;
    void OnEnd(const AnalysisSummary& summary) override;

private:
    bool m_openLog;
};
