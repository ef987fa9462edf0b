#include "platform/Path.h"

#include <windows.h>

#include <cstring>
#include <vector>

bool MakeAbsolutePath(const char* path, CString& absolute)
{
    DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (needed == 0) {
        return false;
    }
    std::vector<char> buffer(needed + 1, '\0');
    DWORD length = GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) {
        return false;
    }
    absolute = buffer.data();
    return true;
}

bool SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

bool IsSamePath(const char* first, const char* second)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, first, -1, second, -1) == CSTR_EQUAL;
}

bool IsPathTooLong(const char* path) { return std::strlen(path) > static_cast<size_t>(kMaxPathBytes); }
