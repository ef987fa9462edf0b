#pragma once

#include "engine/TextCodec.h"

#include <string>
#include <vector>

// A string-literal token as it stands in its file, and its text both ways: the value a C compiler
// reads from it, and a new text written back in the literal's own escape language.

// How the text of a token is written.
enum class LiteralKind {
    Pairs,           // between two delimiters on one line (the delimiter pairs syntax), C escapes
    Plain,           // "..." (C escapes; the code page's bytes)
    Utf8Prefixed,    // u8"..." (C escapes; UTF-8 bytes)
    Wide,            // L"...", u"...", U"..." (C escapes; characters)
    ResourceScript,  // "..." in a resource script: C escapes, and "" for a quote
    Raw,             // R"d(...)d" with any prefix: no escapes at all
};

struct LiteralToken {
    LiteralKind kind = LiteralKind::Plain;
    SourceEncoding encoding = SourceEncoding::Utf8;
    std::u32string prefix;       // L, u8, u, U and R as written
    std::u32string delimiter;    // the d of R"d(, or the delimiter of the pairs syntax
    size_t textBegin = 0;        // the bytes of the text inside the token
    size_t textEnd = 0;
    std::vector<DecodedUnit> text;  // the text, offsets relative to the token's start
    std::string bytes;              // the whole token
};

// Reads the token `bytes` (the whole token, prefix to closing quote). `pairs`: the token was found
// by the delimiter pairs syntax, so its first character is the delimiter. `resourceScript`: the file
// is a resource script. False when the bytes are not such a token.
bool ParseLiteralToken(const std::string& bytes, SourceEncoding encoding, bool pairs,
                       bool resourceScript, LiteralToken& token);

// The value of the token's text as a C compiler reads it. False when it has none that a PO or
// XLIFF file can carry: an escape that does not decode to characters of the file's encoding, a
// byte that is no character, a NUL or another control character than tab, line feed and return.
bool DecodeLiteralValue(const LiteralToken& token, std::u32string& value);

// The text as written between the quotes, in characters, with its escapes as they stand. A byte
// that is no character of the file's encoding is written as a three-digit octal escape; in a raw
// string each line break is written \n.
std::u32string WrittenText(const LiteralToken& token);

// The bytes of a new text for the token, from a value (`written` false) or from a text as written
// (`written` true, escapes kept). `lineEnd` is the line break of the file, for raw strings. False,
// with the reason in `why`, when the text cannot be written in this literal: a character that the
// file's encoding cannot hold, a bare quote or a line break, a raw string's own closing sequence, a
// \u escape in a narrow Shift_JIS literal.
bool EncodeLiteralText(const LiteralToken& token, const std::u32string& text, bool written,
                       const std::u32string& lineEnd, std::string& bytes, std::string& why);

// The token with `text` (bytes) between its quotes in place of its own.
std::string ReplaceTokenText(const std::string& tokenBytes, const LiteralToken& token,
                             const std::string& text);

// True for a file whose literals are read as a resource compiler reads them (.rc, .rc2, .dlg).
bool IsResourceScriptName(const std::string& name);
