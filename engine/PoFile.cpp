#include "engine/PoFile.h"

#include "engine/AsciiCase.h"
#include "engine/TextCodec.h"

#include <cstring>

namespace {

// A PO string's content: gettext's escapes for what cannot stand in it as it is.
std::string PoEscape(const std::string& text)
{
    std::string out;
    for (char byte : text) {
        switch (byte) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += byte;
            break;
        }
    }
    return out;
}

// `keyword "text"`, cut after each line feed inside the text, as gettext's tools write it.
std::string PoString(const char* keyword, const std::string& text)
{
    size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos || lineFeed + 1 == text.size()) {
        return std::string(keyword) + " \"" + PoEscape(text) + "\"\n";
    }
    std::string out = std::string(keyword) + " \"\"\n";
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        out += "\"" + PoEscape(text.substr(at, end - at)) + "\"\n";
        at = end;
    }
    return out;
}

// A name in a reference. A name with a blank is set between the isolates U+2068 and U+2069, as
// gettext's own tools write it; a control character is shown as U+FFFD. The exact name is in the
// place's own comment.
std::string ReferenceName(const std::string& name)
{
    std::string shown;
    bool blank = false;
    for (const DecodedUnit& unit : DecodeBytes(name, SourceEncoding::Utf8)) {
        blank = blank || unit.character == ' ';
        if (unit.character < 0 || (unit.character < 0x20 && unit.character >= 0)) {
            shown += "\xEF\xBF\xBD";
        } else {
            shown += name.substr(unit.offset, unit.length);
        }
    }
    return blank ? "\xE2\x81\xA8" + shown + "\xE2\x81\xA9" : shown;
}

std::string PoHeader(const std::string& generator)
{
    return "msgid \"\"\n"
           "msgstr \"\"\n"
           "\"Project-Id-Version: PACKAGE VERSION\\n\"\n"
           "\"Report-Msgid-Bugs-To: \\n\"\n"
           "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
           "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
           "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
           "\"Language: \\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n"
           "\"X-Generator: " + PoEscape(generator) + "\\n\"\n";
}

// What is read of one entry of a PO file.
struct PoEntry {
    std::vector<TranslationPlace> places;
    bool fuzzy = false;
    bool hasContext = false;
    bool hasId = false;
    std::string context;
    std::string id;
    std::string translation;
    int line = 0;
};

class PoReader {
public:
    PoReader(const std::string& bytes, std::vector<TranslationUnit>& units)
        : m_bytes(bytes), m_units(units)
    {
    }

    bool Read(std::string& error);

private:
    bool ReadLine(const std::string& line);
    bool ReadKeyword(const std::string& line);
    bool ReadString(const std::string& quoted, std::string& text);
    bool EndEntry();
    bool ReadHeader(const std::string& header);
    bool Fail(const std::string& why)
    {
        m_error = "line " + std::to_string(m_line) + ": " + why;
        return false;
    }

    const std::string& m_bytes;
    std::vector<TranslationUnit>& m_units;
    PoEntry m_entry;
    std::string* m_continued = nullptr;  // the string that a line of "..." continues
    bool m_headerSeen = false;
    int m_line = 0;
    std::string m_error;
};

bool PoReader::Read(std::string& error)
{
    std::u32string ignored;
    if (!Utf8ToCharacters(m_bytes, ignored)) {
        error = "the file is not in UTF-8";
        return false;
    }
    size_t at = m_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < m_bytes.size()) {
        size_t end = m_bytes.find('\n', at);
        end = end == std::string::npos ? m_bytes.size() : end;
        std::string line = m_bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        ++m_line;
        at = end + 1;
        if (!ReadLine(line)) {
            error = m_error;
            return false;
        }
    }
    ++m_line;
    if (!EndEntry()) {
        error = m_error;
        return false;
    }
    if (!m_headerSeen) {
        error = "the file has no header (an entry with an empty msgid that names its charset)";
        return false;
    }
    return true;
}

bool PoReader::ReadLine(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return true;
    }
    std::string text = line.substr(first);
    if (text[0] == '"') {
        if (m_continued == nullptr) {
            return Fail("a string that continues nothing");
        }
        std::string more;
        if (!ReadString(text, more)) {
            return false;
        }
        *m_continued += more;
        return true;
    }
    if (text[0] == '#') {
        if (m_entry.hasId && !EndEntry()) {
            return false;
        }
        m_continued = nullptr;
        if (text.compare(0, 11, "#. tolvek: ") == 0) {
            TranslationPlace place;
            if (!ParsePlace(text.substr(11), place)) {
                return Fail("a tolvek comment that names no place");
            }
            m_entry.places.push_back(place);
        } else if (text.compare(0, 2, "#,") == 0 && text.find("fuzzy") != std::string::npos) {
            m_entry.fuzzy = true;
        }
        return true;
    }
    return ReadKeyword(text);
}

bool PoReader::ReadKeyword(const std::string& line)
{
    size_t space = line.find_first_of(" \t");
    std::string keyword = line.substr(0, space);
    size_t string = space == std::string::npos ? space : line.find_first_not_of(" \t", space);
    if (string == std::string::npos) {
        return Fail("a keyword without its string");
    }
    std::string rest = line.substr(string);
    std::string* target = nullptr;
    bool newEntry = (keyword == "msgctxt" && (m_entry.hasId || m_entry.hasContext)) ||
                    (keyword == "msgid" && m_entry.hasId);
    if (newEntry && !EndEntry()) {
        return false;
    }
    if (keyword == "msgctxt") {
        m_entry.hasContext = true;
        target = &m_entry.context;
    } else if (keyword == "msgid") {
        m_entry.hasId = true;
        target = &m_entry.id;
    } else if (keyword == "msgstr" || keyword == "msgstr[0]") {
        if (!m_entry.hasId) {
            return Fail("msgstr without msgid");
        }
        target = &m_entry.translation;
    } else if (keyword == "msgid_plural" || keyword.compare(0, 7, "msgstr[") == 0) {
        m_continued = nullptr;
        std::string ignored;
        return ReadString(rest, ignored);
    } else {
        return Fail("unknown keyword " + keyword);
    }
    target->clear();
    m_continued = target;
    return ReadString(rest, *target);
}

bool PoReader::ReadString(const std::string& quoted, std::string& text)
{
    static const char kEscapes[] = "n\nt\tr\ra\ab\bf\fv\v\\\\\"\"";
    if (quoted.size() < 2 || quoted[0] != '"' || quoted.back() != '"') {
        return Fail("a string that does not end on its line");
    }
    for (size_t at = 1; at + 1 < quoted.size(); ++at) {
        char byte = quoted[at];
        if (byte == '"') {
            return Fail("a bare quote inside a string");
        }
        if (byte != '\\') {
            text += byte;
            continue;
        }
        if (++at + 1 >= quoted.size()) {
            return Fail("a backslash at the end of a string");
        }
        const char* simple = quoted[at] != '\0' ? std::strchr(kEscapes, quoted[at]) : nullptr;
        if (simple == nullptr || (simple - kEscapes) % 2 != 0) {
            return Fail(std::string("an unknown escape \\") + quoted[at]);
        }
        text += simple[1];
    }
    return true;
}

bool PoReader::EndEntry()
{
    PoEntry entry = m_entry;
    m_entry = PoEntry();
    m_continued = nullptr;
    if (!entry.hasId) {
        return true;
    }
    if (entry.id.empty() && !entry.hasContext) {
        return ReadHeader(entry.translation);
    }
    if (!m_headerSeen) {
        return Fail("the header must come first");
    }
    if (entry.places.empty()) {
        return true;  // a unit that tolvek did not export: nowhere to put it
    }
    TranslationUnit unit;
    unit.written = entry.hasContext && entry.context == kWrittenContext;
    unit.source = entry.id;
    unit.translation = entry.fuzzy ? std::string() : entry.translation;
    unit.places = entry.places;
    m_units.push_back(unit);
    return true;
}

bool PoReader::ReadHeader(const std::string& header)
{
    if (m_headerSeen) {
        return Fail("a second header");
    }
    m_headerSeen = true;
    const std::string kField = "Content-Type:";
    size_t field = header.find(kField);
    size_t charset = field == std::string::npos ? field : header.find("charset=", field);
    if (charset == std::string::npos) {
        return Fail("the header names no charset");
    }
    size_t begin = charset + 8;
    size_t end = header.find_first_of(" ;\n", begin);
    std::string name = header.substr(begin, end == std::string::npos ? end : end - begin);
    for (char& byte : name) {
        byte = FoldAsciiCase(byte);
    }
    if (name != "utf-8") {
        return Fail("the charset must be UTF-8, not " + name);
    }
    return true;
}

}  // namespace

std::string WritePoFile(const std::vector<TranslationUnit>& units, const std::string& generator)
{
    std::string out = PoHeader(generator);
    for (const TranslationUnit& unit : units) {
        out += "\n";
        for (const TranslationPlace& place : unit.places) {
            out += "#. tolvek: " + DescribePlace(place) + "\n";
        }
        for (const TranslationPlace& place : unit.places) {
            out += "#: " + ReferenceName(place.file) + ":" + std::to_string(place.line) + "\n";
        }
        if (unit.cFormat) {
            out += "#, c-format\n";
        }
        if (unit.written) {
            out += PoString("msgctxt", kWrittenContext);
        }
        out += PoString("msgid", unit.source);
        out += PoString("msgstr", unit.translation);
    }
    return out;
}

bool ReadPoFile(const std::string& bytes, std::vector<TranslationUnit>& units, std::string& error)
{
    units.clear();
    PoReader reader(bytes, units);
    return reader.Read(error);
}
