#pragma once

#include "engine/RecordFormat.h"

// Where the records of one file's scan go: the record file itself, or the buffer of a worker
// that scans ahead of the file being written.
class RecordOutput : public RecordBytes {
public:
    // The scan found its first line that holds the delimiter (the log is created then). False
    // stops the scan: the records cannot go anywhere.
    virtual bool Open() = 0;
    // The end of the file's records.
    virtual void EndFile() = 0;
    // True once the records can no longer go anywhere.
    virtual bool Failed() const = 0;
};
