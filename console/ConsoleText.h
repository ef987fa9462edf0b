#pragma once

#include "console/ConsoleSystem.h"
#include "platform/Failure.h"

#include <string>

// The texts that the command shows on standard error besides failures, in the user's language:
// Japanese when the locale's messages are Japanese, English otherwise.
struct TerminalTexts {
    const char* analyzing;  // before a file's name
    const char* finished;   // at the end of a run, with --verbose
    const char* files;      // "%lld files, %lld records: " on the progress line
};
const TerminalTexts& ChooseTerminalTexts();

// Why something failed, in a few words ("Permission denied").
std::string DescribeFailure(const Failure& failure);

// One line on standard error: "tolvek: PATH: REASON", the path's control bytes escaped.
void ReportFailure(const char* path, const std::string& reason);
// One line on standard error: "tolvek: PROBLEM".
void ReportProblem(const std::string& problem);
