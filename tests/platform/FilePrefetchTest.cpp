#include "platform/FilePrefetch.h"
#include "platform/TextFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Reads a file through `reader` as raw bytes, in blocks of `capacity`.
std::string ReadAll(TextReader& reader, size_t capacity)
{
    std::string bytes;
    std::vector<char> buffer(capacity);
    size_t got = 0;
    while ((got = reader.ReadRaw(buffer.data(), capacity)) > 0) {
        bytes.append(buffer.data(), got);
    }
    return bytes;
}

// A file as the scan opens it: ahead when the batch opened it, else as usual.
bool OpenAsTheScan(TextReader& reader, const PrefetchedFile& file, const PrefetchPlace& place)
{
    if (file.handle != -1) {
        reader.OpenPrefetched(file);
        return true;
    }
    return place.folder != nullptr ? reader.OpenIn(*place.folder, place.name, place.followLinks)
                                   : reader.Open(place.name);
}

std::string LongText(size_t length)
{
    std::string text;
    while (text.size() < length) {
        text += "line " + std::to_string(text.size()) + "\r\n";
    }
    return text.substr(0, length);
}

}  // namespace

// Whether or not this system opens files ahead, each file reads as the usual open reads it, and
// what the usual open refuses stays refused.
TEST(FilePrefetchTest, FilesReadAsTheUsualOpenReadsThem)
{
    TempFolder folder;
    struct Row {
        const char* name;
        std::string bytes;  // written as a regular file, unless the name says otherwise
        bool followLinks;
        bool opens;
    };
    const std::vector<Row> rows = {
        {"small.c", "int x = 1;\r\n", false, true},
        {"empty.c", "", false, true},
        {"long.c", LongText(FilePrefetch::kHeldBytes * 2 + 77), false, true},
        {"held.c", LongText(FilePrefetch::kHeldBytes), false, true},
        {"missing.c", "", false, false},
        {"sub", "", false, false},
#ifndef _WIN32
        {"link.c", "", false, false},
        {"followed.c", "", true, true},
        {"pipe.c", "", false, false},
#endif
        {"listed.c", "by its path", true, true},
    };
    for (const Row& row : rows) {
        std::string path = folder / row.name;
        std::string name = row.name;
        if (name == "sub") {
            MakeFolder(path);
        } else if (name == "link.c" || name == "followed.c") {
#ifndef _WIN32
            ASSERT_EQ(symlink((folder / "small.c").c_str(), path.c_str()), 0);
#endif
        } else if (name == "pipe.c") {
#ifndef _WIN32
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
#endif
        } else if (name != "missing.c") {
            WriteBytes(path, row.bytes);
        }
    }
    FolderHandle handle;
    ASSERT_TRUE(handle.Open(folder.Path().c_str()));
    const std::string listed = folder / "listed.c";
    std::vector<PrefetchPlace> places;
    for (const Row& row : rows) {
        bool byPath = std::string(row.name) == "listed.c";
        places.push_back(byPath ? PrefetchPlace{nullptr, listed.c_str(), true}
                                : PrefetchPlace{&handle, row.name, row.followLinks});
    }
    FilePrefetch prefetch;
    // Twice: the second batch closes the first.
    for (int round = 0; round < 2; ++round) {
        prefetch.Fetch(places.data(), places.size());
        for (size_t index = 0; index < rows.size(); ++index) {
            const Row& row = rows[index];
            const PrefetchedFile& file = prefetch.File(index);
            TextReader reader;
            ASSERT_EQ(OpenAsTheScan(reader, file, places[index]), row.opens) << row.name;
            if (!row.opens) {
                EXPECT_EQ(file.handle, -1) << row.name;
                continue;
            }
            if (prefetch.Works()) {
                EXPECT_NE(file.handle, -1) << row.name;
                EXPECT_LE(file.heldLength, FilePrefetch::kHeldBytes) << row.name;
            }
            std::string expected = std::string(row.name) == "followed.c" ? rows[0].bytes : row.bytes;
            EXPECT_EQ(ReadAll(reader, 1000), expected) << row.name << " round " << round;
        }
    }
}

// The encoding's look-ahead reads on and goes back: within the bytes read ahead and past them.
TEST(FilePrefetchTest, GoingBackReadsTheSameBytesAgain)
{
    TempFolder folder;
    const std::string text = LongText(FilePrefetch::kHeldBytes + 5000);
    WriteBytes(folder / "a.c", text);
    FolderHandle handle;
    ASSERT_TRUE(handle.Open(folder.Path().c_str()));
    const PrefetchPlace place{&handle, "a.c", false};
    FilePrefetch prefetch;
    for (size_t first : {size_t{100}, FilePrefetch::kHeldBytes + 10}) {
        prefetch.Fetch(&place, 1);
        TextReader reader;
        ASSERT_TRUE(OpenAsTheScan(reader, prefetch.File(0), place));
        std::vector<char> buffer(first);
        ASSERT_EQ(reader.ReadRaw(buffer.data(), first), first);
        TextReader::Position back = reader.Tell();
        std::string after = ReadAll(reader, 4096);
        ASSERT_TRUE(reader.Seek(back));
        EXPECT_EQ(ReadAll(reader, 333), after) << first;
        EXPECT_EQ(after, text.substr(first)) << first;
    }
}
