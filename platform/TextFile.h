#pragma once

#include "platform/RawFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Text-mode files as the platform runtime reads and appends them (CR LF reads as LF, a byte
// 0x1A ends reading; LF is written as CR LF), with two guarantees that the runtime's own streams
// cannot give:
// - a source is read only up to the size it had when it was opened, so a scan of the log
//   itself never reads back the records that the same scan appends;
// - the records appended reach the file whole: each write holds whole records and goes to the
//   end of the file in one step, so jobs and processes that append to one log never split or
//   overwrite each other's records.

// Reads a regular file as text. Anything else (a folder, a FIFO, a device) does not open.
class TextReader {
public:
    bool Open(const char* path);
    // Fills `buffer` with up to `capacity` bytes of text; 0 at the end, or on a read error.
    size_t Read(char* buffer, size_t capacity);
    // Why Open failed, or why the text ended early.
    bool Failed() const { return m_failure.kind != FailureKind::None; }
    const Failure& GetFailure() const { return m_failure; }

private:
    RawFile m_file;
    Failure m_failure;
    uint64_t m_bytesLeft = 0;  // of the size at opening
    bool m_pendingCr = false;  // a CR ended the last raw block: its fate depends on the next byte
    bool m_ended = false;
};

// Appends text to a file, creating it when missing.
class TextAppender {
public:
    TextAppender() = default;
    ~TextAppender() { Flush(); }
    TextAppender(const TextAppender&) = delete;
    TextAppender& operator=(const TextAppender&) = delete;

    bool Open(const char* path);
    bool IsOpen() const { return m_file.IsOpen(); }
    // Why Open or a write failed.
    const Failure& GetFailure() const { return m_file.GetFailure(); }

    // Adds one whole record (LF written as CR LF). Records are collected and written in blocks
    // of 64 KiB at most; a block always ends at the end of a record. False when a block that
    // had to be written could not be.
    bool AppendRecord(const char* record, size_t length);
    // Writes what has been collected; false when it could not be written.
    bool Flush();

private:
    RawFile m_file;
    std::string m_pending;  // whole records, LF already written as CR LF
};

// Removes the CR of every CR LF in [text, text + length) and cuts the text at a byte 0x1A, in
// place. Returns the new length; `ended` tells whether a 0x1A was found. A CR at the very end
// is left for the caller, who knows the next byte.
size_t DecodeTextMode(char* text, size_t length, bool& ended);
