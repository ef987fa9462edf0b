#pragma once

// The application framework's essentials: one global application object, reached from any
// thread through AfxGetApp(), and its start hook.
//
// The start-up code (WinMain on Windows, main on Linux) fills in the name and the command line,
// calls InitInstance and, as it returns false, ends the process with ExitInstance's code.
class CWinApp {
public:
    // `appName` null: the executable's file name without its extension.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance();
    virtual int ExitInstance();

    // The help command; nothing to show.
    void OnHelp() {}

    const char* m_pszAppName = nullptr;  // set by the start-up code when null
    const char* m_lpCmdLine = "";        // the text after the executable's name (Windows)
    int m_argc = 0;                      // the arguments (Linux)
    char** m_argv = nullptr;
    int m_nExitCode = 0;                 // what ExitInstance returns

private:
    friend int AfxRunApp(const char* appName, const char* cmdLine, int argc, char** argv);
    const char* m_pszGivenAppName;
};

CWinApp* AfxGetApp();

// Runs the application: names it, hands it the command line, calls InitInstance, and returns
// the process's exit code. Used by the start-up code of each system.
int AfxRunApp(const char* appName, const char* cmdLine, int argc, char** argv);
