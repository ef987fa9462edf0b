#include "winui/Wnd.h"

#include <vector>

void CWnd::SetDlgItemText(int id, const char* text) const
{
    HWND control = GetDlgItem(id);
    if (control != nullptr) {
        ::SetWindowTextA(control, text != nullptr ? text : "");
    }
}

void CWnd::EnableDlgItem(int id, bool enable) const
{
    HWND control = GetDlgItem(id);
    if (control != nullptr) {
        EnableWindow(control, enable ? TRUE : FALSE);
    }
}

CString CWnd::GetWindowText() const { return GetWindowTextOf(m_hWnd); }

RECT CWnd::GetClientRect() const
{
    RECT rect = {};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

CString GetWindowTextOf(HWND window)
{
    int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return CString();
    }
    // The length may be an overestimate (double-byte text); the copy tells the real one.
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return CString(buffer.data(), copied > 0 ? copied : 0);
}
