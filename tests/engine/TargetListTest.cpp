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
}

TEST(TargetListTest, TargetsOfTheDefaultList)
{
    const CString list = "|c|cpp|h|";
    EXPECT_TRUE(IsTarget(list, "main.cpp"));
    EXPECT_TRUE(IsTarget(list, "util.h"));
    EXPECT_TRUE(IsTarget(list, "x.tar.c"));
    EXPECT_FALSE(IsTarget(list, "MAIN.CPP"));
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

TEST(TargetListTest, KeysNeverMatchOnATrailByte)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // － (0x81 0x7C) ends in a vertical bar: "|c|" must not match from its trail byte.
    EXPECT_FALSE(IsTarget("\x81\x7C" "c|", "main.c"));
    EXPECT_TRUE(IsTarget("|\x8A\x67|", "a.\x8A\x67"));
}
