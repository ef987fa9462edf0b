#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A message-only window for tests that records the status notices a job sends it and whether
// the job ended. Owned by the creating thread.
class NoticeRecorder {
public:
    NoticeRecorder();
    ~NoticeRecorder();
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;

    HWND Window() const { return m_window; }

    // Handles the messages that workers send, until WM_ANALYZE_END has arrived `jobs` times.
    void RunUntilEnd(int jobs = 1);

    // "first|second" for each WM_ANALYZE_STATUS, and "END" for each WM_ANALYZE_END ("END failed"
    // when it tells of a failure), in order.
    std::vector<std::string> Notices() const;
    int EndCount() const;

    // Records one message; called on the owning thread, while the sender waits.
    void Record(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs for each notice as it is recorded, on the owning thread, while the worker waits.
    std::function<void(const std::string& notice)> m_onNotice;

private:
    HWND m_window = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_notices;
    int m_ends = 0;
};

// Stands in for the shell's "open" of a log: Record notes the path (any thread), Opened tells
// what was noted since the recorder was made.
class OpenRecorder {
public:
    OpenRecorder();
    static bool Record(const char* path);
    std::vector<std::string> Opened() const;
};
