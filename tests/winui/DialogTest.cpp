// The dialog framework: the modal loop, owners, the template's combo items, the exception wall.
#include "winui/Dialog.h"
#include "winui/DialogInit.h"

#include "tests/support/ModalScript.h"
#include "gui/AboutDlg.h"
#include "gui/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string ResourceBytes(UINT id, WORD type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (found == nullptr) {
        return std::string();
    }
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(data, SizeofResource(module, found));
}

// An entry of a dialog-initialisation resource.
std::string Entry(WORD id, WORD message, const std::string& data)
{
    std::string bytes;
    auto put = [&bytes](unsigned value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(id, 2);
    put(message, 2);
    put(static_cast<unsigned>(data.size()), 4);
    return bytes + data;
}

std::string Text(const char* text)
{
    return std::string(text, std::strlen(text) + 1);
}

}  // namespace

TEST(DialogInitTest, SettingsTemplateCarriesTheThreeConditionsInShiftJis)
{
    // 0x403: the combo box's add-string message as resource editors write it.
    std::string expected = Entry(IDC_STR_COND, 0x403, Text("指定なし")) +
                           Entry(IDC_STR_COND, 0x403, Text("半角のみ文字列")) +
                           Entry(IDC_STR_COND, 0x403, Text("全角含む文字列")) +
                           std::string(2, '\0');
    EXPECT_EQ(ResourceBytes(IDD_ENV_DIALOG, kResourceTypeDialogInit), expected);
    EXPECT_EQ(Text("指定なし"), std::string("\x8e\x77\x92\xe8\x82\xc8\x82\xb5", 9));
}

TEST(DialogInitTest, ReadsAddStringEntriesAndSkipsOthers)
{
    std::string data = Entry(7, 0x403, Text("one")) + Entry(8, 0x1234, "??") +
                       Entry(9, LB_ADDSTRING, Text("two")) + std::string(2, '\0');
    std::vector<DialogInitEntry> entries;
    ASSERT_TRUE(ParseDialogInit(data.data(), data.size(), entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].controlId, 7);
    EXPECT_EQ(entries[0].message, static_cast<UINT>(CB_ADDSTRING));
    EXPECT_STREQ(entries[0].text, "one");
    EXPECT_EQ(entries[1].controlId, 9);
    EXPECT_EQ(entries[1].message, static_cast<UINT>(LB_ADDSTRING));
}

TEST(DialogInitTest, MalformedDataKeepsTheEntriesBeforeTheFault)
{
    const std::string good = Entry(7, 0x403, Text("one"));
    const std::vector<std::string> faults = {
        good + Entry(8, 0x403, "no nul"),                   // a text without its NUL
        good + Entry(8, 0x403, Text("cut")).substr(0, 10),  // an entry past the end
        good + std::string("\x08\x00\x03", 3),              // a header past the end
        good,                                               // no end mark
    };
    for (const std::string& data : faults) {
        std::vector<DialogInitEntry> entries;
        EXPECT_FALSE(ParseDialogInit(data.data(), data.size(), entries));
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_STREQ(entries[0].text, "one");
    }
    std::vector<DialogInitEntry> none;
    EXPECT_FALSE(ParseDialogInit(nullptr, 0, none));
    EXPECT_TRUE(none.empty());
}

namespace {

class DialogTest : public testing::Test {
protected:
    ~DialogTest() override { AfxSetMainWnd(nullptr); }

    CAboutDlg m_main;
    ModalScript m_script;
};

}  // namespace

TEST_F(DialogTest, DialogWithoutParentIsOwnedByTheMainWindowWhichIsDisabledMeanwhile)
{
    AfxSetMainWnd(&m_main);
    CAboutDlg nested;
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
    CAboutDlg nested;
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

class ThrowingDialog : public CAboutDlg {
public:
    BOOL OnInitDialog() override { throw std::runtime_error("from a handler"); }
};

}  // namespace

TEST_F(DialogTest, ExceptionOfAHandlerStaysInsideTheDialog)
{
    ThrowingDialog dialog;
    m_script.Then([&] { PostClick(dialog.m_hWnd, IDOK); });
    EXPECT_EQ(m_script.Run(dialog), IDOK);
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
