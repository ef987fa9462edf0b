#pragma once

#include "engine/Conditions.h"
#include "platform/CString.h"

#include <atomic>
#include <cstdint>

// How records are written.
enum class RecordFormatKind {
    Log,        // name(line): "text", the log's own
    JsonLines,  // one JSON object a line
    Csv,        // RFC 4180 with a header, for spreadsheets
};

// What one analysis is asked to do. A plain value: a job takes its own copy when it starts, so
// that a change to the settings meanwhile takes effect with the next job.
struct AnalysisOptions {
    CString delimiter;               // empty means the double quote; at most 15 bytes are used
    int32_t condition = STRFLG_ANY;  // STRFLG_*
    int32_t syntax = 0;              // SYNTAX_*: delimiter pairs, or C/C++ literals
    CString targetList;              // the target extensions, such as "|c|cpp|h|"
    bool subFolders = false;         // a folder's subfolders too, depth first
    bool followLinks = false;        // read the files and enter the folders that links in the
                                     // folder point to (Linux)
    int threads = 0;                 // threads that scan a folder's files: 0 one per processor,
                                     // 1 the analysis's own thread alone
    RecordFormatKind format = RecordFormatKind::Log;
    CString outputPath;              // an absolute path: the records go there instead of the
                                     // folder's Tolvek.log; empty: the log
    bool toStandardOutput = false;   // the records go to standard output, and no log is written
    // Set by the front end to stop the analysis after the records being written; null when the
    // analysis cannot be stopped. The flag outlives the analysis.
    const std::atomic<bool>* stop = nullptr;
};
