#pragma once

#include "platform/WinTypes.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A window for tests that records the status notices it receives and whether the job ended.
// Windows: a message-only window; Linux: a message receiver. Owned by the creating thread.
class NoticeRecorder {
public:
    NoticeRecorder();
    ~NoticeRecorder();
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;

    HWND Window() const { return m_window; }

    // Handles the messages that workers send, until WM_ANALYZE_END has arrived `jobs` times.
    void RunUntilEnd(int jobs = 1);

    // "first|second" for each WM_ANALYZE_STATUS, and "END" for each WM_ANALYZE_END, in order.
    std::vector<std::string> Notices() const;
    int EndCount() const;

    // Records one message; called on the owning thread, while the sender waits.
    void Record(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs for each notice as it is recorded, on the owning thread, while the worker waits.
    std::function<void(const std::string& notice)> m_onNotice;

private:
    HWND m_window = nullptr;
    std::shared_ptr<void> m_receiver;  // what m_window points to, where a window is an object
    mutable std::mutex m_mutex;
    std::vector<std::string> m_notices;
    int m_ends = 0;
};

// Replaces the shell's "open" with a recorder for the lifetime of the object.
class OpenRecorder {
public:
    OpenRecorder();
    ~OpenRecorder();
    OpenRecorder(const OpenRecorder&) = delete;
    OpenRecorder& operator=(const OpenRecorder&) = delete;

    std::vector<std::string> Opened() const;
};
