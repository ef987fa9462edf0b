#pragma once

#include "engine/RecordFormat.h"

// Records that name their file by a path before its name inside the analysed folder: with several
// paths in one output, src/a.c and lib/a.c stay apart, as grep names its matches.
class PrefixedNamesFormat : public RecordFormat {
public:
    // `inner` writes the records; it outlives this one.
    PrefixedNamesFormat(const RecordFormat& inner, const char* prefix)
        : m_inner(inner), m_prefix(prefix)
    {
    }

    std::string Preamble() const override { return m_inner.Preamble(); }
    bool WritesPlaces() const override { return m_inner.WritesPlaces(); }
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override
    {
        m_inner.WriteRecord(label, place, text, encoding, out);
    }

private:
    const RecordFormat& m_inner;
    CString m_prefix;
};
