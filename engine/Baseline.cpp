#include "engine/Baseline.h"

#include "engine/TextToUtf8.h"
#include "engine/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads the members of one JSON object, as far as a record needs: string values are decoded,
// other values (numbers, true, false, null) are passed by.
class JsonObjectReader {
public:
    explicit JsonObjectReader(const std::string& line) : m_text(line) {}

    // The object's string members "file" and "text"; false when the line is no such object.
    bool Read(std::string& file, std::string& text, bool& hasFile, bool& hasText)
    {
        SkipBlanks();
        if (!Take('{')) {
            return false;
        }
        SkipBlanks();
        if (Take('}')) {
            return AtEnd();
        }
        do {
            std::string key;
            std::string value;
            bool isString = false;
            SkipBlanks();
            if (!ReadString(key)) {
                return false;
            }
            SkipBlanks();
            if (!Take(':') || !ReadValue(value, isString)) {
                return false;
            }
            if (isString && key == "file") {
                file = value;
                hasFile = true;
            } else if (isString && key == "text") {
                text = value;
                hasText = true;
            }
            SkipBlanks();
        } while (Take(','));
        return Take('}') && AtEnd();
    }

private:
    void SkipBlanks()
    {
        while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]) != nullptr) {
            ++m_at;
        }
    }
    bool Take(char expected)
    {
        if (m_at < m_text.size() && m_text[m_at] == expected) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return m_at == m_text.size();
    }

    bool ReadValue(std::string& value, bool& isString)
    {
        SkipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == '"') {
            isString = true;
            return ReadString(value);
        }
        size_t start = m_at;
        while (m_at < m_text.size() && std::strchr(",} \t\r\n", m_text[m_at]) == nullptr) {
            if (std::strchr("{[\"", m_text[m_at]) != nullptr) {
                return false;  // records hold no nested values
            }
            ++m_at;
        }
        return m_at > start;
    }

    bool ReadHex4(uint32_t& code)
    {
        if (m_at + 4 > m_text.size()) {
            return false;
        }
        code = 0;
        for (int digit = 0; digit < 4; ++digit) {
            char byte = m_text[m_at++];
            int value = byte >= '0' && byte <= '9'   ? byte - '0'
                        : byte >= 'a' && byte <= 'f' ? byte - 'a' + 10
                        : byte >= 'A' && byte <= 'F' ? byte - 'A' + 10
                                                     : -1;
            if (value < 0) {
                return false;
            }
            code = code * 16 + static_cast<uint32_t>(value);
        }
        return true;
    }

    // \uXXXX, with the second half of a surrogate pair when one follows.
    bool ReadUnicodeEscape(std::string& out)
    {
        uint32_t code = 0;
        if (!ReadHex4(code)) {
            return false;
        }
        if (code >= 0xD800 && code <= 0xDBFF && m_text.compare(m_at, 2, "\\u") == 0) {
            size_t back = m_at;
            m_at += 2;
            uint32_t low = 0;
            if (ReadHex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else {
                m_at = back;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacementCharacter;  // half a pair: as the writer would decode it
        }
        AppendUtf8(code, out);
        return true;
    }

    bool ReadString(std::string& out)
    {
        if (!Take('"')) {
            return false;
        }
        while (m_at < m_text.size()) {
            char byte = m_text[m_at++];
            if (byte == '"') {
                return true;
            }
            if (byte != '\\') {
                out += byte;
                continue;
            }
            if (m_at >= m_text.size()) {
                return false;
            }
            char escape = m_text[m_at++];
            const char* from = "\"\\/bfnrt";
            const char* to = "\"\\/\b\f\n\r\t";
            const char* found = std::strchr(from, escape);
            if (escape == 'u') {
                if (!ReadUnicodeEscape(out)) {
                    return false;
                }
            } else if (escape != '\0' && found != nullptr) {
                out += to[found - from];
            } else {
                return false;
            }
        }
        return false;
    }

    const std::string& m_text;
    size_t m_at = 0;
};

// Collects characters in UTF-8.
class Utf8Collector : public CharacterSink {
public:
    explicit Utf8Collector(std::string& out) : m_out(out) {}
    void OnCharacter(uint32_t character) override { AppendUtf8(character, m_out); }

private:
    std::string& m_out;
};

// A file's name as the baseline knows it: its folders joined by '/', so that a baseline made on
// Linux holds on Windows, where they are joined by '\\', and the other way round.
std::string SameOnEverySystem(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The label a BaselineFormat gives: the inner label's length in eight hexadecimal digits, the
// inner label, then the file's name in UTF-8.
const int kLengthDigits = 8;

}  // namespace

bool Baseline::Load(const std::string& jsonl, std::string& error)
{
    size_t start = 0;
    int lineNumber = 0;
    while (start < jsonl.size()) {
        size_t end = jsonl.find('\n', start);
        if (end == std::string::npos) {
            end = jsonl.size();
        }
        std::string line = jsonl.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (lineNumber == 1 && line.compare(0, 3, kUtf8ByteOrderMark) == 0) {
            line.erase(0, 3);
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        std::string file;
        std::string text;
        bool hasFile = false;
        bool hasText = false;
        if (!JsonObjectReader(line).Read(file, text, hasFile, hasText) || !hasFile || !hasText) {
            error = "line " + std::to_string(lineNumber) +
                    " is not a jsonl record with \"file\" and \"text\"";
            return false;
        }
        ++m_count[std::make_pair(SameOnEverySystem(file), text)];
    }
    return true;
}

bool Baseline::Take(const std::string& file, const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto known = m_count.find(std::make_pair(SameOnEverySystem(file), text));
    if (known == m_count.end() || known->second == 0) {
        return false;
    }
    --known->second;
    return true;
}

CString BaselineFormat::FileLabel(const char* displayName) const
{
    CString inner = m_inner.FileLabel(displayName);
    char length[kLengthDigits + 1];
    std::snprintf(length, sizeof length, "%08x", static_cast<unsigned>(inner.GetLength()));
    std::string name;
    Utf8Collector collect(name);
    DecodePath(displayName, collect);
    CString label = length;
    label += inner;
    label += name.c_str();
    return label;
}

void BaselineFormat::WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                                 SourceEncoding encoding, RecordBytes& out) const
{
    const char* at = label.GetString();
    int innerLength = static_cast<int>(std::strtoul(std::string(at, kLengthDigits).c_str(), nullptr, 16));
    std::string characters;
    Utf8Collector collect(characters);
    DecodeText(text, encoding, collect);
    if (m_baseline.Take(at + kLengthDigits + innerLength, characters)) {
        return;
    }
    m_inner.WriteRecord(CString(at + kLengthDigits, innerLength), place, text, encoding, out);
}
