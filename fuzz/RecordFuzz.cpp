// Formats records in every format from names whose length lies around the formats' fixed
// buffers (the log's 512-byte head above all), any line number, and texts of any bytes cut into
// pieces: nothing may be written past a buffer, and every record must come whole, head first.
#include "engine/CsvFormat.h"
#include "engine/JsonLinesFormat.h"
#include "engine/LogFormat.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Collected : public RecordBytes {
public:
    void Append(const char* data, size_t length) override { bytes.append(data, length); }
    void EndRecord() override { ++records; }
    std::string bytes;
    int records = 0;
};

bool EndsWith(const std::string& text, const char* tail)
{
    size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

}  // namespace

// Input: options (format, encoding, code page), the name's length as 480 + a byte, eight bytes of
// line number, the length of the name's pattern and of the text's pieces, the name's pattern,
// then the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 12) {
        return 0;
    }
    uint8_t options = data[0];
    size_t nameLength = 480 + data[1] % 64;
    int64_t line = 0;
    std::memcpy(&line, data + 2, sizeof line);
    line = line < 0 ? -(line + 1) : line;  // line numbers are never negative
    size_t patternLength = 1 + data[10] % 8;
    size_t pieceLength = 1 + data[11] % 32;
    const char* rest = reinterpret_cast<const char*>(data + 12);
    size_t restSize = size - 12;
    if (restSize < patternLength) {
        return 0;
    }

    std::string name;
    for (size_t index = 0; index < nameLength; ++index) {
        char byte = rest[index % patternLength];
        name += byte != '\0' ? byte : 'x';  // a name ends at its NUL
    }
    std::vector<std::string> earlier;
    const char* text = rest + patternLength;
    size_t textSize = restSize - patternLength;
    while (textSize > pieceLength) {
        earlier.emplace_back(text, pieceLength);
        text += pieceLength;
        textSize -= pieceLength;
    }

    SelectCodePage((options & 4) != 0 ? kCodePageShiftJis : kCodePageSingleByte);
    const SourceEncoding encodings[] = {SourceEncoding::Cp932, SourceEncoding::Utf8, SourceEncoding::SingleByte,
                                        SourceEncoding::Utf16Le};
    SourceEncoding encoding = encodings[(options >> 3) % 4];
    LogFormat log;
    JsonLinesFormat json;
    CsvFormat csv;
    const RecordFormat* formats[] = {&log, &json, &csv};
    const char* heads[] = {"", "{", ""};
    const char* tails[] = {"\"\r\n", "}\n", "\r\n"};
    size_t which = options % 3;
    const RecordFormat& format = *formats[which];

    CString label = format.FileLabel(name.c_str());
    Collected out;
    LiteralPlace place;
    place.line = line;
    place.column = line;
    place.offset = static_cast<uint64_t>(line);
    place.length = textSize + 2;
    format.WriteRecord(label, place, LiteralText{&earlier, text, textSize}, encoding, out);
    std::string head = heads[which] + std::string(label.GetString());
    if (out.records != 1 || out.bytes.compare(0, head.size(), head) != 0 || !EndsWith(out.bytes, tails[which])) {
        std::abort();
    }
    return 0;
}
