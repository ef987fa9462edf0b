#include "engine/ExtractStrings.h"

#include "engine/Conditions.h"
#include "engine/Cp932.h"
#include "engine/LogFormat.h"
#include "engine/RecordFile.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One file's records, into the log at `logPath` in its format, opened for this file alone.
int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const ScanSettings& settings)
{
    RecordFile log(logPath);
    FileScan scan;
    return ::ExtractStrings(log, LogFormat(), srcPath, displayName, settings, scan);
}

class ExtractStringsTest : public testing::Test {
protected:
    // Scans `source` (written as a.c) and returns the count; the log is in m_log.
    int Scan(const std::string& source, const char* token = "\"", int32_t condition = STRFLG_ANY)
    {
        WriteBytes(m_source, source);
        return ExtractStrings(m_log.c_str(), m_source.c_str(), "a.c",
                              MakeScanSettings(token, condition));
    }

    std::string Log() const { return ReadBytes(m_log); }

    // Scans `source` afresh and returns the log it gives.
    std::string LogOf(const std::string& source, int32_t condition = STRFLG_ANY)
    {
        RemoveFile(m_log);
        Scan(source, "\"", condition);
        return Log();
    }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    TempFolder m_folder;
    std::string m_source = m_folder / "a.c";
    std::string m_log = m_folder / "Tolvek.log";
};

// The same text in UTF-8: Shift_JIS read through code page 932.
std::string SjisToUtf8(const std::string& sjis)
{
    std::string utf8;
    auto put = [&utf8](uint32_t character) {
        if (character < 0x80) {
            utf8 += static_cast<char>(character);
        } else if (character < 0x800) {
            utf8 += static_cast<char>(0xC0 | (character >> 6));
            utf8 += static_cast<char>(0x80 | (character & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (character >> 12));
            utf8 += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (character & 0x3F));
        }
    };
    for (size_t at = 0; at < sjis.size(); ++at) {
        unsigned char byte = static_cast<unsigned char>(sjis[at]);
        uint32_t single = Cp932SingleToUnicode(byte);
        if (single != 0 || byte == 0) {
            put(single);
        } else {
            put(Cp932DoubleToUnicode(byte, static_cast<unsigned char>(sjis[++at])));
        }
    }
    return utf8;
}

// The same UTF-8 text as a UTF-16 file with its byte order mark.
std::string Utf16Of(const std::string& utf8, bool bigEndian = false)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&out, bigEndian](uint32_t value) {
        char high = static_cast<char>(value >> 8);
        char low = static_cast<char>(value & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    Utf8Decoder decoder;
    auto put = [&unit](uint32_t character, const unsigned char*, size_t) {
        if (character >= 0x10000) {
            unit(0xD800 + ((character - 0x10000) >> 10));
            unit(0xDC00 + ((character - 0x10000) & 0x3FF));
        } else {
            unit(character);
        }
    };
    decoder.Feed(utf8.data(), utf8.size(), put);
    decoder.Finish(put);
    return out;
}

}  // namespace

TEST_F(ExtractStringsTest, WorkedExample)
{
    EXPECT_EQ(Scan("printf(\"abc\");\nx = \"one\" + \"two\";\ns = \"open\nint i;\n"), 3);
    EXPECT_EQ(Log(), "a.c(1): \"abc\"\r\na.c(2): \"one\"\r\na.c(2): \"two\"\r\n");
}

TEST_F(ExtractStringsTest, TextsPairByPosition)
{
    // An empty literal is a pair of its own; a line may begin with a literal.
    EXPECT_EQ(Scan("f(\"\", \"x\");\n\"abc\" x\n\"\"\"\"\n"), 3);
    EXPECT_EQ(Log(), "a.c(1): \"x\"\r\na.c(2): \"abc\"\r\n");
}

TEST_F(ExtractStringsTest, EscapedDelimitersAreNotDelimiters)
{
    Scan("s = \"a\\\"b\";\nt = \"\\\\\";\nc = '\\\"'; d = \"y\";\n");
    EXPECT_EQ(Log(), "a.c(1): \"a\\\"b\"\r\na.c(2): \"\\\\\"\r\na.c(3): \"y\"\r\n");
}

TEST_F(ExtractStringsTest, ABackslashBeforeTheLineFeedOrAtTheEndEscapesNothing)
{
    Scan("s = \"abc\\\nt = \"x\\");
    EXPECT_EQ(Log(), "a.c(2): \"x\\\"\r\n");
}

TEST_F(ExtractStringsTest, EscapesAreOffWhenTheBackslashIsTheDelimiter)
{
    Scan("a\\b\\c\n", "\\");
    EXPECT_EQ(Log(), "a.c(1): \"b\"\r\n");
}

TEST_F(ExtractStringsTest, DoubleByteCharactersAreNeverCut)
{
    // 表 is 0x95 0x5C (a backslash trail byte); － is 0x81 0x7C (a vertical bar trail byte).
    Scan("s = \"\x95\x5C\";\n");
    EXPECT_EQ(Log(), "a.c(1): \"\x95\x5C\"\r\n");
    RemoveFile(m_log);
    Scan("a|\x81\x7C|b\n", "|");
    EXPECT_EQ(Log(), "a.c(1): \"\x81\x7C\"\r\n");
    RemoveFile(m_log);
    Scan("a\\\x95\x5C\\b\n", "\\");
    EXPECT_EQ(Log(), "a.c(1): \"\x95\x5C\"\r\n");
}

TEST_F(ExtractStringsTest, LineNumbersAreThoseOfAnEditorHoweverLongTheLine)
{
    std::string longLine = "x = \"" + std::string(5000, 'a') + "\";\n";
    EXPECT_EQ(Scan(longLine + std::string(300000, ' ') + "\n\"b\"\n"), 2);
    EXPECT_EQ(Log(), "a.c(1): \"" + std::string(5000, 'a') + "\"\r\na.c(3): \"b\"\r\n");
}

TEST_F(ExtractStringsTest, ExtractionConditions)
{
    // ｱｲｳ are half-width katakana (single bytes); 日本 holds lead bytes.
    const std::string source = "\"\xB1\xB2\xB3 abc\" \"\x93\xFA\x96\x7B\"\n";
    Scan(source, "\"", STRFLG_SINGLE_BYTE_ONLY);
    EXPECT_EQ(Log(), "a.c(1): \"\xB1\xB2\xB3 abc\"\r\n");
    RemoveFile(m_log);
    Scan(source, "\"", STRFLG_HAS_DOUBLE_BYTE);
    EXPECT_EQ(Log(), "a.c(1): \"\x93\xFA\x96\x7B\"\r\n");
    RemoveFile(m_log);
    Scan(source, "\"", -1);
    EXPECT_EQ(Log(), "a.c(1): \"\xB1\xB2\xB3 abc\"\r\na.c(1): \"\x93\xFA\x96\x7B\"\r\n");
}

TEST_F(ExtractStringsTest, InASingleByteCodePageNoTextHasADoubleByteCharacter)
{
    CodePageScope singleByte(kCodePageSingleByte);
    EXPECT_EQ(Scan("\"\x93\xFA\x96\x7B\"\n", "\"", STRFLG_HAS_DOUBLE_BYTE), 1);
    EXPECT_EQ(Log(), "");
    Scan("\"\x93\xFA\x96\x7B\"\n", "\"", STRFLG_SINGLE_BYTE_ONLY);
    EXPECT_EQ(Log(), "a.c(1): \"\x93\xFA\x96\x7B\"\r\n");
}

TEST_F(ExtractStringsTest, OtherDelimiters)
{
    EXPECT_EQ(Scan("c = 'x'; s = \"y\";\n", "'"), 1);
    EXPECT_EQ(Log(), "a.c(1): \"x\"\r\n");
    RemoveFile(m_log);
    // An empty token means the double quote.
    Scan("c = 'x'; s = \"y\";\n", "");
    EXPECT_EQ(Log(), "a.c(1): \"y\"\r\n");
}

TEST_F(ExtractStringsTest, NulHidesTheRestOfTheLine)
{
    EXPECT_EQ(Scan(std::string("a \"x\0y\" \"z\"\n\0\"q\"\n\"ok\"\n", 22)), 2);
    EXPECT_EQ(Log(), "a.c(1): \"x\"\r\na.c(3): \"ok\"\r\n");
}

TEST_F(ExtractStringsTest, TextModeReading)
{
    // CR LF reads as LF, a lone CR stays, and a byte 0x1A ends the file.
    EXPECT_EQ(Scan("\"a\"\r\n\"b\rc\"\r\n\"d\"\x1A\"e\"\n"), 3);
    EXPECT_EQ(Log(), "a.c(1): \"a\"\r\na.c(2): \"b\rc\"\r\na.c(3): \"d\"\r\n");
}

TEST_F(ExtractStringsTest, LastLineWithoutLineFeedAndLoneLeadBytes)
{
    Scan("\"x\x83\n\"y\"\n\"ab\x83");
    EXPECT_EQ(Log(), "a.c(2): \"y\"\r\na.c(3): \"ab\x83\"\r\n");
}

TEST_F(ExtractStringsTest, LongRecordsAreWrittenWhole)
{
    std::string text(3000, 'r');
    Scan("\"" + text + "\"\n");
    EXPECT_EQ(Log(), "a.c(1): \"" + text + "\"\r\n");
}

TEST_F(ExtractStringsTest, RecordsAroundTheSizeOfTheRecordBufferAreWrittenWhole)
{
    // A record is a.c(1): "text" and a line feed: 11 bytes and the text. Most records are
    // formatted in a buffer of 512 bytes; longer ones some other way.
    for (size_t recordLength = 508; recordLength <= 516; ++recordLength) {
        std::string text(recordLength - 11, static_cast<char>('a' + recordLength % 26));
        RemoveFile(m_log);
        Scan("x = \"" + text + "\";\n");
        EXPECT_EQ(Log(), "a.c(1): \"" + text + "\"\r\n") << recordLength;
    }
}

TEST_F(ExtractStringsTest, ScanningTwiceAppendsTwice)
{
    Scan("\"a\"\n");
    Scan("\"a\"\n");
    EXPECT_EQ(Log(), "a.c(1): \"a\"\r\na.c(1): \"a\"\r\n");
}

TEST_F(ExtractStringsTest, DelimiterLinesWithoutRecordsStillCountAndCreateTheLog)
{
    EXPECT_EQ(Scan("\"abc\"\n", "\"", STRFLG_HAS_DOUBLE_BYTE), 1);
    EXPECT_EQ(Log(), "");
}

TEST_F(ExtractStringsTest, FilesWithoutDelimiterNeverCreateTheLog)
{
    EXPECT_EQ(Scan("int main() { return 0; }\n"), 0);
    EXPECT_FALSE(FileExists(m_log));
}

TEST_F(ExtractStringsTest, SourceOrLogThatCannotBeOpened)
{
    const ScanSettings settings = MakeScanSettings("", STRFLG_ANY);
    EXPECT_EQ(ExtractStrings(m_log.c_str(), (m_folder / "missing.c").c_str(), "missing.c", settings), 0);
    EXPECT_FALSE(FileExists(m_log));

    MakeFolder(m_log);
    EXPECT_EQ(Scan("\"a\"\n"), 0);
    EXPECT_EQ(ExtractStrings(m_log.c_str(), m_folder.Path().c_str(), "folder", settings), 0);
}

TEST_F(ExtractStringsTest, TheLogAsItsOwnSourceIsReadAsItWasWhenTheScanBegan)
{
    WriteBytes(m_log, "\"a\" \"b\"\n");
    EXPECT_EQ(ExtractStrings(m_log.c_str(), m_log.c_str(), "Tolvek.log", MakeScanSettings("", 0)), 1);
    EXPECT_EQ(Log(), "\"a\" \"b\"\nTolvek.log(1): \"a\"\r\nTolvek.log(1): \"b\"\r\n");
}

TEST_F(ExtractStringsTest, BinaryFilesAreHandledSafely)
{
    std::string binary;
    for (int round = 0; round < 64; ++round) {
        for (int byte = 0; byte < 256; ++byte) {
            binary += static_cast<char>((byte * 37 + round) & 0xFF);
        }
    }
    Scan(binary);
    Scan(binary, "\x5C");
    Scan(binary, "\xFC\x40", STRFLG_HAS_DOUBLE_BYTE);
}

#ifndef _WIN32

TEST_F(ExtractStringsTest, ASingleLineOf100Megabytes)
{
    std::string line = "x = \"first\"; " + std::string(100 * 1000 * 1000, 'y') + " \"" +
                       std::string(200000, 'z') + "\"\n\"next\"\n";
    EXPECT_EQ(Scan(line), 2);
    EXPECT_EQ(Log(), "a.c(1): \"first\"\r\na.c(1): \"" + std::string(200000, 'z') +
                         "\"\r\na.c(2): \"next\"\r\n");
}

#endif

TEST_F(ExtractStringsTest, Utf8TextsAreReadAsUtf8AndLoggedInTheCodePage)
{
    // あ and ソ; こ ends in 0x93, a Shift_JIS lead byte, right before the quote.
    EXPECT_EQ(LogOf("a = \"\xE3\x81\x82\"; b = \"\xE3\x82\xBD\"; c = \"\xE3\x81\x93\";\n"),
              "a.c(1): \"\x82\xA0\"\r\na.c(1): \"\x83\x5C\"\r\na.c(1): \"\x82\xB1\"\r\n");
    // The byte order mark is not part of the first line, whose literal is taken.
    EXPECT_EQ(LogOf("\xEF\xBB\xBF\"x\" \"\xE3\x81\x82\"\n"),
              "a.c(1): \"x\"\r\na.c(1): \"\x82\xA0\"\r\n");
}

TEST_F(ExtractStringsTest, CharactersThatCodePage932LacksAreWrittenAsInACLiteral)
{
    // é, an emoji, the wave dash (whose look-alike ～ 932 has), and ～ itself.
    EXPECT_EQ(LogOf("s = \"caf\xC3\xA9 \xF0\x9F\x98\x80 \xE3\x80\x9C \xEF\xBD\x9E\";\n"),
              "a.c(1): \"caf\\u00E9 \\U0001F600 \\u301C \x81\x60\"\r\n");
    // With the mark a file is UTF-8 whatever follows; a byte that is no character stays visible.
    EXPECT_EQ(LogOf("\xEF\xBB\xBF\"\x82\xA0\"\n"), "a.c(1): \"\\x82\\xa0\"\r\n");
}

TEST_F(ExtractStringsTest, FilesThatAreNotAllValidUtf8AreReadInTheCodePage)
{
    // ｱ (0xB1) is a single byte in Shift_JIS and no UTF-8 at all.
    EXPECT_EQ(LogOf("s = \"\xB1\";\n"), "a.c(1): \"\xB1\"\r\n");
    // Overlong forms, a surrogate, a character above U+10FFFF, a cut sequence: not UTF-8.
    for (const std::string bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xE3\x81"}) {
        std::string source = "s = \"\xC3\xA9\";\nt = \"" + bad + "\";\n";
        std::string log = LogOf(source);
        EXPECT_EQ(log.substr(0, 14), "a.c(1): \"\xC3\xA9\"\r\n") << log;
    }
    // An invalid byte far into a long file still makes the whole file the code page's.
    std::string longFile = "s = \"\xC3\xA9\";\n" + std::string(300 * 1024, ' ') + "\nt = \"\x82\xA0\";\n";
    EXPECT_EQ(LogOf(longFile), "a.c(1): \"\xC3\xA9\"\r\na.c(3): \"\x82\xA0\"\r\n");
    // Without it, the same file is UTF-8, also when the first byte of 0x80 comes late.
    std::string utf8File = std::string(300 * 1024, ' ') + "\ns = \"\xC3\xA9\";\n";
    EXPECT_EQ(LogOf(utf8File), "a.c(2): \"\\u00E9\"\r\n");
}

TEST_F(ExtractStringsTest, TheConditionsPickTheSameTextsInEitherEncoding)
{
    // ASCII, half-width katakana and punctuation (single bytes in Shift_JIS), kanji, 表 and ソ with their 0x5C
    // trail bytes, an escape before a double-byte character, and a mix.
    const std::string sjis =
        "a = \"plain\"; k = \"\xA1\xB2\xDF\"; j = \"\x93\xFA\x96\x7B\";\r\n"
        "t = \"\x95\x5C\x83\x5C\"; e = \"\\\x95\x5C\"; m = \"ab\xB1\x82\xA0\";\r\n";
    const std::string utf8 = SjisToUtf8(sjis);
    ASSERT_NE(utf8, sjis);
    for (int32_t condition : {STRFLG_ANY, STRFLG_SINGLE_BYTE_ONLY, STRFLG_HAS_DOUBLE_BYTE}) {
        std::string expected = LogOf(sjis, condition);
        EXPECT_EQ(LogOf(utf8, condition), expected) << "condition " << condition;
        EXPECT_EQ(LogOf("\xEF\xBB\xBF" + utf8, condition), expected) << "condition " << condition;
        EXPECT_EQ(LogOf(Utf16Of(utf8), condition), expected) << "condition " << condition;
        EXPECT_EQ(LogOf(Utf16Of(utf8, true), condition), expected) << "condition " << condition;
    }
    // The half-width range's first and last characters (U+FF61, U+FF9F) are single bytes.
    EXPECT_EQ(LogOf(utf8, STRFLG_SINGLE_BYTE_ONLY), "a.c(1): \"plain\"\r\na.c(1): \"\xA1\xB2\xDF\"\r\n");
}

TEST_F(ExtractStringsTest, Utf16FilesAreReadByCharacters)
{
    struct {
        std::string file;
        const char* log;
    } const kCases[] = {
        // Line ends, and the mark that is no part of line 1.
        {Utf16Of("\"a\"\r\nx\n\"b\""), "a.c(1): \"a\"\r\na.c(3): \"b\"\r\n"},
        {Utf16Of("\"a\"\r\nx\n\"b\"", true), "a.c(1): \"a\"\r\na.c(3): \"b\"\r\n"},
        // Code units whose bytes are a quote or a backslash (U+225C, U+5C22) end no text.
        {Utf16Of("\"\xE2\x89\x9C\" \"\xE5\xB0\xA2\""), "a.c(1): \"\\u225C\"\r\na.c(1): \"\x9B\x97\"\r\n"},
        {Utf16Of("\"\xE2\x89\x9C\"", true), "a.c(1): \"\\u225C\"\r\n"},
        // A surrogate pair is one character.
        {Utf16Of("\"\xF0\x9F\x98\x80\""), "a.c(1): \"\\U0001F600\"\r\n"},
        // A lone surrogate and an odd last byte are no character, and the reading goes on.
        {std::string("\xFF\xFE\"\0a\0\x00\xD8\"\0\n\0\"\0b\0\"\0", 18) + "x",
         "a.c(1): \"a\\uFFFD\"\r\na.c(2): \"b\"\r\n"},
        {std::string("\xFF\xFE\"\0a\0", 6) + "q", "a.c(1): \"a\\uFFFD\"\r\n"},
    };
    for (const auto& item : kCases) {
        EXPECT_EQ(LogOf(item.file), item.log);
    }
}

TEST_F(ExtractStringsTest, TheEncodingIsJudgedOnTheWholeFilePastA0x1A)
{
    // A UTF-8 text, then a 0x1A and bytes that are no UTF-8: the file is not UTF-8, so its text
    // reads as it would with those bytes in a comment. In Shift_JIS the quote after あ's last
    // byte (0x82, a lead byte) is no delimiter; in a single-byte code page あ holds no lead byte.
    const std::string text = "s = \"\xE3\x81\x82\";\n";
    struct Case {
        int codePage;
        int32_t condition;
        std::string after;   // what follows the 0x1A
        std::string inText;  // the same bytes where the text holds them
    } const cases[] = {
        {kCodePageShiftJis, STRFLG_ANY, "\xB1", "//\xB1\n"},
        {kCodePageShiftJis, STRFLG_ANY, std::string(200 * 1024, ' ') + "\x82", "//\x82\n"},
        {kCodePageSingleByte, STRFLG_HAS_DOUBLE_BYTE, "\xB1", "//\xB1\n"},
        {kCodePageShiftJis, STRFLG_ANY, "\xC3\xA9", "//\xC3\xA9\n"},  // UTF-8 after it: UTF-8
    };
    for (const Case& c : cases) {
        CodePageScope codePage(c.codePage);
        EXPECT_EQ(LogOf(text + "\x1A" + c.after, c.condition), LogOf(text + c.inText, c.condition))
            << c.codePage << " " << c.condition << " " << c.after.size();
    }
    // The first case would differ from the UTF-8 reading.
    EXPECT_NE(LogOf(text + "//\xB1\n"), LogOf(text));
}
