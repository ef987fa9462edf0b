#pragma once

#include "engine/AnalysisOptions.h"
#include "platform/ReplacedFile.h"

#include <string>

class ConsoleEvents;
struct ConsoleOptions;

// Where the records of a run go, decided once for all its jobs:
// - the folders' own logs, appended to (no --output);
// - standard output (--output -), or a FIFO or device named, written as a stream;
// - a file named with --append, appended to if it holds records of the same format;
// - any other file named: written new beside it and put in its place at the end of a run that
//   was not stopped and could write all its records, so that the old file stays whole otherwise.
class ConsoleOutput {
public:
    // Sets where `analysis` writes. False, with the reason told to `events`, when the records
    // can go nowhere.
    bool Prepare(const ConsoleOptions& options, AnalysisOptions& analysis, ConsoleEvents& events);

    // The end of the run: a new file takes the old one's place, unless `keepOld`. False, told
    // to `events`, when it cannot.
    bool Finish(bool keepOld, ConsoleEvents& events);

    // The file that the records went to meanwhile, and the file it replaces, for the paths
    // named at the end.
    const char* WrittenPath() const { return m_replaced.NewPath(); }
    const char* Name() const { return m_absolute.c_str(); }
    bool Replaces() const { return m_replacing; }
    // The records go to a FIFO or device, which is no log to name.
    bool IsStream() const { return m_stream; }

private:
    bool CheckAppendFormat(const ConsoleOptions& options, ConsoleEvents& events);

    std::string m_name;      // as the user gave it
    std::string m_absolute;  // from where the command started
    bool m_replacing = false;
    bool m_stream = false;
    ReplacedFile m_replaced;
};
