// The profile functions: Windows' own under Wine, ours on Linux, held to the same behaviour.
#include "platform/Profile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class ProfileTest : public testing::Test {
protected:
    std::string Read(const char* section, const char* key, const char* defaultValue = "<default>",
                     size_t size = kProfileValueBytes)
    {
        std::string buffer(size + 1, '#');
        size_t length = ReadProfileValue(section, key, defaultValue, &buffer[0], size,
                                         m_ini.c_str());
        EXPECT_EQ(buffer[length], '\0');
        return buffer.substr(0, length);
    }

    void Write(const char* section, const char* key, const char* value)
    {
        EXPECT_TRUE(WriteProfileValue(section, key, value, m_ini.c_str()));
    }

    TempFolder m_folder;
    std::string m_ini = m_folder / "Test.ini";
};

}  // namespace

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Read("EnvData", "StrFlg", "0"), "0");
    WriteBytes(m_ini, "[Other]\r\nStrFlg=2\r\n[EnvData]\r\nToken=x\r\n");
    EXPECT_EQ(Read("EnvData", "StrFlg", "0"), "0");
    EXPECT_EQ(Read("Missing", "Token"), "<default>");
    EXPECT_EQ(Read("EnvData", "Token"), "x");
}

TEST_F(ProfileTest, NamesMatchWithoutRegardToCaseAndBlanksAroundValuesDrop)
{
    WriteBytes(m_ini, "[envdata]\nSTRFLG =  2  \n  tgtfile=|c|cpp|h|\t\n");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "2");
    EXPECT_EQ(Read("EnvData", "TgtFile"), "|c|cpp|h|");
}

TEST_F(ProfileTest, ReadsCrLfAndLfFilesAndALastLineWithoutLineEnd)
{
    WriteBytes(m_ini, "[EnvData]\r\nStrFlg=1\r\nToken='");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "1");
    EXPECT_EQ(Read("EnvData", "Token"), "'");
    WriteBytes(m_ini, "[EnvData]\nStrFlg=2\nToken=\"");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "2");
    EXPECT_EQ(Read("EnvData", "Token"), "\"");
}

TEST_F(ProfileTest, ValuesAreCutToTheBuffer)
{
    std::string longValue(1500, 'x');
    Write("EnvData", "TgtFile", longValue.c_str());
    EXPECT_EQ(Read("EnvData", "TgtFile", "", 1024), std::string(1023, 'x'));
    EXPECT_EQ(Read("EnvData", "TgtFile", "", 4), "xxx");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndSectionAndReplacesOnlyItsKey)
{
    Write("EnvData", "StrFlg", "1");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "1");

    WriteBytes(m_ini, "[First]\r\nKeep=yes\r\n\r\n[EnvData]\r\nStrFlg=0\r\nOther=1\r\n");
    Write("EnvData", "StrFlg", "2");
    Write("EnvData", "Token", "'");
    Write("Third", "Key", "v");
    EXPECT_EQ(Read("First", "Keep"), "yes");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "2");
    EXPECT_EQ(Read("EnvData", "Other"), "1");
    EXPECT_EQ(Read("EnvData", "Token"), "'");
    EXPECT_EQ(Read("Third", "Key"), "v");
}

TEST_F(ProfileTest, BlankAndEmptyValuesReadBackEmpty)
{
    Write("EnvData", "Token", " ");
    EXPECT_EQ(Read("EnvData", "Token"), "");
    Write("EnvData", "Token", "");
    EXPECT_EQ(Read("EnvData", "Token"), "");
}

TEST_F(ProfileTest, FirstOfDuplicateSectionsAndKeysWins)
{
    WriteBytes(m_ini, "[EnvData]\nStrFlg=1\nStrFlg=2\n[EnvData]\nStrFlg=3\nToken=x\n");
    EXPECT_EQ(Read("EnvData", "StrFlg"), "1");
}

TEST_F(ProfileTest, DamagedFilesReadSafely)
{
    std::string binary;
    for (int byte = 0; byte < 256; ++byte) {
        binary += static_cast<char>(byte);
    }
    WriteBytes(m_ini, binary + binary);
    Read("EnvData", "StrFlg", "0");

    WriteBytes(m_ini, "StrFlg=2\nno section at all\n");
    EXPECT_EQ(Read("EnvData", "StrFlg", "0"), "0");

    WriteBytes(m_ini, "[EnvData]\nJunk=" + std::string(5000, 'j') + "\nStrFlg=2\n");
    EXPECT_EQ(Read("EnvData", "StrFlg", "0"), "2");
    EXPECT_EQ(Read("EnvData", "Junk", "").size(), 1023u);
}

TEST_F(ProfileTest, AFileThatCannotBeWrittenKeepsWhatItHad)
{
    // A folder where the file should be: the write fails, and nothing else is lost.
    MakeFolder(m_ini);
    EXPECT_FALSE(WriteProfileValue("EnvData", "StrFlg", "1", m_ini.c_str()));
    EXPECT_EQ(Read("EnvData", "StrFlg", "0"), "0");
}

#ifndef _WIN32

TEST_F(ProfileTest, LinuxWriteChangesOnlyItsOwnLineAndLeavesNoTemporaryFile)
{
    const std::string before =
        "; settings\r\n[EnvData]\r\nStrFlg = 0\r\n\r\n[Other]\r\nx=1\r\n";
    WriteBytes(m_ini, before);
    Write("envdata", "strflg", "2");
    EXPECT_EQ(ReadBytes(m_ini), "; settings\r\n[EnvData]\r\nStrFlg=2\r\n\r\n[Other]\r\nx=1\r\n");
    Write("EnvData", "Token", "'");
    EXPECT_EQ(ReadBytes(m_ini),
              "; settings\r\n[EnvData]\r\nStrFlg=2\r\nToken='\r\n\r\n[Other]\r\nx=1\r\n");
    // A value cannot carry a line end into the file.
    Write("EnvData", "TgtFile", "|c|\n[Evil]\nx=2");
    EXPECT_EQ(Read("EnvData", "TgtFile"), "|c|");
    EXPECT_EQ(Read("Evil", "x"), "<default>");

    TempFolder& folder = m_folder;
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

#endif
