// The `tolvek` command among other tools: several paths and lists, outputs that are replaced or
// appended to, the order of the records, a CI baseline, exit statuses and what the terminal shows.
#include "tests/console/CommandRunner.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

class ConsoleRunTest : public CommandTest {
protected:
    void SetUp() override
    {
        MakeFolder(Work("src"));
        MakeFolder(Work("lib"));
        WriteBytes(Work("src/a.c"), "s = \"one\";\n");
        WriteBytes(Work("lib/b.h"), "t = \"two\";\n");
    }

    std::string Work(const std::string& name) const { return m_runner.Work() / name; }

    CommandResult Run(std::vector<std::string> arguments, RunOptions options = RunOptions())
    {
        return m_runner.Run(std::move(arguments), options);
    }
};

// Lines of the log format through --output.
std::string Records(const std::vector<std::string>& records)
{
    std::string out;
    for (const std::string& record : records) {
        out += record + "\n";
    }
    return out;
}

}  // namespace

TEST_F(ConsoleRunTest, SeveralPathsAndListsAreAnalysedInTurn)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string out;  // with --output -
    };
    const std::vector<Case> cases = {
        {"paths named by the path given", {"src", "lib/"}, "", 0,
         Records({"src/a.c(1): \"one\"", "lib/b.h(1): \"two\""})},
        {"a file as given", {"lib/b.h", "src"}, "", 0,
         Records({"lib/b.h(1): \"two\"", "src/a.c(1): \"one\""})},
        {"one path: names inside it", {"src"}, "", 0, Records({"a.c(1): \"one\""})},
        {"a list by lines", {"--files-from", "-"}, "src/a.c\nlib/b.h\n", 0,
         Records({"src/a.c(1): \"one\"", "lib/b.h(1): \"two\""})},
        {"a list by NUL, a blank in a name", {"--files-from", "-", "-0"}, "lib/b.h\0./src/a.c\0notes.txt"s, 0,
         Records({"lib/b.h(1): \"two\"", "./src/a.c(1): \"one\""})},
        {"a missing entry is told, the rest goes on", {"--files-from", "-"}, "gone.c\nsrc/a.c\n", 1,
         Records({"src/a.c(1): \"one\""})},
        {"a missing path too", {"gone", "lib"}, "", 1, Records({"lib/b.h(1): \"two\""})},
    };
    WriteBytes(Work("notes.txt"), "\"not a target\"\n");
    for (const Case& test : cases) {
        std::vector<std::string> arguments = {"--output", "-"};
        arguments.insert(arguments.end(), test.arguments.begin(), test.arguments.end());
        RunOptions options;
        options.input = test.input;
        CommandResult result = Run(arguments, options);
        EXPECT_EQ(result.status, test.status) << test.what << ": " << result.err;
        EXPECT_EQ(result.out, test.out) << test.what;
        EXPECT_EQ(result.err.find("gone") != std::string::npos, test.status == 1) << test.what;
        EXPECT_EQ(result.err.find("notes.txt"), std::string::npos) << test.what;
    }
    // Without --output each folder keeps its own log.
    CommandResult logs = Run({"src", "lib"});
    EXPECT_EQ(logs.status, 0) << logs.err;
    EXPECT_EQ(ReadBytes(Work("src/Tolvek.log")), "a.c(1): \"one\"\r\n");
    EXPECT_EQ(ReadBytes(Work("lib/Tolvek.log")), "b.h(1): \"two\"\r\n");
    EXPECT_EQ(logs.out, Work("src/Tolvek.log") + "\n" + Work("lib/Tolvek.log") + "\n");
}

TEST_F(ConsoleRunTest, ListedFilesOfAFolderAreReadTogetherInTheListsOrder)
{
    struct Case {
        const char* what;
        std::string list;
        int status;
        std::string out;  // with --output -
    };
    const std::vector<Case> cases = {
        {"runs of one folder, a non-target among them",
         "src/c.c\nsrc/a.c\nsrc/notes.txt\nlib/b.h\nsrc/a.c\n./src/c.c\n", 0,
         Records({"src/c.c(1): \"three\"", "src/a.c(1): \"one\"", "lib/b.h(1): \"two\"",
                  "src/a.c(1): \"one\"", "./src/c.c(1): \"three\""})},
        {"a missing file within a run is told in its place", "src/a.c\nsrc/gone.c\nsrc/c.c\n", 1,
         Records({"src/a.c(1): \"one\"", "src/c.c(1): \"three\""})},
    };
    WriteBytes(Work("src/c.c"), "u = \"three\";\n");
    WriteBytes(Work("src/notes.txt"), "\"not a target\"\n");
    for (const char* threads : {"1", "2"}) {
        for (const Case& test : cases) {
            RunOptions options;
            options.input = test.list;
            CommandResult result = Run({"--threads", threads, "--output", "-", "--files-from", "-"}, options);
            EXPECT_EQ(result.status, test.status) << test.what << ": " << result.err;
            EXPECT_EQ(result.out, test.out) << test.what << ", threads " << threads;
            EXPECT_EQ(result.err.find("gone.c") != std::string::npos, test.status == 1) << test.what;
        }
        // Without --output the run goes to its folder's log.
        std::remove(Work("src/Tolvek.log").c_str());
        RunOptions options;
        options.input = "src/c.c\nsrc/a.c\n";
        CommandResult logs = Run({"--threads", threads, "--files-from", "-"}, options);
        EXPECT_EQ(logs.status, 0) << logs.err;
        EXPECT_EQ(ReadBytes(Work("src/Tolvek.log")), "c.c(1): \"three\"\r\na.c(1): \"one\"\r\n");
    }
}

TEST_F(ConsoleRunTest, OutputIsReplacedOrAppendedToInItsOwnFormat)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string before;
        int status;
        std::string after;
    };
    const std::string json = "{\"file\": \"a.c\", \"line\": 1, \"column\": 5, \"offset\": 4, \"length\": 5, "
                             "\"text\": \"one\", \"encoding\": \"cp932\"}\n";
    const std::vector<Case> cases = {
        {"replaced", {}, "old\r\n", 0, "a.c(1): \"one\"\n"},
        {"replaced by nothing found", {"--condition", "2"}, "old\n", 0, ""},
        {"appended to", {"--append"}, "x.c(9): \"old\"\n", 0, "x.c(9): \"old\"\na.c(1): \"one\"\n"},
        {"appended to an empty file", {"--append"}, "", 0, "a.c(1): \"one\"\n"},
        {"jsonl appended to jsonl", {"--append", "--format", "jsonl"}, json, 0, json + json},
        {"jsonl refused by a log", {"--append", "--format", "jsonl"}, "x.c(9): \"old\"\n", 1,
         "x.c(9): \"old\"\n"},
        {"a log refused by csv", {"--append"}, "\xEF\xBB\xBF" "file,line,text\r\n", 1,
         "\xEF\xBB\xBF" "file,line,text\r\n"},
        {"a log refused by jsonl", {"--append"}, json, 1, json},
    };
    for (const Case& test : cases) {
        std::string output = Work("out.txt");
        WriteBytes(output, test.before);
        std::vector<std::string> arguments = {"--codepage", "932", "--output", output};
        arguments.insert(arguments.end(), test.arguments.begin(), test.arguments.end());
        arguments.push_back("src");
        CommandResult result = Run(arguments);
        EXPECT_EQ(result.status, test.status) << test.what << ": " << result.err;
        EXPECT_EQ(ReadBytes(output), test.after) << test.what;
        EXPECT_EQ(result.err.find("format"), test.status == 1 ? result.err.find("format")
                                                              : std::string::npos)
            << test.what;
    }
    // Nothing is left beside it (src, lib and out.txt), and the folder's log keeps its CR LF.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_runner.Work().Path()),
                            std::filesystem::directory_iterator()),
              3);
    Run({"src"});
    EXPECT_EQ(ReadBytes(Work("src/Tolvek.log")), "a.c(1): \"one\"\r\n");
}

TEST_F(ConsoleRunTest, SortedRecordsCompareAcrossFileSystems)
{
    // The same tree made in two orders, on the disk and in memory (tmpfs lists newest first).
    char pattern[] = "/dev/shm/tolvek-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string memory = pattern;
    const std::vector<std::string> names = {"b.c", "a.c", "sub/z.c", "A.c", "sub/a.c", "a-b.c", "a.h"};
    for (const std::string& root : {Work("tree"), memory}) {
        MakeFolder(root + "/sub");
        for (size_t index = 0; index < names.size(); ++index) {
            const std::string& name = root == memory ? names[names.size() - 1 - index] : names[index];
            WriteBytes(root + "/" + name, "x = \"" + name + "\"; y = \"2\";\n\"3\"\n");
        }
    }
    std::string sorted;
    for (const char* name : {"A.c", "a-b.c", "a.c", "a.h", "b.c", "sub/a.c", "sub/z.c"}) {
        sorted += std::string(name) + "(1): \"" + name + "\"\n" + name + "(1): \"2\"\n" + name + "(2): \"3\"\n";
    }
    for (const char* threads : {"1", "3"}) {
        CommandResult disk = Run({"-r", "--sort", "--threads", threads, "--output", "-", Work("tree")});
        CommandResult tmpfs = Run({"-r", "--sort", "--threads", threads, "--output", "-", memory});
        EXPECT_EQ(disk.out, sorted) << threads;
        EXPECT_EQ(tmpfs.out, sorted) << threads;
    }
    std::filesystem::remove_all(memory);
}

TEST_F(ConsoleRunTest, ABaselineLeavesOutTheKnownTexts)
{
    const std::string old = "a = \"known\";\nb = \"known\"; c = \"other\";\n";
    WriteBytes(Work("src/a.c"), old);
    CommandResult made = Run({"--format", "jsonl", "--output", "base.jsonl", "src"});
    ASSERT_EQ(made.status, 0) << made.err;
    struct Case {
        const char* what;
        std::string source;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"unchanged", old, 0, ""},
        {"a line moved", "int x;\n\n" + old, 0, ""},
        {"one occurrence gone", "a = \"known\"; c = \"other\";\n", 0, ""},
        {"a duplicate added", old + "d = \"known\";\n", 3, "a.c(3): \"known\"\n"},
        {"a text changed", "a = \"known\";\nb = \"known\"; c = \"0ther\";\n", 3, "a.c(2): \"0ther\"\n"},
    };
    for (const Case& test : cases) {
        WriteBytes(Work("src/a.c"), test.source);
        CommandResult result = Run({"--baseline", "base.jsonl", "--fail-if-found", "--output", "-", "src"});
        EXPECT_EQ(result.status, test.status) << test.what << ": " << result.err;
        EXPECT_EQ(result.out, test.out) << test.what;
    }
    WriteBytes(Work("bad.jsonl"), "a.c(1): \"known\"\n");
    CommandResult bad = Run({"--baseline", "bad.jsonl", "src"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("bad.jsonl: not a baseline: line 1"), std::string::npos) << bad.err;
}

TEST_F(ConsoleRunTest, AFailureWinsOverAFind)
{
    WriteBytes(Work("lib/locked.c"), "\"x\"\n");
    chmod(Work("lib/locked.c").c_str(), 0);
    RunOptions asNobody;
    asNobody.unprivileged = true;
    GiveToUnprivileged(Work("src"));
    GiveToUnprivileged(Work("lib"));
    struct Case {
        const char* what;
        std::vector<std::string> paths;
        int status;
    };
    const std::vector<Case> cases = {
        {"found", {"src"}, 3},
        {"failed", {"missing"}, 1},
        {"both: a missing path", {"src", "missing"}, 1},
        {"both: an unreadable file", {"lib"}, CanDropPrivileges() ? 1 : 3},
    };
    for (const Case& test : cases) {
        std::vector<std::string> arguments = {"--fail-if-found", "--output", "-"};
        arguments.insert(arguments.end(), test.paths.begin(), test.paths.end());
        EXPECT_EQ(Run(arguments, asNobody).status, test.status) << test.what;
    }
}

TEST_F(ConsoleRunTest, UsageErrorsTakeTwoLines)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {}, {"--bogus", "src"}, {"--format", "xml", "src"}, {"-0", "src"}, {"--append", "src"}};
    for (const auto& mistake : mistakes) {
        CommandResult result = Run(mistake);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err.substr(0, 8), "tolvek: ");
        EXPECT_EQ(result.err.substr(result.err.find('\n')), "\nTry 'tolvek --help'\n") << result.err;
    }
    EXPECT_EQ(Run({"-V"}).out, "tolvek 1.0.0.1\n");
}

TEST_F(ConsoleRunTest, ATerminalGetsPlainTextWhenAskedAndTheLocalesLanguage)
{
    struct Case {
        const char* what;
        std::vector<std::string> environment;
        std::vector<std::string> arguments;
        std::string shown;  // what the terminal gets, but for failures
    };
    const std::vector<std::string> english = {"LC_ALL=C.UTF-8", "TERM=xterm"};
    const std::vector<Case> cases = {
        {"TERM=dumb", {"LC_ALL=C.UTF-8", "TERM=dumb"}, {}, ""},
        {"NO_COLOR", {"LC_ALL=C.UTF-8", "TERM=xterm", "NO_COLOR=1"}, {}, ""},
        {"--no-progress", english, {"--no-progress"}, ""},
        {"verbose in English", {"LC_ALL=C.UTF-8", "LANG=ja_JP.UTF-8", "TERM=dumb"}, {"--verbose"},
         "Analyzing... a.c\r\nAnalysis finished.\r\n"},
        {"verbose in Japanese", {"LC_CTYPE=C.UTF-8", "LANG=ja_JP.UTF-8", "TERM=dumb"}, {"--verbose"},
         "解析中... a.c\r\n解析終了 !!\r\n"},
    };
    for (const Case& test : cases) {
        RunOptions options;
        options.terminalColumns = 80;
        options.environment = test.environment;
        std::vector<std::string> arguments = test.arguments;
        arguments.push_back("src");
        EXPECT_EQ(Run(arguments, options).err, test.shown) << test.what;
    }
    RunOptions terminal;
    terminal.terminalColumns = 80;
    terminal.environment = english;
    EXPECT_NE(Run({"src"}, terminal).err.find("\x1b[K"), std::string::npos);
}
