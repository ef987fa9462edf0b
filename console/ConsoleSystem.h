#pragma once

#include <atomic>
#include <string>

// What the command needs of the system it runs on: its terminal, its language and its stop
// signals. One implementation per system.

// True when standard error is a terminal (a console window on Windows): a line can be redrawn
// there.
bool StandardErrorIsTerminal();

// The tool's own texts may be in another encoding than the terminal's. Call once at start-up,
// before any thread runs.
void InitTerminalEncoding();

// `text` (one of the tool's own) in the terminal's encoding, or unchanged when it cannot be
// converted.
std::string ToTerminal(const char* text);

// `text` (in the terminal's encoding) cut to what fits one line of the terminal on standard
// error, counting the columns that each character takes; unchanged when the width is unknown.
std::string CutToTerminalWidth(const std::string& text);

// What follows a redrawn `line` so that nothing of a longer, earlier drawing is left after it.
std::string EraseAfterLine(const std::string& line);

// True when the user reads Japanese: the first of LC_ALL, LC_MESSAGES and LANG that is set begins
// with "ja"; on Windows, when none is set, the user's interface language is Japanese.
bool JapaneseLocale();

// Why a system call failed, in the system's words.
std::string SystemErrorText(int systemCode);

// While it lives, a stop asked of the process (SIGINT and SIGTERM; Ctrl+C and Ctrl+Break on
// Windows) sets `stop`, so that the job ends once the records being written are whole.
class StopSignals {
public:
    explicit StopSignals(std::atomic<bool>& stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The exit status of a run that a stop ended: 128 + the signal (130 for Ctrl+C).
    static int ExitStatus();
};
