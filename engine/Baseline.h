#pragma once

#include "engine/RecordFormat.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

// The texts that an earlier run found, read from its jsonl records: a team that adopts the audit
// on an old tree keeps them, so that a run fails only on new ones. A text is known by its file's
// name and its characters, not by its line, so that moving code does not make it new; a text
// that now occurs more often than it did is new for its extra occurrences. Names compare with
// their folders joined by '/' whatever the system that made the baseline.
class Baseline {
public:
    // Reads jsonl records ({"file": ..., "text": ..., ...} a line); blank lines are passed by.
    // False, with `error` naming the line, when a line is not such a record.
    bool Load(const std::string& jsonl, std::string& error);

    // True when the text (UTF-8) of the file named `file` (UTF-8) is still known: one of its
    // occurrences is taken. Safe from several threads.
    bool Take(const std::string& file, const std::string& text);

    size_t Size() const { return m_count.size(); }

private:
    std::mutex m_mutex;
    std::map<std::pair<std::string, std::string>, int64_t> m_count;
};

// Writes, through `inner`, only the records that the baseline does not know.
class BaselineFormat : public RecordFormat {
public:
    // Both outlive this one.
    BaselineFormat(const RecordFormat& inner, Baseline& baseline)
        : m_inner(inner), m_baseline(baseline)
    {
    }

    std::string Preamble() const override { return m_inner.Preamble(); }
    bool WritesPlaces() const override { return m_inner.WritesPlaces(); }
    // The inner format's label, with the file's name in UTF-8 that the baseline knows it by.
    CString FileLabel(const char* displayName) const override;
    void WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding encoding, RecordBytes& out) const override;

private:
    const RecordFormat& m_inner;
    Baseline& m_baseline;
};
