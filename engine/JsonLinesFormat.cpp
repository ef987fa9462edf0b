#include "engine/JsonLinesFormat.h"

#include "engine/TextToUtf8.h"

#include <cstdio>
#include <cstring>

namespace {

// `character` as a JSON string holds it.
void PutJsonCharacter(uint32_t character, std::string& out)
{
    switch (character) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (character < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(character));
        out += escape;
        return;
    }
    AppendUtf8(character, out);
}

// Writes the characters of a text into a record as a JSON string's content.
class JsonText : public CharacterSink {
public:
    explicit JsonText(RecordWriter& writer) : m_writer(writer) {}
    void OnCharacter(uint32_t character) override
    {
        m_bytes.clear();
        PutJsonCharacter(character, m_bytes);
        m_writer.Put(m_bytes);
    }

private:
    RecordWriter& m_writer;
    std::string m_bytes;
};

// Writes a text's hex digits into a record as they come.
class JsonHex : public HexSink {
public:
    explicit JsonHex(RecordWriter& writer) : m_writer(writer) {}
    void OnDigits(const char* digits, size_t length) override
    {
        for (size_t index = 0; index < length; ++index) {
            m_writer.Put(digits[index]);
        }
    }

private:
    RecordWriter& m_writer;
};

}  // namespace

CString JsonLinesFormat::FileLabel(const char* displayName) const
{
    std::string name;
    class Collect : public CharacterSink {
    public:
        explicit Collect(std::string& out) : m_out(out) {}
        void OnCharacter(uint32_t character) override { PutJsonCharacter(character, m_out); }

    private:
        std::string& m_out;
    } collect(name);
    bool lossless = DecodePath(displayName, collect);
    // A name that is not all characters keeps its bytes, as a text does, so that two names that
    // differ never read the same.
    std::string fields = "\"file\": \"" + name + "\"";
    if (!lossless) {
        fields += ", \"file_bytes\": \"" + HexOf(LiteralText{nullptr, displayName, std::strlen(displayName)}, SourceEncoding::SingleByte) + "\"";
    }
    return CString(fields.c_str());
}

void JsonLinesFormat::WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                                  SourceEncoding encoding, RecordBytes& out) const
{
    RecordWriter writer(out);
    std::string head = "{" + std::string(label.GetString()) +
                       ", \"line\": " + std::to_string(place.line) +
                       ", \"column\": " + std::to_string(place.column) +
                       ", \"offset\": " + std::to_string(place.offset) +
                       ", \"length\": " + std::to_string(place.length);
    if (place.prefix != nullptr) {
        head += ", \"prefix\": \"" + std::string(place.prefix) + "\"";
    }
    writer.Put(head + ", \"text\": \"");
    JsonText json(writer);
    bool lossless = DecodeText(text, encoding, json);
    writer.Put("\", \"encoding\": \"" + std::string(EncodingName(encoding)) + "\"");
    if (!lossless) {
        // Streamed: a long text's digits would be twice its size again in memory.
        writer.Put(", \"bytes\": \"");
        JsonHex hex(writer);
        WriteHexOf(text, encoding, hex);
        writer.Put('"');
    }
    writer.Put("}\n");
    writer.End();
}
