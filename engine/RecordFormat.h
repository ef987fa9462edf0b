#pragma once

#include "engine/LiteralText.h"
#include "engine/SourceEncoding.h"
#include "platform/CString.h"

#include <cstddef>
#include <cstdint>

// Receives the bytes of formatted records. A record may come in several appends; EndRecord
// marks where it ends, so that a failure never leaves half of one behind.
class RecordBytes {
public:
    virtual ~RecordBytes() = default;
    virtual void Append(const char* data, size_t length) = 0;
    virtual void EndRecord() = 0;
};

// How a record is written: one implementation per output format.
class RecordFormat {
public:
    virtual ~RecordFormat() = default;
    // What the records of a file name it, made once per file from its display name.
    virtual CString FileLabel(const char* displayName) const = 0;
    // One record: the text, read from its file as `encoding` says, found on `line`.
    virtual void WriteRecord(const CString& label, int64_t line, const LiteralText& text,
                             SourceEncoding encoding, RecordBytes& out) const = 0;
};
