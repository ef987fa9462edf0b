#include "engine/Utf8.h"

#include "platform/ByteSearch.h"

bool Utf8Sequence::Begin(unsigned char lead)
{
    m_low = 0x80;
    m_high = 0xBF;
    m_pending = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        m_pending = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        m_low = lead == 0xE0 ? 0xA0 : 0x80;   // E0 80..9F: overlong
        m_high = lead == 0xED ? 0x9F : 0xBF;  // ED A0..BF: surrogates
        m_pending = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        m_low = lead == 0xF0 ? 0x90 : 0x80;   // F0 80..8F: overlong
        m_high = lead == 0xF4 ? 0x8F : 0xBF;  // F4 90..: above U+10FFFF
        m_pending = 3;
    }
    return m_pending > 0;
}

bool Utf8Validator::Feed(const char* begin, const char* end)
{
    const unsigned char* at = reinterpret_cast<const unsigned char*>(begin);
    const unsigned char* stop = reinterpret_cast<const unsigned char*>(end);
    while (m_valid && at < stop) {
        if (*at < 0x80 && m_sequence.Pending() == 0) {
            // A run of ASCII, most of a source, goes by in blocks.
            at = reinterpret_cast<const unsigned char*>(FindHighByte(reinterpret_cast<const char*>(at), end));
            continue;
        }
        unsigned char byte = *at++;
        if (m_sequence.Pending() > 0) {
            m_valid = m_sequence.Take(byte);
        } else if (byte >= 0x80) {
            m_valid = m_sequence.Begin(byte);
        }
    }
    return m_valid;
}

uint32_t DecodeUtf8(const unsigned char* at, const unsigned char* end, size_t& length)
{
    length = 1;
    unsigned char lead = at[0];
    if (lead < 0x80) {
        return lead;
    }
    Utf8Sequence sequence;
    if (!sequence.Begin(lead) || end - at <= sequence.Pending()) {
        return kNotACharacter;
    }
    int continuations = sequence.Pending();
    uint32_t character = lead & (0x3F >> continuations);
    for (int index = 1; index <= continuations; ++index) {
        if (!sequence.Take(at[index])) {
            return kNotACharacter;
        }
        character = (character << 6) | (at[index] & 0x3F);
    }
    length = static_cast<size_t>(continuations) + 1;
    return character;
}

bool Utf8Decoder::CouldGrow() const
{
    Utf8Sequence sequence;
    if (!sequence.Begin(m_bytes[0]) || m_held > static_cast<size_t>(sequence.Pending())) {
        return false;
    }
    for (size_t index = 1; index < m_held; ++index) {
        if (!sequence.Take(m_bytes[index])) {
            return false;
        }
    }
    return true;
}
