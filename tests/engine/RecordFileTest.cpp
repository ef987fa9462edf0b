#include "engine/RecordFile.h"

#include "engine/LogFormat.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// Writes `count` records of `file` ("file(N): "text"") through `records`, as one file's scan does.
void WriteRecords(RecordFile& records, const std::string& file, int count, const std::string& text)
{
    LogFormat format;
    CString label = format.FileLabel(file.c_str());
    for (int line = 1; line <= count; ++line) {
        LiteralPlace place;
        place.line = line;
        format.WriteRecord(label, place, LiteralText{nullptr, text.data(), text.size()},
                           SourceEncoding::Cp932, records);
    }
    records.EndFile();
}

class RecordFileTest : public testing::Test {
protected:
    std::string LogPath() const { return m_folder / "Tolvek.log"; }
    TempFolder m_folder;
};

}  // namespace

TEST_F(RecordFileTest, AnUnendedLineIsEndedBeforeAnythingIsAppended)
{
    // A writer killed in the middle of a record left this behind.
    WriteBytes(LogPath(), "a.c(1): \"x\"\r\nb.c(7): \"cut");
    RecordFile records(LogPath().c_str());
    ASSERT_TRUE(records.Open());
    WriteRecords(records, "c.c", 1, "new");
    records.Release();
    EXPECT_EQ(ReadBytes(LogPath()), "a.c(1): \"x\"\r\nb.c(7): \"cut\r\nc.c(1): \"new\"\r\n");
    EXPECT_EQ(records.RecordsWritten(), 1);
}

TEST_F(RecordFileTest, ARecordLongerThanTheBufferIsWrittenWholeInPieces)
{
    RecordFile records(LogPath().c_str());
    ASSERT_TRUE(records.Open());
    std::vector<std::string> pieces = {std::string(100000, 'p'), std::string(70000, 'q')};
    std::string last(5, 'r');
    LogFormat format;
    LiteralPlace place;
    place.line = 3;
    format.WriteRecord(format.FileLabel("a.c"), place, LiteralText{&pieces, last.data(), last.size()},
                       SourceEncoding::Cp932, records);
    WriteRecords(records, "a.c", 1, "after");
    records.Release();
    EXPECT_EQ(ReadBytes(LogPath()), "a.c(3): \"" + pieces[0] + pieces[1] + last +
                                        "\"\r\na.c(1): \"after\"\r\n");
    EXPECT_EQ(records.RecordsWritten(), 2);
}

TEST_F(RecordFileTest, EachFilesRecordsStayTogetherWhileOthersAppend)
{
    const int kFiles = 40;
    const int kRecords = 3000;  // more than the buffer holds: each file's records take writes
    auto writer = [this](char letter) {
        RecordFile records(LogPath().c_str());
        ASSERT_TRUE(records.Open());
        for (int file = 0; file < kFiles; ++file) {
            WriteRecords(records, std::string(1, letter) + std::to_string(file) + ".c", kRecords,
                         "text");
        }
    };
    std::thread first(writer, 'a');
    std::thread second(writer, 'b');
    first.join();
    second.join();

    // Every file's records are one unbroken run, in order.
    std::string log = ReadBytes(LogPath());
    size_t at = 0;
    int runs = 0;
    while (at < log.size()) {
        std::string name = log.substr(at, log.find('(', at) - at);
        for (int line = 1; line <= kRecords; ++line) {
            std::string record = name + "(" + std::to_string(line) + "): \"text\"\r\n";
            ASSERT_EQ(log.compare(at, record.size(), record), 0) << "at " << at;
            at += record.size();
        }
        ++runs;
    }
    EXPECT_EQ(runs, 2 * kFiles);
}

#ifndef _WIN32

TEST_F(RecordFileTest, AFailedWriteLeavesTheFileEndingAtItsLastWholeRecord)
{
    // The file may grow no further than 150,000 bytes, as on a disk that fills up.
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit = {150000, 150000};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordFile records(LogPath().c_str());
        if (!records.Open()) {
            _exit(2);
        }
        WriteRecords(records, "a.c", 20000, "some text");
        _exit(records.Failed() && records.GetFailure().kind != FailureKind::None ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::string log = ReadBytes(LogPath());
    ASSERT_GT(log.size(), 0u);
    EXPECT_LE(log.size(), 150000u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    size_t lines = 0;
    for (size_t at = 0; at < log.size(); at = log.find("\r\n", at) + 2) {
        std::string expected = "a.c(" + std::to_string(++lines) + "): \"some text\"\r\n";
        ASSERT_EQ(log.compare(at, expected.size(), expected), 0) << "record " << lines;
    }
}

#endif
