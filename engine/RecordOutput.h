#pragma once

#include "engine/RecordFormat.h"

class TextReader;

// Where the records of one file's scan go: the record file itself, or the buffer of a worker
// that scans ahead of the file being written.
class RecordOutput : public RecordBytes {
public:
    // The scan found its first line that holds the delimiter (the log is created then). False
    // stops the scan: the records cannot go anywhere.
    virtual bool Open() = 0;
    // What becomes of a source that is the very file these records go to.
    enum class OwnSource {
        kNo,         // it is another file
        kReadAgain,  // read now, to its size now: the records that waited were written into it
        kReadLater,  // not now, in its turn
    };
    // The scan's source, at `path`, is open and not read yet.
    virtual OwnSource BeginSource(TextReader& source, const char* path)
    {
        (void)source;
        (void)path;
        return OwnSource::kNo;
    }
    // The end of the file's records.
    virtual void EndFile() = 0;
    // True once the records can no longer go anywhere.
    virtual bool Failed() const = 0;
};
