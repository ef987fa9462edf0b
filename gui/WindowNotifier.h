#pragma once

#include "engine/AnalysisEvents.h"
#include "platform/CString.h"
#include "platform/Shell.h"
#include <windows.h>

// Turns a job's events into the window's notices (Windows): the name of each file before it is
// read, and at the end the log opened in the shell when a line held the delimiter, the closing
// status (its second line says what failed, or else that fewer threads ran) and WM_ANALYZE_END.
// Runs on the job's worker; the window's thread shows the texts.
class WindowNotifier : public AnalysisEvents {
public:
    WindowNotifier(HWND window, OpenFileAction openLog) : m_window(window), m_openLog(openLog) {}

    void OnFileBegin(const char* displayName) override;
    void OnReadFailure(const char* path, const Failure& failure) override;
    void OnLogFailure(const char* path, const Failure& failure) override;
    void OnFewerThreads(int started, int requested) override;
    void OnEnd(const AnalysisSummary& summary) override;

    bool Ended() const { return m_ended; }

private:
    HWND m_window;
    OpenFileAction m_openLog;
    bool m_ended = false;
    int m_threadsStarted = 0;
    int m_threadsRequested = 0;  // 0 unless fewer threads started than asked for
};

// The closing status with `detail` as its second line, and WM_ANALYZE_END telling whether the job
// failed: what every job sends last.
void SendEndNotices(HWND window, const char* detail = "", bool failed = false);

// The closing status's second line for a job that ended so: what failed, or "".
CString DescribeFailures(const AnalysisSummary& summary);
