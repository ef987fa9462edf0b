// The start-up of the Windows program: runs the one application object.
#include "platform/CommandLine.h"
#include "platform/Module.h"
#include "platform/Path.h"
#include "platform/Thread.h"
#include "platform/WinApp.h"

#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The application name is the executable's file name without its extension.
    static CString appName;
    CString executable;
    if (GetExecutablePath(executable)) {
        PathParts parts;
        SplitPath(executable, parts);
        appName = parts.name;
    }
    const int exitCode = AfxRunApp(appName, SkipProgramName(GetCommandLineA()), __argc, __argv);
    // The worker of a job that has just ended is let end first, so that the process ends with
    // its own exit code. A job still running is not waited for beyond a moment.
    WaitForWorkerThreads(500);
    return exitCode;
}
