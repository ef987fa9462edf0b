#pragma once

#include <windows.h>

// The private messages that a job sends to its window (Windows), with SendMessageA: the sender
// waits until the window has handled them, so the texts stay valid meanwhile.

// wParam: the first status line; lParam: the second (NUL-terminated, in the code page).
const UINT WM_ANALYZE_STATUS = WM_APP + 100;
// The job has ended. wParam: 0, or 1 when something failed (its closing status says what);
// lParam 0.
const UINT WM_ANALYZE_END = WM_APP + 101;

// Sends WM_ANALYZE_STATUS with the two lines to `window`.
inline void SendStatus(HWND window, const char* first, const char* second)
{
    SendMessageA(window, WM_ANALYZE_STATUS, reinterpret_cast<WPARAM>(first),
                 reinterpret_cast<LPARAM>(second));
}
