#include "gui/WindowNotifier.h"

#include "gui/JobMessages.h"
#include "gui/StatusTexts.h"

void SendEndNotices(HWND window, const char* detail, bool failed)
{
    SendStatus(window, STATUS_FINISHED, detail);
    SendMessageA(window, WM_ANALYZE_END, failed ? 1 : 0, 0);
}

CString DescribeFailures(const AnalysisSummary& summary)
{
    CString detail;
    if (summary.noTargetList) {
        detail = STATUS_NO_TARGETS;
    } else if (summary.logFailed) {
        detail = STATUS_LOG_FAILED;
    } else if (summary.readFailures > 0) {
        detail.Format(STATUS_UNREADABLE_FORMAT, static_cast<long long>(summary.readFailures));
    }
    return detail;
}

void WindowNotifier::OnFileBegin(const char* displayName)
{
    SendStatus(m_window, STATUS_ANALYZING, displayName);
}

void WindowNotifier::OnReadFailure(const char*, const Failure&) {}

void WindowNotifier::OnLogFailure(const char*, const Failure&) {}

void WindowNotifier::OnFewerThreads(int started, int requested)
{
    // Told at the end: each file's status line would cover it at once.
    m_threadsStarted = started;
    m_threadsRequested = requested;
}

void WindowNotifier::OnEnd(const AnalysisSummary& summary)
{
    if (!summary.logPath.IsEmpty() && m_openLog != nullptr) {
        m_openLog(summary.logPath);
    }
    m_ended = true;
    CString detail = DescribeFailures(summary);
    bool failed = !detail.IsEmpty();
    if (!failed && m_threadsRequested > 0) {
        // Not a failure: every file was scanned, only more slowly.
        detail.Format(STATUS_FEWER_THREADS_FORMAT, m_threadsRequested, m_threadsStarted);
    }
    SendEndNotices(m_window, detail, failed);
}
