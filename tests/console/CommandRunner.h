#pragma once

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/types.h>

#include <string>
#include <vector>

struct CommandResult {
    int status = -1;  // the exit status, or 128 + the signal that ended the command
    std::string out;
    std::string err;
};

// How to run the command.
struct RunOptions {
    std::string folder;                      // the working folder ("": the runner's own)
    std::string searchPath = "/usr/bin:/bin";
    // As an ordinary user (nobody) even when the tests run as root, so that permissions hold.
    bool unprivileged = false;
    // With standard error (only) on a terminal of this many columns; 0: a file.
    int terminalColumns = 0;
    // The locale and the terminal's variables: English in UTF-8 unless a test says otherwise.
    std::vector<std::string> environment = {"LC_ALL=C.UTF-8"};
    std::string input;  // standard input's bytes (else /dev/null)
};

// A Japanese user's locale (the messages ja_JP; UTF-8, which every system has, for the rest).
const std::vector<std::string> kJapaneseLocale = {"LC_CTYPE=C.UTF-8", "LANG=ja_JP.UTF-8"};

// Runs the `tolvek` command as a user runs it, with its settings under a private folder and its
// output in files.
class CommandRunner {
public:
    CommandRunner();

    CommandResult Run(std::vector<std::string> arguments, const RunOptions& options = RunOptions());
    // Starts the command and returns at once; Wait collects it.
    pid_t Start(std::vector<std::string> arguments, const RunOptions& options = RunOptions());
    CommandResult Wait(pid_t child);

    const TempFolder& Work() const { return m_work; }
    const TempFolder& Config() const { return m_config; }
    std::string Ini() const { return ReadBytes(m_config / "tolvek/Tolvek.ini"); }

private:
    TempFolder m_work;
    TempFolder m_config;
    int m_runs = 0;
};

// What the tests of the command share: a runner, and the sources' folder under its work folder.
class CommandTest : public testing::Test {
protected:
    std::string Src() const { return m_runner.Work() / "src"; }
    std::string Src(const std::string& name) const { return Src() + "/" + name; }
    std::string Log() const { return ReadBytes(Src("Tolvek.log")); }

    CommandRunner m_runner;
};

// True when the tests can drop to another user (they run as root).
bool CanDropPrivileges();
// Gives a path to the unprivileged user, so that the command can write there.
void GiveToUnprivileged(const std::string& path);
