// Each record's place, through the file reader: the bytes at its offset for its length are its
// token in the file as stored, whatever the line ends, the byte order mark and the read blocks.
#include "engine/ExtractStrings.h"

#include "engine/RecordOutput.h"
#include "engine/Syntax.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Found {
    LiteralPlace place;
    std::string prefix;
    std::string text;
};

// Keeps the places and texts instead of writing records.
class PlaceFormat : public RecordFormat {
public:
    CString FileLabel(const char* displayName) const override { return CString(displayName); }
    void WriteRecord(const CString&, const LiteralPlace& place, const LiteralText& text,
                     SourceEncoding, RecordBytes& out) const override
    {
        Found record{place, place.prefix != nullptr ? place.prefix : "", ""};
        text.ForEachPiece([&record](const char* piece, size_t size) { record.text.append(piece, size); });
        found.push_back(record);
        out.EndRecord();
    }
    mutable std::vector<Found> found;
};

class NoOutput : public RecordOutput {
public:
    bool Open() override { return true; }
    void EndFile() override {}
    bool Failed() const override { return false; }
    void Append(const char*, size_t) override {}
    void EndRecord() override {}
};

class LiteralPlaceTest : public testing::Test {
protected:
    std::vector<Found> Scan(const std::string& source, int32_t syntax, const char* name = "a.cpp")
    {
        std::string path = m_folder / name;
        WriteBytes(path, source);
        PlaceFormat format;
        NoOutput output;
        FileScan scan;
        ExtractStrings(output, format, path.c_str(), name, MakeScanSettings("", 0, syntax), scan);
        return format.found;
    }

    // Every record selects its token, on its line and column.
    void ExpectTokens(const std::string& source, int32_t syntax, size_t expected)
    {
        std::vector<Found> found = Scan(source, syntax);
        EXPECT_EQ(found.size(), expected) << "syntax " << syntax << ", " << source.size() << " bytes";
        size_t bom = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        std::vector<size_t> lineStarts = {bom};
        for (size_t at = 0; at < source.size(); ++at) {
            if (source[at] == '\n') {
                lineStarts.push_back(at + 1);
            }
        }
        for (const Found& record : found) {
            const LiteralPlace& place = record.place;
            ASSERT_LE(place.offset + place.length, source.size());
            std::string token = source.substr(place.offset, place.length);
            EXPECT_EQ(token.substr(0, record.prefix.size() + 1), record.prefix + "\"") << token;
            EXPECT_EQ(token.back(), '"') << token;
            if (token.find('\n') == std::string::npos && record.prefix.find('R') == std::string::npos) {
                EXPECT_EQ(token, record.prefix + "\"" + record.text + "\"");
            }
            size_t line = static_cast<size_t>(
                std::upper_bound(lineStarts.begin(), lineStarts.end(), place.offset) - lineStarts.begin());
            ASSERT_GT(line, 0u);
            EXPECT_EQ(place.line, static_cast<int64_t>(line)) << token;
            EXPECT_EQ(place.column, static_cast<int64_t>(place.offset - lineStarts[line - 1]) + 1) << token;
        }
    }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    TempFolder m_folder;
};

}  // namespace

TEST_F(LiteralPlaceTest, OffsetsAndLengthsSelectTheTokensAsStored)
{
    // CR LF lines long enough that the read blocks of 128 KiB cut tokens and CR LF pairs, with
    // a raw string across lines and a 0x1A after the end: in Shift_JIS (表), and in UTF-8 with
    // a byte order mark.
    for (const char* start : {"", "\xEF\xBB\xBF"}) {
        std::string source = start;
        const char* hyou = source.empty() ? "\x95\x5C" : "\xE8\xA1\xA8";
        size_t tokens = 0;
        for (int line = 0; source.size() < 300 * 1024; ++line) {
            source += "x = L\"" + std::string(static_cast<size_t>(line % 13), 'a') + "\"; y = \"" +
                      hyou + "\";";
            source += line % 50 == 0 ? " R\"(\r\nraw)\"\r\n" : "\r\n";
            tokens += line % 50 == 0 ? 3 : 2;
        }
        ExpectTokens(source, SYNTAX_CPP, tokens);
        ExpectTokens(source + "\x1A\"after the end\"", SYNTAX_CPP, tokens);
    }
    // The delimiter pairs.
    std::string pairs;
    size_t texts = 0;
    for (int line = 0; pairs.size() < 300 * 1024; ++line) {
        pairs += "s = \"" + std::string(static_cast<size_t>(line % 29), 'b') + "\" + \"c\";\r\n";
        texts += line % 29 == 0 ? 1 : 2;  // an empty text is no record
    }
    ExpectTokens(pairs, SYNTAX_PAIRS, texts);
}

// A resource script saved in UTF-16 by Visual Studio: columns, offsets and lengths count the
// file's own bytes, two for each of these characters.
TEST_F(LiteralPlaceTest, Utf16ResourceScriptsCountTheirOwnBytes)
{
    // CAPTION "表 ""x"""  and, on the next line, a comment and  LTEXT L"ソ"
    const std::u16string text = u"CAPTION \"\u8868 \"\"x\"\"\"\r\n// \"no\"\r\n  LTEXT L\"\u30bd\"";
    for (bool bigEndian : {false, true}) {
        std::string source = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            char low = static_cast<char>(unit & 0xFF);
            char high = static_cast<char>(unit >> 8);
            source += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        for (int32_t syntax : {SYNTAX_CPP, SYNTAX_PAIRS}) {
            std::vector<Found> found = Scan(source, syntax, "a.rc");
            std::vector<uint64_t> places;
            for (const Found& record : found) {
                places.insert(places.end(), {static_cast<uint64_t>(record.place.line),
                                             static_cast<uint64_t>(record.place.column),
                                             record.place.offset, record.place.length});
            }
            // Line 1's quotes are its characters 8, 11, 12, 14, 15 and 16 (from 0), line 2 starts
            // at character 19 and line 3 at 28, whose L is character 36; each is two bytes,
            // after the two of the mark. The pairs give "表 ", "x" and the comment's "no".
            std::vector<uint64_t> expected =
                syntax == SYNTAX_CPP
                    ? std::vector<uint64_t>{1, 17, 18, 18, 3, 17, 74, 8}
                    : std::vector<uint64_t>{1, 17, 18, 8, 1, 25, 26, 6, 2, 7, 46, 8, 3, 19, 76, 6};
            EXPECT_EQ(places, expected) << "big-endian " << bigEndian << ", syntax " << syntax;
        }
    }
}
