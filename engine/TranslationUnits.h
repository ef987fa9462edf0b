#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The units of a translation file: one per distinct text, with every place where it stands.

// One place of a text: the token found there when the texts were exported.
struct TranslationPlace {
    std::string file;       // the file's name as the records give it (bytes, relative to the path
                            // that was exported)
    int64_t line = 0;
    int64_t column = 0;
    int64_t offset = -1;    // the token's first byte in the file as stored
    int64_t length = 0;     // the token's bytes
    bool hasPrefix = false; // read by the C/C++ syntax (a prefix, even an empty one), else by the
    std::string prefix;     // delimiter pairs syntax
    std::string encoding;   // the file's encoding by name; empty: the file tells
    std::string tokenHash;  // what the token's bytes were; empty when the file does not say
    std::string writtenText;  // the text as written, in UTF-8, when the file carries no hash
    bool hasWrittenText = false;
};

struct TranslationUnit {
    bool written = false;     // the text as written between the quotes (escapes kept), because
                              // it has no value that the file can carry; else the value
    std::string source;       // UTF-8
    std::string translation;  // UTF-8; empty: not translated
    bool cFormat = false;
    std::vector<TranslationPlace> places;
};

// The hash of a token's bytes that a place keeps, in hexadecimal.
std::string TokenHash(const std::string& tokenBytes);

// A unit's id, the same for the same text in every run.
std::string UnitId(const TranslationUnit& unit);

// True when the text holds a printf directive and every % in it begins a valid one, as gettext's
// own extractor judges a C format string.
bool IsCFormat(const std::string& text);

// The `#. tolvek:` description of a place, and back. ParsePlace is false for a text that is not one.
std::string DescribePlace(const TranslationPlace& place);
bool ParsePlace(const std::string& description, TranslationPlace& place);

// The context that marks a unit given as written (PO's msgctxt, XLIFF's restype).
extern const char kWrittenContext[];
extern const char kWrittenResourceType[];
