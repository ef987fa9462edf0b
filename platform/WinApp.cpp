#include "platform/WinApp.h"

#include "platform/CodePage.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszGivenAppName(appName)
{
    // The code page is chosen before the derived object builds its members.
    GetCodePage();
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this) {
        g_app = nullptr;
    }
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance() { return m_nExitCode; }

CWinApp* AfxGetApp() { return g_app; }

int AfxRunApp(const char* appName, const char* cmdLine, int argc, char** argv)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    app->m_pszAppName = app->m_pszGivenAppName != nullptr ? app->m_pszGivenAppName : appName;
    app->m_lpCmdLine = cmdLine;
    app->m_argc = argc;
    app->m_argv = argv;
    app->InitInstance();
    return app->ExitInstance();
}
