// The main window, driven in-process: drops, jobs, the settings dialog and the About box.
#include "gui/TolvekDlg.h"

#include "gui/JobMessages.h"
#include "gui/StatusTexts.h"
#include "settings/EnvData.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ModalScript.h"
#include "gui/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The main window, recording the job notices it receives.
class RecordingTolvekDlg : public CTolvekDlg {
public:
    explicit RecordingTolvekDlg(CEnvData& env) : CTolvekDlg(env) { m_pfnOpenLog = OpenRecorder::Record; }

    Lines m_statuses;  // "first|second" for each WM_ANALYZE_STATUS
    int m_ends = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ANALYZE_STATUS) {
            m_statuses.push_back(std::string(reinterpret_cast<const char*>(wParam)) + "|" +
                                 reinterpret_cast<const char*>(lParam));
        } else if (message == WM_ANALYZE_END) {
            ++m_ends;
        }
        return CTolvekDlg::WindowProc(message, wParam, lParam);
    }
};

// The data of a drop of `paths`, as the shell hands it over (ANSI paths, double-NUL ended).
// The window that receives it releases it.
HDROP MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class TolvekDlgTest : public testing::Test {
protected:
    TolvekDlgTest()
    {
        m_env.m_nStrFlg = 0;
        m_env.m_strTgtFile = "|c|cpp|h|";
        m_env.m_strToken = "\"";
        AfxSetMainWnd(&m_dlg);
        WriteBytes(m_folder / "a.c", "char* s = \"x\";\n");
        WriteBytes(m_folder / "notes.txt", "\"y\"\n");
    }
    ~TolvekDlgTest() override
    {
        AfxSetMainWnd(nullptr);
    }

    HWND Main() const { return m_dlg.m_hWnd; }
    bool SettingEnabled() const
    {
        return IsWindowEnabled(GetDlgItem(Main(), IDC_SETTING)) != FALSE;
    }
    std::string Log() const { return ReadBytes(m_folder / "Tolvek.log"); }

    void Drop(const std::vector<std::string>& paths)
    {
        SendMessageA(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }
    void WaitForJobs(int count)
    {
        m_script.WaitUntil([this, count] { return m_dlg.m_ends >= count; }, "the job's end");
    }
    INT_PTR CloseAndRun()
    {
        m_script.Then([this] { PostClick(Main(), IDOK); });
        return m_script.Run(m_dlg);
    }

    CEnvData m_env;
    CurrentFolderScope m_currentFolder;
    TempFolder m_folder;
    OpenRecorder m_opened;
    RecordingTolvekDlg m_dlg{m_env};
    ModalScript m_script;
};

const char kLogOfA[] = "a.c(1): \"x\"\r\n";

}  // namespace

TEST_F(TolvekDlgTest, EveryStatusTextFitsItsLine)
{
    // The longest texts the status lines show: the first line's, and what a failure shows in the
    // second.
    const std::vector<std::pair<std::string, std::string>> statuses = {
        {STATUS_ANALYZING, "main.cpp"},
        {STATUS_FINISHED, STATUS_NO_TARGETS},
        {STATUS_FINISHED, STATUS_LOG_FAILED},
        {STATUS_FINISHED, "99999 件のファイルを読めません"},
        {STATUS_ERROR, STATUS_DROP_ONE},
    };
    std::vector<std::string> cut;
    m_script.Then([&] {
        for (const auto& status : statuses) {
            SendStatus(Main(), status.first.c_str(), status.second.c_str());
            for (const std::string& control : ControlsWhoseTextIsCut(Main())) {
                cut.push_back(control);
            }
        }
    });
    CloseAndRun();
    for (const std::string& control : cut) {
        ADD_FAILURE() << "cut: " << control;
    }
}

TEST_F(TolvekDlgTest, OpensAtTenTenWithItsIconsAndTheAboutEntryLast)
{
    RECT rect = {};
    Lines menu;
    HICON big = nullptr;
    HICON small = nullptr;
    HICON dragIcon = nullptr;
    m_script.Then([&] {
        GetWindowRect(Main(), &rect);
        HMENU system = GetSystemMenu(Main(), FALSE);
        int count = GetMenuItemCount(system);
        ASSERT_GE(count, 2);
        EXPECT_TRUE(GetMenuState(system, static_cast<UINT>(count - 2), MF_BYPOSITION) &
                    MF_SEPARATOR);
        EXPECT_EQ(GetMenuItemID(system, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
        char text[64] = {};
        GetMenuStringA(system, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
        menu.push_back(text);
        big = reinterpret_cast<HICON>(SendMessageA(Main(), WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageA(Main(), WM_GETICON, ICON_SMALL, 0));
        dragIcon = reinterpret_cast<HICON>(SendMessageA(Main(), WM_QUERYDRAGICON, 0, 0));
    });
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 10);
    EXPECT_EQ(menu, (Lines{"ﾊﾞｰｼﾞｮﾝ情報(&A)..."}));
    ASSERT_NE(m_dlg.m_hIcon, nullptr);
    EXPECT_EQ(big, m_dlg.m_hIcon);
    EXPECT_EQ(small, m_dlg.m_hIcon);
    EXPECT_EQ(dragIcon, m_dlg.m_hIcon);
}

TEST_F(TolvekDlgTest, AboutEntryOpensTheAboutBoxOverTheDisabledMainWindow)
{
    HWND about = nullptr;
    std::string caption;
    bool mainEnabledMeanwhile = true;
    m_script.Then([&] { PostMessageA(Main(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    m_script.Then([&] {
        about = FindOwnedDialog(Main());
        ASSERT_NE(about, nullptr);
        caption = GetWindowTextOf(about).GetString();
        mainEnabledMeanwhile = IsWindowEnabled(Main()) != FALSE;
        PostClick(about, IDOK);
    });
    bool mainEnabledAfter = false;
    m_script.Then([&] {
        mainEnabledAfter = IsWindowEnabled(Main()) != FALSE;
        EXPECT_FALSE(IsWindow(about));
    });
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_EQ(caption, "Tolvekのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_TRUE(mainEnabledAfter);
}

TEST_F(TolvekDlgTest, OtherSystemCommandsBehaveAsUsual)
{
    m_script.Then([&] { PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(m_script.Run(m_dlg), IDCANCEL);
}

TEST_F(TolvekDlgTest, EnterClosesTheMainWindow)
{
    m_script.Then([&] { PostKey(GetFocus(), VK_RETURN); });
    EXPECT_EQ(m_script.Run(m_dlg), IDOK);
}

TEST_F(TolvekDlgTest, DropOfOneFolderRunsAJobWithSettingsDisabledMeanwhile)
{
    bool enabledWhileRunning = true;
    m_script.Then([&] {
        // The worker waits in its first notice until this step returns.
        Drop({m_folder.Path()});
        enabledWhileRunning = SettingEnabled();
    });
    WaitForJobs(1);
    std::string first;
    std::string second;
    bool enabledAfter = false;
    m_script.Then([&] {
        first = ItemText(Main(), IDC_STATUS_MSG);
        second = ItemText(Main(), IDC_STATUS_FILE);
        enabledAfter = SettingEnabled();
    });
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_FALSE(enabledWhileRunning);
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析中...|a.c", "解析終了 !!|"}));
    EXPECT_EQ(first, "解析終了 !!");
    EXPECT_EQ(second, "");
    EXPECT_EQ(Log(), kLogOfA);
    EXPECT_EQ(m_opened.Opened(), (Lines{m_folder / "Tolvek.log"}));
}

TEST_F(TolvekDlgTest, DropOfATreeWithSubfoldersOnGivesOneLogWithRelativeNames)
{
    m_env.m_bSubFolder = true;
    m_env.m_nStrFlg = 2;
    MakeFolder(m_folder / "net");
    // あ in Shift_JIS, and in UTF-8 with the byte order mark; a log of the subfolder's own.
    WriteBytes(m_folder / "net\\sjis.c", "s = \"\x82\xA0\"; t = \"ascii\";\r\n");
    WriteBytes(m_folder / "net\\utf8.cpp", "\xEF\xBB\xBFs = \"\xE3\x81\x82\"; t = \"ascii\";\n");
    WriteBytes(m_folder / "net\\Tolvek.log", "");
    m_script.Then([&] { Drop({m_folder.Path()}); });
    WaitForJobs(1);
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析中...|a.c", "解析中...|net\\sjis.c",
                                       "解析中...|net\\utf8.cpp", "解析終了 !!|"}));
    EXPECT_EQ(Log(), "net\\sjis.c(1): \"\x82\xA0\"\r\nnet\\utf8.cpp(1): \"\x82\xA0\"\r\n");
    EXPECT_EQ(ReadBytes(m_folder / "net\\Tolvek.log"), "");
    EXPECT_EQ(m_opened.Opened(), (Lines{m_folder / "Tolvek.log"}));
}

TEST_F(TolvekDlgTest, DropWithTheCppSyntaxReportsLiteralsOnly)
{
    m_env.m_nSyntax = 1;
    // 表 ends in 0x5C: the comment does not run on; the header name and the comment are no
    // literals.
    WriteBytes(m_folder / "a.c", "#include \"a.h\"\r\n// \x95\x5C\r\nchar* s = \"x\"; /* \"y\" */\r\n");
    m_script.Then([&] { Drop({m_folder.Path()}); });
    WaitForJobs(1);
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_EQ(Log(), "a.c(3): \"x\"\r\n");
}

TEST_F(TolvekDlgTest, DropOfOtherThanOneItemShowsTheErrorAndStartsNothing)
{
    const std::string error = "エラー !!|フォルダを（１つだけ）ドラックして下さい";
    std::string first;
    std::string second;
    m_script.Then([&] {
        Drop({m_folder.Path(), m_folder / "a.c"});
        first = ItemText(Main(), IDC_STATUS_MSG);
        second = ItemText(Main(), IDC_STATUS_FILE);
        Drop({m_folder / "a.c", m_folder / "notes.txt", m_folder.Path()});
    });
    // Time for a job, were one started, to report.
    m_script.Then([] { Sleep(200); });
    bool enabledAfter = false;
    m_script.Then([&] { enabledAfter = SettingEnabled(); });
    CloseAndRun();
    EXPECT_EQ(m_dlg.m_statuses, (Lines{error, error}));
    EXPECT_EQ(first, "エラー !!");
    EXPECT_EQ(second, "フォルダを（１つだけ）ドラックして下さい");
    EXPECT_EQ(m_dlg.m_ends, 0);
    EXPECT_TRUE(enabledAfter);
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(TolvekDlgTest, SecondDropWhileAJobRunsStartsASecondJob)
{
    TempFolder other;
    WriteBytes(other / "b.h", "\"z\"\n");
    m_script.Then([&] {
        Drop({m_folder.Path()});
        Drop({other.Path()});
    });
    WaitForJobs(2);
    bool enabledAfter = false;
    m_script.Then([&] { enabledAfter = SettingEnabled(); });
    CloseAndRun();
    EXPECT_EQ(m_dlg.m_statuses.size(), 4u);
    EXPECT_EQ(Log(), kLogOfA);
    EXPECT_EQ(ReadBytes(other / "Tolvek.log"), "b.h(1): \"z\"\r\n");
    EXPECT_TRUE(enabledAfter);
}

TEST_F(TolvekDlgTest, SettingsButtonOpensTheSettingsOverTheDisabledMainWindow)
{
    HWND settings = nullptr;
    std::string caption;
    bool mainEnabledMeanwhile = true;
    m_script.Then([&] { PostClick(Main(), IDC_SETTING); });
    m_script.Then([&] {
        settings = FindOwnedDialog(Main());
        ASSERT_NE(settings, nullptr);
        caption = GetWindowTextOf(settings).GetString();
        mainEnabledMeanwhile = IsWindowEnabled(Main()) != FALSE;
        SendDlgItemMessageA(settings, IDC_STR_COND, CB_SETCURSEL, 2, 0);
        PostClick(settings, IDOK);
    });
    bool mainEnabledAfter = false;
    m_script.Then([&] { mainEnabledAfter = IsWindowEnabled(Main()) != FALSE; });
    EXPECT_EQ(CloseAndRun(), IDOK);
    EXPECT_EQ(caption, "環境設定");
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_TRUE(mainEnabledAfter);
    EXPECT_EQ(m_env.m_nStrFlg, 2);
}

TEST_F(TolvekDlgTest, CommandLineJobEndsTheWindowByItself)
{
    m_dlg.m_strCmdLine = m_folder.Path().c_str();
    // No step closes the window: the job's end does.
    EXPECT_EQ(m_script.Run(m_dlg), -1);
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析中...|a.c", "解析終了 !!|"}));
    EXPECT_EQ(Log(), kLogOfA);
}

TEST_F(TolvekDlgTest, CommandLineWithAQuotedPathAndABlankNamesNothingAndQuits)
{
    m_dlg.m_strCmdLine = ("\"" + m_folder.Path() + "\" ").c_str();
    EXPECT_EQ(m_script.Run(m_dlg), -1);
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析終了 !!|"}));
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}

TEST_F(TolvekDlgTest, JobEndInCommandLineModeClosesAnOpenSettingsDialogWithoutStoring)
{
    m_script.Then([&] { PostClick(Main(), IDC_SETTING); });
    m_script.Then([&] {
        HWND settings = FindOwnedDialog(Main());
        ASSERT_NE(settings, nullptr);
        SendDlgItemMessageA(settings, IDC_STR_COND, CB_SETCURSEL, 2, 0);
        // As if the command-line job ended now, with the settings dialog open.
        m_dlg.m_strCmdLine = m_folder.Path().c_str();
        m_dlg.StartAnalyze(m_folder.Path().c_str());
    });
    // No step closes either dialog.
    EXPECT_EQ(m_script.Run(m_dlg), -1);
    EXPECT_EQ(m_dlg.m_ends, 1);
    EXPECT_EQ(m_env.m_nStrFlg, 0);
}

TEST_F(TolvekDlgTest, JobEndInCommandLineModeClosesAnOpenAboutBox)
{
    m_script.Then([&] { PostMessageA(Main(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    m_script.Then([&] {
        ASSERT_NE(FindOwnedDialog(Main()), nullptr);
        m_dlg.m_strCmdLine = m_folder.Path().c_str();
        m_dlg.StartAnalyze(m_folder.Path().c_str());
    });
    EXPECT_EQ(m_script.Run(m_dlg), -1);
    EXPECT_EQ(m_dlg.m_ends, 1);
}

TEST_F(TolvekDlgTest, OverlongPathIsRefusedAndItsJobEndsAtOnce)
{
    // Names the folder, but only as a whole: its first 259 bytes would name it too.
    std::string path = m_folder.Path();
    while (path.size() <= 300) {
        path += "\\.";
    }
    m_script.Then([&] { m_dlg.StartAnalyze(path.c_str()); });
    m_script.Then([&] { m_dlg.StartAnalyze(("\"" + path + "\"").c_str()); });
    WaitForJobs(2);
    bool enabledAfter = false;
    m_script.Then([&] { enabledAfter = SettingEnabled(); });
    CloseAndRun();
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析終了 !!|", "解析終了 !!|"}));
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
    EXPECT_TRUE(enabledAfter);
}

TEST_F(TolvekDlgTest, DroppedOverlongPathIsRefusedWhole)
{
    std::string path = m_folder.Path();
    while (path.size() <= 300) {
        path += "\\.";
    }
    m_script.Then([&] { Drop({path}); });
    WaitForJobs(1);
    CloseAndRun();
    EXPECT_EQ(m_dlg.m_statuses, (Lines{"解析終了 !!|"}));
    EXPECT_FALSE(FileExists(m_folder / "Tolvek.log"));
}
