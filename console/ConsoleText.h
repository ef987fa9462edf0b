#pragma once

#include "platform/Failure.h"

#include <string>

// The tool's own texts are UTF-8 in the Linux program; the terminal may use another encoding.
// Call once at start-up, before any thread runs.
void InitTerminalEncoding();

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
