// How messages reach a dialog's handlers: the message map, the results that handlers give the
// sender, and the system's dialog processing through Default and for what no handler takes.
#include "winui/Dialog.h"

#include "tests/support/ModalScript.h"
#include "tests/winui/TestDialogs.h"
#include "tests/winui/TestResources.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>

namespace {

class DispatchTest : public testing::Test {
protected:
    HWND Dialog() const { return m_dlg.m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(Dialog(), id); }

    LRESULT SendCommand(int id, WORD code) const
    {
        return SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(Item(id)));
    }
    LRESULT SendNotify(int id, UINT code) const
    {
        NMHDR header = {Item(id), static_cast<UINT_PTR>(id), code};
        return SendMessageA(Dialog(), WM_NOTIFY, static_cast<WPARAM>(id),
                            reinterpret_cast<LPARAM>(&header));
    }
    INT_PTR CancelAndRun()
    {
        m_script.Then([this] { PostClick(Dialog(), IDCANCEL); });
        return m_script.Run(m_dlg);
    }

    CProbeDlg m_dlg;
    ModalScript m_script;
};

}  // namespace

TEST_F(DispatchTest, ClickEntryRunsForTheClickAloneNotForOtherNoticesOfItsControl)
{
    int appliedByOthers = -1;
    int appliedByClick = -1;
    m_script.Then([&] {
        SendCommand(IDC_APPLY, BN_SETFOCUS);
        SendCommand(IDC_APPLY, BN_KILLFOCUS);
        SendCommand(IDC_APPLY, EN_CHANGE);
        // OK's own entry is a click entry too: were it taken, the dialog would end with IDOK.
        SendCommand(IDOK, BN_SETFOCUS);
        appliedByOthers = m_dlg.m_nApplied;
        SendCommand(IDC_APPLY, BN_CLICKED);
        appliedByClick = m_dlg.m_nApplied;
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_EQ(appliedByOthers, 0);
    EXPECT_EQ(appliedByClick, 1);
}

TEST_F(DispatchTest, NotifyEntryRunsForItsControlAndCodeAndItsResultReachesTheSender)
{
    LRESULT handled = 0;
    LRESULT otherCode = -1;
    LRESULT otherControl = -1;
    m_script.Then([&] {
        otherCode = SendNotify(IDC_FIRST, NM_CLICK);
        otherControl = SendNotify(IDC_SECOND, NM_RETURN);
        handled = SendNotify(IDC_FIRST, NM_RETURN);
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_EQ(m_dlg.m_nReturns, 1);
    EXPECT_EQ(handled, CProbeDlg::kNotifyResult);
    EXPECT_EQ(otherCode, 0);
    EXPECT_EQ(otherControl, 0);
}

TEST_F(DispatchTest, DefaultGivesTheHandlerTheSystemsResult)
{
    LRESULT sent = -1;
    m_script.Then([&] {
        RECT client = {};
        GetClientRect(Dialog(), &client);
        POINT centre = {client.right / 2, client.bottom / 2};
        ClientToScreen(Dialog(), &centre);
        sent = SendMessageA(Dialog(), WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_EQ(m_dlg.m_hitTest, HTCLIENT);
    EXPECT_EQ(sent, HTCLIENT);
}

TEST_F(DispatchTest, HandlerThatCallsDefaultGoesOnAfterTheSystemsProcessing)
{
    std::string caption;
    std::string textAfter;
    m_script.Then([&] {
        // WM_GETTEXT has no handler: the system's processing answers it.
        caption = GetWindowTextOf(Dialog()).GetString();
        SetWindowTextA(Dialog(), "表示済み");
        textAfter = GetWindowTextOf(Dialog()).GetString();
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_EQ(caption, "ソース表示");
    EXPECT_STREQ(m_dlg.m_strTextBefore, "ソース表示");
    EXPECT_STREQ(m_dlg.m_strTextAfter, "表示済み");
    EXPECT_EQ(m_dlg.m_setTextResult, TRUE);
    EXPECT_EQ(textAfter, "表示済み");
}

TEST_F(DispatchTest, MapHandlerThatCallsDefaultFindsItsWorkDone)
{
    m_script.Then([&] {
        InvalidateRect(Dialog(), nullptr, TRUE);
        UpdateWindow(Dialog());
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_GE(m_dlg.m_nPaints, 1);
    // The system's painting validated the window before the handler went on.
    EXPECT_FALSE(m_dlg.m_bUpdateAfterDefault);
}

TEST_F(DispatchTest, KeysWithoutHandlerGetTheDialogsProcessing)
{
    int focusAfterTab = 0;
    int appliedByEnter = -1;
    bool openAfterEnter = false;
    m_script.Then([&] {
        SetFocus(Item(IDC_FIRST));
        PostKey(GetFocus(), VK_TAB);
    });
    m_script.Then([&] {
        focusAfterTab = GetDlgCtrlID(GetFocus());
        PostKey(GetFocus(), VK_RETURN);
    });
    m_script.Then([&] {
        // Enter presses the default button, which is not OK here.
        appliedByEnter = m_dlg.m_nApplied;
        openAfterEnter = IsWindowVisible(Dialog()) != FALSE;
    });
    EXPECT_EQ(CancelAndRun(), IDCANCEL);
    EXPECT_EQ(focusAfterTab, IDC_SECOND);
    EXPECT_EQ(appliedByEnter, 1);
    EXPECT_TRUE(openAfterEnter);
}
