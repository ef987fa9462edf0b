#include "engine/Analyze.h"

#include "platform/CodePage.h"
#include "platform/Path.h"
#include "settings/EnvData.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class AnalyzeTest : public testing::Test {
protected:
    AnalyzeTest()
    {
        m_settings.m_strTgtFile = "|c|cpp|h|";
        m_settings.m_strToken = "\"";
    }

    std::string Log() const { return ReadBytes(m_folder / "Tolvek.log"); }

    std::vector<std::string> SortedNotices() const
    {
        std::vector<std::string> notices = m_recorder.Notices();
        std::sort(notices.begin(), notices.end());
        return notices;
    }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    TempFolder m_folder;
    CEnvData m_settings;
    NoticeRecorder m_recorder;
    OpenRecorder m_opened;
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

    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);

    EXPECT_EQ(SortedNotices(), (std::vector<std::string>{"解析中...|main.cpp", "解析中...|util.h"}));
    std::string log = Log();
    EXPECT_NE(log.find("main.cpp(1): \"main\"\r\n"), std::string::npos);
    EXPECT_NE(log.find("util.h(1): \"util\"\r\n"), std::string::npos);
    EXPECT_EQ(log.size(), std::string("main.cpp(1): \"main\"\r\nutil.h(1): \"util\"\r\n").size());
    EXPECT_EQ(m_opened.Opened(), std::vector<std::string>{m_folder / "Tolvek.log"});
}

TEST_F(AnalyzeTest, FolderWithoutDelimiterLinesCreatesAndOpensNoLog)
{
    WriteBytes(m_folder / "main.c", "int main(void) { return 0; }\n");
    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(m_recorder.Notices(), std::vector<std::string>{"解析中...|main.c"});
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
    EXPECT_TRUE(m_opened.Opened().empty());
}

TEST_F(AnalyzeTest, FolderPathEndingWithASeparatorIsJoinedWithoutASecondOne)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    std::string withSeparator = m_folder.Path() + kPathSeparator;
    AnalyzeFolder(withSeparator.c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(m_opened.Opened(), std::vector<std::string>{m_folder / "Tolvek.log"});
}

TEST_F(AnalyzeTest, ListOfJustABarAnalysesNothing)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    m_settings.m_strTgtFile = "|";
    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);
    EXPECT_TRUE(m_recorder.Notices().empty());
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(AnalyzeTest, TheLogInTheListIsScannedWithoutReadingItsOwnRecords)
{
    WriteBytes(m_folder / "Tolvek.log", "\"old\"\n");
    m_settings.m_strTgtFile = "|log|";
    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(Log(), "\"old\"\nTolvek.log(1): \"old\"\r\n");
}

TEST_F(AnalyzeTest, MissingFolderDoesNothing)
{
    AnalyzeFolder((m_folder / "missing").c_str(), m_recorder.Window(), m_settings);
    EXPECT_TRUE(m_recorder.Notices().empty());
}

TEST_F(AnalyzeTest, RelativeFolderIsMadeAbsolute)
{
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    std::filesystem::path previous = std::filesystem::current_path();
    ASSERT_TRUE(SetCurrentDir(m_folder.Path().c_str()));
    AnalyzeFolder(".", m_recorder.Window(), m_settings);
    std::filesystem::current_path(previous);
    EXPECT_EQ(Log(), "a.c(1): \"a\"\r\n");
}

TEST_F(AnalyzeTest, FileIsReadWhateverItsAttributesAndLogsBesideIt)
{
    std::string hidden = m_folder / ".hidden.c";
    WriteBytes(hidden, "\"h\"\n");
#ifdef _WIN32
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    AnalyzeFile(hidden.c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(m_recorder.Notices(), std::vector<std::string>{"解析中...|.hidden.c"});
    EXPECT_EQ(Log(), ".hidden.c(1): \"h\"\r\n");
    EXPECT_EQ(m_opened.Opened(), std::vector<std::string>{m_folder / "Tolvek.log"});
}

TEST_F(AnalyzeTest, FileThatIsNotATargetIsIgnored)
{
    WriteBytes(m_folder / "notes.txt", "\"n\"\n");
    AnalyzeFile((m_folder / "notes.txt").c_str(), m_recorder.Window(), m_settings);
    EXPECT_TRUE(m_recorder.Notices().empty());
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(AnalyzeTest, BareFileNameLogsInTheCurrentFolder)
{
    WriteBytes(m_folder / "b.h", "\"b\"\n");
    std::filesystem::path previous = std::filesystem::current_path();
    ASSERT_TRUE(SetCurrentDir(m_folder.Path().c_str()));
    AnalyzeFile("b.h", m_recorder.Window(), m_settings);
    std::filesystem::current_path(previous);
    EXPECT_EQ(Log(), "b.h(1): \"b\"\r\n");
}

TEST_F(AnalyzeTest, ShiftJisFileNames)
{
    // ソ (0x83 0x5C) and 表 (0x95 0x5C) end in a backslash byte.
    std::string name = "\x83\x5C\x95\x5C.c";
    std::string folder = m_folder / "\x95\x5C";
    MakeFolder(folder);
    WriteBytes(folder + kPathSeparator + name, "\"x\"\n");
    AnalyzeFolder(folder.c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(m_recorder.Notices(), std::vector<std::string>{"解析中...|" + name});
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
    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);
    EXPECT_EQ(m_recorder.Notices().size(), static_cast<size_t>(kFiles));
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), kFiles);
}

#ifndef _WIN32

TEST_F(AnalyzeTest, LinuxSkipsDevicesAndFollowsLinks)
{
    WriteBytes(m_folder / "real.c", "\"real\"\n");
    MakeFolder(m_folder / "dir.c");
    std::filesystem::create_symlink(m_folder / "real.c", m_folder / "link.c");
    std::filesystem::create_directory_symlink(m_folder / "dir.c", m_folder / "dirlink.c");
    std::filesystem::create_symlink(m_folder / "nowhere.c", m_folder / "broken.c");
    ASSERT_EQ(mkfifo((m_folder / "pipe.c").c_str(), 0600), 0);
    WriteBytes(m_folder / "back\\slash.c", "\"bs\"\n");

    AnalyzeFolder(m_folder.Path().c_str(), m_recorder.Window(), m_settings);

    EXPECT_EQ(SortedNotices(), (std::vector<std::string>{"解析中...|back\\slash.c",
                                                         "解析中...|link.c", "解析中...|real.c"}));
}

#endif
