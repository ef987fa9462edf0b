#include "engine/ExtractStrings.h"

#include "engine/Conditions.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

    CodePageScope m_shiftJis{kCodePageShiftJis};
    TempFolder m_folder;
    std::string m_source = m_folder / "a.c";
    std::string m_log = m_folder / "Tolvek.log";
};

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
