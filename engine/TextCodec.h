#pragma once

#include "engine/SourceEncoding.h"

#include <cstdint>
#include <string>
#include <vector>

// The conversion of a source file's bytes to characters and back. Used where a text goes back into
// its file, so nothing here is ever lossy: a byte that is no character, or a character the
// encoding cannot hold, is told.

// One piece of decoded bytes: a character, or a byte that is none (`character` then negative).
struct DecodedUnit {
    int64_t character;  // a code point, or -1 for a byte that is no character
    size_t offset;      // where its bytes begin in the input
    size_t length;      // how many bytes it took
};

// Reads `bytes` in `encoding` into characters. A byte that is no character comes alone, marked.
std::vector<DecodedUnit> DecodeBytes(const std::string& bytes, SourceEncoding encoding);

// Appends the bytes of `character` in `encoding`; false when the encoding cannot hold it (and
// nothing is appended). Never a look-alike, never a question mark.
bool EncodeCharacter(uint32_t character, SourceEncoding encoding, std::string& out);

// UTF-8 of a string of characters; false when `utf8` is not valid UTF-8.
bool Utf8ToCharacters(const std::string& utf8, std::u32string& characters);
std::string CharactersToUtf8(const std::u32string& characters);
