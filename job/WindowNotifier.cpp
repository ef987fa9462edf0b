#include "job/WindowNotifier.h"

#include "job/JobMessages.h"
#include "job/StatusTexts.h"

void SendEndNotices(HWND window)
{
    SendStatus(window, STATUS_FINISHED, "");
    SendMessageA(window, WM_ANALYZE_END, 0, 0);
}

void WindowNotifier::OnFileBegin(const char* displayName)
{
    SendStatus(m_window, STATUS_ANALYZING, displayName);
}

void WindowNotifier::OnReadFailure(const char*, const Failure&) {}

void WindowNotifier::OnLogFailure(const char*, const Failure&) {}

void WindowNotifier::OnEnd(const AnalysisSummary& summary)
{
    if (!summary.logPath.IsEmpty() && m_openLog != nullptr) {
        m_openLog(summary.logPath);
    }
    m_ended = true;
    SendEndNotices(m_window);
}
