#include "engine/Utf16.h"

#include "engine/TextToUtf8.h"

namespace {

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void PutUtf8(uint32_t value, char*& out)
{
    if (value < 0x80) {
        *out++ = static_cast<char>(value);
    } else if (value < 0x800) {
        *out++ = static_cast<char>(0xC0 | (value >> 6));
        *out++ = static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (value >> 12));
        *out++ = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (value & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (value >> 18));
        *out++ = static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (value & 0x3F));
    }
}

}  // namespace

size_t Utf16ToUtf8::Convert(const char* in, size_t size, char* out)
{
    char* at = out;
    const unsigned char* next = reinterpret_cast<const unsigned char*>(in);
    const unsigned char* end = next + size;
    if (m_haveOddByte && next < end) {
        unsigned char first = m_oddByte;
        unsigned char second = *next++;
        m_haveOddByte = false;
        Take(m_bigEndian ? (first << 8 | second) : (second << 8 | first), at);
    }
    for (; end - next >= 2; next += 2) {
        Take(m_bigEndian ? (next[0] << 8 | next[1]) : (next[1] << 8 | next[0]), at);
    }
    if (next < end) {
        m_haveOddByte = true;
        m_oddByte = *next;
    }
    return static_cast<size_t>(at - out);
}

size_t Utf16ToUtf8::Finish(char* out)
{
    char* at = out;
    if (m_highSurrogate != 0) {
        PutUtf8(m_highSurrogate, at);
        m_highSurrogate = 0;
    }
    if (m_pendingCr) {
        *at++ = '\r';
        m_pendingCr = false;
    }
    if (m_haveOddByte) {
        *at++ = static_cast<char>(0xF8 | (m_oddByte >> 6));
        *at++ = static_cast<char>(0x80 | (m_oddByte & 0x3F));
        m_haveOddByte = false;
    }
    return static_cast<size_t>(at - out);
}

void Utf16ToUtf8::Take(uint32_t unit, char*& out)
{
    if (m_highSurrogate != 0) {
        if (IsLowSurrogate(unit)) {
            PutUtf8(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00), out);
            m_highSurrogate = 0;
            return;
        }
        PutUtf8(m_highSurrogate, out);  // a lone surrogate, kept as its code unit
        m_highSurrogate = 0;
    }
    if (m_pendingCr) {
        m_pendingCr = false;
        if (unit == '\n') {
            *out++ = '\n';  // CR LF is one line end
            return;
        }
        *out++ = '\r';
    }
    if (IsHighSurrogate(unit)) {
        m_highSurrogate = unit;
    } else if (unit == '\r') {
        m_pendingCr = true;
    } else {
        PutUtf8(unit, out);
    }
}

size_t ConvertedUtf16Reader::SequenceLength(unsigned char lead)
{
    if (lead >= 0xF8) {
        return 2;  // an odd last byte
    }
    if (lead >= 0xF0) {
        return 4;
    }
    return lead >= 0xE0 ? 3 : 2;
}

uint32_t ConvertedUtf16Reader::Decode(Utf16Unit& kind) const
{
    unsigned char lead = m_bytes[0];
    if (lead >= 0xF8) {
        kind = Utf16Unit::OddByte;
        return static_cast<uint32_t>((lead & 0x03) << 6 | (m_bytes[1] & 0x3F));
    }
    uint32_t value = 0;
    if (lead >= 0xF0) {
        value = static_cast<uint32_t>(lead & 0x07) << 18 | static_cast<uint32_t>(m_bytes[1] & 0x3F) << 12 |
                static_cast<uint32_t>(m_bytes[2] & 0x3F) << 6 | (m_bytes[3] & 0x3F);
    } else if (lead >= 0xE0) {
        value = static_cast<uint32_t>(lead & 0x0F) << 12 | static_cast<uint32_t>(m_bytes[1] & 0x3F) << 6 |
                (m_bytes[2] & 0x3F);
    } else {
        value = static_cast<uint32_t>(lead & 0x1F) << 6 | (m_bytes[1] & 0x3F);
    }
    kind = value >= 0xD800 && value <= 0xDFFF ? Utf16Unit::LoneSurrogate : Utf16Unit::Character;
    return value;
}

bool DecodeConvertedUtf16(const LiteralText& text, CharacterSink& sink)
{
    bool lossless = true;
    ConvertedUtf16Reader reader;
    auto take = [&](Utf16Unit kind, uint32_t value) {
        lossless = lossless && kind == Utf16Unit::Character;
        sink.OnCharacter(kind == Utf16Unit::Character ? value : kReplacementCharacter);
    };
    text.ForEachPiece([&](const char* piece, size_t size) { reader.Feed(piece, size, take); });
    return lossless;
}

void WriteUtf16HexOf(const LiteralText& text, bool bigEndian, HexSink& sink)
{
    HexWriter hex(sink);
    auto putByte = [&hex](uint32_t byte) { hex.Put(byte & 0xFF); };
    auto putUnit = [&](uint32_t unit) {
        putByte(bigEndian ? unit >> 8 : unit & 0xFF);
        putByte(bigEndian ? unit & 0xFF : unit >> 8);
    };
    auto take = [&](Utf16Unit kind, uint32_t value) {
        if (kind == Utf16Unit::OddByte) {
            putByte(value);
        } else if (value >= 0x10000) {
            putUnit(0xD800 + ((value - 0x10000) >> 10));
            putUnit(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            putUnit(value);
        }
    };
    ConvertedUtf16Reader reader;
    text.ForEachPiece([&](const char* piece, size_t size) { reader.Feed(piece, size, take); });
    hex.Flush();
}
