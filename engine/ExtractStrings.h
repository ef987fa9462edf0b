#pragma once

#include "engine/LiteralScanner.h"
#include "engine/SourcePlace.h"
#include "platform/Failure.h"

#include <atomic>

class RecordFormat;
class ScanBuffers;
class RecordOutput;

// How the scan of one file went.
struct FileScan {
    const std::atomic<bool>* stop = nullptr;  // in: when set, the scan ends after the records of
                                              // the block being scanned
    const std::atomic<bool>* giveUp = nullptr;  // in: the same, for the scan's own caller only
    bool read = false;                        // the file was opened
    bool isOutput = false;                    // it is where the records go, and was left to be
                                              // read in its turn
    bool stopped = false;                     // the scan ended before the end of the file
    Failure readFailure;                      // why it could not be opened or read to its end
    SourcePlace place;                        // in: where the source opens, when not by its path
    ScanBuffers* buffers = nullptr;           // in: the scanning thread's buffers, reused from
                                              // file to file (null: the scan's own)
    HeldTextGate* gate = nullptr;             // in: asked before a long text is held (a job's
                                              // scans that run at once share the memory)
};

// Gives `records` one record in `format` for each text that the file at `srcPath` holds between
// pairs of the delimiter (or, with SYNTAX_CPP, for each of its string-literal tokens, read as C,
// C++ or a resource script by the file's extension) and that passes the extraction condition;
// the records name the file `displayName` and give each token's place in the file as stored.
//
// Returns how many lines contain the delimiter (with SYNTAX_CPP: begin a literal); 0 when the source cannot be opened or the records
// can go nowhere. `records` is opened (the log created) at the first such line, even when no
// record follows.
int ExtractStrings(RecordOutput& records, const RecordFormat& format, const char* srcPath,
                   const char* displayName, const ScanSettings& settings, FileScan& scan);
