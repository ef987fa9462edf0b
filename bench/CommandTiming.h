#pragma once

#include <string>

// Runs the tolvek command found beside this program on a folder, a process each run, with its
// output discarded and its settings in a temporary folder of its own. One implementation per
// system: on Windows the program is a window, not a command, and nothing is timed.
class CommandTimer {
public:
    explicit CommandTimer(const std::string& folder);
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
    std::string m_command;
    std::string m_config;
    std::string m_notTimed;
    bool m_failed = false;
    double m_lastProcessor = 0;
};
