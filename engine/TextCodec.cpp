#include "engine/TextCodec.h"

#include "engine/Cp932.h"
#include "engine/TextToUtf8.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"

namespace {

void DecodeCp932(const std::string& bytes, std::vector<DecodedUnit>& units)
{
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    for (size_t at = 0; at < size;) {
        unsigned char byte = data[at];
        if (byte < 0x80) {
            units.push_back({byte, at, 1});
            ++at;
        } else if (uint32_t single = Cp932SingleToUnicode(byte)) {
            units.push_back({single, at, 1});
            ++at;
        } else if (IsShiftJisLeadByte(byte) && at + 1 < size &&
                   Cp932DoubleToUnicode(byte, data[at + 1]) != 0) {
            units.push_back({Cp932DoubleToUnicode(byte, data[at + 1]), at, 2});
            at += 2;
        } else {
            units.push_back({-1, at, 1});
            ++at;
        }
    }
}

void DecodeUtf8Bytes(const std::string& bytes, std::vector<DecodedUnit>& units)
{
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t at = 0; at < bytes.size();) {
        size_t length = 0;
        uint32_t character = DecodeUtf8(data + at, data + bytes.size(), length);
        if (character == kNotACharacter) {
            units.push_back({-1, at, 1});
            ++at;
        } else {
            units.push_back({character, at, length});
            at += length;
        }
    }
}

void DecodeUtf16(const std::string& bytes, bool bigEndian, std::vector<DecodedUnit>& units)
{
    auto unitAt = [&](size_t at) -> uint32_t {
        unsigned char first = static_cast<unsigned char>(bytes[at]);
        unsigned char second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    size_t at = 0;
    for (; at + 1 < bytes.size();) {
        uint32_t unit = unitAt(at);
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size() &&
            unitAt(at + 2) >= 0xDC00 && unitAt(at + 2) <= 0xDFFF) {
            uint32_t low = unitAt(at + 2);
            units.push_back({0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), at, 4});
            at += 4;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            units.push_back({-1, at, 2});
            at += 2;
        } else {
            units.push_back({unit, at, 2});
            at += 2;
        }
    }
    if (at < bytes.size()) {
        units.push_back({-1, at, 1});
    }
}

void PutUtf16(uint32_t unit, bool bigEndian, std::string& out)
{
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

}  // namespace

std::vector<DecodedUnit> DecodeBytes(const std::string& bytes, SourceEncoding encoding)
{
    std::vector<DecodedUnit> units;
    units.reserve(bytes.size());
    switch (encoding) {
    case SourceEncoding::Cp932:
        DecodeCp932(bytes, units);
        break;
    case SourceEncoding::Utf8:
        DecodeUtf8Bytes(bytes, units);
        break;
    case SourceEncoding::Utf16Le:
    case SourceEncoding::Utf16Be:
        DecodeUtf16(bytes, encoding == SourceEncoding::Utf16Be, units);
        break;
    default:
        for (size_t at = 0; at < bytes.size(); ++at) {
            unsigned char byte = static_cast<unsigned char>(bytes[at]);
            units.push_back({byte < 0x80 ? static_cast<int64_t>(byte) : -1, at, 1});
        }
        break;
    }
    return units;
}

bool EncodeCharacter(uint32_t character, SourceEncoding encoding, std::string& out)
{
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return false;
    }
    switch (encoding) {
    case SourceEncoding::Cp932: {
        unsigned char bytes[2];
        int length = UnicodeToCp932(character, bytes);
        out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
        return length > 0;
    }
    case SourceEncoding::Utf8:
        AppendUtf8(character, out);
        return true;
    case SourceEncoding::Utf16Le:
    case SourceEncoding::Utf16Be: {
        bool bigEndian = encoding == SourceEncoding::Utf16Be;
        if (character >= 0x10000) {
            PutUtf16(0xD800 + ((character - 0x10000) >> 10), bigEndian, out);
            PutUtf16(0xDC00 + ((character - 0x10000) & 0x3FF), bigEndian, out);
        } else {
            PutUtf16(character, bigEndian, out);
        }
        return true;
    }
    default:
        if (character >= 0x80) {
            return false;
        }
        out += static_cast<char>(character);
        return true;
    }
}

bool Utf8ToCharacters(const std::string& utf8, std::u32string& characters)
{
    characters.clear();
    for (const DecodedUnit& unit : DecodeBytes(utf8, SourceEncoding::Utf8)) {
        if (unit.character < 0) {
            return false;
        }
        characters += static_cast<char32_t>(unit.character);
    }
    return true;
}

std::string CharactersToUtf8(const std::u32string& characters)
{
    std::string utf8;
    for (char32_t character : characters) {
        AppendUtf8(character, utf8);
    }
    return utf8;
}
