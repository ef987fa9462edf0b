#include "platform/Shell.h"

#include <windows.h>

#include <shellapi.h>

bool OpenFileInShell(const char* path)
{
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}
