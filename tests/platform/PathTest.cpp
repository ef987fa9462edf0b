#include "platform/Path.h"

#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const PathParts& parts)
{
    return std::string(parts.drive) + "|" + std::string(parts.dir) + "|" +
           std::string(parts.name) + "|" + std::string(parts.ext);
}

std::string Split(const char* path)
{
    PathParts parts;
    SplitPath(path, parts);
    return Joined(parts);
}

}  // namespace

#ifdef _WIN32

TEST(PathTest, SplitsLikeTheRuntime)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    EXPECT_EQ(Split("C:\\src\\main.cpp"), "C:|\\src\\|main|.cpp");
    EXPECT_EQ(Split("C:/src/x.tar.c"), "C:|/src/|x.tar|.c");
    EXPECT_EQ(Split("main.cpp"), "||main|.cpp");
    EXPECT_EQ(Split("C:\\.cpp"), "C:|\\||.cpp");
    EXPECT_EQ(Split("C:\\Makefile"), "C:|\\|Makefile|");
    // ソ is 0x83 0x5C: its trail byte is not a separator.
    EXPECT_EQ(Split("C:\\\x83\x5C\\\x83\x5C.c"), "C:|\\\x83\x5C\\|\x83\x5C|.c");
}

TEST(PathTest, EndsWithSeparatorLooksAtTheLastCharacter)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    EXPECT_TRUE(EndsWithSeparator("C:\\src\\"));
    EXPECT_FALSE(EndsWithSeparator("C:\\src"));
    EXPECT_FALSE(EndsWithSeparator("C:\\\x83\x5C"));
    EXPECT_FALSE(EndsWithSeparator("\\"));
}

TEST(PathTest, FindsTheLastSeparatorOfAPathWithA5CTrailByte)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // The executable ソフト.exe: the trail byte of ソ must not be taken for the separator.
    EXPECT_EQ(FindLastSeparator("C:\\tools\\\x83\x5C\x83\x74\x83\x67.exe"), 8);
    EXPECT_EQ(FindLastSeparator("tool.exe"), -1);
}

#else

TEST(PathTest, SplitsAtSlashesOnly)
{
    EXPECT_EQ(Split("/src/main.cpp"), "|/src/|main|.cpp");
    EXPECT_EQ(Split("/src/x.tar.c"), "|/src/|x.tar|.c");
    EXPECT_EQ(Split("main.cpp"), "||main|.cpp");
    EXPECT_EQ(Split("/.cpp"), "|/||.cpp");
    EXPECT_EQ(Split("/a\\b.c"), "|/|a\\b|.c");
    EXPECT_EQ(Split("C:x.c"), "||C:x|.c");
}

TEST(PathTest, EndsWithSeparatorAndTheLastSeparator)
{
    EXPECT_TRUE(EndsWithSeparator("/src/"));
    EXPECT_TRUE(EndsWithSeparator("/"));
    EXPECT_FALSE(EndsWithSeparator("/src\\"));
    EXPECT_EQ(FindLastSeparator("/a/b\\c"), 2);
}

TEST(PathTest, NamesAreBytesWhateverCodePageTheSourcesAreReadIn)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    // こ is E3 81 93 in UTF-8: its last byte is a Shift_JIS lead byte, which must not swallow
    // the separator or the dot after it.
    EXPECT_EQ(Split("/D/\xE3\x81\x93/a.c"), "|/D/\xE3\x81\x93/|a|.c");
    EXPECT_EQ(Split("/D/\xE3\x81\x93.c"), "|/D/|\xE3\x81\x93|.c");
    EXPECT_TRUE(EndsWithSeparator("/D/\xE3\x81\x93/"));
}

TEST(PathTest, MakesRelativePathsAbsolute)
{
    CString absolute;
    ASSERT_TRUE(MakeAbsolutePath("/x/y", absolute));
    EXPECT_EQ(absolute, "/x/y");
    ASSERT_TRUE(MakeAbsolutePath("y", absolute));
    EXPECT_EQ(absolute.GetAt(0), '/');
    EXPECT_EQ(absolute.Right(2), "/y");
}

#endif

#ifdef _WIN32

TEST(PathTest, SplitStepsOverDoubleByteCharacters)
{
    CodePageScope shiftJis(kCodePageShiftJis);
    std::string path = std::string(1, kPathSeparator) + "\x95\x5C.c";
    PathParts parts;
    SplitPath(path.c_str(), parts);
    EXPECT_EQ(parts.name, "\x95\x5C");
    EXPECT_EQ(parts.ext, ".c");
}

#endif

TEST(PathTest, TheSameFileIsKnownHoweverItsPathIsSpelt)
{
    TempFolder folder;
    MakeFolder(folder / "d");
    WriteBytes(folder / "d/x.c", "x");
    WriteBytes(folder / "d/y.c", "y");
    const std::string sep(1, kPathSeparator);
    const std::string x = folder.Path() + sep + "d" + sep + "x.c";
    struct Case {
        std::string other;
        bool same;
    } const cases[] = {
        {x, true},
        {folder.Path() + sep + "d" + sep + "." + sep + "x.c", true},
        {folder.Path() + sep + "d" + sep + ".." + sep + "d" + sep + "x.c", true},
        {folder.Path() + sep + "d" + sep + "y.c", false},
        {folder.Path() + sep + "d" + sep + "missing.c", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSameFile(x.c_str(), c.other.c_str()), c.same) << c.other;
    }
    // A path that cannot be examined is compared by its spelling.
    std::string missing = folder / "missing.c";
    EXPECT_TRUE(IsSameFile(missing.c_str(), missing.c_str()));
}
