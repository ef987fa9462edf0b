// The application object, run as the Linux command's start-up runs it.
#include "app/TolvekApp.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int RunApp(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "tolvek");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    return AfxRunApp("tolvek", "", static_cast<int>(arguments.size()), argv.data());
}

class TolvekAppTest : public testing::Test {
protected:
    void SetUp() override { SetEnvVar("XDG_CONFIG_HOME", m_config.Path().c_str()); }
    void TearDown() override { SetEnvVar("XDG_CONFIG_HOME", nullptr); }

    CurrentFolderScope m_currentFolder;
    TempFolder m_config;
    TempFolder m_sources;
};

}  // namespace

TEST_F(TolvekAppTest, TheRunLoadsTheSavedSettingsIntoTheOneApplicationObject)
{
    MakeFolder(m_config / "tolvek");
    WriteBytes(m_config / "tolvek/Tolvek.ini", "[EnvData]\nStrFlg=0\nTgtFile=|h|\nToken='\n");
    WriteBytes(m_sources / "a.h", "c = 'q'; s = \"no\";\n");
    WriteBytes(m_sources / "b.c", "'skipped'\n");

    EXPECT_EQ(RunApp({m_sources.Path()}), 0);
    EXPECT_EQ(&TheApp(), AfxGetApp());
    EXPECT_STREQ(TheApp().m_pszAppName, "tolvek");
    EXPECT_EQ(TheApp().m_env.m_strTgtFile, "|h|");
    EXPECT_EQ(TheApp().m_env.m_strToken, "'");
    EXPECT_EQ(ReadBytes(m_sources / "Tolvek.log"), "a.h(1): \"q\"\r\n");
}

TEST_F(TolvekAppTest, TheExitStatusIsTheCommands)
{
    EXPECT_EQ(RunApp({"--bogus"}), 2);
    EXPECT_EQ(RunApp({m_sources / "missing"}), 1);
    EXPECT_EQ(RunApp({"--version"}), 0);
}
