#pragma once

// How the bytes of a source file were read.
enum class SourceEncoding {
    Cp932,       // Shift_JIS, code page 932
    SingleByte,  // a code page without double-byte characters
    Utf8,
    Utf16Le,     // with the byte order mark FF FE; scanned as the UTF-8 it converts to
    Utf16Be,     // with the byte order mark FE FF; likewise
};

inline bool IsUtf16(SourceEncoding encoding)
{
    return encoding == SourceEncoding::Utf16Le || encoding == SourceEncoding::Utf16Be;
}

// The encoding of a file read in the code page in force.
SourceEncoding CodePageEncoding();
