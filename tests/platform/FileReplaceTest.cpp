#include "platform/FileReplace.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool FailingRename(const char*, const char*)
{
    return false;
}

#ifndef _WIN32
// How many entries the folder holds besides . and ..
int EntriesIn(const std::string& folder)
{
    int count = 0;
    DIR* directory = opendir(folder.c_str());
    for (dirent* entry = readdir(directory); entry != nullptr; entry = readdir(directory)) {
        count += std::string(entry->d_name) != "." && std::string(entry->d_name) != "..";
    }
    closedir(directory);
    return count;
}
#endif

}  // namespace

TEST(FileReplaceTest, ReplacesWholeOrNotAtAll)
{
    TempFolder folder;
    std::string path = folder / "a.c";
    WriteBytes(path, "old\r\n");
    Failure failure;
    ASSERT_TRUE(ReplaceFileContents(path.c_str(), "new\r\n", failure));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), bytes, failure));
    EXPECT_EQ(bytes, "new\r\n");

    // A fault during the rename leaves the file as it was and nothing beside it.
    SetRenameForTests(FailingRename);
    EXPECT_FALSE(ReplaceFileContents(path.c_str(), "newer\r\n", failure));
    SetRenameForTests(nullptr);
    EXPECT_NE(failure.kind, FailureKind::None);
    EXPECT_EQ(ReadBytes(path), "new\r\n");
#ifndef _WIN32
    EXPECT_EQ(EntriesIn(folder.Path()), 1);
#else
    EXPECT_FALSE(FileExists(path + ".tolvek-new"));
#endif
    // A file that is not there is made; a folder that is not there is told.
    EXPECT_TRUE(ReplaceFileContents((folder / "new.po").c_str(), "x", failure));
    EXPECT_EQ(ReadBytes(folder / "new.po"), "x");
    EXPECT_FALSE(ReplaceFileContents((folder / "missing/a.po").c_str(), "x", failure));
    EXPECT_EQ(failure.kind, FailureKind::NotFound);
}

#ifndef _WIN32
TEST(FileReplaceTest, KeepsPermissionsAndLinks)
{
    TempFolder folder;
    std::string path = folder / "a.c";
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    SymbolicLink link(folder.Path(), "a.c", "link.c");
    ASSERT_TRUE(link.Made());
    Failure failure;
    ASSERT_TRUE(ReplaceFileContents((folder / "link.c").c_str(), "new", failure));
    struct stat status;
    ASSERT_EQ(lstat((folder / "link.c").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(path), "new");
}
#endif
