#include "platform/Module.h"

#include "platform/Path.h"

#include <windows.h>

bool GetExecutablePath(CString& path)
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    path = buffer;
    return true;
}

bool GetSettingsFolder(CString& folder)
{
    CString executable;
    if (!GetExecutablePath(executable)) {
        return false;
    }
    int separator = FindLastSeparator(executable);
    if (separator < 0) {
        return false;
    }
    folder = executable.Left(separator);
    return true;
}

void PrepareSettingsFolder(const char*) {}
