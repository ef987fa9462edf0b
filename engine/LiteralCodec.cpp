#include "engine/LiteralCodec.h"

#include "engine/Syntax.h"

namespace {

const char32_t kQuote = U'"';
const char32_t kBackslash = U'\\';

bool IsKnownPrefix(const std::u32string& prefix)
{
    static const char32_t* const kPrefixes[] = {U"",  U"L",   U"u8",  U"u",  U"U",
                                                U"R", U"LR", U"u8R", U"uR", U"UR"};
    for (const char32_t* known : kPrefixes) {
        if (prefix == known) {
            return true;
        }
    }
    return false;
}

LiteralKind KindOfPrefix(const std::u32string& prefix, bool resourceScript)
{
    if (!prefix.empty() && prefix.back() == U'R') {
        return LiteralKind::Raw;
    }
    if (prefix == U"u8") {
        return LiteralKind::Utf8Prefixed;
    }
    if (!prefix.empty()) {
        return LiteralKind::Wide;
    }
    return resourceScript ? LiteralKind::ResourceScript : LiteralKind::Plain;
}

// The character at `index` of the units, or 0 past their end or for a byte that is no character.
char32_t At(const std::vector<DecodedUnit>& units, size_t index)
{
    if (index >= units.size() || units[index].character < 0) {
        return 0;
    }
    return static_cast<char32_t>(units[index].character);
}

// Reads a prefix, and for a raw string its delimiter, from the start of the units; the index of
// the first unit of the text. False for a token that is not a literal.
bool ReadOpening(const std::vector<DecodedUnit>& units, LiteralToken& token, size_t& first)
{
    size_t at = 0;
    while (at < units.size() && At(units, at) != kQuote && at < 3) {
        token.prefix += At(units, at++);
    }
    if (At(units, at) != kQuote || !IsKnownPrefix(token.prefix)) {
        return false;
    }
    ++at;
    if (token.kind == LiteralKind::Raw) {
        while (at < units.size() && At(units, at) != U'(' && token.delimiter.size() < 16) {
            token.delimiter += At(units, at++);
        }
        if (At(units, at) != U'(') {
            return false;
        }
        ++at;
    }
    first = at;
    return true;
}

// Checks the closing of the token and tells where its text ends.
bool ReadClosing(const std::vector<DecodedUnit>& units, const LiteralToken& token, size_t first,
                 size_t& end)
{
    std::u32string closing;
    if (token.kind == LiteralKind::Raw) {
        closing = U")" + token.delimiter + U"\"";
    } else if (token.kind == LiteralKind::Pairs) {
        closing = token.delimiter;
    } else {
        closing = U"\"";
    }
    if (units.size() < first + closing.size()) {
        return false;
    }
    end = units.size() - closing.size();
    for (size_t index = 0; index < closing.size(); ++index) {
        if (At(units, end + index) != closing[index]) {
            return false;
        }
    }
    return true;
}

bool IsOctal(char32_t character)
{
    return character >= U'0' && character <= U'7';
}

int HexDigit(char32_t character)
{
    if (character >= U'0' && character <= U'9') {
        return static_cast<int>(character - U'0');
    }
    if (character >= U'a' && character <= U'f') {
        return static_cast<int>(character - U'a') + 10;
    }
    if (character >= U'A' && character <= U'F') {
        return static_cast<int>(character - U'A') + 10;
    }
    return -1;
}

// The characters of a text without its backslash-newlines, which the compiler removes before
// anything else; a byte that is no character makes the whole text undecodable.
bool SplicedText(const std::vector<DecodedUnit>& text, std::u32string& characters)
{
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index].character < 0) {
            return false;
        }
        char32_t character = At(text, index);
        if (character == kBackslash && At(text, index + 1) == U'\n') {
            ++index;
            continue;
        }
        if (character == kBackslash && At(text, index + 1) == U'\r' &&
            At(text, index + 2) == U'\n') {
            index += 2;
            continue;
        }
        characters += character;
    }
    return true;
}

// One escape sequence that starts after the backslash at `at`: its value, and whether it names a
// character (\u, \U) rather than a code unit. False for an escape that a compiler rejects.
bool ReadEscape(const std::u32string& text, size_t& at, uint32_t& value, bool& namesCharacter)
{
    static const char32_t kSimple[] = U"n\nt\tr\ra\ab\bf\fv\v\\\\''\"\"??";
    namesCharacter = false;
    if (at >= text.size()) {
        return false;
    }
    char32_t first = text[at];
    for (size_t index = 0; kSimple[index] != 0; index += 2) {
        if (kSimple[index] == first) {
            value = kSimple[index + 1];
            ++at;
            return true;
        }
    }
    if (IsOctal(first)) {
        value = 0;
        for (int digits = 0; digits < 3 && at < text.size() && IsOctal(text[at]); ++digits) {
            value = value * 8 + static_cast<uint32_t>(text[at++] - U'0');
        }
        return true;
    }
    if (first == U'x') {
        ++at;
        uint64_t number = 0;
        size_t digits = 0;
        for (; at < text.size() && HexDigit(text[at]) >= 0; ++digits) {
            number = number * 16 + static_cast<uint64_t>(HexDigit(text[at++]));
            if (number > 0x10FFFF) {
                return false;
            }
        }
        value = static_cast<uint32_t>(number);
        return digits > 0;
    }
    if (first == U'u' || first == U'U') {
        size_t count = first == U'u' ? 4 : 8;
        ++at;
        uint64_t number = 0;
        for (size_t digit = 0; digit < count; ++digit, ++at) {
            if (at >= text.size() || HexDigit(text[at]) < 0) {
                return false;
            }
            number = number * 16 + static_cast<uint64_t>(HexDigit(text[at]));
        }
        if (number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF)) {
            return false;
        }
        value = static_cast<uint32_t>(number);
        namesCharacter = true;
        return true;
    }
    return false;
}

// Characters that a PO or an XML file cannot carry as they are.
bool IsCarried(char32_t character)
{
    if (character == U'\t' || character == U'\n' || character == U'\r') {
        return true;
    }
    return character >= 0x20 && character != 0xFFFE && character != 0xFFFF;
}

// The unit of a literal's text at `at`, which moves past it: a character as written (a resource
// script's doubled quote is one quote), or what an escape gives (`escaped`; `namesCharacter` when
// it names a character rather than a code unit). False where the text is no valid literal.
bool ReadUnit(const LiteralToken& token, const std::u32string& text, size_t& at, uint32_t& unit,
              bool& escaped, bool& namesCharacter)
{
    char32_t character = text[at++];
    escaped = character == kBackslash;
    namesCharacter = false;
    if (escaped) {
        return ReadEscape(text, at, unit, namesCharacter);
    }
    if (token.kind == LiteralKind::ResourceScript && character == kQuote) {
        if (at >= text.size() || text[at] != kQuote) {
            return false;
        }
        ++at;
    }
    unit = character;
    return true;
}

// A text with escapes whose units are bytes of an encoding: the bytes are put together, then read.
bool DecodeByteLiteral(const LiteralToken& token, const std::u32string& text,
                       SourceEncoding bytesEncoding, std::u32string& value)
{
    std::string bytes;
    for (size_t at = 0; at < text.size();) {
        uint32_t unit = 0;
        bool escaped = false;
        bool namesCharacter = false;
        if (!ReadUnit(token, text, at, unit, escaped, namesCharacter)) {
            return false;
        }
        if (escaped && !namesCharacter) {
            if (unit > 0xFF) {
                return false;
            }
            bytes += static_cast<char>(unit);
        } else if (!EncodeCharacter(unit, bytesEncoding, bytes)) {
            return false;
        }
    }
    for (const DecodedUnit& unit : DecodeBytes(bytes, bytesEncoding)) {
        if (unit.character < 0) {
            return false;
        }
        value += static_cast<char32_t>(unit.character);
    }
    return true;
}

// A text with escapes whose units are characters (wide literals, and any literal of a UTF-16 file).
bool DecodeCharacterLiteral(const LiteralToken& token, const std::u32string& text,
                            std::u32string& value)
{
    for (size_t at = 0; at < text.size();) {
        uint32_t unit = 0;
        bool escaped = false;
        bool namesCharacter = false;
        if (!ReadUnit(token, text, at, unit, escaped, namesCharacter) ||
            (escaped && unit >= 0xD800 && unit <= 0xDFFF)) {
            return false;
        }
        value += static_cast<char32_t>(unit);
    }
    return true;
}

void PutOctal(uint32_t byte, std::u32string& out)
{
    out += U'\\';
    out += static_cast<char32_t>(U'0' + ((byte >> 6) & 7));
    out += static_cast<char32_t>(U'0' + ((byte >> 3) & 7));
    out += static_cast<char32_t>(U'0' + (byte & 7));
}

// The characters as they would stand in the token's text, made into its file's bytes.
bool PutCharacters(const LiteralToken& token, const std::u32string& characters, std::string& bytes,
                   std::string& why)
{
    for (char32_t character : characters) {
        if (!EncodeCharacter(character, token.encoding, bytes)) {
            char code[16];
            unsigned number = static_cast<unsigned>(character);
            const char kDigits[] = "0123456789ABCDEF";
            int length = 0;
            for (int shift = number > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) {
                code[length++] = kDigits[(number >> shift) & 0xF];
            }
            code[length] = '\0';
            why = std::string("U+") + code + " cannot be written in " +
                  EncodingName(token.encoding);
            return false;
        }
    }
    return true;
}

std::u32string::size_type FindClosing(const LiteralToken& token, const std::u32string& text)
{
    return text.find(U")" + token.delimiter + U"\"");
}

bool EncodeRaw(const LiteralToken& token, const std::u32string& text, bool written,
               const std::u32string& lineEnd, std::u32string& out, std::string& why)
{
    for (size_t at = 0; at < text.size(); ++at) {
        if (written && text[at] == U'\\' && at + 1 < text.size() && text[at + 1] == U'n') {
            out += lineEnd;
            ++at;
        } else if (!written && text[at] == U'\n') {
            out += lineEnd;
        } else if (text[at] == 0 || text[at] == U'\r') {
            // A carriage return would be read as part of the file's line break.
            why = text[at] == 0 ? "a raw string cannot hold a NUL"
                                : "a raw string cannot hold a carriage return";
            return false;
        } else {
            out += text[at];
        }
    }
    if (FindClosing(token, out) != std::u32string::npos) {
        why = "the translation holds the raw string's own closing )" +
              CharactersToUtf8(token.delimiter) + "\"";
        return false;
    }
    return true;
}

// A value in the escape language of a literal that has one.
void EscapeValue(const LiteralToken& token, const std::u32string& value, std::u32string& out)
{
    for (char32_t character : value) {
        switch (character) {
        case U'\\':
            out += U"\\\\";
            break;
        case U'"':
            out += token.kind == LiteralKind::ResourceScript ? U"\"\"" : U"\\\"";
            break;
        case U'\'':
            // Only the delimiter pairs syntax with the apostrophe as delimiter needs it escaped.
            out += token.kind == LiteralKind::Pairs && token.delimiter == U"'" ? U"\\'" : U"'";
            break;
        case U'\n':
            out += U"\\n";
            break;
        case U'\r':
            out += U"\\r";
            break;
        case U'\t':
            out += U"\\t";
            break;
        default:
            if (character < 0x20 || character == 0x7F) {
                PutOctal(character, out);
            } else {
                out += character;
            }
            break;
        }
    }
}

// The delimiter pairs syntax reads a text up to its next delimiter that no backslash escapes (a
// backslash escapes nothing when it is the delimiter itself).
bool KeepsOnePairsText(const LiteralToken& token, const std::u32string& text, std::string& why)
{
    char32_t delimiter = token.delimiter.empty() ? U'"' : token.delimiter[0];
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == U'\\' && delimiter != U'\\') {
            ++at;
        } else if (text[at] == delimiter) {
            why = "the delimiter " + CharactersToUtf8(token.delimiter) + " would end the text";
            return false;
        }
    }
    return true;
}

bool IsNarrowShiftJis(const LiteralToken& token)
{
    return token.encoding == SourceEncoding::Cp932 &&
           (token.kind == LiteralKind::Plain || token.kind == LiteralKind::Pairs ||
            token.kind == LiteralKind::ResourceScript);
}

// A compiler that reads Shift_JIS sources writes the character of a \u escape in its code page, or
// a look-alike or a ? when it has none; only an escape that the literal already held, which its
// program evidently relies on, may stand in the translation.
bool KeepsOwnEscape(const LiteralToken& token, const std::u32string& escape)
{
    return WrittenText(token).find(escape) != std::u32string::npos;
}

// A text as written, checked: it must stay one literal of its kind.
bool CheckWritten(const LiteralToken& token, const std::u32string& text, std::string& why)
{
    for (size_t at = 0; at < text.size(); ++at) {
        char32_t character = text[at];
        if (character == U'\n' || character == U'\r') {
            why = "a line break cannot stand in a literal (write \\n)";
            return false;
        }
        if (character == U'\\') {
            char32_t next = at + 1 < text.size() ? text[at + 1] : 0;
            if (next == 0 || next == U'\n' || next == U'\r') {
                why = "a backslash at the end escapes the closing quote";
                return false;
            }
            if ((next == U'u' || next == U'U') && IsNarrowShiftJis(token) &&
                !KeepsOwnEscape(token, text.substr(at, next == U'u' ? 6 : 10))) {
                why = "a narrow Shift_JIS literal cannot take a \\u escape";
                return false;
            }
            ++at;
            continue;
        }
        if (character == U'"' && token.kind == LiteralKind::ResourceScript && at + 1 < text.size() &&
            text[at + 1] == U'"') {
            ++at;
            continue;
        }
        if (character == U'"') {
            why = "a bare quote ends the literal";
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsResourceScriptName(const std::string& name)
{
    return SourceKindOf(name.c_str()) == SourceKind::ResourceScript;
}

bool ParseLiteralToken(const std::string& bytes, SourceEncoding encoding, bool pairs,
                       bool resourceScript, LiteralToken& token)
{
    token = LiteralToken();
    token.encoding = encoding;
    token.bytes = bytes;
    std::vector<DecodedUnit> units = DecodeBytes(bytes, encoding);
    size_t first = 0;
    if (pairs) {
        token.kind = LiteralKind::Pairs;
        if (units.empty() || units[0].character < 0) {
            return false;
        }
        token.delimiter = std::u32string(1, At(units, 0));
        first = 1;
    } else {
        size_t at = 0;
        std::u32string prefix;
        while (at < units.size() && at < 3 && At(units, at) != kQuote) {
            prefix += At(units, at++);
        }
        token.kind = KindOfPrefix(prefix, resourceScript);
        if (!ReadOpening(units, token, first)) {
            return false;
        }
    }
    size_t end = 0;
    if (!ReadClosing(units, token, first, end)) {
        return false;
    }
    token.textBegin = first < units.size() ? units[first].offset : bytes.size();
    token.textEnd = end < units.size() ? units[end].offset : bytes.size();
    token.text.assign(units.begin() + static_cast<std::ptrdiff_t>(first),
                      units.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

bool DecodeLiteralValue(const LiteralToken& token, std::u32string& value)
{
    value.clear();
    std::u32string text;
    bool decoded = false;
    if (token.kind == LiteralKind::Raw) {
        decoded = true;
        for (size_t index = 0; index < token.text.size() && decoded; ++index) {
            decoded = token.text[index].character >= 0;
            char32_t character = At(token.text, index);
            if (character == U'\r' && At(token.text, index + 1) == U'\n') {
                continue;
            }
            value += character;
        }
    } else if (SplicedText(token.text, text)) {
        if (token.kind == LiteralKind::Wide || IsUtf16(token.encoding)) {
            decoded = DecodeCharacterLiteral(token, text, value);
        } else {
            SourceEncoding bytesEncoding = token.kind == LiteralKind::Utf8Prefixed
                                             ? SourceEncoding::Utf8
                                             : token.encoding;
            decoded = DecodeByteLiteral(token, text, bytesEncoding, value);
        }
    }
    for (char32_t character : value) {
        decoded = decoded && IsCarried(character);
    }
    return decoded;
}

std::u32string WrittenText(const LiteralToken& token)
{
    std::u32string written;
    for (size_t index = 0; index < token.text.size(); ++index) {
        const DecodedUnit& unit = token.text[index];
        char32_t character = At(token.text, index);
        if (unit.character < 0) {
            for (size_t byte = 0; byte < unit.length; ++byte) {
                PutOctal(static_cast<unsigned char>(token.bytes[unit.offset + byte]), written);
            }
            continue;
        }
        if (token.kind != LiteralKind::Raw && character == U'\\' &&
            (At(token.text, index + 1) == U'\n' ||
             (At(token.text, index + 1) == U'\r' && At(token.text, index + 2) == U'\n'))) {
            index += At(token.text, index + 1) == U'\n' ? 1 : 2;  // a backslash-newline
            continue;
        }
        if (token.kind == LiteralKind::Raw && (character == U'\r' || character == U'\n')) {
            if (character == U'\r' && At(token.text, index + 1) == U'\n') {
                ++index;
            }
            written += U"\\n";
            continue;
        }
        written += character;
    }
    return written;
}

bool EncodeLiteralText(const LiteralToken& token, const std::u32string& text, bool written,
                       const std::u32string& lineEnd, std::string& bytes, std::string& why)
{
    std::u32string characters;
    if (token.kind == LiteralKind::Raw) {
        if (!EncodeRaw(token, text, written, lineEnd, characters, why)) {
            return false;
        }
    } else if (written) {
        if (!CheckWritten(token, text, why)) {
            return false;
        }
        characters = text;
    } else {
        EscapeValue(token, text, characters);
    }
    if (token.kind == LiteralKind::Pairs && !KeepsOnePairsText(token, characters, why)) {
        return false;
    }
    bytes.clear();
    return PutCharacters(token, characters, bytes, why);
}

std::string ReplaceTokenText(const std::string& tokenBytes, const LiteralToken& token,
                             const std::string& text)
{
    return tokenBytes.substr(0, token.textBegin) + text + tokenBytes.substr(token.textEnd);
}
