// The dialogs that the framework's tests run: small, and made to report what reached them.
#pragma once

#include "platform/CString.h"
#include "winui/Dialog.h"

#include <windows.h>

// OK and Cancel only.
class CPlainDlg : public CDialog {
public:
    explicit CPlainDlg(CWnd* parent = nullptr);
};

// Counts what its handlers received, and records what Default gave the handlers that call it.
class CProbeDlg : public CDialog {
public:
    static constexpr LRESULT kNotifyResult = 42;

    CProbeDlg();

    int m_nApplied = 0;   // clicks of IDC_APPLY
    int m_nReturns = 0;   // NM_RETURN notices of IDC_FIRST
    // WM_SETTEXT: the window's text before and after the handler called Default, and its result.
    CString m_strTextBefore;
    CString m_strTextAfter;
    LRESULT m_setTextResult = -1;
    LRESULT m_hitTest = -1;          // WM_NCHITTEST: what Default returned to the handler
    bool m_bUpdateAfterDefault = true;  // WM_PAINT: an update region left after Default
    int m_nPaints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    const MessageMap* GetMessageMap() const override;

private:
    void OnApply();
    void OnReturnFirst(NMHDR* header, LRESULT* result);
    void OnPaint();
    LRESULT OnSetText();
};
