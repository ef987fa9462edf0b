// Modal dialogs: the modal loop, owners and their activation, the exception wall.
#include "winui/Dialog.h"

#include "tests/support/ModalScript.h"
#include "tests/winui/TestDialogs.h"
#include "tests/winui/TestResources.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class DialogTest : public testing::Test {
protected:
    ~DialogTest() override { AfxSetMainWnd(nullptr); }

    CPlainDlg m_main;
    ModalScript m_script;
};

}  // namespace

TEST_F(DialogTest, DialogWithoutParentIsOwnedByTheMainWindowWhichIsDisabledMeanwhile)
{
    AfxSetMainWnd(&m_main);
    CPlainDlg nested;
    INT_PTR nestedResult = 0;
    HWND owner = nullptr;
    HWND mainWindow = nullptr;
    bool mainEnabledMeanwhile = true;
    m_script.Then([&] { nestedResult = nested.DoModal(); });
    m_script.Then([&] {
        owner = GetWindow(nested.m_hWnd, GW_OWNER);
        mainWindow = m_main.m_hWnd;
        mainEnabledMeanwhile = IsWindowEnabled(m_main.m_hWnd) != FALSE;
        PostClick(nested.m_hWnd, IDOK);
    });
    bool mainEnabledAfter = false;
    m_script.Then([&] {
        mainEnabledAfter = IsWindowEnabled(m_main.m_hWnd) != FALSE;
        PostClick(m_main.m_hWnd, IDOK);
    });
    EXPECT_EQ(m_script.Run(m_main), IDOK);
    EXPECT_EQ(nestedResult, IDOK);
    EXPECT_NE(owner, nullptr);
    EXPECT_EQ(owner, mainWindow);
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_TRUE(mainEnabledAfter);
}

TEST_F(DialogTest, OwnerIsActiveAgainAfterANestedDialogEnds)
{
    AfxSetMainWnd(&m_main);
    CPlainDlg nested;
    HWND activeMeanwhile = nullptr;
    m_script.Then([&] { nested.DoModal(); });
    m_script.Then([&] {
        activeMeanwhile = GetActiveWindow();
        PostClick(nested.m_hWnd, IDCANCEL);
    });
    HWND activeAfter = nullptr;
    HWND foregroundAfter = nullptr;
    HWND mainWindow = nullptr;
    m_script.Then([&] {
        activeAfter = GetActiveWindow();
        foregroundAfter = GetForegroundWindow();
        mainWindow = m_main.m_hWnd;
        PostClick(m_main.m_hWnd, IDOK);
    });
    EXPECT_EQ(m_script.Run(m_main), IDOK);
    EXPECT_NE(activeMeanwhile, nullptr);
    EXPECT_NE(activeMeanwhile, mainWindow);
    EXPECT_EQ(activeAfter, mainWindow);
    EXPECT_EQ(foregroundAfter, mainWindow);
}

TEST_F(DialogTest, WithoutMainWindowTheDialogHasNoOwner)
{
    HWND owner = reinterpret_cast<HWND>(1);
    m_script.Then([&] {
        owner = GetWindow(m_main.m_hWnd, GW_OWNER);
        PostClick(m_main.m_hWnd, IDCANCEL);
    });
    EXPECT_EQ(m_script.Run(m_main), IDCANCEL);
    EXPECT_EQ(owner, nullptr);
}

TEST_F(DialogTest, QuitEndsEveryNestedModalLoop)
{
    AfxSetMainWnd(&m_main);
    CPlainDlg nested;
    INT_PTR nestedResult = 0;
    m_script.Then([&] { nestedResult = nested.DoModal(); });
    m_script.Then([&] { PostQuitMessage(0); });
    EXPECT_EQ(m_script.Run(m_main), -1);
    EXPECT_EQ(nestedResult, -1);
    EXPECT_FALSE(IsWindow(nested.m_hWnd));
}

TEST_F(DialogTest, DialogCanRunAgainAfterItEnded)
{
    m_script.Then([&] { PostClick(m_main.m_hWnd, IDOK); });
    EXPECT_EQ(m_script.Run(m_main), IDOK);
    ModalScript again;
    again.Then([&] { PostClick(m_main.m_hWnd, IDCANCEL); });
    EXPECT_EQ(again.Run(m_main), IDCANCEL);
}

namespace {

class ThrowingDialog : public CPlainDlg {
public:
    BOOL OnInitDialog() override { throw std::runtime_error("from a handler"); }

protected:
    void OnCancel() override { throw std::runtime_error("from a handler"); }
};

}  // namespace

TEST_F(DialogTest, ExceptionOfAHandlerStaysInsideTheDialog)
{
    ThrowingDialog dialog;
    bool openAfterCancel = false;
    m_script.Then([&] { PostClick(dialog.m_hWnd, IDCANCEL); });
    m_script.Then([&] {
        openAfterCancel = IsWindowVisible(dialog.m_hWnd) != FALSE;
        PostClick(dialog.m_hWnd, IDOK);
    });
    EXPECT_EQ(m_script.Run(dialog), IDOK);
    EXPECT_TRUE(openAfterCancel);
}

TEST_F(DialogTest, HelpCommandGoesToTheApplicationAndLeavesTheDialogOpen)
{
    bool stillOpen = false;
    m_script.Then([&] {
        SendMessageA(m_main.m_hWnd, WM_COMMAND, MAKEWPARAM(0xE146, 0), 0);
        stillOpen = IsWindowVisible(m_main.m_hWnd) != FALSE;
        PostClick(m_main.m_hWnd, IDOK);
    });
    EXPECT_EQ(m_script.Run(m_main), IDOK);
    EXPECT_TRUE(stillOpen);
}
