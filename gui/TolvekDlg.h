#pragma once

#include "platform/CString.h"
#include "platform/Shell.h"
#include "winui/Dialog.h"

#include <shellapi.h>

class CEnvData;

// The main window: takes a dropped file or folder (or the command-line path) and analyses it on
// a worker thread, shows the job's two status lines, and opens the settings dialog and, from
// the system menu, the About box. Started with a path, it closes by itself when a job ends.
class CTolvekDlg : public CDialog {
public:
    // `env`: the application's settings, which jobs start from and the settings dialog edits.
    explicit CTolvekDlg(CEnvData& env, CWnd* parent = nullptr);

    // Starts one job for `path` (enclosing quotes removed) with options from the settings.
    // Always returns 1: a path that names nothing, or that is too long, gives a job that ends
    // at once.
    int StartAnalyze(const char* path);

    BOOL OnInitDialog() override;

    CString m_strCmdLine;  // the command-line text; empty when there was none
    HICON m_hIcon;
    OpenFileAction m_pfnOpenLog = OpenFileInShell;  // how a job opens its log (tests replace it)
    bool m_bJobFailed = false;  // a job ended with something not analysed or not written

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    const MessageMap* GetMessageMap() const override;

private:
    void OnSysCommand(UINT command, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnDropFiles(HDROP drop);
    void OnSetting();

    void AddAboutToSystemMenu();
    void ShowStatus(const char* first, const char* second);
    void OnAnalyzeEnd(bool failed);

    CEnvData& m_env;
};
