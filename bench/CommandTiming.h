#pragma once

#include <string>
#include <vector>

// The commands the benchmark times on a folder, a process each run, with their output discarded.
enum class TimedCommand {
    kTolvek,      // the tolvek command beside the benchmark, writing the folder's log
    kTolvekTree,  // the same on a tree of sources that is not ours: subfolders, no log written
    kRipgrep,     // rg -j2 -n -o '"[^"]*"' on the same target files, to compare with
};

// Runs one of them, with tolvek's settings in a temporary folder of its own. One implementation
// per system: on Windows the program is a window, not a command, and nothing is timed.
class CommandTimer {
public:
    CommandTimer(const std::string& folder, TimedCommand command);
    ~CommandTimer();
    CommandTimer(const CommandTimer&) = delete;
    CommandTimer& operator=(const CommandTimer&) = delete;

    // Why the command is not timed; empty while it is.
    const std::string& NotTimed() const { return m_notTimed; }
    // True when the command should have been timed but could not be.
    bool Failed() const { return m_failed; }
    // The seconds of one run; 0, and a reason in NotTimed(), when it cannot run or fails.
    double TimeOnce();
    // The processor time (user and system) of the last timed run, in seconds.
    double LastProcessorSeconds() const { return m_lastProcessor; }

private:
    std::string m_folder;
    TimedCommand m_command;
    std::vector<std::string> m_arguments;  // the program first
    std::string m_config;
    std::string m_notTimed;
    bool m_failed = false;
    double m_lastProcessor = 0;
};
