#pragma once

#include <cstdint>

// How a source is read (the Syntax setting).
const int32_t SYNTAX_PAIRS = 0;  // texts between pairs of the delimiter, line by line
const int32_t SYNTAX_CPP = 1;    // string-literal tokens as a C/C++ lexer finds them
// Any other value reads as SYNTAX_PAIRS.

// The language of a source read with SYNTAX_CPP, from its extension.
enum class SourceKind {
    C,               // .c: no raw strings, no digit separators
    Cpp,             // anything else
    ResourceScript,  // .rc, .rc2, .dlg: a doubled quote inside a literal belongs to its text
};

// The kind of the file at `path`, by its extension, in any case.
SourceKind SourceKindOf(const char* path);
