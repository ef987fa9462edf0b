#include "engine/CsvTranslations.h"

#include "engine/TextCodec.h"

#include <cstdlib>
#include <map>

namespace {

// Splits RFC 4180 text into rows of fields; false for a quoted field that does not end.
bool SplitCsv(const std::string& bytes, size_t at, std::vector<std::vector<std::string>>& rows,
              std::string& error)
{
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    for (; at < bytes.size(); ++at) {
        char byte = bytes[at];
        if (quoted) {
            if (byte == '"' && at + 1 < bytes.size() && bytes[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (byte == '"') {
                quoted = false;
            } else {
                field += byte;
            }
        } else if (byte == '"') {
            quoted = true;
            fieldStarted = true;
        } else if (byte == ',') {
            row.push_back(field);
            field.clear();
            fieldStarted = false;
        } else if (byte == '\n' || byte == '\r') {
            if (byte == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') {
                ++at;
            }
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += byte;
            fieldStarted = true;
        }
    }
    if (quoted) {
        error = "a quoted field does not end";
        return false;
    }
    if (fieldStarted || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return true;
}

// A cell as the records wrote it: a ' put before a text or a file's name that a spreadsheet would
// take as a formula is no part of it.
std::string Unguarded(const std::string& cell)
{
    if (cell.size() >= 2 && cell[0] == '\'' &&
        std::string("=+-@\t\r").find(cell[1]) != std::string::npos) {
        return cell.substr(1);
    }
    return cell;
}

bool Number(const std::string& cell, int64_t& number)
{
    if (cell.empty() || cell.size() > 18 || cell.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    number = std::strtoll(cell.c_str(), nullptr, 10);
    return true;
}

}  // namespace

bool ReadCsvTranslations(const std::string& bytes, std::vector<TranslationUnit>& units,
                         std::string& error)
{
    units.clear();
    std::u32string ignored;
    if (!Utf8ToCharacters(bytes, ignored)) {
        error = "the file is not in UTF-8";
        return false;
    }
    std::vector<std::vector<std::string>> rows;
    if (!SplitCsv(bytes, bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0, rows, error)) {
        return false;
    }
    std::map<std::string, size_t> columns;
    for (size_t index = 0; !rows.empty() && index < rows[0].size(); ++index) {
        columns[rows[0][index]] = index;
    }
    for (const char* needed : {"file", "text", "offset", "length", "translation"}) {
        if (columns.count(needed) == 0) {
            error = std::string("the header has no column `") + needed + "`";
            return false;
        }
    }
    for (size_t index = 1; index < rows.size(); ++index) {
        const std::vector<std::string>& row = rows[index];
        auto cell = [&](const char* name) {
            auto found = columns.find(name);
            return found != columns.end() && found->second < row.size() ? row[found->second]
                                                                         : std::string();
        };
        TranslationUnit unit;
        TranslationPlace place;
        unit.written = true;
        unit.source = Unguarded(cell("text"));
        unit.translation = Unguarded(cell("translation"));
        place.file = Unguarded(cell("file"));
        place.hasPrefix = columns.count("prefix") != 0;
        place.prefix = cell("prefix");
        place.writtenText = unit.source;
        place.hasWrittenText = true;
        Number(cell("line"), place.line);
        if (!Number(cell("offset"), place.offset) || !Number(cell("length"), place.length) ||
            place.file.empty()) {
            error = "row " + std::to_string(index + 1) + ": no file, offset or length";
            return false;
        }
        unit.places.push_back(place);
        units.push_back(unit);
    }
    return true;
}
