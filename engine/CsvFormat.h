#pragma once

#include "engine/RecordFormat.h"

// One row a record, for a translator's spreadsheet: RFC 4180 with the header
// file,line,text,column,offset,length (and prefix, for the C/C++ syntax) and CR LF line ends, in UTF-8 with a byte order mark at the start of a new file, so that a
// spreadsheet opens the Japanese correctly. The file and the text are quoted, quotes doubled; one
// that begins with =, +, -, @, a tab or a CR gets a ' before it, so that no spreadsheet takes it
// for a formula. A byte that cannot be converted is U+FFFD.
class CsvFormat : public RecordFormat {
public:
    // `withPrefix`: each row ends with the token's encoding prefix (the C/C++ syntax).
    explicit CsvFormat(bool withPrefix = false) : m_withPrefix(withPrefix) {}
    std::string Preamble() const override;
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override;

private:
    bool m_withPrefix;
};
