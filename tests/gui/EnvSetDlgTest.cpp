// The settings dialog, driven in-process through its own message loop.
#include "gui/EnvSetDlg.h"

#include "settings/EnvData.h"
#include "tests/support/ModalScript.h"
#include "gui/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

class EnvSetDlgTest : public testing::Test {
protected:
    EnvSetDlgTest()
    {
        Env().m_nStrFlg = 0;
        Env().m_strTgtFile = "|c|cpp|h|";
        Env().m_strToken = "\"";
    }
    CEnvData& Env() { return m_env; }
    HWND Dialog() const { return m_dlg.m_hWnd; }
    HWND List() const { return m_dlg.m_ctlExtList.m_hWnd; }
    HWND LabelEdit() const { return m_dlg.m_ctlExtList.GetEditControl(); }

    Items ListItems() const
    {
        Items items;
        for (int item = 0; item < m_dlg.m_ctlExtList.GetItemCount(); ++item) {
            items.push_back(m_dlg.m_ctlExtList.GetItemText(item, 0).GetString());
        }
        return items;
    }

    void Select(int item) const
    {
        m_dlg.m_ctlExtList.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED,
                                        LVIS_SELECTED | LVIS_FOCUSED);
    }

    // Types `text` over the label being edited and ends the edit with `key`.
    void EditLabelTo(const std::string& text, UINT key)
    {
        m_script.Then([this, text, key] {
            ASSERT_NE(LabelEdit(), nullptr);
            SetWindowTextA(LabelEdit(), text.c_str());
            PostKey(LabelEdit(), key);
        });
    }

    INT_PTR ClickAndRun(int id)
    {
        m_script.Then([this, id] { PostClick(Dialog(), id); });
        return m_script.Run(m_dlg);
    }

    // Opens the dialog again on the stored settings, tells what its list shows, and ends it with
    // `button`.
    Items ReopenedItems(int button = IDCANCEL)
    {
        CEnvSetDlg again(m_env);
        Items items;
        ModalScript script;
        script.Then([&] {
            for (int item = 0; item < again.m_ctlExtList.GetItemCount(); ++item) {
                items.push_back(again.m_ctlExtList.GetItemText(item, 0).GetString());
            }
            PostClick(again.m_hWnd, button);
        });
        script.Run(again);
        return items;
    }

    // Opens the dialog on the settings, adds an item typed as `typed`, and ends it with OK.
    INT_PTR AddTyped(const std::string& typed)
    {
        CEnvSetDlg dlg(m_env);
        ModalScript script;
        script.Then([&] { PostClick(dlg.m_hWnd, IDC_ADD); });
        script.Then([&] {
            HWND edit = dlg.m_ctlExtList.GetEditControl();
            ASSERT_NE(edit, nullptr);
            SetWindowTextA(edit, typed.c_str());
            PostKey(edit, VK_RETURN);
        });
        script.Then([&] { PostClick(dlg.m_hWnd, IDOK); });
        return script.Run(dlg);
    }

    CEnvData m_env;
    CEnvSetDlg m_dlg{m_env};
    ModalScript m_script;
};

}  // namespace

TEST_F(EnvSetDlgTest, ShowsTheSettingsInTheControls)
{
    Env().m_nStrFlg = 2;
    Env().m_strToken = "'";
    Items items;
    Items conditions;
    int selected = -2;
    std::string delimiter;
    m_script.Then([&] {
        items = ListItems();
        HWND combo = GetDlgItem(Dialog(), IDC_STR_COND);
        for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
            char text[64] = {};
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            conditions.push_back(text);
        }
        selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
        delimiter = ItemText(Dialog(), IDC_DELIMITER);
    });
    EXPECT_EQ(ClickAndRun(IDCANCEL), IDCANCEL);
    EXPECT_EQ(items, (Items{"c", "cpp", "h"}));
    EXPECT_EQ(conditions, (Items{"指定なし", "半角のみ文字列", "全角含む文字列"}));
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(delimiter, "'");
}

TEST_F(EnvSetDlgTest, ASavedListShowsItsWholeItemsAndOkStoresItAsItWas)
{
    std::string longList = "|";  // 400 items "ab|": bytes 1..1023 hold 341 whole items
    for (int i = 0; i < 400; ++i) {
        longList += "ab|";
    }
    const struct {
        const char* what;
        std::string saved;
        Items shown;
    } lists[] = {
        {"empty items vanish", "||c||h|x", {"c", "h", "x"}},
        // ポ is 0x83 0x7C: its second byte is the bar's.
        {"a bar that ends a double-byte character does not separate", "|ポ|c|", {"ポ", "c"}},
        {"a long list opens with its first 1023 bytes", longList, Items(341, "ab")},
        // 1022 bytes, then a double-byte character that the 1023-byte limit would split.
        {"a long list is cut on a whole character", "|" + std::string(1021, 'x') + "表",
         {std::string(1021, 'x')}},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.what);
        Env().m_strTgtFile = list.saved.c_str();
        EXPECT_EQ(ReopenedItems(), list.shown);
    }
    Env().m_strTgtFile = "|ポ|c|";
    EXPECT_EQ(ReopenedItems(IDOK), (Items{"ポ", "c"}));
    EXPECT_EQ(Env().m_strTgtFile, "|ポ|c|");
}

TEST_F(EnvSetDlgTest, OkStoresTheListTheConditionAndTheDelimiter)
{
    m_script.Then([&] {
        SendDlgItemMessageA(Dialog(), IDC_STR_COND, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(Dialog(), IDC_DELIMITER, "");
        PostChars(GetDlgItem(Dialog(), IDC_DELIMITER), "'");
    });
    EXPECT_EQ(ClickAndRun(IDOK), IDOK);
    EXPECT_EQ(Env().m_strTgtFile, "|c|cpp|h|");
    EXPECT_EQ(Env().m_nStrFlg, 1);
    EXPECT_EQ(Env().m_strToken, "'");
}

TEST_F(EnvSetDlgTest, OkWithoutItemsStoresASingleBar)
{
    m_script.Then([&] {
        for (int i = 0; i < 3; ++i) {
            Select(0);
            SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        }
    });
    ClickAndRun(IDOK);
    EXPECT_EQ(Env().m_strTgtFile, "|");
}

TEST_F(EnvSetDlgTest, ClearedDelimiterIsStoredEmpty)
{
    m_script.Then([&] { SetDlgItemTextA(Dialog(), IDC_DELIMITER, ""); });
    ClickAndRun(IDOK);
    EXPECT_EQ(Env().m_strToken, "");
}

TEST_F(EnvSetDlgTest, AddThenEnterKeepsTheDefaultLabel)
{
    m_script.Then([&] { PostClick(Dialog(), IDC_ADD); });
    m_script.Then([&] {
        ASSERT_NE(LabelEdit(), nullptr) << "Add starts editing the new item";
        EXPECT_EQ(GetFocus(), LabelEdit());
        PostKey(LabelEdit(), VK_RETURN);
    });
    m_script.Then([&] { EXPECT_EQ(LabelEdit(), nullptr); });
    ClickAndRun(IDOK);
    EXPECT_EQ(Env().m_strTgtFile, "|c|cpp|h|拡張子|");
}

TEST_F(EnvSetDlgTest, EscapeEndsTheEditAndKeepsWhatWasTyped)
{
    m_script.Then([&] { PostClick(Dialog(), IDC_ADD); });
    EditLabelTo("cxx", VK_ESCAPE);
    Items items;
    m_script.Then([&] { items = ListItems(); });
    EXPECT_EQ(ClickAndRun(IDOK), IDOK);
    EXPECT_EQ(items, (Items{"c", "cpp", "h", "cxx"}));
    EXPECT_EQ(Env().m_strTgtFile, "|c|cpp|h|cxx|");
}

TEST_F(EnvSetDlgTest, AnItemTypedAfterAddIsStoredAsTyped)
{
    const struct {
        const char* what;
        const char* typed;
        const char* stored;
        Items reopened;
    } items[] = {
        {"a leading dot is dropped when the list is saved", ".RC", "|c|cpp|h|RC|", {"c", "cpp", "h", "RC"}},
        {"an item with a bar reads back as two", "c|h", "|c|cpp|h|c|h|", {"c", "cpp", "h", "c", "h"}},
        {"the same extension may stand twice", "c", "|c|cpp|h|c|", {"c", "cpp", "h", "c"}},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.what);
        Env().m_strTgtFile = "|c|cpp|h|";
        EXPECT_EQ(AddTyped(item.typed), IDOK);
        EXPECT_EQ(Env().m_strTgtFile, item.stored);
        EXPECT_EQ(ReopenedItems(), item.reopened);
    }
}

TEST_F(EnvSetDlgTest, DoubleClickEditsTheSelectedItemAndEmptyTextRemovesIt)
{
    m_script.Then([&] {
        Select(1);
        // A double click on the list: the list view tells the dialog with NM_DBLCLK.
        PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    });
    m_script.Then([&] {
        ASSERT_NE(LabelEdit(), nullptr);
        EXPECT_EQ(GetWindowTextOf(LabelEdit()), "cpp");
    });
    EditLabelTo("", VK_RETURN);
    Items items;
    m_script.Then([&] { items = ListItems(); });
    ClickAndRun(IDOK);
    EXPECT_EQ(items, (Items{"c", "h"}));
    EXPECT_EQ(Env().m_strTgtFile, "|c|h|");
}

TEST_F(EnvSetDlgTest, DoubleClickWithoutSelectionEditsNothing)
{
    HWND edit = nullptr;
    m_script.Then([&] {
        NMHDR header = {List(), IDC_EXT_LIST, static_cast<UINT>(NM_DBLCLK)};
        SendMessageA(Dialog(), WM_NOTIFY, IDC_EXT_LIST, reinterpret_cast<LPARAM>(&header));
        edit = LabelEdit();
    });
    ClickAndRun(IDCANCEL);
    EXPECT_EQ(edit, nullptr);
}

TEST_F(EnvSetDlgTest, DeleteRemovesTheSelectedItemAndNothingWithoutSelection)
{
    Items unselected;
    Items afterDelete;
    m_script.Then([&] {
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        unselected = ListItems();
        Select(1);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        afterDelete = ListItems();
    });
    ClickAndRun(IDOK);
    EXPECT_EQ(unselected, (Items{"c", "cpp", "h"}));
    EXPECT_EQ(afterDelete, (Items{"c", "h"}));
    EXPECT_EQ(Env().m_strTgtFile, "|c|h|");
}

TEST_F(EnvSetDlgTest, CancelAfterChangesLeavesTheSettingsAsTheyWere)
{
    m_script.Then([&] {
        Select(0);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        PostClick(Dialog(), IDC_ADD);
    });
    EditLabelTo("txt", VK_RETURN);
    m_script.Then([&] {
        SendDlgItemMessageA(Dialog(), IDC_STR_COND, CB_SETCURSEL, 2, 0);
        SetDlgItemTextA(Dialog(), IDC_DELIMITER, "'");
    });
    EXPECT_EQ(ClickAndRun(IDCANCEL), IDCANCEL);
    EXPECT_EQ(Env().m_strTgtFile, "|c|cpp|h|");
    EXPECT_EQ(Env().m_nStrFlg, 0);
    EXPECT_EQ(Env().m_strToken, "\"");
}

TEST_F(EnvSetDlgTest, TheSubfolderBoxShowsTheSettingAndOkStoresIt)
{
    Env().m_bSubFolder = true;
    UINT shown = 99;
    m_script.Then([&] {
        shown = static_cast<UINT>(IsDlgButtonChecked(Dialog(), IDC_SUB_FOLDER));
        // A user reaches the box with Tab from the delimiter, and Space unchecks it.
        SetFocus(GetDlgItem(Dialog(), IDC_DELIMITER));
        PostKey(GetFocus(), VK_TAB);
    });
    int focused = 0;
    m_script.Then([&] {
        focused = GetDlgCtrlID(GetFocus());
        PostKey(GetFocus(), VK_SPACE);
    });
    EXPECT_EQ(ClickAndRun(IDOK), IDOK);
    EXPECT_EQ(shown, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(focused, IDC_SUB_FOLDER);
    EXPECT_FALSE(Env().m_bSubFolder);

    m_script = ModalScript();
    m_script.Then([&] { CheckDlgButton(Dialog(), IDC_SUB_FOLDER, BST_CHECKED); });
    EXPECT_EQ(ClickAndRun(IDCANCEL), IDCANCEL);
    EXPECT_FALSE(Env().m_bSubFolder);
    m_script = ModalScript();
    m_script.Then([&] { CheckDlgButton(Dialog(), IDC_SUB_FOLDER, BST_CHECKED); });
    EXPECT_EQ(ClickAndRun(IDOK), IDOK);
    EXPECT_TRUE(Env().m_bSubFolder);
}

TEST_F(EnvSetDlgTest, TheSyntaxBoxDisablesTheDelimiterAndOkStoresIt)
{
    // Each row: the setting shown, a click on the box or not, the delimiter field enabled then,
    // and the setting stored by OK.
    const struct {
        int32_t shown;
        bool click;
        bool delimiterEnabled;
        int32_t stored;
    } cases[] = {{0, false, true, 0}, {0, true, false, 1}, {1, false, false, 1}, {1, true, true, 0}};
    for (const auto& sample : cases) {
        Env().m_nSyntax = sample.shown;
        m_script = ModalScript();
        bool enabled = !sample.delimiterEnabled;
        m_script.Then([&] {
            if (sample.click) {
                SendMessageA(GetDlgItem(Dialog(), IDC_SYNTAX), BM_CLICK, 0, 0);
            }
            enabled = IsWindowEnabled(GetDlgItem(Dialog(), IDC_DELIMITER)) != FALSE;
        });
        EXPECT_EQ(ClickAndRun(IDOK), IDOK);
        EXPECT_EQ(enabled, sample.delimiterEnabled) << sample.shown << sample.click;
        EXPECT_EQ(Env().m_nSyntax, sample.stored) << sample.shown << sample.click;
    }
}

TEST_F(EnvSetDlgTest, EveryTextFitsItsControlAtTheDialogFont)
{
    std::vector<std::string> cut;
    m_script.Then([&] { cut = ControlsWhoseTextIsCut(Dialog()); });
    ClickAndRun(IDCANCEL);
    for (const std::string& control : cut) {
        ADD_FAILURE() << "cut: " << control;
    }
}

TEST_F(EnvSetDlgTest, EnterAndEscapeNeverCloseTheDialog)
{
    m_script.Then([&] {
        HWND ok = GetDlgItem(Dialog(), IDOK);
        SetFocus(ok);
        PostKey(ok, VK_RETURN);
        PostKey(ok, VK_ESCAPE);
        PostKey(List(), VK_RETURN);
        PostKey(List(), VK_ESCAPE);
        PostKey(GetDlgItem(Dialog(), IDC_DELIMITER), VK_RETURN);
    });
    bool stillOpen = false;
    m_script.Then([&] { stillOpen = IsWindowVisible(Dialog()) != FALSE; });
    EXPECT_EQ(ClickAndRun(IDCANCEL), IDCANCEL);
    EXPECT_TRUE(stillOpen);
}

TEST_F(EnvSetDlgTest, DelimiterEditTakesOneByte)
{
    std::string afterTwoBytes;
    std::string afterDoubleByte;
    m_script.Then([&] {
        HWND edit = GetDlgItem(Dialog(), IDC_DELIMITER);
        SetWindowTextA(edit, "");
        PostChars(edit, "ab");
    });
    m_script.Then([&] {
        HWND edit = GetDlgItem(Dialog(), IDC_DELIMITER);
        afterTwoBytes = ItemText(Dialog(), IDC_DELIMITER);
        SetWindowTextA(edit, "");
        // As a paste puts it in: one character, two bytes in the code page.
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("あ"));
    });
    m_script.Then([&] { afterDoubleByte = ItemText(Dialog(), IDC_DELIMITER); });
    ClickAndRun(IDOK);
    EXPECT_EQ(afterTwoBytes, "a");
    EXPECT_EQ(afterDoubleByte, "");
    EXPECT_EQ(Env().m_strToken, "");
}

TEST_F(EnvSetDlgTest, OverlongDelimiterFailsValidationAndStoresNothing)
{
    bool stillOpen = false;
    m_script.Then([&] {
        Select(0);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
        // Past the edit's own limit, as a program could set it.
        SendDlgItemMessageA(Dialog(), IDC_DELIMITER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab"));
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stillOpen = IsWindowVisible(Dialog()) != FALSE;
        EXPECT_EQ(GetFocus(), GetDlgItem(Dialog(), IDC_DELIMITER));
    });
    EXPECT_EQ(ClickAndRun(IDCANCEL), IDCANCEL);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Env().m_strTgtFile, "|c|cpp|h|");
    EXPECT_EQ(Env().m_strToken, "\"");
}

TEST_F(EnvSetDlgTest, OverlongDelimiterFromTheIniIsShownAndMustBeShortenedBeforeOk)
{
    Env().m_strToken = "ab";
    std::string shown;
    bool stillOpen = false;
    m_script.Then([&] {
        shown = ItemText(Dialog(), IDC_DELIMITER);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stillOpen = IsWindowVisible(Dialog()) != FALSE;
        SetDlgItemTextA(Dialog(), IDC_DELIMITER, "");
        PostChars(GetDlgItem(Dialog(), IDC_DELIMITER), "#");
    });
    EXPECT_EQ(ClickAndRun(IDOK), IDOK);
    EXPECT_EQ(shown, "ab");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Env().m_strToken, "#");
}

TEST_F(EnvSetDlgTest, ConditionOutsideTheItemsShowsNoSelectionAndBecomesMinusOne)
{
    Env().m_nStrFlg = 5;
    int selected = 0;
    m_script.Then([&] {
        selected =
            static_cast<int>(SendDlgItemMessageA(Dialog(), IDC_STR_COND, CB_GETCURSEL, 0, 0));
    });
    ClickAndRun(IDOK);
    EXPECT_EQ(selected, CB_ERR);
    EXPECT_EQ(Env().m_nStrFlg, -1);
}
