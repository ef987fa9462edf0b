// Holds the C/C++ reader against a small model of its comment and literal states, written here
// on its own terms: a byte-by-byte walk over the whole text. Both must find the same literals,
// at the same places, however the text is cut into blocks. The raw input also goes through the
// reader as C++ and as a resource script, which must not depend on the blocks either.
#include "engine/CppLiteralScanner.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const unsigned char kLead = 0x95;  // 表 is 0x95 0x5C

// "line:column:offset:length:text;" for each literal.
class Collector : public LiteralSink {
public:
    bool OnDelimiterLine() override { return true; }
    void OnLiteral(const LiteralPlace& place, const LiteralText& text) override
    {
        Add(place.line, place.column, place.offset, place.length);
        size_t textStart = found.size();
        text.ForEachPiece([this](const char* piece, size_t size) { found.append(piece, size); });
        // A record leaves its NUL unescaped when the reader says there is none.
        if (!text.mayHoldNul && found.find('\0', textStart) != std::string::npos) {
            std::abort();
        }
        found += ';';
    }
    void Add(int64_t line, int64_t column, uint64_t offset, uint64_t length)
    {
        found += std::to_string(line) + ":" + std::to_string(column) + ":" + std::to_string(offset) +
                 ":" + std::to_string(length) + ":";
    }
    std::string found;
};

std::string Read(const std::string& text, SourceKind kind, size_t chunk, bool utf8)
{
    Collector collector;
    CppLiteralScanner scanner(MakeScanSettings("", 0, SYNTAX_CPP), kind, collector);
    if (utf8) {
        scanner.ReadAsUtf8();
    }
    for (size_t at = 0; at < text.size(); at += chunk) {
        size_t length = text.size() - at < chunk ? text.size() - at : chunk;
        scanner.Feed(text.data() + at, text.data() + at + length);
    }
    scanner.Finish();
    return collector.found;
}

// The model: code, // and /* */ comments, string and character literals of C.
std::string Model(const std::string& t, bool leads)
{
    enum { kCode, kLine, kBlock, kString, kChar } state = kCode;
    Collector out;
    int64_t line = 1;
    size_t lineStart = 0;
    size_t start = 0;
    int64_t startLine = 0;
    size_t startLineStart = 0;
    std::string text;
    bool escape = false;
    size_t i = 0;
    while (i < t.size()) {
        char c = t[i];
        char next = i + 1 < t.size() ? t[i + 1] : '\0';
        bool quoted = state == kString || state == kChar;
        // A lead byte and its trail are one character where a backslash matters; elsewhere no
        // trail byte can be taken for anything.
        if (leads && (quoted || state == kLine) && static_cast<unsigned char>(c) == kLead &&
            i + 1 < t.size() && next != '\n') {
            if (quoted) {
                text += t.substr(i, 2);
                escape = false;
            }
            i += 2;
            continue;
        }
        if ((quoted || state == kLine) && c == '\\' && next == '\n' && i + 1 < t.size()) {
            ++line;
            lineStart = i + 2;
            i += 2;
            continue;
        }
        if (c == '\n' && state != kBlock) {
            state = kCode;  // a literal not closed on its line opens nothing
            ++line;
            lineStart = i + 1;
            ++i;
            continue;
        }
        if (c == '\n') {
            ++line;
            lineStart = i + 1;
        } else if (state == kCode && c == '/' && (next == '/' || next == '*') && i + 1 < t.size()) {
            state = next == '/' ? kLine : kBlock;
            ++i;
        } else if (state == kCode && (c == '"' || c == '\'')) {
            state = c == '"' ? kString : kChar;
            start = i;
            startLine = line;
            startLineStart = lineStart;
            text.clear();
            escape = false;
        } else if (state == kBlock && c == '*' && next == '/' && i + 1 < t.size()) {
            state = kCode;
            ++i;
        } else if (quoted && escape) {
            escape = false;
            text += c;
        } else if (quoted && c == '\\') {
            escape = true;
            text += c;
        } else if (quoted && c == (state == kString ? '"' : '\'')) {
            if (state == kString) {
                out.Add(startLine, static_cast<int64_t>(start - startLineStart) + 1, start,
                        i + 1 - start);
                out.found += text + ";";
            }
            state = kCode;
        } else if (quoted) {
            text += c;
        }
        ++i;
    }
    return out.found;
}

}  // namespace

// Input: one byte of options, one byte of chunk size, then the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    bool shiftJis = (data[0] & 1) != 0;
    size_t chunk = 1 + data[1] % 17;
    std::string raw(reinterpret_cast<const char*>(data + 2), size - 2);
    SelectCodePage(shiftJis ? kCodePageShiftJis : kCodePageSingleByte);

    // The model's bytes: what its states turn on, and a letter that is no prefix.
    static const char kAlphabet[] = {'"', '\'', '/', '*', '\\', '\n', 'a', ' ',
                                     static_cast<char>(kLead), '\0', 'x', '"'};
    std::string mapped;
    for (char byte : raw) {
        mapped += kAlphabet[static_cast<unsigned char>(byte) % sizeof kAlphabet];
    }
    std::string expected = Model(mapped, shiftJis);
    if (Read(mapped, SourceKind::C, mapped.size() + 1, false) != expected ||
        Read(mapped, SourceKind::C, chunk, false) != expected) {
        std::abort();
    }
    for (SourceKind kind : {SourceKind::Cpp, SourceKind::ResourceScript}) {
        for (bool utf8 : {false, true}) {
            if (Read(raw, kind, raw.size() + 1, utf8) != Read(raw, kind, chunk, utf8)) {
                std::abort();
            }
        }
    }
    return 0;
}
