#pragma once

#include "platform/CString.h"

#include <windows.h>

// A window handle with thin wrappers over the window functions that the dialogs use. It owns
// nothing: whoever created the window destroys it.
class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND window) : m_hWnd(window) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND window) { m_hWnd = window; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
    }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // Each of these skips a control that does not exist.
    void SetDlgItemText(int id, const char* text) const;
    void EnableDlgItem(int id, bool enable) const;

    CString GetWindowText() const;
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    HMENU GetSystemMenu(bool revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, bool big) const
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(icon)));
    }
    bool SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags) != FALSE;
    }
    RECT GetClientRect() const;

    HWND m_hWnd = nullptr;
};

// The text of any window, in the code page.
CString GetWindowTextOf(HWND window);
