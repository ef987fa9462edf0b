#pragma once

#include "engine/LiteralCodec.h"
#include "engine/TextCodec.h"
#include "engine/TranslationUnits.h"

#include <string>
#include <utility>
#include <vector>

// Puts translations back into one source file: each place's token must still be the one that was
// exported; every change is planned first, and the file changes only when all of them apply.

// Why a place was not changed.
struct ApplyProblem {
    int64_t line = 0;
    std::string why;
    bool conflict = false;  // the source changed since the export (else the translation was refused)
};

// A token replaced: where it stood in the old file, and the new token.
struct TokenEdit {
    int64_t offset = 0;
    int64_t length = 0;
    std::string token;
};

// A translated place, with the unit it belongs to.
using UnitPlace = std::pair<const TranslationUnit*, const TranslationPlace*>;

// The translated places of the units, by file in the order the files first appear. A place whose
// unit has no translation, or one equal to its source text, is left out: its text stays as it is.
std::vector<std::pair<std::string, std::vector<UnitPlace>>> TranslatedPlacesByFile(
    const std::vector<TranslationUnit>& units);

// The encoding of a file that its translation file does not name: its byte order mark, else UTF-8
// when it is valid UTF-8 with a byte of 0x80 or above, else the code page's.
SourceEncoding DetectSourceEncoding(const std::string& bytes, SourceEncoding codePage);

class FilePlan {
public:
    // `name` is the file's name in the records (a resource script is told by it).
    FilePlan(const std::string& name, const std::string& bytes, SourceEncoding codePage);

    void Add(const TranslationUnit& unit, const TranslationPlace& place);

    const std::vector<ApplyProblem>& Problems() const { return m_problems; }
    const std::vector<TokenEdit>& Edits() const { return m_edits; }
    // The file with every edit made; only meaningful when there is no problem.
    std::string NewBytes() const;
    SourceEncoding Encoding() const { return m_encoding; }

private:
    bool Check(const TranslationPlace& place, const std::string& tokenBytes, LiteralToken& token);
    void Refuse(const TranslationPlace& place, const std::string& why, bool conflict);
    std::u32string LineEnd() const;

    std::string m_name;
    std::string m_bytes;
    SourceEncoding m_encoding;
    std::vector<ApplyProblem> m_problems;
    std::vector<TokenEdit> m_edits;
};

// The changes as a unified diff of lines, in UTF-8, with three lines of context.
std::string UnifiedDiff(const std::string& name, const std::string& oldBytes,
                        SourceEncoding encoding, const std::vector<TokenEdit>& edits);
