#pragma once

#include "engine/HexDigits.h"
#include "engine/LiteralText.h"
#include "engine/SourceEncoding.h"

#include <cstdint>
#include <string>

// Texts of the sources in Unicode, for the formats that programs and spreadsheets read: a text is
// read as its file's encoding says (Shift_JIS through code page 932).

// Receives the characters of a text one by one.
class CharacterSink {
public:
    virtual ~CharacterSink() = default;
    // A character, or U+FFFD for a byte that is no character in the text's encoding.
    virtual void OnCharacter(uint32_t character) = 0;
};

const uint32_t kReplacementCharacter = 0xFFFD;

// Gives `sink` the characters of `text`, read as `encoding`. True when every byte was a
// character: a byte that is not (a lone lead byte, an unmapped code, a byte of 0x80 or above in a
// single-byte code page, which has no table here) comes as U+FFFD.
bool DecodeText(const LiteralText& text, SourceEncoding encoding, CharacterSink& sink);

// `character` in UTF-8, appended to `out`.
void AppendUtf8(uint32_t character, std::string& out);

// Gives `sink` the characters of a path: on Windows a path is in the code page; on Linux names
// are bytes, UTF-8 when all of them are valid UTF-8, else read in the code page of the sources.
// True when every byte was a character (as DecodeText).
bool DecodePath(const char* path, CharacterSink& sink);

// The text's own bytes in its file, in hexadecimal, two lowercase digits a byte, into `sink`.
void WriteHexOf(const LiteralText& text, SourceEncoding encoding, HexSink& sink);
// The same, whole in a string: for short texts such as names.
std::string HexOf(const LiteralText& text, SourceEncoding encoding);
