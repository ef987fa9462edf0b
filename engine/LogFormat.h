#pragma once

#include "engine/RecordFormat.h"

// The log's record: name(line): "text", and a line end of CR LF. A byte below 0x20, or 0x7F, in
// the name is written as an escape, so that no name can end a record early or drive a terminal.
class LogFormat : public RecordFormat {
public:
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, int64_t line, const LiteralText& text,
                     RecordBytes& out) const override;
};

// `name` with each byte below 0x20, and 0x7F, written as an escape: \t, \n, \r, or \xHH.
CString EscapeControlBytes(const char* name);
