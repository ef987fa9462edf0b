#include "gui/JobPath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Copied(const std::string& text, bool* accepted = nullptr)
{
    char buffer[kMaxPathBytes + 1];
    std::memset(buffer, 'x', sizeof buffer);
    bool ok = CopyJobPath(text.c_str(), buffer);
    if (accepted != nullptr) {
        *accepted = ok;
    }
    EXPECT_EQ(buffer[kMaxPathBytes], '\0');
    return buffer;
}

}  // namespace

TEST(JobPathTest, EnclosingQuotesGo)
{
    EXPECT_EQ(Copied("C:\\src"), "C:\\src");
    EXPECT_EQ(Copied("\"C:\\my src\""), "C:\\my src");
    EXPECT_EQ(Copied("\"\""), "");
    // A quote alone, or quotes that do not enclose the whole text, stay.
    EXPECT_EQ(Copied("\""), "\"");
    EXPECT_EQ(Copied("\"C:\\a\" "), "\"C:\\a\" ");
    EXPECT_EQ(Copied("\"C:\\a\" \"C:\\b\""), "C:\\a\" \"C:\\b");
}

TEST(JobPathTest, PathsThatDoNotFitAreRefusedWhole)
{
    bool accepted = false;
    std::string longest(kMaxPathBytes, 'a');
    EXPECT_EQ(Copied(longest, &accepted), longest);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Copied("\"" + longest + "\"", &accepted), longest);
    EXPECT_TRUE(accepted);

    EXPECT_EQ(Copied(longest + "a", &accepted), "");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(Copied("\"" + longest + "a\"", &accepted), "");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(Copied(std::string(100000, 'a'), &accepted), "");
    EXPECT_FALSE(accepted);
}
