#pragma once

#include "engine/RecordFormat.h"

// One JSON object a line, in UTF-8, for programs:
//   {"file": "sub/a.c", "line": 12, "text": "...", "encoding": "cp932"}
// The encoding is how the file was read: "cp932", "utf-8" or "single". A text with a byte that
// cannot be converted has U+FFFD in its place, and the record then also carries "bytes", the text's
// own bytes in hexadecimal, so that nothing is lost.
class JsonLinesFormat : public RecordFormat {
public:
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, int64_t line, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override;
};
