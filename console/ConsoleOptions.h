#pragma once

#include "engine/AnalysisOptions.h"

#include <string>
#include <vector>

// The translation files that --format writes instead of records.
enum class TranslationFormat { None, Po, Xliff };

// The command line of `tolvek [OPTIONS] PATH...`. Options override the settings for one run only.
struct ConsoleOptions {
    std::vector<std::string> paths;  // in the order given
    std::string filesFrom;           // --files-from FILE, or "-" for standard input
    bool nullSeparated = false;      // -0: the list's names end with NUL, not a line feed
    bool hasCondition = false;
    int32_t condition = 0;
    bool hasSyntax = false;
    int32_t syntax = 0;      // SYNTAX_*
    bool hasDelimiter = false;
    std::string delimiter;
    bool hasTargetList = false;
    std::string targetList;  // "|c|cpp|h|", built from --ext c,cpp,h
    int codePage = 0;        // 0: the default, Shift_JIS
    bool open = false;
    bool followLinks = false;
    int threads = 0;  // 0: one per processor
    std::string output;  // --output FILE, or "-" for standard output; empty: the folder's log
    bool append = false; // --append: FILE is appended to rather than replaced
    bool sort = false;   // records in byte order of their names
    std::string baseline;  // --baseline FILE: an earlier jsonl output of the known texts
    RecordFormatKind format = RecordFormatKind::Log;
    TranslationFormat translationFormat = TranslationFormat::None;
    std::string apply;  // --apply TRANSLATIONS: put them back into PATH
    bool dryRun = false;
    bool failIfFound = false;
    bool verbose = false;
    bool quiet = false;
    bool noProgress = false;
    bool subFolders = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. False, with a message in `error`, for a usage
// mistake.
bool ParseConsoleOptions(int argc, char** argv, ConsoleOptions& options, std::string& error);

// Puts the options' overrides into the analysis options of this run.
void ApplyConsoleOptions(const ConsoleOptions& options, AnalysisOptions& analysis);

extern const char kConsoleUsage[];
