#include "engine/TranslationUnits.h"

#include <cstdlib>
#include <cstring>

const char kWrittenContext[] = "tolvek: as written";
const char kWrittenResourceType[] = "x-tolvek-as-written";

namespace {

const char kHexDigits[] = "0123456789abcdef";

uint64_t Fnv1a(const std::string& bytes, uint64_t hash = 0xcbf29ce484222325ULL)
{
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex64(uint64_t value)
{
    std::string hex(16, '0');
    for (int index = 15; index >= 0; --index, value >>= 4) {
        hex[static_cast<size_t>(index)] = kHexDigits[value & 0xF];
    }
    return hex;
}

// A name or a prefix in a description: bytes that would end or split a field are written %XX.
std::string EncodeField(const std::string& bytes)
{
    std::string out;
    for (unsigned char byte : bytes) {
        if (byte <= 0x20 || byte == '%' || byte == 0x7F) {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

int HexValue(char digit)
{
    const char* found = std::strchr(kHexDigits, digit | 0x20);
    return digit != 0 && found != nullptr ? static_cast<int>(found - kHexDigits) : -1;
}

bool DecodeField(const std::string& field, std::string& bytes)
{
    bytes.clear();
    for (size_t at = 0; at < field.size(); ++at) {
        if (field[at] != '%') {
            bytes += field[at];
            continue;
        }
        if (at + 2 >= field.size() || HexValue(field[at + 1]) < 0 ||
            HexValue(field[at + 2]) < 0) {
            return false;
        }
        bytes += static_cast<char>(HexValue(field[at + 1]) * 16 + HexValue(field[at + 2]));
        at += 2;
    }
    return true;
}

bool ParseNumber(const std::string& text, int64_t& number)
{
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    number = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

// One printf directive after its %, as gettext accepts it; advances past it.
bool ReadDirective(const std::string& text, size_t& at)
{
    auto digits = [&]() {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
    };
    size_t start = at;
    digits();
    if (at > start && at < text.size() && text[at] == '$') {
        ++at;  // a position
    } else {
        at = start;
    }
    while (at < text.size() && text[at] != '\0' && std::strchr("-+ #0'I", text[at]) != nullptr) {
        ++at;
    }
    if (at < text.size() && text[at] == '*') {
        ++at;
    } else {
        digits();
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (at < text.size() && text[at] == '*') {
            ++at;
        } else {
            digits();
        }
    }
    static const char* const kLengths[] = {"hh", "ll", "h", "l", "L", "j", "z", "t"};
    for (const char* length : kLengths) {
        if (text.compare(at, std::strlen(length), length) == 0) {
            at += std::strlen(length);
            break;
        }
    }
    if (at >= text.size() || text[at] == '\0' ||
        std::strchr("diouxXeEfFgGaAcspn", text[at]) == nullptr) {
        return false;
    }
    ++at;
    return true;
}

}  // namespace

std::string TokenHash(const std::string& tokenBytes)
{
    return Hex64(Fnv1a(tokenBytes));
}

std::string UnitId(const TranslationUnit& unit)
{
    return Hex64(Fnv1a(unit.source, Fnv1a(unit.written ? "written:" : "value:")));
}

bool IsCFormat(const std::string& text)
{
    bool directive = false;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        ++at;
        if (at < text.size() && text[at] == '%') {
            ++at;
            continue;
        }
        if (!ReadDirective(text, at)) {
            return false;
        }
        directive = true;
    }
    return directive;
}

std::string DescribePlace(const TranslationPlace& place)
{
    std::string description = "file=" + EncodeField(place.file) +
                              " line=" + std::to_string(place.line) +
                              " column=" + std::to_string(place.column) +
                              " offset=" + std::to_string(place.offset) +
                              " length=" + std::to_string(place.length);
    if (place.hasPrefix) {
        description += " prefix=" + (place.prefix.empty() ? std::string("-") : EncodeField(place.prefix));
    }
    description += " encoding=" + place.encoding + " token=" + place.tokenHash;
    return description;
}

bool ParsePlace(const std::string& description, TranslationPlace& place)
{
    place = TranslationPlace();
    bool hasFile = false;
    bool hasOffset = false;
    bool hasLength = false;
    size_t at = 0;
    while (at < description.size()) {
        size_t end = description.find(' ', at);
        if (end == std::string::npos) {
            end = description.size();
        }
        std::string field = description.substr(at, end - at);
        at = end + 1;
        size_t equals = field.find('=');
        if (field.empty()) {
            continue;
        }
        if (equals == std::string::npos) {
            return false;
        }
        std::string key = field.substr(0, equals);
        std::string value = field.substr(equals + 1);
        bool good = true;
        if (key == "file") {
            good = hasFile = DecodeField(value, place.file);
        } else if (key == "line") {
            good = ParseNumber(value, place.line);
        } else if (key == "column") {
            good = ParseNumber(value, place.column);
        } else if (key == "offset") {
            good = hasOffset = ParseNumber(value, place.offset);
        } else if (key == "length") {
            good = hasLength = ParseNumber(value, place.length);
        } else if (key == "prefix") {
            place.hasPrefix = true;
            good = value == "-" ? (place.prefix.clear(), true) : DecodeField(value, place.prefix);
        } else if (key == "encoding") {
            place.encoding = value;
        } else if (key == "token") {
            place.tokenHash = value;
        }
        if (!good) {
            return false;
        }
    }
    return hasFile && hasOffset && hasLength && !place.file.empty();
}
