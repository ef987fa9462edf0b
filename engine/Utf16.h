#pragma once

#include "engine/HexDigits.h"
#include "engine/LiteralText.h"

#include <cstddef>
#include <cstdint>
#include <string>

// UTF-16 sources, as Visual Studio saves resource scripts: the file begins with FF FE
// (little-endian) or FE FF (big-endian). Such a file is scanned as the UTF-8 it converts to, so
// that delimiters, escapes and conditions work on characters exactly as in a UTF-8 source.
//
// What is no character keeps its code unit or byte in a form that valid UTF-8 never has, so that
// a text's own bytes can be told again and damage is never silent: a lone surrogate as the three
// bytes UTF-8 would give its code point (ED A0..BF xx), an odd last byte as F8 + (byte >> 6) and
// 80 + (byte & 3F). Neither form holds an ASCII byte, so neither is ever taken as a delimiter.

// The byte order marks, each two bytes.
constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf16BeMark[] = "\xFE\xFF";

// Converts UTF-16 that comes in blocks, a character split between blocks included. A CR before
// a LF disappears, as in a text-mode read.
class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(bool bigEndian) : m_bigEndian(bigEndian) {}

    // The most bytes that Convert writes for `inputBytes` bytes of input.
    static size_t OutputBound(size_t inputBytes) { return inputBytes / 2 * 3 + 8; }

    // Converts `size` bytes into `out`; returns how many bytes it wrote.
    size_t Convert(const char* in, size_t size, char* out);
    // The end of the file: writes what is held back (at most 8 bytes).
    size_t Finish(char* out);

private:
    void Take(uint32_t unit, char*& out);

    bool m_bigEndian;
    bool m_haveOddByte = false;
    unsigned char m_oddByte = 0;
    uint32_t m_highSurrogate = 0;  // 0: none held
    bool m_pendingCr = false;
};

// What one piece of converted text stands for.
enum class Utf16Unit { Character, LoneSurrogate, OddByte };

// Reads converted text back, the pieces of a text split between blocks included: calls
// emit(kind, value) with the character, the lone surrogate's code unit or the odd byte.
class ConvertedUtf16Reader {
public:
    template <typename Emit>
    void Feed(const char* data, size_t size, Emit emit)
    {
        for (size_t index = 0; index < size; ++index) {
            unsigned char byte = static_cast<unsigned char>(data[index]);
            if (m_held == 0 && byte < 0x80) {
                emit(Utf16Unit::Character, static_cast<uint32_t>(byte));
                continue;
            }
            m_bytes[m_held++] = byte;
            if (m_held >= SequenceLength(m_bytes[0])) {
                Utf16Unit kind = Utf16Unit::Character;
                uint32_t value = Decode(kind);
                m_held = 0;
                emit(kind, value);
            }
        }
    }

private:
    static size_t SequenceLength(unsigned char lead);
    uint32_t Decode(Utf16Unit& kind) const;

    unsigned char m_bytes[4] = {};
    size_t m_held = 0;
};

// The text's characters, as DecodeText gives them: damage comes as U+FFFD, and then false.
class CharacterSink;
bool DecodeConvertedUtf16(const LiteralText& text, CharacterSink& sink);

// The text's own bytes in the file, in hexadecimal, two lowercase digits a byte, into `sink`.
void WriteUtf16HexOf(const LiteralText& text, bool bigEndian, HexSink& sink);
