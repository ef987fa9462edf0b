#include "tests/support/NoticeRecorder.h"

#include "job/JobMessages.h"

namespace {

const char kClassName[] = "TolvekTestNoticeRecorder";

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
