// The settings dialog's template as the program carries it.
#include "winui/DialogInit.h"

#include "tests/support/DialogInitBytes.h"
#include "gui/resource.h"

#include <gtest/gtest.h>

#include <string>

TEST(EnvSetTemplateTest, CarriesTheThreeConditionsInShiftJis)
{
    // 0x403: the combo box's add-string message as resource editors write it.
    std::string expected = DialogInitEntryBytes(IDC_STR_COND, 0x403, TextWithNul("指定なし")) +
                           DialogInitEntryBytes(IDC_STR_COND, 0x403, TextWithNul("半角のみ文字列")) +
                           DialogInitEntryBytes(IDC_STR_COND, 0x403, TextWithNul("全角含む文字列")) +
                           std::string(2, '\0');
    EXPECT_EQ(ResourceBytes(IDD_ENV_DIALOG, kResourceTypeDialogInit), expected);
    EXPECT_EQ(TextWithNul("指定なし"), std::string("\x8e\x77\x92\xe8\x82\xc8\x82\xb5", 9));
}
