#include "engine/LogFormat.h"

#include "engine/Cp932.h"
#include "engine/TextToUtf8.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"

#include <cstdio>
#include <cstring>

namespace {

const char kOpen[] = "(";
const char kClose[] = "): \"";
const size_t kOpenLength = sizeof kOpen - 1;
const size_t kCloseLength = sizeof kClose - 1;
// The most a record assembled in one piece may take.
const size_t kRecordBytes = 512;

size_t DigitCount(uint64_t value)
{
    size_t count = 1;
    for (uint64_t bound = 10; count < 20 && value >= bound; bound *= 10) {
        ++count;
    }
    return count;
}

bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// Writes the decimal digits of `value` so that they end at `end`; returns where they begin.
// Two digits a step: a record's line number has four digits as a rule.
char* WriteDigitsBefore(char* end, uint64_t value)
{
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    for (; value >= 100; value /= 100) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * (value % 100), 2);
    }
    if (value >= 10) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * value, 2);
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

// Writes a UTF-8 text in code page 932, through a small buffer.
class Cp932Writer {
public:
    explicit Cp932Writer(RecordBytes& out) : m_out(out) {}
    ~Cp932Writer() { m_out.Append(m_buffer, m_used); }
    Cp932Writer(const Cp932Writer&) = delete;
    Cp932Writer& operator=(const Cp932Writer&) = delete;

    void Write(uint32_t character, const unsigned char* bytes)
    {
        if (m_used + 12 > sizeof m_buffer) {
            m_out.Append(m_buffer, m_used);
            m_used = 0;
        }
        unsigned char code[2];
        int length = character == kNotACharacter || character == 0 ? 0 : UnicodeToCp932(character, code);
        if (character == 0) {
            std::memcpy(m_buffer + m_used, "\\0", 2);
            m_used += 2;
        } else if (length > 0) {
            std::memcpy(m_buffer + m_used, code, static_cast<size_t>(length));
            m_used += static_cast<size_t>(length);
        } else if (character == kNotACharacter) {
            m_used += static_cast<size_t>(std::snprintf(m_buffer + m_used, 12, "\\x%02x", bytes[0]));
        } else if (character <= 0xFFFF) {
            m_used += static_cast<size_t>(std::snprintf(m_buffer + m_used, 12, "\\u%04X", character));
        } else {
            m_used += static_cast<size_t>(std::snprintf(m_buffer + m_used, 12, "\\U%08X", character));
        }
    }

private:
    RecordBytes& m_out;
    char m_buffer[512];
    size_t m_used = 0;
};

void WriteUtf8AsCp932(const LiteralText& text, RecordBytes& out)
{
    Cp932Writer writer(out);
    Utf8Decoder decoder;
    auto write = [&writer](uint32_t character, const unsigned char* bytes, size_t) {
        writer.Write(character, bytes);
    };
    text.ForEachPiece([&](const char* piece, size_t size) { decoder.Feed(piece, size, write); });
    decoder.Finish(write);
}

// A NUL byte, which only the C/C++ syntax keeps in a text, is written as \0 so that the log
// stays text.
void WriteBytesWithNul(const char* piece, size_t size, RecordBytes& out)
{
    while (size > 0) {
        const char* nul = static_cast<const char*>(std::memchr(piece, '\0', size));
        size_t run = nul == nullptr ? size : static_cast<size_t>(nul - piece);
        out.Append(piece, run);
        if (nul == nullptr) {
            return;
        }
        out.Append("\\0", 2);
        piece += run + 1;
        size -= run + 1;
    }
}

// Writes a text converted from UTF-16 as a UTF-8 text would be written: in code page 932 when
// the log is, else in UTF-8. Damage comes as U+FFFD.
void WriteConvertedUtf16(const LiteralText& text, bool toCp932, RecordBytes& out)
{
    class Characters : public CharacterSink {
    public:
        Characters(bool toCp932, RecordBytes& out) : m_toCp932(toCp932), m_cp932(out), m_out(out) {}
        void OnCharacter(uint32_t character) override
        {
            if (m_toCp932) {
                m_cp932.Write(character, nullptr);
                return;
            }
            std::string bytes;
            AppendUtf8(character, bytes);
            m_out.Append(bytes.data(), bytes.size());
        }

    private:
        bool m_toCp932;
        Cp932Writer m_cp932;
        RecordBytes& m_out;
    } characters(toCp932, out);
    DecodeText(text, SourceEncoding::Utf16Le, characters);
}

}  // namespace

LogFormat::LogFormat(bool lineFeedOnly)
    : m_toCp932(GetCodePage() == kCodePageShiftJis), m_lineFeedOnly(lineFeedOnly)
{
}

CString EscapeControlBytes(const char* name)
{
    // Names without a control byte, as nearly all are, are taken whole.
    const char* at = name;
    while (*at != '\0' && !IsControlByte(static_cast<unsigned char>(*at))) {
        ++at;
    }
    if (*at == '\0') {
        return CString(name, static_cast<int>(at - name));
    }
    CString escaped(name, static_cast<int>(at - name));
    for (; *at != '\0'; ++at) {
        unsigned char byte = static_cast<unsigned char>(*at);
        if (!IsControlByte(byte)) {
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

void LogFormat::WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                            SourceEncoding encoding, RecordBytes& out) const
{
    // name(line): "text" written where it goes, as most records are: the label is short as a
    // rule, as are the digits and the text, which is one piece of the bytes as stored.
    uint64_t line = static_cast<uint64_t>(place.line);
    size_t labelLength = static_cast<size_t>(label.GetLength());
    size_t digitCount = DigitCount(line);
    size_t headLength = labelLength + kOpenLength + digitCount + kCloseLength;
    size_t endLength = m_lineFeedOnly ? 2 : 3;
    size_t length = headLength + text.lastLength + endLength;
    bool whole = IsWrittenWhole(text, encoding, length);
    char* at = whole ? out.RoomForRecord(length) : nullptr;
    if (at == nullptr) {
        WriteRecordThroughBuffer(label, line, text, encoding, whole, out);
        return;
    }
    std::memcpy(at, label.GetString(), labelLength);
    at += labelLength;
    std::memcpy(at, kOpen, kOpenLength);
    at += kOpenLength + digitCount;
    WriteDigitsBefore(at, line);
    std::memcpy(at, kClose, kCloseLength);
    at += kCloseLength;
    std::memcpy(at, text.last, text.lastLength);
    std::memcpy(at + text.lastLength, m_lineFeedOnly ? "\"\n" : "\"\r\n", endLength);
    out.RecordWritten(length);
}

// Whether a record of `length` bytes goes in one piece, its text as it stands: one piece of the
// bytes as stored, no NUL to escape, and no longer than a record assembled whole may be.
bool LogFormat::IsWrittenWhole(const LiteralText& text, SourceEncoding encoding, size_t length) const
{
    return IsAsStored(encoding) && (text.earlier == nullptr || text.earlier->empty()) &&
           length <= kRecordBytes &&
           (!text.mayHoldNul || text.lastLength == 0 || std::memchr(text.last, '\0', text.lastLength) == nullptr);
}

// A record with no room where it goes, or one whose text is converted, escaped or in pieces: the
// head first, then the text. `textInRecord`: the record goes in one piece, as IsWrittenWhole says.
void LogFormat::WriteRecordThroughBuffer(const CString& label, uint64_t line, const LiteralText& text,
                                         SourceEncoding encoding, bool textInRecord, RecordBytes& out) const
{
    char record[kRecordBytes];
    char number[24];
    char* digits = WriteDigitsBefore(number + sizeof number, line);
    size_t digitCount = static_cast<size_t>(number + sizeof number - digits);
    size_t labelLength = static_cast<size_t>(label.GetLength());
    const char* end = m_lineFeedOnly ? "\"\n" : "\"\r\n";
    const size_t endLength = m_lineFeedOnly ? 2 : 3;
    size_t headLength = labelLength + kOpenLength + digitCount + kCloseLength;
    bool asStored = IsAsStored(encoding);
    if (headLength > sizeof record) {
        out.Append(label.GetString(), labelLength);
        out.Append(kOpen, kOpenLength);
        out.Append(digits, digitCount);
        out.Append(kClose, kCloseLength);
    } else {
        char* at = record;
        std::memcpy(at, label.GetString(), labelLength);
        at += labelLength;
        std::memcpy(at, kOpen, kOpenLength);
        at += kOpenLength;
        std::memcpy(at, digits, digitCount);
        at += digitCount;
        std::memcpy(at, kClose, kCloseLength);
        at += kCloseLength;
        if (textInRecord) {
            std::memcpy(at, text.last, text.lastLength);
            at += text.lastLength;
            std::memcpy(at, end, endLength);
            out.Append(record, static_cast<size_t>(at - record) + endLength);
            out.EndRecord();
            return;
        }
        out.Append(record, static_cast<size_t>(at - record));
    }
    if (IsUtf16(encoding)) {
        WriteConvertedUtf16(text, m_toCp932, out);
    } else if (!asStored) {
        WriteUtf8AsCp932(text, out);
    } else {
        text.ForEachPiece([&out](const char* piece, size_t size) { WriteBytesWithNul(piece, size, out); });
    }
    out.Append(end, endLength);
    out.EndRecord();
}
