#include "engine/LogFormat.h"

#include <cstring>

CString EscapeControlBytes(const char* name)
{
    CString escaped;
    for (const char* at = name; *at != '\0'; ++at) {
        unsigned char byte = static_cast<unsigned char>(*at);
        if (byte >= 0x20 && byte != 0x7F) {
            escaped += *at;
        } else if (byte == '\t') {
            escaped += "\\t";
        } else if (byte == '\n') {
            escaped += "\\n";
        } else if (byte == '\r') {
            escaped += "\\r";
        } else {
            const char kHex[] = "0123456789abcdef";
            char code[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF], '\0'};
            escaped += code;
        }
    }
    return escaped;
}

CString LogFormat::FileLabel(const char* displayName) const
{
    return EscapeControlBytes(displayName);
}

void LogFormat::WriteRecord(const CString& label, int64_t line, const LiteralText& text,
                            RecordBytes& out) const
{
    // name(line): " in one piece: the label is short, as are the digits.
    char head[512];
    char number[24];
    char* digits = number + sizeof number;
    uint64_t value = static_cast<uint64_t>(line);
    do {
        *--digits = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    size_t digitCount = static_cast<size_t>(number + sizeof number - digits);
    size_t labelLength = static_cast<size_t>(label.GetLength());
    if (labelLength + digitCount + 4 <= sizeof head) {
        char* at = head;
        std::memcpy(at, label.GetString(), labelLength);
        at += labelLength;
        *at++ = '(';
        std::memcpy(at, digits, digitCount);
        at += digitCount;
        std::memcpy(at, "): \"", 4);
        at += 4;
        out.Append(head, static_cast<size_t>(at - head));
    } else {
        out.Append(label.GetString(), labelLength);
        out.Append("(", 1);
        out.Append(digits, digitCount);
        out.Append("): \"", 4);
    }
    text.ForEachPiece([&out](const char* piece, size_t size) { out.Append(piece, size); });
    out.Append("\"\r\n", 3);
    out.EndRecord();
}
