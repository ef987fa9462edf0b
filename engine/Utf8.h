#pragma once

#include <cstddef>
#include <cstdint>

// UTF-8 as sources are saved in it.

// The byte order mark that may begin a UTF-8 file.
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The bytes of one character as they come, held to UTF-8's rules: the lead byte says how many
// continuation bytes follow and the range of the first (no overlong form, no surrogate, nothing
// above U+10FFFF); the others lie in 80..BF.
class Utf8Sequence {
public:
    // False for a byte that cannot begin a character of several bytes.
    bool Begin(unsigned char lead);
    // False for a byte that cannot come next.
    bool Take(unsigned char byte)
    {
        if (byte < m_low || byte > m_high) {
            return false;
        }
        --m_pending;
        m_low = 0x80;
        m_high = 0xBF;
        return true;
    }
    // The continuation bytes still to come.
    int Pending() const { return m_pending; }

private:
    int m_pending = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
};

// Tells whether a stream of bytes, fed in blocks, is valid UTF-8: no overlong form, no surrogate,
// nothing above U+10FFFF, no sequence cut (also none cut at the end).
class Utf8Validator {
public:
    // Takes the next bytes; false as soon as they cannot be UTF-8.
    bool Feed(const char* begin, const char* end);
    // The end of the stream: true when everything was valid and nothing is left unfinished.
    bool Finish() const { return m_valid && m_sequence.Pending() == 0; }
    bool Valid() const { return m_valid; }

private:
    bool m_valid = true;
    Utf8Sequence m_sequence;  // the character under way
};

// Decodes one character at `at` (before `end`): its code point, and its length in `length`.
// A byte that does not begin a valid sequence there is taken alone, as kNotACharacter.
uint32_t DecodeUtf8(const unsigned char* at, const unsigned char* end, size_t& length);

const uint32_t kNotACharacter = 0xFFFFFFFF;

// Decodes UTF-8 that comes in pieces, a character split between pieces included. For each
// character it calls emit(codePoint, bytes, length); for each byte that begins no valid
// character, emit(kNotACharacter, &byte, 1).
class Utf8Decoder {
public:
    template <typename Emit>
    void Feed(const char* data, size_t size, Emit emit)
    {
        const unsigned char* at = reinterpret_cast<const unsigned char*>(data);
        const unsigned char* end = at + size;
        while (at < end) {
            if (m_held == 0 && *at < 0x80) {
                emit(static_cast<uint32_t>(*at), at, size_t{1});
                ++at;
                continue;
            }
            m_bytes[m_held++] = *at++;
            TakeHeld(emit, false);
        }
    }

    // The end of the text: bytes of an unfinished character are each not a character.
    template <typename Emit>
    void Finish(Emit emit)
    {
        TakeHeld(emit, true);
    }

private:
    // Emits what the held bytes make, once they make something.
    template <typename Emit>
    void TakeHeld(Emit emit, bool atEnd)
    {
        while (m_held > 0) {
            size_t length = 0;
            uint32_t character = DecodeUtf8(m_bytes, m_bytes + m_held, length);
            if (character == kNotACharacter && !atEnd && CouldGrow()) {
                return;  // the rest of the character is still to come
            }
            emit(character, m_bytes, length);
            for (size_t index = length; index < m_held; ++index) {
                m_bytes[index - length] = m_bytes[index];
            }
            m_held -= length;
        }
    }
    // True while the held bytes are the valid start of a longer character.
    bool CouldGrow() const;

    unsigned char m_bytes[4] = {};
    size_t m_held = 0;
};
