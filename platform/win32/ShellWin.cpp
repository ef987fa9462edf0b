#include "platform/ShellDefault.h"

#include <windows.h>

#include <shellapi.h>

void DefaultOpenFileAction(const char* path)
{
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}
