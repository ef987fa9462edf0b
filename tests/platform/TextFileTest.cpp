#include "platform/AppendFile.h"
#include "platform/TextFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::string Decode(std::string raw, bool* ended = nullptr)
{
    bool sawEnd = false;
    size_t length = DecodeTextMode(&raw[0], raw.size(), sawEnd);
    if (ended != nullptr) {
        *ended = sawEnd;
    }
    return raw.substr(0, length);
}

// Reads the whole file through a buffer of `capacity` bytes.
std::string ReadText(const std::string& path, size_t capacity)
{
    TextReader reader;
    if (!reader.Open(path.c_str())) {
        return "<not opened>";
    }
    std::string text;
    std::vector<char> buffer(capacity);
    size_t got = 0;
    while ((got = reader.Read(buffer.data(), capacity)) > 0) {
        text.append(buffer.data(), got);
    }
    return text;
}

}  // namespace

TEST(TextFileTest, DecodingDropsTheCrOfCrLfAndStopsAtCtrlZ)
{
    EXPECT_EQ(Decode("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(Decode("a\rb\r\r\n"), "a\rb\r\n");
    EXPECT_EQ(Decode("a\r"), "a\r");
    bool ended = false;
    EXPECT_EQ(Decode("a\r\x1A\r\nb", &ended), "a\r");
    EXPECT_TRUE(ended);
    EXPECT_EQ(Decode("plain", &ended), "plain");
    EXPECT_FALSE(ended);
}

TEST(TextFileTest, ReadingGivesTheSameTextThroughAnyBuffer)
{
    TempFolder folder;
    std::string path = folder / "t.c";
    WriteBytes(path, "one\r\ntwo\r\r\n\rthree\r\n\r");
    for (size_t capacity : {2u, 3u, 4u, 5u, 64u}) {
        EXPECT_EQ(ReadText(path, capacity), "one\ntwo\r\n\rthree\n\r") << capacity;
    }
    WriteBytes(path, "a\r\n\x1A\r\nb");
    EXPECT_EQ(ReadText(path, 2), "a\n");
    WriteBytes(path, "");
    EXPECT_EQ(ReadText(path, 8), "");
}

TEST(TextFileTest, ReadingStopsAtTheSizeTheFileHadWhenOpened)
{
    TempFolder folder;
    std::string path = folder / "grows.log";
    WriteBytes(path, "first\n");
    TextReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    {
        AppendFile appender;
        ASSERT_TRUE(appender.Open(path.c_str()));
        ASSERT_TRUE(appender.Append("second\r\n", 8));
    }
    char buffer[64];
    std::string text;
    size_t got = 0;
    while ((got = reader.Read(buffer, sizeof buffer)) > 0) {
        text.append(buffer, got);
    }
    EXPECT_EQ(text, "first\n");
    EXPECT_EQ(ReadBytes(path), "first\nsecond\r\n");
}

TEST(TextFileTest, FoldersAndMissingFilesDoNotOpen)
{
    TempFolder folder;
    TextReader reader;
    EXPECT_FALSE(reader.Open(folder.Path().c_str()));
    EXPECT_FALSE(reader.Open((folder / "missing").c_str()));
    EXPECT_EQ(reader.GetFailure().kind, FailureKind::NotFound);
}

#ifndef _WIN32

TEST(TextFileTest, AFifoIsNeverOpened)
{
    TempFolder folder;
    std::string path = folder / "pipe.c";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    TextReader reader;
    EXPECT_FALSE(reader.Open(path.c_str()));
}

#endif
