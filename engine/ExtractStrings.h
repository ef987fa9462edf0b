#pragma once

#include "engine/LiteralScanner.h"
#include "platform/Failure.h"

class LogFile;

// What the scan of one file came to.
struct FileScan {
    bool read = false;     // the file was opened (and read, unless readFailure says otherwise)
    Failure readFailure;   // why it could not be opened or read to its end
};

// Appends to `log` one record, `displayName(line): "text"`, for each text that the file at
// `srcPath` holds between pairs of the delimiter and that passes the extraction condition.
//
// Returns how many lines contain the delimiter; 0 when the source or the log cannot be opened.
// The log is opened, and so created, at the first such line, even when no record follows.
int ExtractStrings(LogFile& log, const char* srcPath, const char* displayName,
                   const ScanSettings& settings, FileScan& scan);

// The same, into the log at `logPath`, opened for this file alone.
int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const ScanSettings& settings);
