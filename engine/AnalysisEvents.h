#pragma once

#include "platform/CString.h"
#include "platform/Failure.h"

#include <cstdint>

// What an analysis did, told at its end.
struct AnalysisSummary {
    int64_t filesRead = 0;       // target files scanned (whether or not they held texts)
    int64_t recordsWritten = 0;  // whole records appended to the log
    int64_t readFailures = 0;    // files and folders that could not be read
    bool logFailed = false;      // the log could not be created, opened or fully written
    bool noTargetList = false;   // the target list holds no extension: nothing was analysed
    bool notTarget = false;      // the file named is not a target: it was not analysed
    bool stopped = false;        // stopped on request before its end
    CString logPath;             // the log (or the file the records went to), when a line of a
                                 // target file held the delimiter (so the log was opened for this
                                 // job); empty otherwise, and when the records went to standard
                                 // output
};

// What an analysis tells its front end, which decides what a user sees. The analysis calls these
// on its own thread, one at a time and in the order of the files; the texts stay valid only for
// the call.
class AnalysisEvents {
public:
    virtual ~AnalysisEvents() = default;

    // The target file `displayName` is about to be read.
    virtual void OnFileBegin(const char* displayName) = 0;
    // A file or folder could not be opened, listed or read; `path` names it. The analysis goes on
    // with the next file.
    virtual void OnReadFailure(const char* path, const Failure& failure) = 0;
    // The log at `path` could not be created, opened or fully written; it ends at its last whole
    // record, and the analysis ends.
    virtual void OnLogFailure(const char* path, const Failure& failure) = 0;
    // A file is done: how many target files were read and how many records found so far.
    virtual void OnProgress(int64_t filesRead, int64_t recordsFound)
    {
        (void)filesRead;
        (void)recordsFound;
    }
    // The system started only `started` of the `requested` scanning threads; the analysis goes
    // on with those (none: on its own thread alone).
    virtual void OnFewerThreads(int started, int requested)
    {
        (void)started;
        (void)requested;
    }
    // The analysis has ended; the last call, made whatever happened before.
    virtual void OnEnd(const AnalysisSummary& summary) = 0;
};
