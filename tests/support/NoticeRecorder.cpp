#include "tests/support/NoticeRecorder.h"

#include "gui/JobMessages.h"

namespace {

const char kClassName[] = "TolvekTestNoticeRecorder";

std::mutex g_openedMutex;
std::vector<std::string> g_opened;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* recorder = reinterpret_cast<NoticeRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (recorder != nullptr && (message == WM_ANALYZE_STATUS || message == WM_ANALYZE_END)) {
        recorder->Record(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

NoticeRecorder::NoticeRecorder()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    m_window = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NoticeRecorder::~NoticeRecorder() { DestroyWindow(m_window); }

void NoticeRecorder::RunUntilEnd(int jobs)
{
    // Sent messages are handled inside GetMessage; a timer keeps it from waiting for ever.
    UINT_PTR timer = SetTimer(nullptr, 0, 50, nullptr);
    MSG message;
    while (EndCount() < jobs && GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, timer);
}

void NoticeRecorder::Record(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::string notice = wParam != 0 ? "END failed" : "END";
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
}

bool OpenRecorder::Record(const char* path)
{
    std::lock_guard<std::mutex> lock(g_openedMutex);
    g_opened.push_back(path);
    return true;
}

std::vector<std::string> OpenRecorder::Opened() const
{
    std::lock_guard<std::mutex> lock(g_openedMutex);
    return g_opened;
}
