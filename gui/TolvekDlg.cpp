#include "gui/TolvekDlg.h"

#include "gui/AnalyzeThread.h"
#include "gui/JobMessages.h"
#include "gui/StatusTexts.h"
#include "settings/EnvData.h"
#include "winui/PaintDC.h"
#include "winui/Resources.h"
#include "gui/AboutDlg.h"
#include "gui/EnvSetDlg.h"
#include "gui/JobPath.h"
#include "gui/resource.h"

#include <iterator>
#include <string>

CTolvekDlg::CTolvekDlg(CEnvData& env, CWnd* parent)
    : CDialog(IDD_TOLVEK_DIALOG, parent), m_hIcon(LoadResourceIcon(IDR_MAINFRAME)), m_env(env)
{
}

const MessageMap* CTolvekDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        MapSysCommand<&CTolvekDlg::OnSysCommand>(),
        MapPaint<&CTolvekDlg::OnPaint>(),
        MapQueryDragIcon<&CTolvekDlg::OnQueryDragIcon>(),
        MapDropFiles<&CTolvekDlg::OnDropFiles>(),
        MapClicked<&CTolvekDlg::OnSetting>(IDC_SETTING),
    };
    static const MessageMap map = {GetThisMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CTolvekDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddAboutToSystemMenu();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    SetWindowPos(HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    if (!m_strCmdLine.IsEmpty()) {
        StartAnalyze(m_strCmdLine);
    }
    return TRUE;
}

void CTolvekDlg::AddAboutToSystemMenu()
{
    HMENU systemMenu = GetSystemMenu(false);
    if (systemMenu == nullptr) {
        return;
    }
    CString about = LoadResourceString(IDS_ABOUTBOX);
    if (!about.IsEmpty()) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
}

int CTolvekDlg::StartAnalyze(const char* path)
{
    char jobPath[kMaxPathBytes + 1];
    CopyJobPath(path, jobPath);
    // Disabled before the job exists: a job that cannot start sends its end at once, and that
    // end must find the button disabled to enable it again.
    EnableDlgItem(IDC_SETTING, false);
    StartAnalyzeJob(m_hWnd, jobPath, m_env, m_pfnOpenLog);
    return 1;
}

void CTolvekDlg::OnSysCommand(UINT command, LPARAM)
{
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        Default();
    }
}

void CTolvekDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    RECT client = GetClientRect();
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.m_hDC, x, y, m_hIcon);
}

HICON CTolvekDlg::OnQueryDragIcon() { return m_hIcon; }

void CTolvekDlg::OnDropFiles(HDROP drop)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 1) {
        // Read whole, whatever its length: a path cut to the buffer could name another file.
        UINT length = DragQueryFileA(drop, 0, nullptr, 0);
        std::string path(length + 1, '\0');
        DragQueryFileA(drop, 0, &path[0], length + 1);
        StartAnalyze(path.c_str());
    } else {
        SendStatus(m_hWnd, STATUS_ERROR, STATUS_DROP_ONE);
    }
    DragFinish(drop);
    Default();
}

void CTolvekDlg::OnSetting()
{
    CEnvSetDlg settings(m_env);
    settings.DoModal();
}

LRESULT CTolvekDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ANALYZE_STATUS) {
        ShowStatus(reinterpret_cast<const char*>(wParam), reinterpret_cast<const char*>(lParam));
    } else if (message == WM_ANALYZE_END) {
        OnAnalyzeEnd(wParam != 0);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CTolvekDlg::ShowStatus(const char* first, const char* second)
{
    SetDlgItemText(IDC_STATUS_MSG, first);
    SetDlgItemText(IDC_STATUS_FILE, second);
}

void CTolvekDlg::OnAnalyzeEnd(bool failed)
{
    m_bJobFailed = m_bJobFailed || failed;
    EnableDlgItem(IDC_SETTING, true);
    if (!m_strCmdLine.IsEmpty()) {
        PostQuitMessage(0);
    }
}
