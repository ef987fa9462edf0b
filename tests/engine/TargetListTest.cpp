#include "engine/TargetList.h"

#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(TargetListTest, ExtensionKeys)
{
    EXPECT_EQ(ExtensionKey("main.cpp"), "|cpp|");
    EXPECT_EQ(ExtensionKey("x.tar.c"), "|c|");
    EXPECT_EQ(ExtensionKey(".cpp"), "|cpp|");
    EXPECT_EQ(ExtensionKey("Makefile"), "||");
    // A dot in a folder's name is no extension of the file in it.
    EXPECT_EQ(ExtensionKey("src.d/Makefile"), "||");
    EXPECT_EQ(ExtensionKey("a.b/c.d/x.h"), "|h|");
}

TEST(TargetListTest, TargetsOfTheDefaultList)
{
    const CString list = "|c|cpp|h|";
    EXPECT_TRUE(IsTarget(list, "main.cpp"));
    EXPECT_TRUE(IsTarget(list, "util.h"));
    EXPECT_TRUE(IsTarget(list, "x.tar.c"));
    EXPECT_TRUE(IsTarget(list, "MAIN.CPP"));
    EXPECT_TRUE(IsTarget(list, "util.H"));
    EXPECT_TRUE(IsTarget("|CPP|", "main.cpp"));
    EXPECT_FALSE(IsTarget(list, "notes.txt"));
    EXPECT_FALSE(IsTarget(list, "Makefile"));
    EXPECT_FALSE(IsTarget(list, "a.pp"));
}

TEST(TargetListTest, UnusualLists)
{
    EXPECT_FALSE(IsTarget("|", "main.c"));
    EXPECT_FALSE(IsTarget("", "main.c"));
    EXPECT_TRUE(IsTarget("|c||h|", "Makefile"));
    EXPECT_TRUE(IsTarget("|c|log|", "Tolvek.log"));
    // Without its outer bars the list misses its first and last extension.
    EXPECT_FALSE(IsTarget("c|cpp|h", "main.c"));
    EXPECT_TRUE(IsTarget("c|cpp|h", "main.cpp"));
    EXPECT_FALSE(IsTarget("c|cpp|h", "main.h"));
}

TEST(TargetListTest, ExtensionsAsEnteredLoseTheirLeadingDot)
{
    struct {
        const char* entered;
        const char* normalized;
    } const kCases[] = {
        {".c", "c"}, {"cpp", "cpp"}, {"..h", ".h"}, {"", ""},
    };
    for (const auto& item : kCases) {
        EXPECT_EQ(NormalizeExtension(item.entered), item.normalized) << item.entered;
    }
    EXPECT_EQ(NormalizeTargetList("|.c|cpp|.H|"), "|c|cpp|H|");
    EXPECT_EQ(NormalizeTargetList("|c||h|"), "|c||h|");
    EXPECT_TRUE(IsTarget(NormalizeTargetList("|.C|"), "a.c"));
}

TEST(TargetListTest, ListsHoldAnExtensionWhenTheyCanMatchAKey)
{
    EXPECT_FALSE(TargetListHasExtension(""));
    EXPECT_FALSE(TargetListHasExtension("|"));
    EXPECT_FALSE(TargetListHasExtension("cpp"));
    EXPECT_TRUE(TargetListHasExtension("||"));
    EXPECT_TRUE(TargetListHasExtension("|c|"));
    EXPECT_TRUE(TargetListHasExtension("c|cpp|h"));
}

#ifdef _WIN32

TEST(TargetListTest, KeysNeverMatchOnATrailByte)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // － (0x81 0x7C) ends in a vertical bar: "|c|" must not match from its trail byte.
    EXPECT_FALSE(IsTarget("\x81\x7C" "c|", "main.c"));
    EXPECT_TRUE(IsTarget("|\x8A\x67|", "a.\x8A\x67"));
    // 表 (0x95 0x5C) ends in a backslash, which is no separator there.
    EXPECT_TRUE(IsTarget("|\x95\x5C|", "sub\\a.\x95\x5C"));
}

#else

TEST(TargetListTest, NamesAreBytesWhateverCodePageTheSourcesAreReadIn)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // こ is E3 81 93 in UTF-8; read as Shift_JIS, 0x93 would swallow the dot or the bar after it.
    EXPECT_TRUE(IsTarget("|c|", "/D/\xE3\x81\x93.c"));
    EXPECT_TRUE(IsTarget("|\xE3\x81\x93|c|", "/D/a.c"));
    EXPECT_EQ(SplitTargetList("|\xE3\x81\x93|c|").size(), 2u);
}

#endif
