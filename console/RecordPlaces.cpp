#include "console/RecordPlaces.h"

#include "engine/TextToUtf8.h"

#include <cstdlib>
#include <map>

namespace {

// A flat JSON object read field by field.
class FlatJson {
public:
    explicit FlatJson(const std::string& text) : m_text(text) {}

    bool Read(std::map<std::string, std::string>& fields)
    {
        Blanks();
        if (!Take('{')) {
            return false;
        }
        Blanks();
        if (Take('}')) {
            return true;
        }
        for (;;) {
            std::string key;
            std::string value;
            Blanks();
            if (!String(key)) {
                return false;
            }
            Blanks();
            if (!Take(':')) {
                return false;
            }
            Blanks();
            if (!(Peek() == '"' ? String(value) : Number(value))) {
                return false;
            }
            fields[key] = value;
            Blanks();
            if (Take('}')) {
                return true;
            }
            if (!Take(',')) {
                return false;
            }
        }
    }

private:
    char Peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
    bool Take(char expected)
    {
        if (Peek() != expected) {
            return false;
        }
        ++m_at;
        return true;
    }
    void Blanks()
    {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n') {
            ++m_at;
        }
    }
    bool Number(std::string& value)
    {
        size_t start = m_at;
        while (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) {
            ++m_at;
        }
        value = m_text.substr(start, m_at - start);
        return !value.empty();
    }
    bool Hex4(uint32_t& unit)
    {
        if (m_at + 4 > m_text.size()) {
            return false;
        }
        std::string digits = m_text.substr(m_at, 4);
        if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        unit = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        m_at += 4;
        return true;
    }
    bool String(std::string& value)
    {
        if (!Take('"')) {
            return false;
        }
        for (;;) {
            char byte = Peek();
            if (byte == '\0' && m_at >= m_text.size()) {
                return false;
            }
            ++m_at;
            if (byte == '"') {
                return true;
            }
            if (byte != '\\') {
                value += byte;
                continue;
            }
            char escape = Peek();
            ++m_at;
            const char* simple = "\"\"\\\\//b\bf\fn\nr\rt\t";
            bool found = false;
            for (size_t index = 0; simple[index] != '\0'; index += 2) {
                if (simple[index] == escape) {
                    value += simple[index + 1];
                    found = true;
                }
            }
            if (found) {
                continue;
            }
            uint32_t unit = 0;
            if (escape != 'u' || !Hex4(unit)) {
                return false;
            }
            if (unit >= 0xD800 && unit <= 0xDBFF && Peek() == '\\' &&
                m_text.compare(m_at, 2, "\\u") == 0) {
                m_at += 2;
                uint32_t low = 0;
                if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                    return false;
                }
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(unit, value);
        }
    }

    const std::string& m_text;
    size_t m_at = 0;
};

bool Number(const std::map<std::string, std::string>& fields, const char* key, int64_t& number)
{
    auto found = fields.find(key);
    if (found == fields.end() || found->second.empty() ||
        found->second.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    number = std::strtoll(found->second.c_str(), nullptr, 10);
    return true;
}

}  // namespace

bool ReadRecordPlace(const std::string& line, TranslationPlace& place)
{
    std::map<std::string, std::string> fields;
    FlatJson json(line);
    if (!json.Read(fields) || fields.count("file") == 0) {
        return false;
    }
    place = TranslationPlace();
    place.file = fields["file"];
    place.encoding = fields["encoding"];
    place.hasPrefix = fields.count("prefix") != 0;
    place.prefix = fields["prefix"];
    Number(fields, "column", place.column);
    return Number(fields, "line", place.line) && Number(fields, "offset", place.offset) &&
           Number(fields, "length", place.length);
}
