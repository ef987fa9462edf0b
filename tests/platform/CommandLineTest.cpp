#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

TEST(CommandLineTest, CutsTheProgramNameAsTheRuntimeDoes)
{
    EXPECT_EQ(std::string(SkipProgramName("tolvek.exe C:\\src")), "C:\\src");
    EXPECT_EQ(std::string(SkipProgramName("\"C:\\My Tools\\tolvek.exe\" \"C:\\a b\"")),
              "\"C:\\a b\"");
    EXPECT_EQ(std::string(SkipProgramName("\"C:\\tools\\tolvek.exe\"C:\\src")), "C:\\src");
    EXPECT_EQ(std::string(SkipProgramName("tolvek.exe")), "");
    EXPECT_EQ(std::string(SkipProgramName("tolvek.exe \t  x  ")), "x  ");
    EXPECT_EQ(std::string(SkipProgramName("\"unterminated")), "");
    EXPECT_EQ(std::string(SkipProgramName("")), "");
}
