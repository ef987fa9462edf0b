// The formats of a record, for programs and spreadsheets.
#include "engine/CsvFormat.h"
#include "engine/JsonLinesFormat.h"
#include "engine/LogFormat.h"

#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Collects what a format writes, and how many records it ended.
class Collected : public RecordBytes {
public:
    void Append(const char* data, size_t length) override { bytes.append(data, length); }
    void EndRecord() override { ++records; }
    std::string bytes;
    int records = 0;
};

std::string Format(const RecordFormat& format, const std::string& name, int64_t line,
                   const std::string& text, SourceEncoding encoding)
{
    Collected out;
    LiteralPlace place;
    place.line = line;
    place.column = 2;
    place.offset = 10;
    place.length = 5;
    format.WriteRecord(format.FileLabel(name.c_str()), place,
                       LiteralText{nullptr, text.data(), text.size()}, encoding, out);
    EXPECT_EQ(out.records, 1);
    return out.bytes;
}

class RecordFormatTest : public testing::Test {
    CodePageScope m_shiftJis{kCodePageShiftJis};
};

}  // namespace

TEST_F(RecordFormatTest, JsonLinesConvertToUtf8AndEscape)
{
    JsonLinesFormat json;
    // あ in Shift_JIS and in UTF-8; a quote, a backslash and a control byte are escaped.
    EXPECT_EQ(Format(json, "sub/a.c", 12, "\x82\xA0 \"q\" \\ \x01", SourceEncoding::Cp932),
              "{\"file\": \"sub/a.c\", \"line\": 12, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"\xE3\x81\x82 \\\"q\\\" \\\\ \\u0001\", "
              "\"encoding\": \"cp932\"}\n");
    EXPECT_EQ(Format(json, "b.c", 1, "\xE3\x81\x82", SourceEncoding::Utf8),
              "{\"file\": \"b.c\", \"line\": 1, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"\xE3\x81\x82\", \"encoding\": \"utf-8\"}\n");
    // A text read from UTF-16 names its byte order, and a lone surrogate keeps its own bytes.
    EXPECT_EQ(Format(json, "r.rc", 2, "a\xED\xA0\x80", SourceEncoding::Utf16Be),
              "{\"file\": \"r.rc\", \"line\": 2, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"a\xEF\xBF\xBD\", \"encoding\": "
              "\"utf-16be\", \"bytes\": \"0061d800\"}\n");
    // A name with a line feed cannot break the line.
    EXPECT_EQ(Format(json, "x\ny.c", 1, "t", SourceEncoding::Cp932).find('\n'),
              std::string("{\"file\": \"x\\ny.c\", \"line\": 1, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"t\", \"encoding\": \"cp932\"}").size());
}

TEST_F(RecordFormatTest, JsonLinesKeepTheBytesOfATextThatDoesNotConvert)
{
    JsonLinesFormat json;
    // A lone lead byte at the end of a Shift_JIS text, and a byte of 0x80 in a single-byte one.
    EXPECT_EQ(Format(json, "a.c", 3, "ab\x83", SourceEncoding::Cp932),
              "{\"file\": \"a.c\", \"line\": 3, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"ab\xEF\xBF\xBD\", \"encoding\": \"cp932\", "
              "\"bytes\": \"616283\"}\n");
    EXPECT_EQ(Format(json, "a.c", 3, "\xE9t\xE9", SourceEncoding::SingleByte),
              "{\"file\": \"a.c\", \"line\": 3, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"\xEF\xBF\xBDt\xEF\xBF\xBD\", "
              "\"encoding\": \"single\", \"bytes\": \"e974e9\"}\n");
}

TEST_F(RecordFormatTest, CsvQuotesDoublesAndDisarmsFormulas)
{
    CsvFormat csv;
    EXPECT_EQ(csv.Preamble(), "\xEF\xBB\xBF" "file,line,text,column,offset,length\r\n");
    EXPECT_EQ(Format(csv, "a.c", 7, "say \"hi\", \x82\xA0", SourceEncoding::Cp932),
              "\"a.c\",7,\"say \"\"hi\"\", \xE3\x81\x82\",2,10,5\r\n");
    for (const char* formula : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx"}) {
        EXPECT_EQ(Format(csv, "a.c", 1, formula, SourceEncoding::Cp932),
                  "\"a.c\",1,\"'" + std::string(formula) + "\",2,10,5\r\n");
    }
    EXPECT_EQ(Format(csv, "=evil.c", 1, "ok", SourceEncoding::Cp932), "\"'=evil.c\",1,\"ok\",2,10,5\r\n");
    EXPECT_EQ(Format(csv, "a.c", 1, "1-1", SourceEncoding::Cp932), "\"a.c\",1,\"1-1\",2,10,5\r\n");
}

TEST_F(RecordFormatTest, ALongTextIsWrittenInPieces)
{
    JsonLinesFormat json;
    std::string text(100000, 'x');
    Collected out;
    std::vector<std::string> pieces = {text, text};
    LiteralPlace place;
    place.line = 1;
    place.column = 2;
    place.offset = 10;
    place.length = 5;
    json.WriteRecord(json.FileLabel("a.c"), place, LiteralText{&pieces, "end", 3}, SourceEncoding::Cp932, out);
    EXPECT_EQ(out.bytes, "{\"file\": \"a.c\", \"line\": 1, \"column\": 2, \"offset\": 10, \"length\": 5, \"text\": \"" + text + text +
                             "end\", \"encoding\": \"cp932\"}\n");
}

TEST_F(RecordFormatTest, NamesAroundTheHeadBufferAreWrittenWhole)
{
    // A name and a line number that together fill the log's 512-byte head, give or take a few
    // bytes, in every format; the sanitizer build catches a write past a buffer.
    LogFormat log;
    JsonLinesFormat json;
    CsvFormat csv;
    struct Case {
        const RecordFormat* format;
        const char* before;  // what comes before the name
        const char* between;  // between the name and the line number
        const char* after;   // after the line number, up to the text
    } const cases[] = {
        {&log, "", "(", "): \""},
        {&json, "{\"file\": \"", "\", \"line\": ", ", \"column\": "},
        {&csv, "\"", "\",", ",\""},
    };
    for (const Case& c : cases) {
        for (size_t length = 495; length <= 515; ++length) {
            for (int64_t line : {int64_t{1}, int64_t{9}, int64_t{10}, int64_t{99}, int64_t{100}, int64_t{101},
                                 int64_t{12345}, INT64_MAX}) {
                std::string name(length, 'n');
                std::string head = c.before + name + c.between + std::to_string(line) + c.after;
                EXPECT_EQ(Format(*c.format, name, line, "t", SourceEncoding::Cp932).substr(0, head.size()), head)
                    << c.before << " " << length << " " << line;
            }
        }
    }
}

TEST_F(RecordFormatTest, NamesInShiftJisAreReadAsSuchAndOnesThatAreNoTextKeepTheirBytes)
{
    // 表示.c and 予約.c in Shift_JIS bytes (both with a 0x5C trail byte), as an archive made on
    // Japanese Windows unpacks on Linux; a lead byte at the end is no character.
    JsonLinesFormat json;
    CsvFormat csv;
    struct Case {
        const char* name;
        const char* jsonHead;
        const char* csvHead;
    } const cases[] = {
        {"\x95\x5C\x8E\xA6.c", "{\"file\": \"\xE8\xA1\xA8\xE7\xA4\xBA.c\", \"line\"",
         "\"\xE8\xA1\xA8\xE7\xA4\xBA.c\",1,"},
        {"\x97\x5C\x96\xF1.c", "{\"file\": \"\xE4\xBA\x88\xE7\xB4\x84.c\", \"line\"",
         "\"\xE4\xBA\x88\xE7\xB4\x84.c\",1,"},
        {"a.c\x82", "{\"file\": \"a.c\xEF\xBF\xBD\", \"file_bytes\": \"612e6382\", \"line\"", "\"a.c\xEF\xBF\xBD\",1,"},
        {"a.c\x83", "{\"file\": \"a.c\xEF\xBF\xBD\", \"file_bytes\": \"612e6383\", \"line\"", "\"a.c\xEF\xBF\xBD\",1,"},
    };
    for (const Case& c : cases) {
        std::string jsonHead = c.jsonHead;
        std::string csvHead = c.csvHead;
        EXPECT_EQ(Format(json, c.name, 1, "t", SourceEncoding::Cp932).substr(0, jsonHead.size()), jsonHead);
        EXPECT_EQ(Format(csv, c.name, 1, "t", SourceEncoding::Cp932).substr(0, csvHead.size()), csvHead);
    }
}
