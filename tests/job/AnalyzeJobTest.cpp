#include "job/AnalyzeJob.h"

#include "platform/CodePage.h"
#include "settings/EnvData.h"
#include "tests/support/EventRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class AnalyzeJobTest : public testing::Test {
protected:
    CodePageScope m_shiftJis{kCodePageShiftJis};
    CurrentFolderScope m_currentFolder;
    TempFolder m_folder;
    EventRecorder m_events;
};

}  // namespace

TEST_F(AnalyzeJobTest, ClassifiesPaths)
{
    WriteBytes(m_folder / "a.c", "");
    EXPECT_EQ(GetTargetKind(nullptr), TARGET_INVALID);
    EXPECT_EQ(GetTargetKind((m_folder / "missing").c_str()), TARGET_NONE);
    EXPECT_EQ(GetTargetKind(""), TARGET_NONE);
    EXPECT_EQ(GetTargetKind("\""), TARGET_NONE);
    EXPECT_EQ(GetTargetKind((m_folder / "a.c").c_str()), TARGET_FILE);
    EXPECT_EQ(GetTargetKind(m_folder.Path().c_str()), TARGET_FOLDER);
#ifdef _WIN32
    // A pattern is classified by its first match.
    EXPECT_EQ(GetTargetKind((m_folder / "*.c").c_str()), TARGET_FILE);
#endif
}

TEST_F(AnalyzeJobTest, ClassificationTellsWhyAPathNamesNothing)
{
    Failure why;
    EXPECT_EQ(ClassifyPath((m_folder / "missing").c_str(), why), TARGET_NONE);
    EXPECT_EQ(why.kind, FailureKind::NotFound);
#ifndef _WIN32
    ASSERT_EQ(mkfifo((m_folder / "pipe.c").c_str(), 0600), 0);
    EXPECT_EQ(ClassifyPath((m_folder / "pipe.c").c_str(), why), TARGET_NONE);
    EXPECT_EQ(why.kind, FailureKind::NotRegularFile);
    std::string tooLong = m_folder / std::string(300, 'x');
    EXPECT_EQ(ClassifyPath(tooLong.c_str(), why), TARGET_NONE);
    EXPECT_EQ(why.kind, FailureKind::NameTooLong);
#endif
}

TEST_F(AnalyzeJobTest, OptionsComeFromTheSettings)
{
    CEnvData settings;
    settings.m_nStrFlg = 2;
    settings.m_strTgtFile = "|h|";
    settings.m_strToken = "'";
    AnalysisOptions options = MakeAnalysisOptions(settings);
    EXPECT_EQ(options.condition, 2);
    EXPECT_EQ(options.targetList, "|h|");
    EXPECT_EQ(options.delimiter, "'");
}

TEST_F(AnalyzeJobTest, RunsTheAnalysisThatTheKindNames)
{
    WriteBytes(m_folder / "a.c", "\"x\"\n");
    AnalysisOptions options;
    options.targetList = "|c|";

    RunAnalysis(TARGET_FILE, (m_folder / "a.c").c_str(), options, m_events);
    EXPECT_EQ(m_events.Events(), (std::vector<std::string>{"begin a.c", "end"}));

    EventRecorder folder;
    RunAnalysis(TARGET_FOLDER, m_folder.Path().c_str(), options, folder);
    EXPECT_EQ(folder.Events(), (std::vector<std::string>{"begin a.c", "end"}));
    EXPECT_EQ(ReadBytes(m_folder / "Tolvek.log"), "a.c(1): \"x\"\r\na.c(1): \"x\"\r\n");

    for (int32_t kind : {TARGET_NONE, TARGET_INVALID}) {
        EventRecorder nothing;
        RunAnalysis(kind, m_folder.Path().c_str(), options, nothing);
        EXPECT_EQ(nothing.Events(), std::vector<std::string>{"end"});
    }
}
