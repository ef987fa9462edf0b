#pragma once

// How the bytes of a source file were read.
enum class SourceEncoding {
    Cp932,       // Shift_JIS, code page 932
    SingleByte,  // a code page without double-byte characters
    Utf8,
};

// The encoding of a file read in the code page in force.
SourceEncoding CodePageEncoding();
