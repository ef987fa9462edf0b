#pragma once

#include <windows.h>

// Owns a handle of the system and closes it: a file, a process, a thread or an event. Holds
// null, never INVALID_HANDLE_VALUE, when it owns nothing.
class WinHandle {
public:
    explicit WinHandle(HANDLE handle = nullptr)
        : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle)
    {
    }
    ~WinHandle()
    {
        if (m_handle != nullptr) {
            CloseHandle(m_handle);
        }
    }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;

    bool IsValid() const { return m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};
