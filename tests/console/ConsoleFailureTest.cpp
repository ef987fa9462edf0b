// The `tolvek` command given what a hostile or unlucky user gives it: every failure is told, no
// record is cut, merged or written where it does not belong.
#include "tests/console/CommandRunner.h"

#include "platform/FilePrefetch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

class ConsoleFailureTest : public CommandTest {
protected:
    void SetUp() override
    {
        MakeFolder(Src());
        GiveToUnprivileged(Src());
        m_unprivileged.unprivileged = true;
    }

    // The line that the command writes for a failure.
    static std::string Told(const std::string& path, const std::string& reason)
    {
        return "tolvek: " + path + ": " + reason + "\n";
    }

    RunOptions m_unprivileged;
};

// True once a run writes a new output file of some size beside the one it will replace.
bool NewOutputIsWritten(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::error_code error;
        if (entry.path().filename().string().rfind(".tolvek-", 0) == 0 &&
            std::filesystem::file_size(entry.path(), error) > 100000) {
            return true;
        }
    }
    return false;
}

// The lines of a log without their line ends: CR LF in Tolvek.log, LF through --output.
std::vector<std::string> LogLines(const std::string& log, const std::string& lineEnd = "\r\n")
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find(lineEnd, start);
        if (end == std::string::npos) {
            lines.push_back(log.substr(start));
            break;
        }
        lines.push_back(log.substr(start, end - start));
        start = end + lineEnd.size();
    }
    return lines;
}

// Writes `files` sources of `lines` lines each, every line a literal "lit F-L".
void WriteManySources(const std::string& folder, int files, int lines)
{
    for (int file = 0; file < files; ++file) {
        std::string text;
        for (int line = 0; line < lines; ++line) {
            text += "s = \"lit " + std::to_string(file) + "-" + std::to_string(line) + "\";\n";
        }
        WriteBytes(folder + "/f" + std::to_string(file) + ".c", text);
    }
}

const std::regex kWholeRecord(R"(f\d+\.c\(\d+\): "lit \d+-\d+")");

}  // namespace

TEST_F(ConsoleFailureTest, AnUnreadableFileIsToldAndTheRestIsAnalysed)
{
    WriteBytes(Src("a.c"), "\"a\"\n");
    WriteBytes(Src("secret.c"), "\"secret\"\n");
    chmod(Src("secret.c").c_str(), 0);
    CommandResult result = m_runner.Run({Src()}, m_unprivileged);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(Told(Src("secret.c"), "Permission denied")), std::string::npos)
        << result.err;
    EXPECT_EQ(Log(), "a.c(1): \"a\"\r\n");
}

TEST_F(ConsoleFailureTest, AFolderThatCanBeListedButNotEnteredIsTold)
{
    WriteBytes(Src("a.c"), "\"a\"\n");
    chmod(Src().c_str(), 0444);
    CommandResult result = m_runner.Run({Src()}, m_unprivileged);
    chmod(Src().c_str(), 0777);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(Told(Src(), "Permission denied")), std::string::npos) << result.err;
}

TEST_F(ConsoleFailureTest, AFolderThatCannotTakeTheLogIsTold)
{
    WriteBytes(Src("a.c"), "\"a\"\n");
    chmod(Src().c_str(), 0555);
    CommandResult result = m_runner.Run({Src()}, m_unprivileged);
    chmod(Src().c_str(), 0777);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(Told(Src("Tolvek.log"), "cannot write the log: Permission denied")),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(ConsoleFailureTest, ALogThatIsNotAFileIsRefusedAndNothingIsWrittenThroughALink)
{
    WriteBytes(Src("a.c"), "\"a\"\n");
    TempFolder elsewhere;
    WriteBytes(elsewhere / "private.txt", "mine\n");
    struct Case {
        const char* made;
        std::string reason;
    };
    const Case cases[] = {
        {"folder", "cannot write the log: a folder, not a file"},
        {"fifo", "cannot write the log: not a file or folder"},
        {"link", "cannot write the log: a symbolic link, which is not followed"},
        {"dangling", "cannot write the log: a symbolic link, which is not followed"},
    };
    for (const Case& sample : cases) {
        RemoveFile(Src("Tolvek.log"));
        std::string made = sample.made;
        if (made == "folder") {
            MakeFolder(Src("Tolvek.log"));
        } else if (made == "fifo") {
            ASSERT_EQ(mkfifo(Src("Tolvek.log").c_str(), 0600), 0);
        } else if (made == "link") {
            ASSERT_EQ(symlink((elsewhere / "private.txt").c_str(), Src("Tolvek.log").c_str()), 0);
        } else {
            ASSERT_EQ(symlink((elsewhere / "new.txt").c_str(), Src("Tolvek.log").c_str()), 0);
        }
        CommandResult result = m_runner.Run({Src()});
        EXPECT_EQ(result.status, 1) << made;
        EXPECT_NE(result.err.find(Told(Src("Tolvek.log"), sample.reason)), std::string::npos)
            << made << ": " << result.err;
    }
    EXPECT_EQ(ReadBytes(elsewhere / "private.txt"), "mine\n");
    EXPECT_FALSE(FileExists(elsewhere / "new.txt"));
}

TEST_F(ConsoleFailureTest, ALogPathLongerThanTheSystemAllowsSaysSo)
{
    // A folder whose own path fits, but not with "/Tolvek.log" after it.
    std::string folder = Src();
    while (folder.size() < 4088) {
        folder += "/" + std::string(std::min<size_t>(200, 4089 - folder.size()), 'd');
        MakeFolder(folder);
    }
    WriteBytes(folder + "/a.c", "\"a\"\n");
    CommandResult result = m_runner.Run({folder});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(Told(folder + "/Tolvek.log", "cannot write the log: File name too long")),
              std::string::npos)
        << result.err;

    CommandResult tooLong = m_runner.Run({folder + "/" + std::string(100, 'x')});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_NE(tooLong.err.find("File name too long"), std::string::npos) << tooLong.err;
}

TEST_F(ConsoleFailureTest, ValuesThatCannotWorkAreRefusedOrTold)
{
    WriteBytes(Src("a.c"), "\"a\"\n");
    for (const std::vector<std::string>& mistake :
         {std::vector<std::string>{"--ext", "", Src()}, {"--ext", ",", Src()},
          {"--delimiter", "\n", Src()}}) {
        CommandResult result = m_runner.Run(mistake);
        EXPECT_EQ(result.status, 2) << mistake[1];
        EXPECT_NE(result.err.find("Try 'tolvek --help'"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(Src("Tolvek.log")));

    MakeFolder(m_runner.Config() / "tolvek");
    WriteBytes(m_runner.Config() / "tolvek/Tolvek.ini", "[EnvData]\nTgtFile=|\n");
    CommandResult emptyList = m_runner.Run({Src()});
    EXPECT_EQ(emptyList.status, 1);
    EXPECT_NE(emptyList.err.find("tolvek: the target list holds no extension"), std::string::npos)
        << emptyList.err;

    WriteBytes(Src("notes.txt"), "\"n\"\n");
    RemoveFile(m_runner.Config() / "tolvek/Tolvek.ini");
    CommandResult notTarget = m_runner.Run({Src("notes.txt")});
    EXPECT_EQ(notTarget.status, 1);
    EXPECT_NE(notTarget.err.find("tolvek: " + Src("notes.txt") + ": not a target file"), std::string::npos)
        << notTarget.err;
}

TEST_F(ConsoleFailureTest, PathsAreNotReadInTheSourcesCodePage)
{
    // こ (E3 81 93): read as Shift_JIS its last byte would swallow the '/' or the '.' after it.
    std::string folder = Src("\xE3\x81\x93");
    MakeFolder(folder);
    WriteBytes(folder + "/a.c", "\"a\"\n");
    WriteBytes(Src("\xE3\x81\x93.c"), "\"b\"\n");
    EXPECT_EQ(m_runner.Run({"--codepage", "932", folder + "/a.c"}).status, 0);
    EXPECT_EQ(ReadBytes(folder + "/Tolvek.log"), "a.c(1): \"a\"\r\n");
    EXPECT_EQ(m_runner.Run({"--codepage", "932", Src()}).status, 0);
    EXPECT_EQ(Log(), "\xE3\x81\x93.c(1): \"b\"\r\n");
}

TEST_F(ConsoleFailureTest, NamesCannotForgeRecordsOrDriveTheTerminal)
{
    WriteBytes(Src("main.c(7): \"INJECTED\"\nx.c"), "\"real\"\n");
    WriteBytes(Src("\x1b[31mred.c"), "\"red\"\n");
    WriteBytes(Src("del\x7F.c"), "\"del\"\n");
    CommandResult result = m_runner.Run({"--ext", "c", "--verbose", Src()});
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> lines = LogLines(Log());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"\\x1b[31mred.c(1): \"red\"", "del\\x7f.c(1): \"del\"",
                                               "main.c(7): \"INJECTED\"\\nx.c(1): \"real\""}));
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(result.err.find('\x7F'), std::string::npos);
    EXPECT_NE(result.err.find("Analyzing... main.c(7): \"INJECTED\"\\nx.c\n"), std::string::npos);
}

TEST_F(ConsoleFailureTest, APlainRunLeavesTheSettingsFileAsItIs)
{
    MakeFolder(m_runner.Config() / "tolvek");
    TempFolder elsewhere;
    std::string original = "[EnvData]\nStrFlg=0\nTgtFile=|c|" + std::string(112 * 1024, 'x') +
                           "|\nToken=\"\n";
    WriteBytes(elsewhere / "Tolvek.ini", original);
    ASSERT_EQ(symlink((elsewhere / "Tolvek.ini").c_str(),
                      (m_runner.Config() / "tolvek/Tolvek.ini").c_str()), 0);
    WriteBytes(Src("a.c"), "\"a\"\n");
    EXPECT_EQ(m_runner.Run({"--condition", "2", Src()}).status, 0);
    EXPECT_EQ(ReadBytes(elsewhere / "Tolvek.ini"), original);
    struct stat link;
    ASSERT_EQ(lstat((m_runner.Config() / "tolvek/Tolvek.ini").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

TEST_F(ConsoleFailureTest, ASettingsFileThatIsNoFileIsToldAndTheDefaultsAreUsed)
{
    MakeFolder(m_runner.Config() / "tolvek");
    std::string ini = m_runner.Config() / "tolvek/Tolvek.ini";
    WriteBytes(Src("a.c"), "\"a\"\n");
    struct Case {
        const char* what;
        bool (*make)(const std::string& path);
    } const cases[] = {
        {"a FIFO", [](const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }},
        {"a folder", [](const std::string& path) { return mkdir(path.c_str(), 0700) == 0; }},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.make(ini)) << c.what;
        RemoveFile(Src("Tolvek.log"));
        CommandResult result = m_runner.Run({Src()});
        EXPECT_EQ(result.status, 0) << c.what << ": " << result.err;
        EXPECT_NE(result.err.find("tolvek: " + ini + ": "), std::string::npos) << c.what << ": " << result.err;
        EXPECT_NE(result.err.find("the default settings are used"), std::string::npos) << c.what;
        EXPECT_EQ(Log(), "a.c(1): \"a\"\r\n") << c.what;
        remove(ini.c_str());
    }
}

TEST_F(ConsoleFailureTest, AFullDiskLeavesTheLogEndingAtAWholeRecordAndIsTold)
{
    std::string disk = m_runner.Work() / "disk";
    MakeFolder(disk);
    if (mount("tolvek-test", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
        std::fprintf(stderr, "\n!!!!! CANNOT MOUNT A SMALL TMPFS (%s): THE FULL-DISK TEST DID NOT RUN "
                     "!!!!!\n\n", std::strerror(errno));
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    }
    // Sources of 24 KB each, whose records together need far more than the disk holds.
    WriteManySources(disk, 12, 800);
    CommandResult result = m_runner.Run({disk});
    std::string log = ReadBytes(disk + "/Tolvek.log");
    umount(disk.c_str());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(Told(disk + "/Tolvek.log", "cannot write the log: No space left on device")),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    for (const std::string& line : LogLines(log)) {
        ASSERT_TRUE(std::regex_match(line, kWholeRecord)) << line;
    }
}

TEST_F(ConsoleFailureTest, SigintAndSigtermStopTheJobWithOnlyWholeRecords)
{
    WriteManySources(Src(), 60, 20000);
    for (int signal : {SIGINT, SIGTERM}) {
        RemoveFile(Src("Tolvek.log"));
        pid_t child = m_runner.Start({Src()});
        // Stop it once it is writing.
        for (int wait = 0; wait < 3000 && ReadBytes(Src("Tolvek.log")).size() < 100000; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        kill(child, signal);
        CommandResult result = m_runner.Wait(child);
        EXPECT_EQ(result.status, 128 + signal);
        std::string log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
        std::vector<std::string> lines = LogLines(log);
        EXPECT_LT(lines.size(), 60u * 20000u) << "the job was not stopped";
        for (const std::string& line : lines) {
            ASSERT_TRUE(std::regex_match(line, kWholeRecord)) << line;
        }
    }
    // A file named with --output is replaced only by a run that ends: stopped, it stays whole.
    std::string output = m_runner.Work() / "texts.log";
    WriteBytes(output, "old.c(1): \"old\"\n");
    pid_t child = m_runner.Start({"--output", output, Src()});
    for (int wait = 0; wait < 3000 && !NewOutputIsWritten(m_runner.Work().Path()); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(child, SIGINT);
    EXPECT_EQ(m_runner.Wait(child).status, 128 + SIGINT);
    EXPECT_EQ(ReadBytes(output), "old.c(1): \"old\"\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_runner.Work().Path()),
                            std::filesystem::directory_iterator()),
              2);  // src and texts.log: the new file is gone
}

// True when the process has `path` open.
bool HasOpen(pid_t process, const std::string& path)
{
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        if (std::filesystem::read_symlink(fd.path(), error) == path) {
            return true;
        }
    }
    return false;
}

// True when the child ended within `seconds`; it is left to be collected.
bool EndsWithin(pid_t child, int seconds)
{
    for (int wait = 0; wait < seconds * 100; ++wait) {
        siginfo_t info = {};
        if (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == child) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(ConsoleFailureTest, AStopEndsAWaitForTheLogsLockOrForAPipesReader)
{
    // Far more records than a pipe holds. The waits: another writer holds the log's lock; a
    // reader that has the pipe open reads nothing.
    WriteManySources(Src(), 4, 3000);
    std::string fifo = m_runner.Work() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (int signal : {SIGINT, SIGTERM}) {
        for (bool pipe : {false, true}) {
            RemoveFile(Src("Tolvek.log"));
            int held = open(pipe ? fifo.c_str() : Src("Tolvek.log").c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
            ASSERT_GE(held, 0);
            ASSERT_TRUE(pipe || flock(held, LOCK_EX) == 0);
            pid_t child = pipe ? m_runner.Start({"--output", fifo, Src()}) : m_runner.Start({Src()});
            // Until the run waits: the pipe is full; the lock is asked for (or the stop comes first,
            // which must end the run the same way).
            int queued = 0;
            for (int wait = 0; pipe && wait < 500 && queued < 32768; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                queued = ioctl(held, FIONREAD, &queued) == 0 ? queued : 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(pipe ? 100 : 400));
            kill(child, signal);
            bool ended = EndsWithin(child, 5);
            std::string inPipe;
            char block[4096];
            for (ssize_t got = 0; pipe && (got = read(held, block, sizeof block)) > 0;) {
                inPipe.append(block, static_cast<size_t>(got));
            }
            close(held);
            CommandResult result = m_runner.Wait(child);
            EXPECT_TRUE(ended) << "signal " << signal << (pipe ? ", pipe" : ", lock");
            EXPECT_EQ(result.status, 128 + signal) << result.err;
            EXPECT_EQ(result.err, "");
            if (pipe) {
                ASSERT_GT(inPipe.size(), 2u);
                EXPECT_LT(inPipe.size(), 12000u * 20u);
                EXPECT_EQ(inPipe.substr(inPipe.size() - 2), "\"\n");
                for (const std::string& line : LogLines(inPipe, "\n")) {
                    ASSERT_TRUE(std::regex_match(line, kWholeRecord)) << line;
                }
            } else {
                EXPECT_EQ(Log(), "");
            }
        }
    }
}

TEST_F(ConsoleFailureTest, ALinkSwappedInAfterTheListingIsNotReadThrough)
{
    // big.c fills the record buffer, so the run waits for the log's lock, which the test holds
    // while it swaps files and folders listed after big.c for links to a secret outside.
    std::string outside = m_runner.Work() / "outside";
    MakeFolder(outside);
    MakeFolder(outside + "/inner");
    WriteBytes(outside + "/secret.c", "s = \"SECRET\";\n");
    WriteBytes(outside + "/inner/x.c", "s = \"SECRET\";\n");
    WriteManySources(Src(), 1, 8000);
    ASSERT_EQ(rename(Src("f0.c").c_str(), Src("big.c").c_str()), 0);
    // More files than a batch opens ahead, so that some are opened after the swap.
    for (int index = 0; index < 40; ++index) {
        WriteBytes(Src("v" + std::to_string(index) + ".c"), "\"v\"\n");
    }
    for (int index = 0; index < 8; ++index) {
        MakeFolder(Src("d" + std::to_string(index)));
        WriteBytes(Src("d" + std::to_string(index) + "/x.c"), "\"d\"\n");
    }
    // The order in which the run lists them.
    std::vector<std::string> afterBig;
    bool seenBig = false;
    for (const auto& entry : std::filesystem::directory_iterator(Src())) {
        std::string name = entry.path().filename().string();
        seenBig = seenBig || name == "big.c";
        if (seenBig && name != "big.c") {
            afterBig.push_back(name);
        }
    }
    if (afterBig.empty()) {
        GTEST_SKIP() << "big.c is listed last here";
    }
    int held = open(Src("Tolvek.log").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    pid_t child = m_runner.Start({"-r", "--threads", "1", Src()});
    // Once the run has big.c and the log open, it has read the listing, and it cannot write
    // big.c's records, nor go on to the files after it, until the lock is free.
    for (int wait = 0; wait < 500 && !(HasOpen(child, Src("Tolvek.log")) && HasOpen(child, Src("big.c")));
         ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const std::string& name : afterBig) {
        bool file = name[0] == 'v';
        std::filesystem::remove_all(Src(name));
        ASSERT_EQ(symlink(file ? (outside + "/secret.c").c_str() : (outside + "/inner").c_str(),
                          Src(name).c_str()), 0);
    }
    close(held);
    CommandResult result = m_runner.Wait(child);
    const std::string log = Log();
    EXPECT_EQ(log.find("SECRET"), std::string::npos);
    EXPECT_EQ(result.status, 1);
    // A file opened ahead with big.c, or a folder entered to find it, is read as it was listed;
    // every other name is now a link, and told as one.
    int told = 0;
    for (const std::string& name : afterBig) {
        bool file = name[0] == 'v';
        bool isLink = result.err.find("tolvek: " + Src(name) + ": ") != std::string::npos;
        bool readAsListed = log.find(name + (file ? "(1): \"v\"" : "/x.c(1): \"d\"")) != std::string::npos;
        EXPECT_NE(isLink, readAsListed) << name << "\n" << result.err;
        told += isLink ? 1 : 0;
    }
    EXPECT_TRUE(told > 0 || afterBig.size() < FilePrefetch::kMostFiles) << result.err;
}

TEST_F(ConsoleFailureTest, WritersKilledAtRandomLeaveNoMergedRecord)
{
    WriteManySources(Src(), 20, 2000);
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 12; ++round) {
        pid_t child = m_runner.Start({Src()});
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 300000));
        kill(child, SIGKILL);
        m_runner.Wait(child);
    }
    ASSERT_EQ(m_runner.Run({Src()}).status, 0);

    // A killed writer may leave a cut record behind, on a line of its own; a record never
    // continues one, and the last run's records are all there, whole.
    size_t whole = 0;
    for (std::string line : LogLines(Log())) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // cut between the CR and the LF of its line end
        }
        if (std::regex_match(line, kWholeRecord)) {
            ++whole;
            continue;
        }
        // A cut record has at most one name and one opening quote; two of either are a merge.
        size_t names = 0;
        for (size_t at = line.find(".c("); at != std::string::npos; at = line.find(".c(", at + 1)) {
            ++names;
        }
        ASSERT_LE(names, 1u) << "merged: " << line;
        ASSERT_LE(std::count(line.begin(), line.end(), '"'), 1) << "merged: " << line;
    }
    EXPECT_GE(whole, 20u * 2000u);
}
