// Where the `tolvek` command puts its records, in which format, what its exit status says, and
// how it shows its progress on a terminal.
#include "tests/console/CommandRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

mode_t FileType(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 ? (status.st_mode & S_IFMT) : 0;
}

class ConsoleOutputTest : public CommandTest {
protected:
    void SetUp() override
    {
        MakeFolder(Src());
        WriteBytes(Src("a.c"), "s = \"\x82\xA0\"; t = \"plain\";\n");
    }

};

}  // namespace

TEST_F(ConsoleOutputTest, OutputGoesToTheFileNamedAndNoLogIsWritten)
{
    // A relative name is taken from where the command starts, not from the analysed folder.
    CommandResult result = m_runner.Run({"--codepage", "932", "--output", "records.log", Src()});
    EXPECT_EQ(result.status, 0) << result.err;
    // Lines end with LF, for the tools that read lines on Linux.
    EXPECT_EQ(ReadBytes(m_runner.Work() / "records.log"), "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");
    EXPECT_EQ(result.out, m_runner.Work() / "records.log" + "\n");
    EXPECT_FALSE(FileExists(Src("Tolvek.log")));
    // Replaced, not appended to: a run's output is that run's alone.
    m_runner.Run({"--codepage", "932", "--output", "records.log", Src()});
    EXPECT_EQ(ReadBytes(m_runner.Work() / "records.log"), "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");
}

TEST_F(ConsoleOutputTest, OutputNamedIsFollowedThroughALinkAndMayBeAPipeOrADevice)
{
    // The user named the path: the file that a link points to is the one replaced.
    TempFolder elsewhere;
    WriteBytes(elsewhere / "texts.log", "before\n");
    ASSERT_EQ(symlink((elsewhere / "texts.log").c_str(), (m_runner.Work() / "out.log").c_str()), 0);
    CommandResult linked = m_runner.Run({"--codepage", "932", "--output", m_runner.Work() / "out.log", Src()});
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(ReadBytes(elsewhere / "texts.log"), "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");
    struct stat link;
    EXPECT_TRUE(lstat((m_runner.Work() / "out.log").c_str(), &link) == 0 && S_ISLNK(link.st_mode));

    // Standard output named as a device stays the file that the shell redirected it to.
    CommandResult named = m_runner.Run({"--codepage", "932", "--output", "/dev/stdout", Src()});
    EXPECT_EQ(named.out, "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");

    CommandResult discarded = m_runner.Run({"--fail-if-found", "--output", "/dev/null", Src()});
    EXPECT_EQ(discarded.status, 3) << discarded.err;
    EXPECT_EQ(discarded.err, "");

    // A FIFO with a reader gets the records as a pipe would; one without is told at once.
    std::string fifo = m_runner.Work() / "records.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CommandResult unread = m_runner.Run({"--output", fifo, Src()});
    EXPECT_EQ(unread.status, 1);
    EXPECT_NE(unread.err.find("cannot write the log"), std::string::npos) << unread.err;
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    CommandResult piped = m_runner.Run({"--codepage", "932", "--output", fifo, Src()});
    EXPECT_EQ(piped.status, 0) << piped.err;
    char got[256] = {};
    ssize_t length = read(reader, got, sizeof got);
    close(reader);
    EXPECT_EQ(std::string(got, length > 0 ? static_cast<size_t>(length) : 0),
              "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");
    EXPECT_EQ(FileType(fifo), S_IFIFO);

    CommandResult folder = m_runner.Run({"--output", Src(), Src()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("cannot write the log"), std::string::npos) << folder.err;
}

TEST_F(ConsoleOutputTest, OutputToStandardOutputWritesNoLog)
{
    CommandResult result = m_runner.Run({"--codepage", "932", "--output", "-", Src()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "a.c(1): \"\x82\xA0\"\na.c(1): \"plain\"\n");
    EXPECT_FALSE(FileExists(Src("Tolvek.log")));

    CommandResult json = m_runner.Run({"--codepage", "932", "--format", "jsonl", "--output", "-", Src()});
    EXPECT_EQ(json.out,
              "{\"file\": \"a.c\", \"line\": 1, \"column\": 5, \"offset\": 4, \"length\": 4, "
              "\"text\": \"\xE3\x81\x82\", \"encoding\": \"cp932\"}\n"
              "{\"file\": \"a.c\", \"line\": 1, \"column\": 15, \"offset\": 14, \"length\": 7, "
              "\"text\": \"plain\", \"encoding\": \"cp932\"}\n");
}

TEST_F(ConsoleOutputTest, CsvBeginsANewFileWithTheMarkAndTheHeaderOnly)
{
    std::string csv = m_runner.Work() / "texts.csv";
    ASSERT_EQ(m_runner.Run({"--codepage", "932", "--format", "csv", "--output", csv, Src()}).status, 0);
    ASSERT_EQ(m_runner.Run({"--codepage", "932", "--format", "csv", "--append", "--output", csv, Src()}).status, 0);
    const std::string rows = "\"a.c\",1,\"\xE3\x81\x82\",5,4,4\r\n\"a.c\",1,\"plain\",15,14,7\r\n";
    EXPECT_EQ(ReadBytes(csv), "\xEF\xBB\xBF" "file,line,text,column,offset,length\r\n" + rows + rows);
}

TEST_F(ConsoleOutputTest, SyntaxCppGivesTokensWithTheirPrefixesAndRefusesADelimiter)
{
    // 能 and ソ end in 0x5C; the comment and the header name give nothing.
    WriteBytes(Src("b.cpp"), "#include \"a.h\"\r\nL\"\x94\x5C\" /* \"c\" */ u8R\"(\x83\x5C)\"_s // \x94\x5C\r\n\"z\"");
    CommandResult json = m_runner.Run({"--codepage", "932", "--syntax", "cpp", "--format", "jsonl",
                                       "--output", "-", Src("b.cpp")});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"file\": \"b.cpp\", \"line\": 2, \"column\": 1, \"offset\": 16, \"length\": 5, "
              "\"prefix\": \"L\", \"text\": \"\xE8\x83\xBD\", \"encoding\": \"cp932\"}\n"
              "{\"file\": \"b.cpp\", \"line\": 2, \"column\": 17, \"offset\": 32, \"length\": 9, "
              "\"prefix\": \"u8R\", \"text\": \"\xE3\x82\xBD\", \"encoding\": \"cp932\"}\n"
              "{\"file\": \"b.cpp\", \"line\": 3, \"column\": 1, \"offset\": 51, \"length\": 3, "
              "\"prefix\": \"\", \"text\": \"z\", \"encoding\": \"cp932\"}\n");
    CommandResult refused = m_runner.Run({"--syntax", "cpp", "--delimiter", "'", Src("b.cpp")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--delimiter"), std::string::npos) << refused.err;
}

TEST_F(ConsoleOutputTest, FailIfFoundSaysWhetherAnyRecordWasWritten)
{
    std::vector<std::string> audit = {"--codepage", "932", "--condition", "2", "--fail-if-found",
                                      "--output", "-"};
    audit.push_back(Src());
    CommandResult found = m_runner.Run(audit);
    EXPECT_EQ(found.status, 3);
    EXPECT_EQ(found.out, "a.c(1): \"\x82\xA0\"\n");

    WriteBytes(Src("a.c"), "t = \"plain\";\n");
    EXPECT_EQ(m_runner.Run(audit).status, 0);

    // A failure says more than a find, with or without one.
    WriteBytes(Src("a.c"), "s = \"\x82\xA0\";\n");
    audit.back() = Src("missing.c");
    EXPECT_EQ(m_runner.Run(audit).status, 1);
    audit.push_back(Src());
    EXPECT_EQ(m_runner.Run(audit).status, 1);
}

TEST_F(ConsoleOutputTest, ATerminalShowsOneLineThatIsRedrawnCutToItsWidthAndErased)
{
    for (int file = 0; file < 30; ++file) {
        WriteBytes(Src("file-with-a-rather-long-name-" + std::to_string(file) + ".c"), "\"x\"\n");
    }
    RunOptions terminal;
    terminal.terminalColumns = 40;
    CommandResult result = m_runner.Run({"--codepage", "932", "--threads", "1", Src()}, terminal);
    EXPECT_EQ(result.status, 0);
    // Each drawing begins at the start of the line, erases what was after it, and fits the width.
    std::string shown = result.err;
    size_t widest = 0;
    ASSERT_NE(shown.find("\r"), std::string::npos) << shown;
    for (size_t at = shown.find('\r'); at != std::string::npos; at = shown.find('\r', at + 1)) {
        size_t end = shown.find("\x1b[K", at);
        ASSERT_NE(end, std::string::npos);
        std::string line = shown.substr(at + 1, end - at - 1);
        size_t columns = 0;
        for (unsigned char byte : line) {
            columns += (byte & 0xC0) != 0x80 ? 1 : 0;  // the texts here take a column a character
        }
        EXPECT_LE(columns, 39u) << line;
        widest = std::max(widest, columns);
    }
    // A long name fills the line to the last column but one, where the cursor waits.
    EXPECT_EQ(widest, 39u) << shown;
    EXPECT_NE(shown.find("files,"), std::string::npos) << shown;
    // Erased at the end: nothing is left on the line.
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K");

    CommandResult quiet = m_runner.Run({"--quiet", Src()}, terminal);
    EXPECT_EQ(quiet.err, "");
}

TEST_F(ConsoleOutputTest, AnOutputThatIsATargetIsKnownHoweverItIsSpelt)
{
    // The output is also one of the files analysed; what it holds at the end must not depend on
    // how its name is spelt nor on the number of threads.
    const std::string source = "x = \"in\";\n";
    // Many records before it, wherever it is listed, so that the buffers' timing shows.
    for (int file = 0; file < 40; ++file) {
        std::string lines;
        for (int line = 0; line < 500; ++line) {
            lines += "f = \"" + std::to_string(file) + "-" + std::to_string(line) + "\";\n";
        }
        WriteBytes(Src("f" + std::to_string(file) + ".c"), lines);
    }
    std::string expected;
    for (const char* spelling : {"src/out.c", "src/./out.c", "./src/../src/out.c"}) {
        for (const char* threads : {"1", "4"}) {
            WriteBytes(Src("out.c"), source);
            RunOptions options;
            options.folder = m_runner.Work().Path();
            CommandResult result =
                m_runner.Run({"--threads", threads, "--output", spelling, Src()}, options);
            ASSERT_EQ(result.status, 0) << result.err;
            std::string written = ReadBytes(Src("out.c"));
            if (expected.empty()) {
                expected = written;
            }
            EXPECT_EQ(written, expected) << spelling << " on " << threads << " threads";
        }
    }
}
