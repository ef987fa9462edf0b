#pragma once

#include "engine/RecordFormat.h"

// The log's record: name(line): "text", and a line end of CR LF. A byte below 0x20, or 0x7F, in
// the name is written as an escape, so that no name can end a record early or drive a terminal.
//
// The log is in the code page. When that is 932, a text of a UTF-8 file is converted character
// by character, to the exact character only: one that code page 932 does not have is written as
// in a C literal, \uXXXX (or \UXXXXXXXX above U+FFFF), and a byte that is no UTF-8 character as
// \xHH. In any other code page the text is written as it stands.
class LogFormat : public RecordFormat {
public:
    // Lines end with CR LF, as the log's own do, or with LF alone for tools that read lines so.
    explicit LogFormat(bool lineFeedOnly = false);

    CString FileLabel(const char* displayName) const override;
    bool WritesPlaces() const override { return false; }
    void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override;

private:
    // Whether a text of a file in `encoding` is written with the bytes it has.
    bool IsAsStored(SourceEncoding encoding) const
    {
        return !IsUtf16(encoding) && !(encoding == SourceEncoding::Utf8 && m_toCp932);
    }
    bool IsWrittenWhole(const LiteralText& text, SourceEncoding encoding, size_t length) const;
    void WriteRecordThroughBuffer(const CString& label, uint64_t line, const LiteralText& text,
                                  SourceEncoding encoding, bool textInRecord, RecordBytes& out) const;

    bool m_toCp932;  // the log's code page is 932
    bool m_lineFeedOnly;
};

// `name` with each byte below 0x20, and 0x7F, written as an escape: \t, \n, \r, or \xHH.
CString EscapeControlBytes(const char* name);
