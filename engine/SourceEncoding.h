#pragma once

#include <string>

// How the bytes of a source file were read, and the encoding its texts go back in.
enum class SourceEncoding {
    Cp932,       // "cp932": Shift_JIS, code page 932
    SingleByte,  // "single": a code page without double-byte characters
    Utf8,        // "utf-8"
    Utf16Le,     // "utf-16le": with the byte order mark FF FE; scanned as the UTF-8 it converts to
    Utf16Be,     // "utf-16be": with the byte order mark FE FF; likewise
};

inline bool IsUtf16(SourceEncoding encoding)
{
    return encoding == SourceEncoding::Utf16Le || encoding == SourceEncoding::Utf16Be;
}

// The encoding of a file read in the code page in force.
SourceEncoding CodePageEncoding();

// The name of an encoding as records give it, and the encoding of such a name (false for a name
// this system does not know).
const char* EncodingName(SourceEncoding encoding);
bool EncodingByName(const std::string& name, SourceEncoding& encoding);
