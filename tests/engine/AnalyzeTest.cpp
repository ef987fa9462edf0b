#include "engine/Analyze.h"

#include "platform/CodePage.h"
#include "platform/Path.h"
#include "tests/support/EventRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

class AnalyzeTest : public testing::Test {
protected:
    AnalyzeTest() { m_options.targetList = "|c|cpp|h|"; }

    std::string Log() const { return ReadBytes(m_folder / "Tolvek.log"); }

    std::vector<std::string> SortedFiles() const
    {
        std::vector<std::string> files = m_events.Files();
        std::sort(files.begin(), files.end());
        return files;
    }

    // The log that the analysis opened, or "" when it opened none.
    std::string Opened() const { return m_events.Summary().logPath.GetString(); }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    CurrentFolderScope m_currentFolder;  // an analysis leaves its folder current
    TempFolder m_folder;
    AnalysisOptions m_options;
    EventRecorder m_events;
};

}  // namespace

TEST_F(AnalyzeTest, FolderScansItsVisibleTargetFilesOnly)
{
    WriteBytes(m_folder / "main.cpp", "puts(\"main\");\n");
    WriteBytes(m_folder / "util.h", "#define X \"util\"\n");
    WriteBytes(m_folder / "notes.txt", "\"notes\"\n");
    WriteBytes(m_folder / "MAIN.CPP2", "\"no\"\n");
    MakeFolder(m_folder / "sub");
    WriteBytes(m_folder / "sub" + kPathSeparator + "deep.c", "\"deep\"\n");
    WriteBytes(m_folder / ".hidden.c", "\"hidden\"\n");
#ifdef _WIN32
    SetFileAttributesA((m_folder / ".hidden.c").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(m_folder / "system.c", "\"system\"\n");
    SetFileAttributesA((m_folder / "system.c").c_str(), FILE_ATTRIBUTE_SYSTEM);
#endif

    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);

    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"main.cpp", "util.h"}));
    std::string log = Log();
    EXPECT_NE(log.find("main.cpp(1): \"main\"\r\n"), std::string::npos);
    EXPECT_NE(log.find("util.h(1): \"util\"\r\n"), std::string::npos);
    EXPECT_EQ(log.size(), std::string("main.cpp(1): \"main\"\r\nutil.h(1): \"util\"\r\n").size());
    EXPECT_EQ(Opened(), m_folder / "Tolvek.log");
    EXPECT_EQ(m_events.Summary().filesRead, 2);
    EXPECT_EQ(m_events.Summary().recordsWritten, 2);
    EXPECT_EQ(m_events.Events().back(), "end");
}

TEST_F(AnalyzeTest, FolderWithoutDelimiterLinesCreatesAndOpensNoLog)
{
    WriteBytes(m_folder / "main.c", "int main(void) { return 0; }\n");
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{"main.c"});
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
    EXPECT_EQ(Opened(), "");
}

TEST_F(AnalyzeTest, FolderPathEndingWithASeparatorIsJoinedWithoutASecondOne)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    std::string withSeparator = m_folder.Path() + kPathSeparator;
    AnalyzeFolder(withSeparator.c_str(), m_options, m_events);
    EXPECT_EQ(Opened(), m_folder / "Tolvek.log");
}

TEST_F(AnalyzeTest, ListOfJustABarAnalysesNothing)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    m_options.targetList = "|";
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Events(), std::vector<std::string>{"end"});
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(AnalyzeTest, TheLogInTheListIsScannedWithoutReadingItsOwnRecords)
{
    WriteBytes(m_folder / "Tolvek.log", "\"old\"\n");
    m_options.targetList = "|log|";
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(Log(), "\"old\"\nTolvek.log(1): \"old\"\r\n");
}

TEST_F(AnalyzeTest, MissingFolderIsToldAndEnds)
{
    std::string missing = m_folder / "missing";
    AnalyzeFolder(missing.c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Events(), (std::vector<std::string>{"read-failure " + missing, "end"}));
    EXPECT_EQ(m_events.ReadFailures()[0].kind, FailureKind::NotFound);
    EXPECT_EQ(m_events.Summary().readFailures, 1);
}

TEST_F(AnalyzeTest, ALogThatCannotBeWrittenIsToldAndEndsTheAnalysis)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    WriteBytes(m_folder / "b.c", "\"b\"\n");
    MakeFolder(m_folder / "Tolvek.log");
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    std::vector<std::string> events = m_events.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1], "log-failure " + (m_folder / "Tolvek.log"));
    EXPECT_EQ(m_events.LogFailures()[0].kind, FailureKind::NotRegularFile);
    EXPECT_TRUE(m_events.Summary().logFailed);
    EXPECT_EQ(m_events.Summary().recordsWritten, 0);
    EXPECT_EQ(Opened(), "");
}

TEST_F(AnalyzeTest, AMissingTargetFileIsToldAndANonTargetIsNotAnalysed)
{
    std::string missing = m_folder / "gone.c";
    AnalyzeFile(missing.c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Events(), (std::vector<std::string>{"begin gone.c", "read-failure " + missing, "end"}));
    EXPECT_EQ(m_events.Summary().filesRead, 0);

    EventRecorder notTarget;
    WriteBytes(m_folder / "notes.txt", "\"n\"\n");
    AnalyzeFile((m_folder / "notes.txt").c_str(), m_options, notTarget);
    EXPECT_TRUE(notTarget.Summary().notTarget);
}

TEST_F(AnalyzeTest, AnEmptyTargetListIsToldAndNothingIsRead)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    for (const char* list : {"", "|", "c"}) {
        EventRecorder events;
        m_options.targetList = list;
        AnalyzeFolder(m_folder.Path().c_str(), m_options, events);
        EXPECT_EQ(events.Events(), std::vector<std::string>{"end"}) << list;
        EXPECT_TRUE(events.Summary().noTargetList) << list;
    }
}

TEST_F(AnalyzeTest, AStopRequestEndsTheAnalysisAfterWholeRecords)
{
    std::string lines;
    for (int line = 0; line < 100000; ++line) {
        lines += "s = \"text\";\n";
    }
    WriteBytes(m_folder / "a.c", lines);
    WriteBytes(m_folder / "b.c", lines);
    // The request comes as the first file begins, as a signal might.
    class StoppingEvents : public EventRecorder {
    public:
        void OnFileBegin(const char* displayName) override
        {
            EventRecorder::OnFileBegin(displayName);
            m_stop = true;
        }
        std::atomic<bool> m_stop{false};
    } events;
    m_options.stop = &events.m_stop;
    AnalyzeFolder(m_folder.Path().c_str(), m_options, events);
    EXPECT_TRUE(events.Summary().stopped);
    EXPECT_EQ(events.Files().size(), 1u);
    std::string log = Log();
    const size_t kRecord = std::string("a.c(1): \"text\"\r\n").size();
    EXPECT_GT(log.size(), 0u);
    EXPECT_LT(log.size(), 100000u * kRecord);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    std::string other = events.Files()[0] == "a.c" ? "b.c(" : "a.c(";
    EXPECT_EQ(log.find(other), std::string::npos);
}

TEST_F(AnalyzeTest, RelativeFolderIsMadeAbsolute)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    ASSERT_TRUE(SetCurrentDir(m_folder.Path().c_str()));
    AnalyzeFolder(".", m_options, m_events);
    EXPECT_EQ(Log(), "a.c(1): \"a\"\r\n");
}

TEST_F(AnalyzeTest, FileIsReadWhateverItsAttributesAndLogsBesideIt)
{
    std::string hidden = m_folder / ".hidden.c";
    WriteBytes(hidden, "\"h\"\n");
#ifdef _WIN32
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    AnalyzeFile(hidden.c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{".hidden.c"});
    EXPECT_EQ(Log(), ".hidden.c(1): \"h\"\r\n");
    EXPECT_EQ(Opened(), m_folder / "Tolvek.log");
}

TEST_F(AnalyzeTest, FileThatIsNotATargetIsIgnored)
{
    WriteBytes(m_folder / "notes.txt", "\"n\"\n");
    AnalyzeFile((m_folder / "notes.txt").c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Events(), std::vector<std::string>{"end"});
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(AnalyzeTest, BareFileNameLogsInTheCurrentFolder)
{
    WriteBytes(m_folder / "b.h", "\"b\"\n");
    ASSERT_TRUE(SetCurrentDir(m_folder.Path().c_str()));
    AnalyzeFile("b.h", m_options, m_events);
    EXPECT_EQ(Log(), "b.h(1): \"b\"\r\n");
}

TEST_F(AnalyzeTest, ShiftJisFileNames)
{
    // ソ (0x83 0x5C) and 表 (0x95 0x5C) end in a backslash byte.
    std::string name = "\x83\x5C\x95\x5C.c";
    std::string folder = m_folder / "\x95\x5C";
    MakeFolder(folder);
    WriteBytes(folder + kPathSeparator + name, "\"x\"\n");
    AnalyzeFolder(folder.c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{name});
    EXPECT_EQ(ReadBytes(folder + kPathSeparator + "Tolvek.log"), name + "(1): \"x\"\r\n");
}

TEST_F(AnalyzeTest, AFolderOfManyFiles)
{
#ifdef _WIN32
    const int kFiles = 2000;  // creating files is slow under Wine
#else
    const int kFiles = 10000;
#endif
    for (int index = 0; index < kFiles; ++index) {
        WriteBytes(m_folder / ("f" + std::to_string(index) + ".c"), "\"x\"\n");
    }
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files().size(), static_cast<size_t>(kFiles));
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), kFiles);
}

#ifndef _WIN32

TEST_F(AnalyzeTest, LinuxSkipsDevicesAndLinksUnlessLinksAreFollowed)
{
    // A link planted in the folder would copy a file from elsewhere into the log.
    TempFolder elsewhere;
    WriteBytes(elsewhere / "secret.c", "\"secret\"\n");
    std::filesystem::create_symlink(elsewhere / "secret.c", m_folder / "planted.c");
    WriteBytes(m_folder / "real.c", "\"real\"\n");
    MakeFolder(m_folder / "dir.c");
    std::filesystem::create_symlink(m_folder / "real.c", m_folder / "link.c");
    std::filesystem::create_directory_symlink(m_folder / "dir.c", m_folder / "dirlink.c");
    std::filesystem::create_symlink(m_folder / "nowhere.c", m_folder / "broken.c");
    ASSERT_EQ(mkfifo((m_folder / "pipe.c").c_str(), 0600), 0);
    WriteBytes(m_folder / "back\\slash.c", "\"bs\"\n");

    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"back\\slash.c", "real.c"}));
    EXPECT_EQ(Log().find("secret"), std::string::npos);
    EXPECT_EQ(m_events.Summary().readFailures, 0);

    EventRecorder following;
    m_options.followLinks = true;
    AnalyzeFolder(m_folder.Path().c_str(), m_options, following);
    std::vector<std::string> files = following.Files();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"back\\slash.c", "link.c", "planted.c", "real.c"}));
}

#endif
