#pragma once

#include "engine/RecordFormat.h"

// One JSON object a line, in UTF-8, for programs:
//   {"file": "sub/a.c", "line": 12, "column": 5, "offset": 311, "length": 7, "text": "...",
//    "encoding": "cp932"}
// with "prefix" after "length" for the C/C++ syntax. Positions are in the file's bytes as stored.
// The encoding is how the file was read: "cp932", "utf-8" or "single". A text with a byte that
// cannot be converted has U+FFFD in its place, and the record then also carries "bytes", the text's
// own bytes in hexadecimal, so that nothing is lost.
class JsonLinesFormat : public RecordFormat {
public:
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override;
};
