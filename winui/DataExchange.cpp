#include "winui/DataExchange.h"

#include "winui/Dialog.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hWndLastControl = m_dialog.GetDlgItem(id);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    m_bFailed = true;
    if (m_hWndLastControl != nullptr) {
        SetFocus(m_hWndLastControl);
        SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    MessageBeep(MB_ICONEXCLAMATION);
}

namespace {

// The control `id` to exchange with; null once an exchange has failed, or when there is none.
HWND ExchangedControl(CDataExchange* pDX, int id)
{
    return pDX->m_bFailed ? nullptr : pDX->PrepareCtrl(id);
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (pDX->m_bFailed) {
        return;
    }
    // Every run of the dialog has new controls.
    control.Attach(pDX->PrepareCtrl(id));
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND combo = ExchangedControl(pDX, id);
    if (combo == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    } else {
        // An index that names no item leaves no selection.
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND button = ExchangedControl(pDX, id);
    if (button == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        SendMessageA(button, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND control = ExchangedControl(pDX, id);
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = GetWindowTextOf(control);
    } else {
        SetWindowTextA(control, value);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxBytes)
{
    if (pDX->m_bFailed) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > maxBytes) {
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl != nullptr) {
        SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
        pDX->m_dialog.LimitEditBytes(pDX->m_hWndLastControl, maxBytes);
    }
}
