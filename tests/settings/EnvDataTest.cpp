#include "settings/EnvData.h"

#include "platform/CodePage.h"
#include "platform/Path.h"
#include "platform/Profile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Each test starts without an INI file. On Linux the file lives under a private
// XDG_CONFIG_HOME; on Windows beside the test program, as beside tolvek.exe.
class EnvDataTest : public testing::Test {
protected:
    void SetUp() override
    {
#ifndef _WIN32
        SetEnvVar("XDG_CONFIG_HOME", m_config.Path().c_str());
#endif
        char buffer[kMaxPathBytes + 1] = {};
        ASSERT_EQ(CEnvData().GetIniPath(buffer), 1);
        m_ini = buffer;
        MakeFolder(m_ini.substr(0, m_ini.rfind(kPathSeparator)));
        RemoveFile(m_ini);
    }

    void TearDown() override { RemoveFile(m_ini); }

    void WriteKey(const char* key, const char* value)
    {
        WriteProfileValue("EnvData", key, value, m_ini.c_str());
    }

    std::string ReadKey(const char* key)
    {
        char buffer[1024] = {};
        ReadProfileValue("EnvData", key, "<missing>", buffer, sizeof buffer, m_ini.c_str());
        return buffer;
    }

    CEnvData Loaded()
    {
        CEnvData env;
        env.Load();
        return env;
    }

    TempFolder m_config;
    std::string m_ini;
};

}  // namespace

TEST_F(EnvDataTest, IniFileIsTolvekIniInTheSettingsFolder)
{
    std::string name = std::string(1, kPathSeparator) + "Tolvek.ini";
    ASSERT_GT(m_ini.size(), name.size());
    EXPECT_EQ(m_ini.substr(m_ini.size() - name.size()), name);
#ifndef _WIN32
    EXPECT_EQ(m_ini, m_config.Path() + "/tolvek/Tolvek.ini");
#endif
}

TEST_F(EnvDataTest, NoIniFileGivesDefaultsAndSaveCreatesItWithThem)
{
    CEnvData env = Loaded();
    EXPECT_EQ(env.m_nStrFlg, 0);
    EXPECT_EQ(env.m_strTgtFile, "|c|cpp|h|");
    EXPECT_EQ(env.m_strToken, "\"");
    EXPECT_FALSE(FileExists(m_ini));

    env.Save();
    EXPECT_EQ(ReadKey("StrFlg"), "0");
    EXPECT_EQ(ReadKey("TgtFile"), "|c|cpp|h|");
    EXPECT_EQ(ReadKey("Token"), "\"");
}

TEST_F(EnvDataTest, EachMissingKeyTakesItsOwnDefault)
{
    WriteKey("StrFlg", "2");
    CEnvData env = Loaded();
    EXPECT_EQ(env.m_nStrFlg, 2);
    EXPECT_EQ(env.m_strTgtFile, "|c|cpp|h|");
    EXPECT_EQ(env.m_strToken, "\"");

    RemoveFile(m_ini);
    WriteKey("Token", "'");
    env = Loaded();
    EXPECT_EQ(env.m_nStrFlg, 0);
    EXPECT_EQ(env.m_strToken, "'");
}

TEST_F(EnvDataTest, EveryKeyMakesTheRoundTrip)
{
    CEnvData env;
    env.m_nStrFlg = 2;
    env.m_strTgtFile = "|c|h|\x8A\x67\x92\xA3|";
    env.m_strToken = "'";
    env.Save();

    CEnvData loaded = Loaded();
    EXPECT_EQ(loaded.m_nStrFlg, 2);
    EXPECT_EQ(loaded.m_strTgtFile, "|c|h|\x8A\x67\x92\xA3|");
    EXPECT_EQ(loaded.m_strToken, "'");
}

TEST_F(EnvDataTest, StrFlgReadsAsAtoiDoes)
{
    const struct {
        const char* stored;
        int32_t expected;
    } cases[] = {{"2abc", 2}, {"abc", 0}, {"-1", -1}, {"+7", 7}, {" 12", 12}, {"", 0},
                 {"99999999999", INT32_MAX}};
    for (const auto& sample : cases) {
        WriteKey("StrFlg", sample.stored);
        EXPECT_EQ(Loaded().m_nStrFlg, sample.expected) << "StrFlg=" << sample.stored;
    }
}

TEST_F(EnvDataTest, ParseDecimalHandlesSignsBlanksAndOverflow)
{
    EXPECT_EQ(ParseDecimal("\t\n 42x"), 42);
    EXPECT_EQ(ParseDecimal("-"), 0);
    EXPECT_EQ(ParseDecimal("- 1"), 0);
    EXPECT_EQ(ParseDecimal("-99999999999"), INT32_MIN);
}

TEST_F(EnvDataTest, EmptyTokenStaysEmptyAndIsWrittenBackEmpty)
{
    WriteKey("Token", "");
    CEnvData env = Loaded();
    EXPECT_TRUE(env.m_strToken.IsEmpty());
    env.Save();
    EXPECT_EQ(ReadKey("Token"), "");
}

TEST_F(EnvDataTest, BlankTokenIsStoredButReadsBackEmpty)
{
    CEnvData env = Loaded();
    env.m_strToken = " ";
    env.Save();
    EXPECT_TRUE(Loaded().m_strToken.IsEmpty());
}

TEST_F(EnvDataTest, TargetListIsReadWholeUpTo1023Bytes)
{
    std::string exact = "|" + std::string(1021, 'c') + "|";
    WriteKey("TgtFile", exact.c_str());
    EXPECT_EQ(std::string(Loaded().m_strTgtFile), exact);

    std::string longer = "|" + std::string(1400, 'c') + "|";
    WriteKey("TgtFile", longer.c_str());
    EXPECT_EQ(std::string(Loaded().m_strTgtFile), longer.substr(0, 1023));
}

TEST_F(EnvDataTest, DamagedIniFilesLoadSafely)
{
    std::string binary;
    for (int byte = 255; byte >= 0; --byte) {
        binary += static_cast<char>(byte);
    }
    const std::string files[] = {
        binary,
        "StrFlg=2\r\nTgtFile=|x|\r\n",
        "[EnvData]\r\nStrFlg=1\r\nStrFlg=2\r\n[EnvData]\r\nStrFlg=3\r\n",
        "[EnvData]\r\nTgtFile=" + std::string(3000, 'x') + "\r\nStrFlg=2",
    };
    for (const std::string& content : files) {
        WriteBytes(m_ini, content);
        CEnvData env = Loaded();
        EXPECT_LE(env.m_strTgtFile.GetLength(), 1023);
    }
    WriteBytes(m_ini, files[1]);
    EXPECT_EQ(Loaded().m_strTgtFile, "|c|cpp|h|");
    WriteBytes(m_ini, files[2]);
    EXPECT_EQ(Loaded().m_nStrFlg, 1);
    WriteBytes(m_ini, files[3]);
    EXPECT_EQ(Loaded().m_nStrFlg, 2);
}

TEST_F(EnvDataTest, SavingUnchangedSettingsLeavesTheFileAsItIs)
{
    // A hand-written file: a comment, another section, and a target list far longer than the
    // 1023 bytes the program holds.
    std::string longList = "|" + std::string(112 * 1024, 'c') + "|";
    std::string original = "; mine\r\n[Other]\r\nKey=1\r\n[EnvData]\r\nStrFlg=1\r\nTgtFile=" +
                           longList + "\r\nToken='\r\n";
    WriteBytes(m_ini, original);
    CEnvData env = Loaded();
    EXPECT_EQ(env.m_strTgtFile.GetLength(), 1023);
    env.Save();
    EXPECT_EQ(ReadBytes(m_ini), original);

    // A changed setting rewrites its own key; the long list the user did not touch stays whole.
    env.m_nStrFlg = 2;
    env.Save();
    std::string expected = original;
    expected.replace(expected.find("StrFlg=1"), 8, "StrFlg=2");
    EXPECT_EQ(ReadBytes(m_ini), expected);
    EXPECT_EQ(ReadKey("TgtFile").size(), 1023u);

    // The list the user changed is written as it now is.
    env.m_strTgtFile = "|h|";
    env.Save();
    EXPECT_EQ(ReadKey("TgtFile"), "|h|");
    EXPECT_EQ(ReadKey("Token"), "'");
}

TEST_F(EnvDataTest, SaveWhereTheIniCannotBeWrittenLosesNothingElse)
{
    MakeFolder(m_ini);
    CEnvData env = Loaded();
    env.m_nStrFlg = 2;
    env.Save();
    EXPECT_EQ(env.m_nStrFlg, 2);
    EXPECT_EQ(Loaded().m_strTgtFile, "|c|cpp|h|");
}

#ifndef _WIN32

TEST_F(EnvDataTest, SaveCreatesTheSettingsFolder)
{
    std::string nested = m_config / "a/b";
    SetEnvVar("XDG_CONFIG_HOME", nested.c_str());
    CEnvData env = Loaded();
    env.Save();
    EXPECT_EQ(ReadBytes(nested + "/tolvek/Tolvek.ini"), "[EnvData]\nStrFlg=0\nTgtFile=|c|cpp|h|\nToken=\"\nSubFolder=0\nSyntax=0\n");
}

TEST_F(EnvDataTest, ALinkToTheIniStaysALinkAndItsTargetChanges)
{
    TempFolder elsewhere;
    std::string target = elsewhere / "real.ini";
    WriteBytes(target, "[EnvData]\nStrFlg=0\nTgtFile=|c|\nToken=\"\n");
    ASSERT_EQ(symlink(target.c_str(), m_ini.c_str()), 0);
    struct stat before;
    ASSERT_EQ(stat(target.c_str(), &before), 0);

    CEnvData env = Loaded();
    env.Save();
    struct stat after;
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "unchanged settings were written";

    env.m_nStrFlg = 1;
    env.Save();
    struct stat link;
    ASSERT_EQ(lstat(m_ini.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(ReadBytes(target), "[EnvData]\nStrFlg=1\nTgtFile=|c|\nToken=\"\n");
}

TEST_F(EnvDataTest, RelativeXdgConfigHomeFallsBackToHomeConfig)
{
    const char* home = std::getenv("HOME");
    std::string savedHome = home != nullptr ? home : "";
    SetEnvVar("XDG_CONFIG_HOME", "relative/dir");
    SetEnvVar("HOME", m_config.Path().c_str());
    char buffer[kMaxPathBytes + 1] = {};
    int found = CEnvData().GetIniPath(buffer);
    SetEnvVar("HOME", home != nullptr ? savedHome.c_str() : nullptr);
    ASSERT_EQ(found, 1);
    EXPECT_EQ(std::string(buffer), m_config.Path() + "/.config/tolvek/Tolvek.ini");
}

TEST_F(EnvDataTest, AnIniPathLongerThan259BytesIsRefused)
{
    std::string longFolder = m_config / std::string(250, 'x');
    SetEnvVar("XDG_CONFIG_HOME", longFolder.c_str());
    char buffer[kMaxPathBytes + 1] = {};
    EXPECT_EQ(CEnvData().GetIniPath(buffer), 0);
    EXPECT_EQ(buffer[0], '\0');

    CEnvData env;
    env.Load();
    EXPECT_TRUE(env.m_strTgtFile.IsEmpty());
    env.m_nStrFlg = 1;
    env.Save();
    EXPECT_FALSE(FileExists(longFolder + "/tolvek/Tolvek.ini"));
}

#endif

TEST_F(EnvDataTest, SyntaxIsOneOrElseZero)
{
    const struct {
        const char* stored;
        int32_t expected;
    } cases[] = {{"1", 1}, {"0", 0}, {"2", 0}, {"-1", 0}, {"cpp", 0}, {"", 0}};
    for (const auto& sample : cases) {
        WriteKey("Syntax", sample.stored);
        EXPECT_EQ(Loaded().m_nSyntax, sample.expected) << "Syntax=" << sample.stored;
    }
    RemoveFile(m_ini);
    CEnvData env = Loaded();
    EXPECT_EQ(env.m_nSyntax, 0);
    env.m_nSyntax = 1;
    env.Save();
    EXPECT_EQ(ReadKey("Syntax"), "1");
    EXPECT_EQ(Loaded().m_nSyntax, 1);
}
