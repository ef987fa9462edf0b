// The `tolvek` command run as a user runs it.
#include "tests/console/CommandRunner.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class ConsoleCommandTest : public CommandTest {
protected:
    void SetUp() override
    {
        MakeFolder(m_work / "src");
        GiveToUnprivileged(m_work / "src");
    }

    // Runs tolvek with `arguments` in `folder` (the test's folder by default), with settings
    // under a private XDG_CONFIG_HOME and `path` as PATH.
    CommandResult Run(std::vector<std::string> arguments, const std::string& folder = "",
                      const std::string& path = "/usr/bin:/bin",
                      const std::vector<std::string>& environment = {"LC_ALL=C.UTF-8"})
    {
        RunOptions options;
        options.environment = environment;
        options.folder = folder;
        options.searchPath = path;
        return m_runner.Run(std::move(arguments), options);
    }

    std::string Ini() const { return m_runner.Ini(); }

    const TempFolder& m_work = m_runner.Work();
    const TempFolder& m_config = m_runner.Config();
};

const char kJapanese[] = "\x93\xFA\x96\x7B";  // 日本 in Shift_JIS

}  // namespace

TEST_F(ConsoleCommandTest, AnalysesAFolderShowsTheNoticesAndSavesTheSettings)
{
    WriteBytes(Src("a.c"), "puts(\"hello\");\r\n");
    WriteBytes(Src("notes.txt"), "\"skip\"\n");
    // Standard error is no terminal here: it shows nothing but failures, or each file when asked.
    CommandResult result = Run({m_work / "src"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Log(), "a.c(1): \"hello\"\r\n");
    EXPECT_EQ(result.out, Src("Tolvek.log") + "\n");
    EXPECT_EQ(result.err, "");
    CommandResult verbose = Run({"--verbose", m_work / "src"}, "", "/usr/bin:/bin", kJapaneseLocale);
    EXPECT_EQ(verbose.err, "解析中... a.c\n解析終了 !!\n");
    EXPECT_EQ(Run({"--quiet", m_work / "src"}).err, "");
    RemoveFile(Src("Tolvek.log"));
    EXPECT_EQ(Ini(), "[EnvData]\nStrFlg=0\nTgtFile=|c|cpp|h|\nToken=\"\nSubFolder=0\nSyntax=0\n");
}

TEST_F(ConsoleCommandTest, AnalysesAFileAndARelativePath)
{
    WriteBytes(Src("b.h"), "#define B \"b\"\n");
    CommandResult result = Run({"src/b.h"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Log(), "b.h(1): \"b\"\r\n");
    EXPECT_EQ(result.out, Src("Tolvek.log") + "\n");

    result = Run({"."}, m_work / "src");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(Log(), "b.h(1): \"b\"\r\nb.h(1): \"b\"\r\n");
}

TEST_F(ConsoleCommandTest, NothingFoundWritesNoLogAndPrintsNoPath)
{
    WriteBytes(Src("a.c"), "int a;\n");
    CommandResult result = Run({m_work / "src"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(FileExists(Src("Tolvek.log")));
}

TEST_F(ConsoleCommandTest, APathThatCannotBeAnalysedFailsWithAMessage)
{
    CommandResult result = Run({m_work / "missing"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no such file or folder"), std::string::npos);
    EXPECT_EQ(result.out, "");

    ASSERT_EQ(mkfifo(Src("pipe.c").c_str(), 0600), 0);
    result = Run({Src("pipe.c")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("not a file or folder"), std::string::npos);
}

TEST_F(ConsoleCommandTest, AFolderThatCannotBeReadFails)
{
    // As an ordinary user: root reads every folder.
    MakeFolder(m_work / "closed");
    chmod((m_work / "closed").c_str(), 0);
    RunOptions unprivileged;
    unprivileged.unprivileged = true;
    CommandResult result = m_runner.Run({m_work / "closed"}, unprivileged);
    chmod((m_work / "closed").c_str(), 0755);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tolvek: " + (m_work / "closed") + ": Permission denied\n");
}

TEST_F(ConsoleCommandTest, OptionsApplyToOneRunAndAreNotSaved)
{
    WriteBytes(Src("a.c"), "s = \"abc\"; c = 'q'; j = \"" + std::string(kJapanese) + "\";\n");
    WriteBytes(Src("b.h"), "\"header\"\n");

    EXPECT_EQ(Run({"--condition", "2", "--codepage", "932", "--ext", "c", m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "a.c(1): \"" + std::string(kJapanese) + "\"\r\n");
    RemoveFile(Src("Tolvek.log"));

    EXPECT_EQ(Run({"--condition=2", "--codepage=single", "--ext=c", m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "");
    RemoveFile(Src("Tolvek.log"));

    EXPECT_EQ(Run({"--delimiter", "'", "--ext", "c", m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "a.c(1): \"q\"\r\n");
    RemoveFile(Src("Tolvek.log"));

    EXPECT_EQ(Run({"--syntax", "cpp", "--condition", "1", "--codepage", "932", "--ext", "c", m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "a.c(1): \"abc\"\r\n");
    EXPECT_EQ(Ini(), "[EnvData]\nStrFlg=0\nTgtFile=|c|cpp|h|\nToken=\"\nSubFolder=0\nSyntax=0\n");
}

TEST_F(ConsoleCommandTest, ShiftJisIsTheDefaultUnderAUtf8LocaleAndExtensionsIgnoreCase)
{
    // 表 (0x95 0x5C) before the closing quote; the runner's locale is C.UTF-8.
    WriteBytes(Src("MAIN.CPP"), "t = \"\x95\x5C\"; a = \"ascii\";\n");
    WriteBytes(Src("util.H"), "u = \"" + std::string(kJapanese) + "\";\n");
    EXPECT_EQ(Run({"--condition", "2", m_work / "src"}).status, 0);
    std::string log = Log();
    EXPECT_NE(log.find("MAIN.CPP(1): \"\x95\x5C\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("util.H(1): \"" + std::string(kJapanese) + "\"\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("ascii"), std::string::npos);
    RemoveFile(Src("Tolvek.log"));

    EXPECT_EQ(Run({"--condition", "2", "--ext", ".h", m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "util.H(1): \"" + std::string(kJapanese) + "\"\r\n");
}

TEST_F(ConsoleCommandTest, TheSavedSettingsAreUsed)
{
    MakeFolder(m_config / "tolvek");
    WriteBytes(m_config / "tolvek/Tolvek.ini", "[EnvData]\nStrFlg=0\nTgtFile=|h|\nToken='\n");
    WriteBytes(Src("a.c"), "'no'\n");
    WriteBytes(Src("b.h"), "'yes' \"no\"\n");
    EXPECT_EQ(Run({m_work / "src"}).status, 0);
    EXPECT_EQ(Log(), "b.h(1): \"yes\"\r\n");
}

TEST_F(ConsoleCommandTest, OpenHandsTheLogToXdgOpen)
{
    // A stand-in for xdg-open that notes what it was asked to open.
    MakeFolder(m_work / "bin");
    WriteBytes(m_work / "bin/xdg-open", "#!/bin/sh\necho \"$1\" >> \"" + (m_work / "opened") + "\"\n");
    chmod((m_work / "bin/xdg-open").c_str(), 0755);
    WriteBytes(Src("a.c"), "\"a\"\n");
    CommandResult result = Run({"--open", m_work / "src"}, "", m_work / "bin" + ":/usr/bin:/bin");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(m_work / "opened"), Src("Tolvek.log") + "\n");
    EXPECT_EQ(result.out, "");

    result = Run({"--open", m_work / "src"}, "", "/nonexistent");
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("xdg-open could not open"), std::string::npos);
}

TEST_F(ConsoleCommandTest, HelpVersionAndUsageMistakes)
{
    CommandResult result = Run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("usage: tolvek"), std::string::npos);
    result = Run({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "tolvek 1.0.0.1\n");
    for (const std::vector<std::string>& mistake :
         {std::vector<std::string>{}, {"--condition", "7", "x"}, {"--bogus", "x"}, {"--append", "x"}}) {
        result = Run(mistake);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("Try 'tolvek --help'"), std::string::npos);
        EXPECT_FALSE(FileExists(m_config / "tolvek/Tolvek.ini"));
    }
}

TEST_F(ConsoleCommandTest, PathsWithBlanksAndShiftJisBytes)
{
    // ソ and 表 end in a 0x5C byte, an ordinary byte of a Linux name.
    std::string folder = m_work / "my src \x95\x5C";
    MakeFolder(folder);
    std::string name = "\x83\x5C file.c";
    WriteBytes(folder + "/" + name, "\"x\"\n");
    CommandResult result = Run({"--codepage", "932", "--verbose", folder}, "", "/usr/bin:/bin",
                               kJapaneseLocale);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder + "/Tolvek.log"), name + "(1): \"x\"\r\n");
    EXPECT_EQ(result.err, "解析中... " + name + "\n解析終了 !!\n");
}

TEST_F(ConsoleCommandTest, ATreeOfShiftJisAndUtf8SourcesGivesOneLogAtTheTop)
{
    MakeFolder(Src("net"));
    WriteBytes(Src("a.c"), "s = \"\x82\xA0\";\n");
    WriteBytes(Src("net/b.cpp"), "\xEF\xBB\xBFs = \"\xE3\x81\x82\"; t = \"ascii\";\n");
    MakeFolder(Src(".git"));
    WriteBytes(Src(".git/hidden.c"), "\"hidden\"\n");

    CommandResult flat = Run({"--codepage", "932", m_work / "src"});
    EXPECT_EQ(flat.status, 0) << flat.err;
    EXPECT_EQ(Log(), "a.c(1): \"\x82\xA0\"\r\n");
    RemoveFile(Src("Tolvek.log"));

    CommandResult tree = Run({"--codepage", "932", "-r", "--verbose", "--condition", "2", m_work / "src"});
    EXPECT_EQ(tree.status, 0) << tree.err;
    std::string log = Log();
    EXPECT_NE(log.find("a.c(1): \"\x82\xA0\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("net/b.cpp(1): \"\x82\xA0\"\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.size(), std::string("a.c(1): \"xx\"\r\nnet/b.cpp(1): \"xx\"\r\n").size());
    EXPECT_NE(tree.err.find("Analyzing... net/b.cpp\n"), std::string::npos);
    EXPECT_FALSE(FileExists(Src("net/Tolvek.log")));
}

TEST_F(ConsoleCommandTest, TwoRunsAtOnceOnOneFolderKeepEveryRecordWhole)
{
    const int kFiles = 200;
    for (int index = 0; index < kFiles; ++index) {
        std::string lines;
        for (int line = 1; line <= 50; ++line) {
            lines += "x = \"" + std::string(40, static_cast<char>('a' + index % 26)) + "\";\n";
        }
        WriteBytes(Src("f" + std::to_string(index) + ".c"), lines);
    }
    pid_t first = m_runner.Start({m_work / "src"});
    pid_t second = m_runner.Start({m_work / "src"});
    EXPECT_EQ(m_runner.Wait(first).status, 0);
    EXPECT_EQ(m_runner.Wait(second).status, 0);

    std::string log = Log();
    size_t records = 0;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        std::string record = log.substr(start, end - start);
        // fN.c(L): "xxxx...": one whole record per line.
        ASSERT_EQ(record[0], 'f') << record;
        ASSERT_EQ(record.back(), '"') << record;
        ASSERT_EQ(std::count(record.begin(), record.end(), '"'), 2) << record;
        ++records;
        start = end + 2;
    }
    EXPECT_EQ(records, 2u * kFiles * 50);
}
