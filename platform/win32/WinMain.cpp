// The start-up of the Windows program: runs the one application object.
#include "platform/CommandLine.h"
#include "platform/Module.h"
#include "platform/Path.h"
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
    return AfxRunApp(appName, SkipProgramName(GetCommandLineA()), __argc, __argv);
}
