#include "platform/Path.h"

#include "platform/PathSystem.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

int DriveLength(const char*) { return 0; }

const LeadByteTable& PathLeadBytes()
{
    static const LeadByteTable kNone = {};
    return kNone;
}

const char kPathSeparator = '/';
bool IsPathSeparator(char byte) { return byte == '/'; }

bool EndsWithSeparator(const char* path)
{
    size_t length = std::strlen(path);
    return length >= 1 && path[length - 1] == '/';
}

bool MakeAbsolutePath(const char* path, CString& absolute)
{
    if (path[0] == '/') {
        absolute = path;
        return true;
    }
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    absolute = buffer.data();
    if (!EndsWithSeparator(absolute)) {
        absolute += '/';
    }
    // "." names the current directory itself.
    if (!(path[0] == '.' && path[1] == '\0')) {
        absolute += path;
    }
    return true;
}

bool SetCurrentDir(const char* path) { return chdir(path) == 0; }

bool IsPathTooLong(const char* path) { return std::strlen(path) >= PATH_MAX; }

bool IsSamePath(const char* first, const char* second) { return std::strcmp(first, second) == 0; }
