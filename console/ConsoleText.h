#pragma once

#include "platform/Failure.h"

#include <string>

// The tool's own texts are UTF-8 in the Linux program; the terminal may use another encoding.
// Call once at start-up, before any thread runs.
void InitTerminalEncoding();

// The texts that the command shows on standard error besides failures, in the user's language:
// Japanese when the locale's messages are Japanese (ja_*), English otherwise.
struct TerminalTexts {
    const char* analyzing;  // before a file's name
    const char* finished;   // at the end of a run, with --verbose
    const char* files;      // "%lld files, %lld records: " on the progress line
};
const TerminalTexts& ChooseTerminalTexts();

// True when the locale's messages are Japanese: the first of LC_ALL, LC_MESSAGES and LANG that is
// set begins with "ja".
bool JapaneseLocale();

// `text` (UTF-8) in the terminal's encoding, or unchanged when it cannot be converted.
std::string ToTerminal(const char* text);

// `text` (in the terminal's encoding) cut to what fits one line of the terminal on standard
// error, counting the columns that each character takes; unchanged when the width is unknown.
std::string CutToTerminalWidth(const std::string& text);

// Why something failed, in a few words ("Permission denied").
std::string DescribeFailure(const Failure& failure);

// One line on standard error: "tolvek: PATH: REASON", the path's control bytes escaped.
void ReportFailure(const char* path, const std::string& reason);
// One line on standard error: "tolvek: PROBLEM".
void ReportProblem(const std::string& problem);
