#include "tests/winui/TestDialogs.h"

#include "tests/winui/TestResources.h"

#include <commctrl.h>
#include <iterator>

CPlainDlg::CPlainDlg(CWnd* parent) : CDialog(IDD_PLAIN, parent) {}

CProbeDlg::CProbeDlg() : CDialog(IDD_PROBE) {}

const MessageMap* CProbeDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        MapClicked<&CProbeDlg::OnApply>(IDC_APPLY),
        MapNotify<&CProbeDlg::OnReturnFirst>(IDC_FIRST, NM_RETURN),
        MapPaint<&CProbeDlg::OnPaint>(),
    };
    static const MessageMap map = {GetThisMessageMap(), entries, std::size(entries)};
    return &map;
}

LRESULT CProbeDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        return OnSetText();
    }
    if (message == WM_NCHITTEST) {
        m_hitTest = Default();
        return m_hitTest;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CProbeDlg::OnApply() { ++m_nApplied; }

void CProbeDlg::OnReturnFirst(NMHDR*, LRESULT* result)
{
    ++m_nReturns;
    *result = kNotifyResult;
}

void CProbeDlg::OnPaint()
{
    ++m_nPaints;
    Default();
    m_bUpdateAfterDefault = GetUpdateRect(m_hWnd, nullptr, FALSE) != FALSE;
}

LRESULT CProbeDlg::OnSetText()
{
    m_strTextBefore = GetWindowText();
    m_setTextResult = Default();
    m_strTextAfter = GetWindowText();
    return m_setTextResult;
}
