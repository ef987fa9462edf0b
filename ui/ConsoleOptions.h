#pragma once

#include "platform/CString.h"
#include "settings/EnvData.h"

#include <string>

// The command line of `tolvek [OPTIONS] PATH`. Options override the settings for one run only.
struct ConsoleOptions {
    std::string path;
    bool hasCondition = false;
    int32_t condition = 0;
    bool hasDelimiter = false;
    std::string delimiter;
    bool hasTargetList = false;
    std::string targetList;  // "|c|cpp|h|", built from --ext c,cpp,h
    int codePage = 0;        // 0: as the locale says
    bool open = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. False, with a message in `error`, for a usage
// mistake.
bool ParseConsoleOptions(int argc, char** argv, ConsoleOptions& options, std::string& error);

// The settings of this run: `settings` with the options' overrides.
CEnvData ApplyConsoleOptions(const ConsoleOptions& options, const CEnvData& settings);

extern const char kConsoleUsage[];
