#include "app/TolvekApp.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

TEST(TolvekAppTest, TheOneApplicationObjectHoldsTheSettingsBeforeLoading)
{
    CWinApp* app = AfxGetApp();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app, &TheApp());
    EXPECT_EQ(TheApp().m_hMutex, nullptr);
    EXPECT_EQ(TheApp().m_env.m_nStrFlg, 0);
    EXPECT_TRUE(TheApp().m_env.m_strTgtFile.IsEmpty());
    EXPECT_TRUE(TheApp().m_env.m_strToken.IsEmpty());
    EXPECT_NE(GetCodePage(), 0);
}

TEST(TolvekAppTest, RunningTheApplicationGivesItsNameArgumentsAndExitStatus)
{
    std::string program = "tolvek";
    std::string option = "--bogus";
    char* argv[] = {&program[0], &option[0], nullptr};
    EXPECT_EQ(AfxRunApp("tolvek", "", 2, argv), 2);
    EXPECT_STREQ(TheApp().m_pszAppName, "tolvek");
    EXPECT_EQ(TheApp().m_argc, 2);
}
