#include "platform/Directory.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(DirectoryTest, ListsEveryEntryWithItsAttributes)
{
    TempFolder folder;
    WriteBytes(folder / "a.c", "");
    MakeFolder(folder / "sub");
    DirectoryList list;
    ASSERT_TRUE(list.Open(folder.Path().c_str()));
    std::map<std::string, uint32_t> entries;
    DirEntry entry;
    while (list.Next(entry)) {
        entries[std::string(entry.name)] = entry.attributes;
    }
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_NE(entries["."] & kAttrDirectory, 0u);
    EXPECT_NE(entries[".."] & kAttrDirectory, 0u);
    EXPECT_NE(entries["sub"] & kAttrDirectory, 0u);
    EXPECT_EQ(entries["a.c"] & (kAttrDirectory | kAttrHidden | kAttrSystem | kAttrDevice), 0u);
}

TEST(DirectoryTest, DotFilesAreHidden)
{
    TempFolder folder;
    WriteBytes(folder / ".hidden", "");
    DirectoryList list;
    ASSERT_TRUE(list.Open(folder.Path().c_str()));
    DirEntry entry;
    bool found = false;
    while (list.Next(entry)) {
        if (entry.name == ".hidden") {
            found = true;
            EXPECT_NE(entry.attributes & kAttrHidden, 0u);
        }
    }
    EXPECT_TRUE(found);
}

TEST(DirectoryTest, FindPathEntryTellsFilesFromFolders)
{
    TempFolder folder;
    WriteBytes(folder / "a.c", "");
    uint32_t attributes = 0;
    Failure failure;
    ASSERT_TRUE(FindPathEntry((folder / "a.c").c_str(), attributes, failure));
    EXPECT_EQ(attributes & kAttrDirectory, 0u);
    ASSERT_TRUE(FindPathEntry(folder.Path().c_str(), attributes, failure));
    EXPECT_NE(attributes & kAttrDirectory, 0u);
    EXPECT_FALSE(FindPathEntry((folder / "missing").c_str(), attributes, failure));
    EXPECT_EQ(failure.kind, FailureKind::NotFound);
    EXPECT_FALSE(FindPathEntry("", attributes, failure));
    DirectoryList list;
    EXPECT_FALSE(list.Open((folder / "missing").c_str()));
    EXPECT_EQ(list.GetFailure().kind, FailureKind::NotFound);
}
