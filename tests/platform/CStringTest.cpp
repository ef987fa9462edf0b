#include "platform/CString.h"

#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(CStringTest, BuildsAndFormatsText)
{
    CString text = "abc";
    text += "de";
    text += 'f';
    text += CString("gh");
    EXPECT_EQ(text, "abcdefgh");
    EXPECT_EQ(text.GetLength(), 8);
    EXPECT_EQ(text.Right(2), "gh");
    EXPECT_EQ(text.Right(20), "abcdefgh");
    EXPECT_EQ(text.Left(3), "abc");

    CString formatted;
    formatted.Format("%s(%d): \"%s\"", "a.c", 12, "x");
    EXPECT_EQ(formatted, "a.c(12): \"x\"");
    formatted.Format("%d", -1);
    EXPECT_EQ(formatted, "-1");

    CString empty(nullptr);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CStringTest, FindNeverMatchesOnATrailByte)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // 表 is 0x95 0x5C: its trail byte is the backslash. ア is 0x83 0x41: its trail byte is 'A'.
    CString hyou = "\x95\x5C";
    EXPECT_EQ(hyou.Find("\\"), -1);
    CString mixed = "\x83\x41 A";
    EXPECT_EQ(mixed.Find("A"), 3);
    EXPECT_EQ(CString("\x83\x41\x83\x41").Find("\x41\x83"), -1);
    EXPECT_EQ(CString("x\x95\x5C\\").Find("\\"), 3);
    // Half-width katakana are single bytes.
    EXPECT_EQ(CString("\xB1\x5C").Find("\\"), 1);
}

TEST(CStringTest, FindInASingleByteCodePageSeesEveryByte)
{
    CodePageScope singleByte(kCodePageSingleByte);
    EXPECT_EQ(CString("\x95\x5C").Find("\\"), 1);
}

TEST(CStringTest, FindStopsAtTheFirstNulAndAfterALoneLeadByte)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    CString withNul("ab\0\"", 4);
    EXPECT_EQ(withNul.Find("\""), -1);
    EXPECT_EQ(CString("\x83").Find("\""), -1);
    EXPECT_EQ(CString("abc").Find("c", 1), 2);
    EXPECT_EQ(CString("abc").Find("c", 9), -1);
}
