#include "engine/FormatOfRecords.h"

#include "engine/Utf8.h"

RecordFormatKind FormatOfFirstLine(const std::string& line)
{
    if (line.compare(0, 3, kUtf8ByteOrderMark) == 0 || line.compare(0, 10, "file,line,") == 0) {
        return RecordFormatKind::Csv;
    }
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '{') {
        return RecordFormatKind::JsonLines;
    }
    return RecordFormatKind::Log;
}

const char* FormatName(RecordFormatKind kind)
{
    switch (kind) {
    case RecordFormatKind::JsonLines:
        return "jsonl";
    case RecordFormatKind::Csv:
        return "csv";
    default:
        return "log";
    }
}
