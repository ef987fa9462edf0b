#pragma once

#include "platform/CString.h"

#include <windows.h>

class CDialog;
class CWnd;

// One run of a dialog's data exchange: either filling the controls from the members, or reading
// the members back from the controls and validating them. After a failure the remaining
// exchange functions do nothing, and the dialog's UpdateData reports false.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_dialog(dialog)
    {
    }

    // The control with `id`, remembered as the one that a following validation is about.
    // Null when the dialog has no such control.
    HWND PrepareCtrl(int id);
    // Marks the exchange as failed and puts the focus (and the selection) on the last control.
    void Fail();

    const bool m_bSaveAndValidate;  // true: controls to members, with validation
    bool m_bFailed = false;
    CDialog& m_dialog;
    HWND m_hWndLastControl = nullptr;
};

// Binds `control` to the dialog's control with `id` (both directions).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// The selected index of a combo box; -1 for no selection.
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// The state of a check box: 0 unchecked, 1 checked.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// The text of a control.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
// At most `maxBytes` bytes in the last exchanged edit control: when filling, the control itself
// is limited to that many bytes; when reading, a longer value fails the validation.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxBytes);
