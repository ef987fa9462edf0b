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
        TextAppender appender;
        ASSERT_TRUE(appender.Open(path.c_str()));
        appender.AppendRecord("second\n", 7);
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
    TextAppender appender;
    EXPECT_FALSE(appender.Open(folder.Path().c_str()));
}

TEST(TextFileTest, AppendingCreatesTheFileAndWritesLfAsCrLf)
{
    TempFolder folder;
    std::string path = folder / "Tolvek.log";
    {
        TextAppender appender;
        ASSERT_TRUE(appender.Open(path.c_str()));
        appender.AppendRecord("a(1): \"x\"\n", 10);
        appender.AppendRecord("b\nc\n", 4);
    }
    {
        TextAppender appender;
        ASSERT_TRUE(appender.Open(path.c_str()));
        appender.AppendRecord("d\n", 2);
    }
    EXPECT_EQ(ReadBytes(path), "a(1): \"x\"\r\nb\r\nc\r\nd\r\n");
}

TEST(TextFileTest, ConcurrentAppendersKeepEveryRecordWhole)
{
    TempFolder folder;
    std::string path = folder / "Tolvek.log";
    const int kRecords = 20000;
    auto writer = [&path](char letter) {
        TextAppender appender;
        ASSERT_TRUE(appender.Open(path.c_str()));
        std::string record(50, letter);
        record += '\n';
        for (int index = 0; index < kRecords; ++index) {
            appender.AppendRecord(record.data(), record.size());
        }
    };
    std::thread first(writer, 'a');
    std::thread second(writer, 'b');
    first.join();
    second.join();

    std::string log = ReadBytes(path);
    ASSERT_EQ(log.size(), 2u * kRecords * 52);
    for (size_t at = 0; at < log.size(); at += 52) {
        ASSERT_TRUE(log.compare(at, 52, std::string(50, 'a') + "\r\n") == 0 ||
                    log.compare(at, 52, std::string(50, 'b') + "\r\n") == 0)
            << "record at " << at;
    }
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
