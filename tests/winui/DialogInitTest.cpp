// The items that dialog templates carry for their combo boxes and list boxes.
#include "winui/DialogInit.h"

#include "tests/support/DialogInitBytes.h"
#include "tests/support/ModalScript.h"
#include "tests/winui/TestDialogs.h"
#include "tests/winui/TestResources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Entry(WORD id, WORD message, const std::string& data)
{
    return DialogInitEntryBytes(id, message, data);
}

std::string ComboItem(HWND dialog, int id, int index)
{
    char text[64] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST(DialogInitTest, ReadsAddStringEntriesAndSkipsOthers)
{
    std::string data = Entry(7, 0x403, TextWithNul("one")) + Entry(8, 0x1234, "??") +
                       Entry(9, LB_ADDSTRING, TextWithNul("two")) + std::string(2, '\0');
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
    const std::string good = Entry(7, 0x403, TextWithNul("one"));
    const std::vector<std::string> faults = {
        good + Entry(8, 0x403, "no nul"),                          // a text without its NUL
        good + Entry(8, 0x403, TextWithNul("cut")).substr(0, 10),  // an entry past the end
        good + std::string("\x08\x00\x03", 3),                     // a header past the end
        good,                                                      // no end mark
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

TEST(DialogInitTest, BaseInitialisationAddsTheTemplatesItemsInTheirOrder)
{
    CProbeDlg dialog;
    int count = -1;
    std::vector<std::string> items;
    ModalScript script;
    script.Then([&] {
        HWND window = dialog.m_hWnd;
        count = static_cast<int>(SendDlgItemMessageA(window, IDC_CHOICE, CB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            items.push_back(ComboItem(window, IDC_CHOICE, index));
        }
        PostClick(window, IDCANCEL);
    });
    EXPECT_EQ(script.Run(dialog), IDCANCEL);
    EXPECT_EQ(count, 2);
    // The first in code page 932 with a 0x5C trail byte, the second with the Win32 message.
    EXPECT_EQ(items, (std::vector<std::string>{"ソース", "abc"}));
}
