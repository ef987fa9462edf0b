#include "platform/Path.h"

#include "platform/PathSystem.h"

#include <windows.h>

#include <cstring>
#include <vector>

int DriveLength(const char* path) { return (path[0] != '\0' && path[1] == ':') ? 2 : 0; }

const LeadByteTable& PathLeadBytes() { return GetLeadByteTable(); }

const char kPathSeparator = '\\';
bool IsPathSeparator(char byte) { return byte == '\\' || byte == '/'; }

bool EndsWithSeparator(const char* path)
{
    size_t length = std::strlen(path);
    return length >= 2 && path[length - 1] == '\\' && !IsPathLeadByte(path[length - 2]);
}

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
