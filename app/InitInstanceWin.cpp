// The whole life of the Windows program: one instance, settings loaded, the main window run
// modally, settings saved.
#include "app/TolvekApp.h"

#include "gui/TolvekDlg.h"
#include "winui/Dialog.h"

bool CTolvekApp::InitInstance()
{
    // Named after the application, so a copy under another name runs beside this one.
    m_hMutex = CreateMutexA(nullptr, FALSE, m_pszAppName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // A second instance ends without a word; the end of the process releases the handle.
        return false;
    }
    Enable3dControls();

    CTolvekDlg dlg(m_env);
    AfxSetMainWnd(&dlg);
    m_env.Load();
    dlg.m_strCmdLine = m_lpCmdLine;
    dlg.DoModal();
    AfxSetMainWnd(nullptr);
    // A command-line job that could not do all it was asked tells its caller so.
    if (!dlg.m_strCmdLine.IsEmpty() && dlg.m_bJobFailed) {
        m_nExitCode = 1;
    }
    m_env.Save();

    if (m_hMutex != nullptr) {
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    return false;
}
