// Jobs of the Windows program: the worker thread and its notices to a window.
#include "gui/AnalyzeThread.h"
#include "gui/WindowNotifier.h"

#include "platform/CodePage.h"
#include "settings/EnvData.h"
#include "platform/Path.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class AnalyzeThreadTest : public testing::Test {
protected:
    AnalyzeThreadTest()
    {
        m_settings.m_strTgtFile = "|c|cpp|h|";
        m_settings.m_strToken = "\"";
    }

    std::vector<std::string> RunJob(const std::string& path)
    {
        StartAnalyzeJob(m_recorder.Window(), path.c_str(), m_settings, OpenRecorder::Record);
        m_recorder.RunUntilEnd();
        return m_recorder.Notices();
    }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    CurrentFolderScope m_currentFolder;
    TempFolder m_folder;
    CEnvData m_settings;
    NoticeRecorder m_recorder;
    OpenRecorder m_opened;
};

}  // namespace

TEST_F(AnalyzeThreadTest, FolderJobReportsEachFileAndEnds)
{
    WriteBytes(m_folder / "a.c", "\"x\"\n");
    EXPECT_EQ(RunJob(m_folder.Path()),
              (std::vector<std::string>{"解析中...|a.c", "解析終了 !!|", "END"}));
    EXPECT_EQ(ReadBytes(m_folder / "Tolvek.log"), "a.c(1): \"x\"\r\n");
    EXPECT_EQ(m_opened.Opened().size(), 1u);
}

TEST_F(AnalyzeThreadTest, FileJobEnds)
{
    WriteBytes(m_folder / "b.h", "\"y\"\n");
    EXPECT_EQ(RunJob(m_folder / "b.h"),
              (std::vector<std::string>{"解析中...|b.h", "解析終了 !!|", "END"}));
}

TEST_F(AnalyzeThreadTest, JobsThatFindNothingStillSendBothEndNotices)
{
    const std::vector<std::string> endOnly = {"解析終了 !!|", "END"};
    EXPECT_EQ(RunJob(m_folder / "missing"), endOnly);

    NoticeRecorder second;
    WriteBytes(m_folder / "notes.txt", "\"z\"\n");
    StartAnalyzeJob(second.Window(), (m_folder / "notes.txt").c_str(), m_settings,
                    OpenRecorder::Record);
    second.RunUntilEnd();
    EXPECT_EQ(second.Notices(), endOnly);
    EXPECT_TRUE(m_opened.Opened().empty());
}

TEST_F(AnalyzeThreadTest, WhatFailedIsTheClosingStatusSecondLine)
{
    WriteBytes(m_folder / "a.c", "\"x\"\n");
    MakeFolder(m_folder / "Tolvek.log");
    EXPECT_EQ(RunJob(m_folder.Path()), (std::vector<std::string>{
                                           "解析中...|a.c", "解析終了 !!|ログを書き込めません",
                                           "END failed"}));
    EXPECT_TRUE(m_opened.Opened().empty());
}

TEST_F(AnalyzeThreadTest, FewerThreadsAreToldAtTheEndUnlessSomethingFailed)
{
    WindowNotifier notifier(m_recorder.Window(), OpenRecorder::Record);
    notifier.OnFewerThreads(1, 4);
    notifier.OnEnd(AnalysisSummary());
    AnalysisSummary failed;
    failed.logFailed = true;
    notifier.OnEnd(failed);
    EXPECT_EQ(m_recorder.Notices(),
              (std::vector<std::string>{"解析終了 !!|4 個中 1 個のスレッドで解析しました", "END",
                                        "解析終了 !!|ログを書き込めません", "END failed"}));
}

TEST_F(AnalyzeThreadTest, FilesThatCannotBeReadAreCounted)
{
    WriteBytes(m_folder / "a.c", "\"x\"\n");
    WriteBytes(m_folder / "b.c", "\"y\"\n");
    // Held open by another writer that shares nothing: the job cannot read it.
    HANDLE held = CreateFileA((m_folder / "b.c").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<std::string> notices = RunJob(m_folder.Path());
    CloseHandle(held);
    ASSERT_EQ(notices.size(), 4u);
    EXPECT_EQ(notices[2], "解析終了 !!|1 件のファイルを読めません");
    EXPECT_EQ(notices[3], "END failed");
    EXPECT_EQ(ReadBytes(m_folder / "Tolvek.log"), "a.c(1): \"x\"\r\n");
}

TEST_F(AnalyzeThreadTest, ATargetListWithoutExtensionsIsTold)
{
    WriteBytes(m_folder / "a.c", "\"x\"\n");
    m_settings.m_strTgtFile = "|";
    EXPECT_EQ(RunJob(m_folder.Path()),
              (std::vector<std::string>{"解析終了 !!|解析対象の拡張子がありません", "END failed"}));
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(AnalyzeThreadTest, AJobWorksOnTheSettingsAsTheyWereWhenItStarted)
{
    WriteBytes(m_folder / "a.c", "'q' \"x\"\n");
    WriteBytes(m_folder / "b.c", "'q' \"x\"\n");
    // While the worker waits in its first notice, the settings change under it.
    m_recorder.m_onNotice = [this](const std::string&) {
        m_settings.m_strToken = "'";
        m_settings.m_strTgtFile = "|";
        m_settings.m_nStrFlg = 2;
    };
    std::vector<std::string> notices = RunJob(m_folder.Path());
    EXPECT_EQ(notices.size(), 4u);
    std::string log = ReadBytes(m_folder / "Tolvek.log");
    EXPECT_NE(log.find("a.c(1): \"x\"\r\n"), std::string::npos);
    EXPECT_NE(log.find("b.c(1): \"x\"\r\n"), std::string::npos);
    EXPECT_EQ(log.size(), 26u);
}

TEST_F(AnalyzeThreadTest, OverlappingJobsEachEnd)
{
    MakeFolder(m_folder / "one");
    MakeFolder(m_folder / "two");
    for (int index = 0; index < 50; ++index) {
        WriteBytes(m_folder / "one" + kPathSeparator + "f" + std::to_string(index) + ".c", "\"1\"\n");
        WriteBytes(m_folder / "two" + kPathSeparator + "f" + std::to_string(index) + ".c", "\"2\"\n");
    }
    StartAnalyzeJob(m_recorder.Window(), (m_folder / "one").c_str(), m_settings, OpenRecorder::Record);
    StartAnalyzeJob(m_recorder.Window(), (m_folder / "two").c_str(), m_settings, OpenRecorder::Record);
    m_recorder.RunUntilEnd(2);
    EXPECT_EQ(m_recorder.EndCount(), 2);
    EXPECT_EQ(m_recorder.Notices().size(), 2u * (50 + 2));
    // Each job enumerated its own folder, though they share one current directory.
    std::string one = ReadBytes(m_folder / "one" + kPathSeparator + "Tolvek.log");
    std::string two = ReadBytes(m_folder / "two" + kPathSeparator + "Tolvek.log");
    EXPECT_EQ(one.find("\"2\""), std::string::npos);
    EXPECT_EQ(two.find("\"1\""), std::string::npos);
    EXPECT_EQ(one.size(), two.size());
}
