#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The encodings a source file is stored in, as records name them, and the conversion of its bytes
// to characters and back. Used where a text goes back into its file, so nothing here is ever
// lossy: a byte that is no character, or a character the encoding cannot hold, is told.
enum class FileEncoding {
    Cp932,       // "cp932": Shift_JIS, code page 932
    Utf8,        // "utf-8"
    Utf16Le,     // "utf-16le"
    Utf16Be,     // "utf-16be"
    SingleByte,  // "single": bytes of 0x80 and above have no table here
};

// The encoding of a record's `encoding` name; false for a name this system does not know.
bool FileEncodingByName(const std::string& name, FileEncoding& encoding);
const char* FileEncodingName(FileEncoding encoding);

// One piece of decoded bytes: a character, or a byte that is none (`character` then negative).
struct DecodedUnit {
    int64_t character;  // a code point, or -1 for a byte that is no character
    size_t offset;      // where its bytes begin in the input
    size_t length;      // how many bytes it took
};

// Reads `bytes` in `encoding` into characters. A byte that is no character comes alone, marked.
std::vector<DecodedUnit> DecodeBytes(const std::string& bytes, FileEncoding encoding);

// Appends the bytes of `character` in `encoding`; false when the encoding cannot hold it (and
// nothing is appended). Never a look-alike, never a question mark.
bool EncodeCharacter(uint32_t character, FileEncoding encoding, std::string& out);

// The code units of the encoding are two bytes wide.
bool IsWideEncoding(FileEncoding encoding);

// UTF-8 of a string of characters; false when `utf8` is not valid UTF-8.
bool Utf8ToCharacters(const std::string& utf8, std::u32string& characters);
std::string CharactersToUtf8(const std::u32string& characters);
