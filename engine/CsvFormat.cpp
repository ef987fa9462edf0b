#include "engine/CsvFormat.h"

#include "engine/TextToUtf8.h"
#include "engine/Utf8.h"

namespace {

// A character that makes a spreadsheet read the cell as a formula when it comes first.
bool StartsAFormula(uint32_t character)
{
    return character == '=' || character == '+' || character == '-' || character == '@' ||
           character == '\t' || character == '\r';
}

// Writes the characters of a text as the content of a quoted field.
class CsvText : public CharacterSink {
public:
    explicit CsvText(RecordWriter& writer) : m_writer(writer) {}
    void OnCharacter(uint32_t character) override
    {
        if (m_first && StartsAFormula(character)) {
            m_writer.Put('\'');
        }
        m_first = false;
        m_bytes.clear();
        if (character == '"') {
            m_bytes += '"';
        }
        AppendUtf8(character, m_bytes);
        m_writer.Put(m_bytes);
    }

private:
    RecordWriter& m_writer;
    std::string m_bytes;
    bool m_first = true;
};

// A field made whole in memory (the file's name), as CsvText writes one.
std::string QuotedField(const char* path)
{
    struct Out : RecordBytes {
        void Append(const char* data, size_t length) override { text.append(data, length); }
        void EndRecord() override {}
        std::string text;
    } out;
    RecordWriter writer(out);
    writer.Put('"');
    CsvText field(writer);
    DecodePath(path, field);
    writer.Put('"');
    writer.End();
    return out.text;
}

}  // namespace

std::string CsvFormat::Preamble() const
{
    return std::string(kUtf8ByteOrderMark) + "file,line,text,column,offset,length" +
           (m_withPrefix ? ",prefix\r\n" : "\r\n");
}

CString CsvFormat::FileLabel(const char* displayName) const
{
    return CString(QuotedField(displayName).c_str());
}

void CsvFormat::WriteRecord(const CString& label, const LiteralPlace& place, const LiteralText& text,
                            SourceEncoding encoding, RecordBytes& out) const
{
    RecordWriter writer(out);
    writer.Put(std::string(label.GetString()) + "," + std::to_string(place.line) + ",\"");
    CsvText field(writer);
    DecodeText(text, encoding, field);
    writer.Put("\"," + std::to_string(place.column) + "," + std::to_string(place.offset) + "," +
               std::to_string(place.length));
    if (m_withPrefix) {
        writer.Put(",\"" + std::string(place.prefix != nullptr ? place.prefix : "") + "\"");
    }
    writer.Put("\r\n");
    writer.End();
}
