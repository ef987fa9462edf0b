#pragma once

#include "engine/LiteralPlace.h"
#include "engine/LiteralText.h"
#include "engine/SourceEncoding.h"
#include "platform/CString.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Receives the bytes of formatted records. A record may come in several appends; EndRecord
// marks where it ends, so that a failure never leaves half of one behind.
class RecordBytes {
public:
    virtual ~RecordBytes() = default;
    virtual void Append(const char* data, size_t length) = 0;
    virtual void EndRecord() = 0;
    // Room for a whole record of at most `most` bytes, to be written in place and then kept by
    // RecordWritten; null where there is none now: the record then goes by Append.
    virtual char* RoomForRecord(size_t most)
    {
        (void)most;
        return nullptr;
    }
    virtual void RecordWritten(size_t length) { (void)length; }
};

// How a record is written: one implementation per output format.
class RecordFormat {
public:
    virtual ~RecordFormat() = default;
    // What a new, empty file of records begins with (a header); empty for most formats.
    virtual std::string Preamble() const { return std::string(); }
    // What the records of a file name it, made once per file from its display name.
    virtual CString FileLabel(const char* displayName) const = 0;
    // Whether the records tell where each text stands beyond its line (column, offset, length):
    // when they do not, the scan need not work those out.
    virtual bool WritesPlaces() const { return true; }
    // One record: the text, read from its file as `encoding` says, found at `place`.
    virtual void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                             SourceEncoding encoding, RecordBytes& out) const = 0;
};

// Gathers the bytes of one record in a small buffer and hands them to `out` in pieces, so that a
// record of any size takes little memory while it is formatted.
class RecordWriter {
public:
    explicit RecordWriter(RecordBytes& out) : m_out(out) {}
    // Hands on what is left and ends the record.
    void End()
    {
        Flush();
        m_out.EndRecord();
    }

    void Put(char byte)
    {
        m_buffer += byte;
        if (m_buffer.size() >= kFlushBytes) {
            Flush();
        }
    }
    void Put(const std::string& bytes)
    {
        m_buffer += bytes;
        if (m_buffer.size() >= kFlushBytes) {
            Flush();
        }
    }

private:
    static const size_t kFlushBytes = 4096;

    void Flush()
    {
        m_out.Append(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

    RecordBytes& m_out;
    std::string m_buffer;
};
