#pragma once

#include "engine/SourceEncoding.h"

class ScanBuffers;
class TextReader;

// Decides, while a file is read block by block, how its bytes are read. A file that begins with a
// UTF-16 byte order mark is UTF-16 (see DecideUtf16). A file is UTF-8 when it begins with the
// byte order mark, or when all of it is valid UTF-8 (the bytes after a 0x1A that ends its text
// included) and it holds at least one byte of 0x80 or above; any other file is read in the code
// page.
//
// Until the first byte of 0x80 or above shows, both readings agree, so the blocks before it are
// scanned at once. At that byte the rest of the file is read ahead, as far as it stays valid
// UTF-8, and the reader comes back: a file of ASCII bytes only is read once, and a Shift_JIS file
// is told apart at its first double-byte character.
class EncodingDetector {
public:
    // What is read ahead goes into the spare buffer of `buffers`.
    EncodingDetector(TextReader& source, ScanBuffers& buffers) : m_source(source), m_buffers(buffers) {}

    // Looks at the next block read from the source; returns where its text begins (after the byte
    // order mark at the very start of a file).
    const char* Look(const char* begin, const char* end);

    // The file began with a UTF-16 byte order mark (as the reader tells from its first block).
    void DecideUtf16(bool bigEndian)
    {
        m_started = true;
        m_decided = true;
        m_encoding = bigEndian ? SourceEncoding::Utf16Be : SourceEncoding::Utf16Le;
    }

    bool Decided() const { return m_decided; }
    // The encoding decided, or the code page's while the bytes so far are ASCII.
    SourceEncoding Encoding() const { return m_encoding; }

private:
    bool RestIsUtf8(const char* from, const char* end);

    TextReader& m_source;
    ScanBuffers& m_buffers;
    bool m_started = false;
    bool m_decided = false;
    SourceEncoding m_encoding = CodePageEncoding();
};
