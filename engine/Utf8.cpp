#include "engine/Utf8.h"

namespace {

// How many continuation bytes a lead byte takes, and the range of the first of them; 0 for a
// byte that cannot begin a sequence of several bytes.
int ContinuationsOf(unsigned char lead, unsigned char& low, unsigned char& high)
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        low = lead == 0xE0 ? 0xA0 : 0x80;  // E0 80..9F: overlong
        high = lead == 0xED ? 0x9F : 0xBF;  // ED A0..BF: surrogates
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        low = lead == 0xF0 ? 0x90 : 0x80;  // F0 80..8F: overlong
        high = lead == 0xF4 ? 0x8F : 0xBF;  // F4 90..: above U+10FFFF
        return 3;
    }
    return 0;
}

}  // namespace

bool Utf8Validator::Feed(const char* begin, const char* end)
{
    const unsigned char* at = reinterpret_cast<const unsigned char*>(begin);
    const unsigned char* stop = reinterpret_cast<const unsigned char*>(end);
    while (m_valid && at < stop) {
        unsigned char byte = *at++;
        if (m_pending > 0) {
            if (byte < m_low || byte > m_high) {
                m_valid = false;
                break;
            }
            --m_pending;
            m_low = 0x80;
            m_high = 0xBF;
        } else if (byte >= 0x80) {
            m_pending = ContinuationsOf(byte, m_low, m_high);
            m_valid = m_pending > 0;
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
    unsigned char low = 0;
    unsigned char high = 0;
    int continuations = ContinuationsOf(lead, low, high);
    if (continuations == 0 || end - at <= continuations) {
        return kNotACharacter;
    }
    uint32_t character = lead & (0x3F >> continuations);
    for (int index = 1; index <= continuations; ++index) {
        unsigned char byte = at[index];
        if (byte < low || byte > high) {
            return kNotACharacter;
        }
        character = (character << 6) | (byte & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    length = static_cast<size_t>(continuations) + 1;
    return character;
}

bool Utf8Decoder::CouldGrow() const
{
    unsigned char low = 0;
    unsigned char high = 0;
    int continuations = ContinuationsOf(m_bytes[0], low, high);
    if (continuations == 0 || m_held > static_cast<size_t>(continuations)) {
        return false;
    }
    for (size_t index = 1; index < m_held; ++index) {
        if (m_bytes[index] < low || m_bytes[index] > high) {
            return false;
        }
        low = 0x80;
        high = 0xBF;
    }
    return true;
}
