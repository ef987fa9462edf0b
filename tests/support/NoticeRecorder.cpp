#include "tests/support/NoticeRecorder.h"

#include "job/JobMessages.h"
#include "platform/Shell.h"

namespace {

std::mutex g_openedMutex;
std::vector<std::string> g_opened;

void RecordOpen(const char* path)
{
    std::lock_guard<std::mutex> lock(g_openedMutex);
    g_opened.push_back(path);
}

}  // namespace

void NoticeRecorder::Record(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string notice = "END";
    if (message == WM_ANALYZE_STATUS) {
        notice = std::string(reinterpret_cast<const char*>(wParam)) + "|" +
                 reinterpret_cast<const char*>(lParam);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_notices.push_back(notice);
        m_ends += message == WM_ANALYZE_END ? 1 : 0;
    }
    if (m_onNotice) {
        m_onNotice(notice);
    }
}

std::vector<std::string> NoticeRecorder::Notices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notices;
}

int NoticeRecorder::EndCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ends;
}

OpenRecorder::OpenRecorder()
{
    std::lock_guard<std::mutex> lock(g_openedMutex);
    g_opened.clear();
    SetOpenFileAction(RecordOpen);
}

OpenRecorder::~OpenRecorder() { SetOpenFileAction(nullptr); }

std::vector<std::string> OpenRecorder::Opened() const
{
    std::lock_guard<std::mutex> lock(g_openedMutex);
    return g_opened;
}
