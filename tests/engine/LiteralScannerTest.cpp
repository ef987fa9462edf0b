// The scanner on its own: what it finds does not depend on how the text is cut into blocks.
#include "engine/LiteralScanner.h"

#include "platform/CodePage.h"
#include "engine/Conditions.h"
#include "tests/support/LiteralCollector.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Scan(const std::string& text, const char* token = "\"", size_t chunk = 0,
                 int32_t condition = STRFLG_ANY)
{
    return ScanInBlocks(MakeScanSettings(token, condition), text, chunk);
}

class LiteralScannerTest : public testing::Test {
    CodePageScope m_shiftJis{kCodePageShiftJis};
};

}  // namespace

TEST_F(LiteralScannerTest, ResultsDoNotDependOnBlockBoundaries)
{
    const std::string samples[] = {
        "printf(\"abc\");\nx = \"one\" + \"two\";\ns = \"open\nint i;\n",
        "s = \"a\\\"b\";\nt = \"\\\\\";\nc = '\\\"';\n",
        "s = \"\x95\x5C\";\n\"\x83\n\"x\"\n",
        "a \"x\0y\" \"z\"\n\0\"q\"\n\"last",
        std::string(300, 'x') + "\"" + std::string(500, 'y') + "\"\n\"z\"",
        "\"\\",
    };
    for (const std::string& sample : samples) {
        std::string whole = Scan(sample);
        for (size_t chunk = 1; chunk <= 7; ++chunk) {
            EXPECT_EQ(Scan(sample, "\"", chunk), whole) << "chunk " << chunk;
        }
        EXPECT_EQ(Scan(sample, "<>", 1), Scan(sample, "<>"));
    }
}

TEST_F(LiteralScannerTest, DelimiterOfSeveralBytesMustOccurWholeButEachByteCuts)
{
    // "<>" occurs whole only at the end of the line: the texts found before it still count.
    EXPECT_EQ(Scan("<a> then <>\n"), "0 ");
    EXPECT_EQ(Scan("<a> then <>\n", "<>"), "1 1:a;");
    EXPECT_EQ(Scan("x<y>z\n", "<>"), "0 ");
    EXPECT_EQ(Scan("<>hello<x>\n", "<>"), "1 1:x;");
    // After a NUL the delimiter can no longer appear whole: the text before it goes too.
    EXPECT_EQ(Scan(std::string("<a>\0<>\n", 7), "<>"), "0 ");
}

TEST_F(LiteralScannerTest, TokenIsCutTo15BytesAndEmptyMeansTheDoubleQuote)
{
    EXPECT_EQ(std::string(MakeScanSettings("abcdefghijklmnopq", 0).delimiter), "abcdefghijklmno");
    EXPECT_EQ(std::string(MakeScanSettings("", 0).delimiter), "\"");
    EXPECT_EQ(std::string(MakeScanSettings(nullptr, 0).delimiter), "\"");
}

TEST_F(LiteralScannerTest, ALeadByteDelimiterIsNeverCut)
{
    // A hand-edited lead byte as the delimiter: the line contains it, but no text is taken.
    EXPECT_EQ(Scan("a\x81" "b\x81" "c\n", "\x81"), "1 ");
}

TEST_F(LiteralScannerTest, LineNumbersHoldAfterManyShortLines)
{
    // The block search adds up its line feeds in batches of a few kilobytes: a literal after
    // several batches of short lines still has its editor's line number.
    for (const std::string& line : {std::string("\n"), std::string("x;\n"), std::string("abcdefg\n")}) {
        for (size_t lines : {1000u, 1343u, 1344u, 1345u, 2015u, 2016u, 2017u, 4031u, 4032u, 4033u,
                             8063u, 8064u, 8065u, 20000u}) {
            std::string text;
            for (size_t index = 0; index < lines; ++index) {
                text += line;
            }
            text += "s = \"a\";\n";
            EXPECT_EQ(Scan(text), "1 " + std::to_string(lines + 1) + ":a;")
                << lines << " lines of " << line.size() << " bytes";
        }
    }
}

TEST_F(LiteralScannerTest, ABackslashTakesTheWholeDoubleByteCharacterAfterIt)
{
    // 表 is 0x95 0x5C: its trail byte is a backslash, which must not escape the closing quote.
    EXPECT_EQ(Scan("s = \"\\\x95\x5C\"; t = \"y\";\n"), "1 1:\\\x95\x5C;1:y;");
    EXPECT_EQ(Scan("s = \"\\\x95\x5C\"; t = \"y\";\n", "\"", 3), "1 1:\\\x95\x5C;1:y;");
}

TEST_F(LiteralScannerTest, TheCharacterAfterABackslashStillCounts)
{
    // Escaped, a delimiter's byte still completes the delimiter on its line, and a byte of 0x80
    // or above still makes its text one with a double-byte character.
    EXPECT_EQ(Scan("<a> \\<>\n", "<>"), "1 1:a;");
    EXPECT_EQ(ScanInBlocks(MakeScanSettings("\"", STRFLG_HAS_DOUBLE_BYTE), "s = \"\\\xB1\";\n", 0, true),
              "1 1:\\\xB1;");
}

namespace {

// Everything the scanner tells of each text, its place included.
class PlaceCollector : public LiteralSink {
public:
    bool OnDelimiterLine() override
    {
        m_found += "|";
        return true;
    }
    void OnLiteral(const LiteralPlace& place, const LiteralText& text) override
    {
        m_found += std::to_string(place.line) + "," + std::to_string(place.column) + "," +
                   std::to_string(place.offset) + "," + std::to_string(place.length) + ":";
        text.ForEachPiece([this](const char* piece, size_t size) { m_found.append(piece, size); });
        m_found += ";";
    }
    std::string m_found;
};

std::string ScanWithPlaces(const std::string& text, size_t chunk, bool utf8, int32_t condition)
{
    PlaceCollector collector;
    LiteralScanner scanner(MakeScanSettings("\"", condition), collector);
    if (utf8) {
        scanner.ReadAsUtf8();
    }
    size_t step = chunk == 0 ? text.size() : chunk;
    for (size_t at = 0; at < text.size(); at += step) {
        scanner.Feed(text.data() + at, text.data() + std::min(text.size(), at + step));
    }
    scanner.Finish();
    return collector.m_found;
}

}  // namespace

TEST_F(LiteralScannerTest, LinesReadByTheirMarksGiveWhatAWalkOverTheirBytesGives)
{
    // In one block, a 64-bit build reads lines 64 bytes at a time by their marks; fed a byte at a
    // time, every line is walked. Each piece is set at every distance from a 64-byte border, so
    // that its backslashes, quotes and line feed fall on each side of it.
    const std::string pieces[] = {
        "\"a\\\"b\" \"c\"",       // an escaped quote
        "\"x\\\\\" \"y\"",        // an escaped backslash before the closing quote
        "\"\\\\\\\"\" \"z\\\\\\\\\"",  // runs of three and four backslashes
        "\"open",                 // a text that runs to the line feed
        "\"t\" \\\"u\" \"v\\",    // a backslash before the line feed escapes nothing
        "x \\\" y",              // only an escaped quote: the line holds the delimiter still
        "\"\\\x95\x5C\" \"w\\\x82\"",  // a backslash before a double-byte character
        "\"\x95\x5C\" \"w\"",     // 表: a lead byte
        "\"\xC3\xA9\" \"\xB1\"",  // bytes of 0x80 and above
        // A run of characters of the high half: katakana, a half-width one, lead bytes as trails,
        // and a lead byte whose trail is the quote
        "\"\x83\x5C\x83\x74\xB1\x95\x5C\x81\x81\x81\x81\x82\" \"\x83\x5C\"",
        "\"\x83\x5C\x83",           // a lead byte before the line feed
        "\"\x81\x81\x82\" \"w\"",  // lead bytes alone, the last one's trail the quote
        "x \x82\" y",               // the quote only a trail: no delimiter line
        "\"\x83\x5C\\\" x\" \"\\\x83\x5C\"",  // a backslash after ソ; ソ after a backslash
        std::string("\"n\0m\" \"k\"", 10),  // a NUL hides the rest of the line
        "\"" + std::string(600, 'q') + "\" \"r\"",  // longer than the marks of one line hold
        "\"\x8F\x49" + std::string(70, 'q') + "\" \"r\"",  // 終 only before the next 64 bytes
    };
    for (const std::string& piece : pieces) {
        for (size_t shift = 0; shift < 70; ++shift) {
            std::string text = std::string(shift, ' ') + piece + "\n" + std::string(shift % 7, 'i') +
                               "\"s\"\n" + std::string(130, '-');
            for (int codePage : {kCodePageShiftJis, kCodePageSingleByte}) {
                CodePageScope scope(codePage);
                for (int variant = 0; variant < 4; ++variant) {
                    bool utf8 = (variant & 1) != 0;
                    int32_t condition = (variant & 2) != 0 ? STRFLG_HAS_DOUBLE_BYTE : STRFLG_ANY;
                    std::string walked = ScanWithPlaces(text, 1, utf8, condition);
                    for (size_t block : {0u, 64u, 100u}) {
                        EXPECT_EQ(ScanWithPlaces(text, block, utf8, condition), walked)
                            << "shift " << shift << ", block " << block << ", code page "
                            << codePage << ", variant " << variant << ": " << piece;
                    }
                }
            }
        }
    }
}
