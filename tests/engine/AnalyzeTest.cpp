#include "engine/Analyze.h"

#include "platform/CodePage.h"
#include "platform/Path.h"
#include "tests/support/EventRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
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

TEST_F(AnalyzeTest, TheLogInTheListIsReadWithTheRecordsOfTheFilesBeforeIt)
{
    // 0.c comes first in byte order: its record is in the log when the log's own scan begins,
    // whichever thread opens the log first.
    m_options.targetList = "|c|log|";
    m_options.sorted = true;
    for (int threads : {1, 2}) {
        WriteBytes(m_folder / "Tolvek.log", "\"old\"\n");
        WriteBytes(m_folder / "0.c", "\"new\"\n");
        m_options.threads = threads;
        AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
        EXPECT_EQ(Log(), "\"old\"\n0.c(1): \"new\"\r\nTolvek.log(1): \"old\"\r\n"
                         "Tolvek.log(2): \"new\"\r\n")
            << threads << " threads";
    }
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
    };
    // On several threads a worker writes a file this long into the log itself: it stops too.
    for (int threads : {1, 3}) {
        RemoveFile(m_folder / "Tolvek.log");
        StoppingEvents events;
        m_options.stop = &events.m_stop;
        m_options.threads = threads;
        AnalyzeFolder(m_folder.Path().c_str(), m_options, events);
        EXPECT_TRUE(events.Summary().stopped);
        ASSERT_EQ(events.Files().size(), 1u);
        // What was written of the first file, if anything, is whole records, and far from all.
        std::string log = FileExists(m_folder / "Tolvek.log") ? Log() : "";
        const size_t kRecord = std::string("a.c(1): \"text\"\r\n").size();
        EXPECT_LT(log.size(), 100000u * kRecord / 2) << threads << " threads";
        for (size_t at = 0, end; at < log.size(); at = end + 2) {
            end = log.find("\r\n", at);
            ASSERT_NE(end, std::string::npos);
            ASSERT_EQ(log.compare(end - 5, 5, "text\""), 0) << log.substr(at, end - at);
        }
        std::string other = events.Files()[0] == "a.c" ? "b.c(" : "a.c(";
        EXPECT_EQ(log.find(other), std::string::npos);
    }
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

namespace {

class SubFolderTest : public AnalyzeTest {
protected:
    SubFolderTest() { m_options.subFolders = true; }

    std::string Sub(const std::string& relative) const
    {
        std::string path = m_folder.Path();
        for (char byte : relative) {
            path += byte == '/' ? kPathSeparator : byte;
        }
        return path.insert(m_folder.Path().size(), 1, kPathSeparator);
    }
    // A relative name as the records and notices give it.
    static std::string Named(const std::string& relative)
    {
        std::string name = relative;
        for (char& byte : name) {
            byte = byte == '/' ? kPathSeparator : byte;
        }
        return name;
    }
};

}  // namespace

TEST_F(SubFolderTest, EveryLevelIsAnalysedDepthFirstIntoTheTopFoldersLog)
{
    WriteBytes(Sub("a.c"), "\"a\"\n");
    MakeFolder(Sub("sub/deep"));
    WriteBytes(Sub("sub/b.h"), "\"b\"\n");
    WriteBytes(Sub("sub/deep/c.cpp"), "x;\n\"c\"\n");
    WriteBytes(Sub("sub/Tolvek.log"), "\"not a target\"\n");
    MakeFolder(Sub("empty"));

    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"a.c", Named("sub/b.h"), Named("sub/deep/c.cpp")}));
    // Depth first: a folder's files and subfolders before the next entry of the folder above.
    std::vector<std::string> files = m_events.Files();
    auto at = [&files](const std::string& name) { return std::find(files.begin(), files.end(), name) - files.begin(); };
    EXPECT_EQ(std::abs(at(Named("sub/b.h")) - at(Named("sub/deep/c.cpp"))), 1);

    std::vector<std::string> lines;
    std::string log = Log();
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(log.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"a.c(1): \"a\"", Named("sub/b.h") + "(1): \"b\"",
                                               Named("sub/deep/c.cpp") + "(2): \"c\""}));
    EXPECT_EQ(ReadBytes(Sub("sub/Tolvek.log")), "\"not a target\"\n");
    EXPECT_EQ(Opened(), m_folder / "Tolvek.log");

    // A Tolvek.log below the top is an ordinary file: a target when the list says so.
    EventRecorder withLogs;
    m_options.targetList = "|log|";
    RemoveFile(m_folder / "Tolvek.log");
    AnalyzeFolder(m_folder.Path().c_str(), m_options, withLogs);
    EXPECT_EQ(withLogs.Files(), std::vector<std::string>{Named("sub/Tolvek.log")});
    EXPECT_EQ(Log(), Named("sub/Tolvek.log") + "(1): \"not a target\"\r\n");
}

TEST_F(SubFolderTest, HiddenAndSystemFoldersAreSkipped)
{
    MakeFolder(Sub(".git"));
    WriteBytes(Sub(".git/hook.c"), "\"hidden\"\n");
    MakeFolder(Sub("src"));
    WriteBytes(Sub("src/a.c"), "\"a\"\n");
#ifdef _WIN32
    MakeFolder(Sub("hidden"));
    WriteBytes(Sub("hidden/h.c"), "\"h\"\n");
    SetFileAttributesA(Sub("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(Sub("system"));
    WriteBytes(Sub("system/s.c"), "\"s\"\n");
    SetFileAttributesA(Sub("system").c_str(), FILE_ATTRIBUTE_SYSTEM);
#endif
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{Named("src/a.c")});
}

TEST_F(SubFolderTest, AFolderThatIsALinkIsNotEntered)
{
    // On Windows a junction or a symbolic link to a folder is a reparse point: never entered.
    MakeFolder(Sub("real"));
    WriteBytes(Sub("real/r.c"), "\"r\"\n");
    SymbolicLink alias(m_folder.Path(), "real", "alias");
    ASSERT_TRUE(alias.Made());
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{Named("real/r.c")});
    EXPECT_EQ(m_events.Summary().readFailures, 0);
}

TEST_F(AnalyzeTest, ALogThatIsALinkIsRefused)
{
    // A link to a folder: a reparse point on Windows (where Wine shows links to files as plain
    // files), a symbolic link on Linux.
    WriteBytes(m_folder / "a.c", "\"a\"\n");
    MakeFolder(m_folder / "elsewhere");
    SymbolicLink log(m_folder.Path(), "elsewhere", "Tolvek.log");
    ASSERT_TRUE(log.Made());
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    ASSERT_EQ(m_events.LogFailures().size(), 1u);
    EXPECT_EQ(m_events.LogFailures()[0].kind, FailureKind::SymbolicLink);
    EXPECT_FALSE(FileExists(m_folder / "elsewhere" + kPathSeparator + "Tolvek.log"));
}

#ifdef _WIN32

// Folders made through the long form of their paths, which the ordinary removal of the test's
// folder cannot reach: removed, deepest first, the same way.
class LongFolders {
public:
    LongFolders() = default;
    LongFolders(const LongFolders&) = delete;
    LongFolders& operator=(const LongFolders&) = delete;
    ~LongFolders()
    {
        for (auto folder = m_made.rbegin(); folder != m_made.rend(); ++folder) {
            RemoveDirectoryW(folder->c_str());
        }
    }
    bool Make(const std::string& path)
    {
        std::wstring wide(path.size() + 1, L'\0');
        wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                                            static_cast<int>(wide.size()))) - 1);
        std::wstring longForm = L"\\\\?\\" + wide;
        if (!CreateDirectoryW(longForm.c_str(), nullptr)) {
            return false;
        }
        m_made.push_back(longForm);
        return true;
    }

private:
    std::vector<std::wstring> m_made;
};

TEST_F(SubFolderTest, APathOverTheSystemsLimitIsToldNeverCut)
{
    // Folders that take the path past 259 bytes.
    LongFolders folders;
    std::string deep = m_folder.Path();
    while (deep.size() < 300) {
        deep += "\\" + std::string(40, 'd');
        ASSERT_TRUE(folders.Make(deep)) << GetLastError();
    }
    WriteBytes(Sub("a.c"), "\"a\"\n");
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    ASSERT_EQ(m_events.ReadFailures().size(), 1u);
    EXPECT_EQ(m_events.ReadFailures()[0].kind, FailureKind::NameTooLong);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{"a.c"});
    EXPECT_EQ(m_events.Summary().readFailures, 1);
}

#else

TEST_F(SubFolderTest, LinksToFoldersAreEnteredOnlyWhenFollowedAndNeverTwice)
{
    MakeFolder(Sub("real"));
    WriteBytes(Sub("real/r.c"), "\"r\"\n");
    std::filesystem::create_directory_symlink(Sub("real"), Sub("alias"));
    std::filesystem::create_directory_symlink(m_folder.Path(), Sub("real/loop"));
    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{"real/r.c"});

    EventRecorder following;
    m_options.followLinks = true;
    AnalyzeFolder(m_folder.Path().c_str(), m_options, following);
    // real and alias are one folder, and loop leads back to the top: each is read once.
    EXPECT_EQ(following.Files().size(), 1u);
    EXPECT_EQ(following.Summary().readFailures, 0);
}

TEST_F(SubFolderTest, ATreeDeeperThanTheHandleLimitIsReadWhole)
{
    // 400 levels, two files in each, under a limit of 256 open files. Levels closed on the way
    // down are opened again for a file listed after the folder, and must be found the same
    // folders. One file is made before the folder and one after it, and their names change
    // from level to level, so that many are listed after it whether the system lists entries
    // in the order they were made, the reverse, or by a hash of their names.
    const int kDepth = 400;
    std::string path = m_folder.Path();
    for (int depth = 0; depth < kDepth; ++depth) {
        WriteBytes(path + "/a" + std::to_string(depth) + ".c", "\"a\"\n");
        MakeFolder(path + "/d");
        WriteBytes(path + "/z" + std::to_string(depth) + ".c", "\"z\"\n");
        path += "/d";
    }
    rlimit previous = {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &previous), 0);
    rlimit lowered = previous;
    lowered.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    for (int threads : {1, 4}) {
        EventRecorder events;
        m_options.threads = threads;
        RemoveFile(m_folder / "Tolvek.log");
        AnalyzeFolder(m_folder.Path().c_str(), m_options, events);
        EXPECT_EQ(events.Summary().readFailures, 0) << threads;
        EXPECT_EQ(events.Files().size(), static_cast<size_t>(2 * kDepth)) << threads;
        EXPECT_EQ(events.Summary().recordsWritten, 2 * kDepth) << threads;
    }
    setrlimit(RLIMIT_NOFILE, &previous);
}

TEST_F(SubFolderTest, APathOverTheSystemsLimitIsToldNeverCut)
{
    // Made level by level from inside, as a path from the top would be too long to make.
    int level = open(m_folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(level, 0);
    const std::string name(200, 'd');
    for (int depth = 0; depth < 22; ++depth) {
        ASSERT_EQ(mkdirat(level, name.c_str(), 0755), 0);
        int next = openat(level, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(level);
        level = next;
    }
    int file = openat(level, "x.c", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(write(file, "\"x\"\n", 4), 4);
    close(file);
    close(level);
    WriteBytes(Sub("a.c"), "\"a\"\n");

    AnalyzeFolder(m_folder.Path().c_str(), m_options, m_events);
    ASSERT_GE(m_events.ReadFailures().size(), 1u);
    EXPECT_EQ(m_events.ReadFailures()[0].kind, FailureKind::NameTooLong);
    EXPECT_EQ(m_events.Files(), std::vector<std::string>{"a.c"});
    // Removing the tree from the top would meet the same limit: take it down from inside.
    std::filesystem::remove_all(Sub(name));
}

#endif
