#include "platform/Directory.h"
#include "platform/RawFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

std::map<std::string, uint32_t> ListAll(DirectoryList& list)
{
    std::map<std::string, uint32_t> entries;
    DirEntry entry;
    while (list.Next(entry)) {
        entries[std::string(entry.name)] = entry.attributes;
    }
    EXPECT_EQ(list.GetFailure().kind, FailureKind::None);  // an end, not a failure
    return entries;
}

}  // namespace

TEST(DirectoryTest, ListsEveryEntryWithItsAttributes)
{
    TempFolder folder;
    WriteBytes(folder / "a.c", "");
    MakeFolder(folder / "sub");
    DirectoryList list;
    ASSERT_TRUE(list.Open(folder.Path().c_str()));
    std::map<std::string, uint32_t> entries = ListAll(list);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_NE(entries["."] & kAttrDirectory, 0u);
    EXPECT_NE(entries[".."] & kAttrDirectory, 0u);
    EXPECT_NE(entries["sub"] & kAttrDirectory, 0u);
    EXPECT_EQ(entries["a.c"] & (kAttrDirectory | kAttrHidden | kAttrSystem | kAttrDevice), 0u);
    // An open folder lists the same, each listing from its start, and after its handle closed.
    auto handle = std::make_unique<FolderHandle>();
    ASSERT_TRUE(handle->Open(folder.Path().c_str()));
    DirectoryList first;
    DirectoryList second;
    ASSERT_TRUE(first.Open(*handle));
    EXPECT_EQ(ListAll(first), entries);
    ASSERT_TRUE(second.Open(*handle));
    handle.reset();
    EXPECT_EQ(ListAll(second), entries);
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

TEST(DirectoryTest, NamesInAnOpenFolderOpenWithoutGoingThroughALink)
{
    // What the folder holds now decides, whatever its listing said: a link (on Windows a reparse
    // point to a folder) is refused unless links are followed, and a name must be what is asked.
    TempFolder folder;
    MakeFolder(folder / "real");
    WriteBytes(folder / "real/a.c", "\"a\"\n");
    SymbolicLink toFolder(folder.Path(), "real", "alias");
    ASSERT_TRUE(toFolder.Made());
    FolderHandle top;
    ASSERT_TRUE(top.Open(folder.Path().c_str()));
    struct Case {
        const char* name;
        bool followLinks;
        FailureKind expected;  // None: it opens
    } const cases[] = {
        {"real", false, FailureKind::None},
        {"alias", false, FailureKind::SymbolicLink},
        {"alias", true, FailureKind::None},
        {"missing", false, FailureKind::NotFound},
    };
    for (const Case& c : cases) {
        FolderHandle child;
        bool opened = child.OpenChild(top, c.name, c.followLinks);
        EXPECT_EQ(opened, c.expected == FailureKind::None) << c.name;
        EXPECT_EQ(child.GetFailure().kind, c.expected) << c.name;
        if (opened) {
            DirectoryList list;
            EXPECT_TRUE(list.Open(child));
            RawFile file;
            uint64_t size = 0;
            EXPECT_TRUE(file.OpenForReadingIn(child, "a.c", false, size));
            EXPECT_EQ(size, 4u);
        }
    }
    RawFile notAFile;
    uint64_t size = 0;
    EXPECT_FALSE(notAFile.OpenForReadingIn(top, "real", false, size));
}

#ifndef _WIN32
TEST(DirectoryTest, AFileLinkFoundAtOpenIsRefusedUnlessFollowed)
{
    // On Windows a file behind a reparse point is read like any other, as its listing has it.
    TempFolder folder;
    WriteBytes(folder / "a.c", "\"a\"\n");
    SymbolicLink link(folder.Path(), "a.c", "b.c");
    FolderHandle top;
    ASSERT_TRUE(top.Open(folder.Path().c_str()));
    RawFile refused;
    RawFile followed;
    uint64_t size = 0;
    EXPECT_FALSE(refused.OpenForReadingIn(top, "b.c", false, size));
    EXPECT_EQ(refused.GetFailure().kind, FailureKind::SymbolicLink);
    EXPECT_TRUE(followed.OpenForReadingIn(top, "b.c", true, size));
}
#endif
