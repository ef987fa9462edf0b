#include "platform/Path.h"

#include "platform/CodePage.h"
#include "platform/Directory.h"

#include <cstring>

namespace {

// Length of a drive prefix ("C:") on systems that have drives.
int DriveLength(const char* path)
{
#ifdef _WIN32
    return (path[0] != '\0' && path[1] == ':') ? 2 : 0;
#else
    (void)path;
    return 0;
#endif
}

// The lead bytes of path text.
const LeadByteTable& PathLeadBytes()
{
#ifdef _WIN32
    return GetLeadByteTable();
#else
    static const LeadByteTable kNone = {};
    return kNone;
#endif
}

}  // namespace

bool IsPathLeadByte(char byte) { return PathLeadBytes().isLead[static_cast<unsigned char>(byte)]; }

int FindInPathText(const char* text, const char* sub)
{
    return FindCharAligned(text, sub, PathLeadBytes());
}

#ifdef _WIN32
const char kPathSeparator = '\\';
bool IsPathSeparator(char byte) { return byte == '\\' || byte == '/'; }
#else
const char kPathSeparator = '/';
bool IsPathSeparator(char byte) { return byte == '/'; }
#endif

bool EndsWithSeparator(const char* path)
{
    size_t length = std::strlen(path);
#ifdef _WIN32
    return length >= 2 && path[length - 1] == '\\' && !IsPathLeadByte(path[length - 2]);
#else
    return length >= 1 && path[length - 1] == '/';
#endif
}

int FindLastSeparator(const char* path)
{
    const LeadByteTable& table = PathLeadBytes();
    int last = -1;
    for (const char* at = path; *at != '\0'; ++at) {
        if (IsPathSeparator(*at)) {
            last = static_cast<int>(at - path);
        } else if (table.isLead[static_cast<unsigned char>(*at)] && at[1] != '\0') {
            ++at;
        }
    }
    return last;
}

void SplitPath(const char* path, PathParts& parts)
{
    int driveLength = DriveLength(path);
    const char* rest = path + driveLength;
    int dirLength = FindLastSeparator(rest) + 1;
    const char* file = rest + dirLength;

    const LeadByteTable& table = PathLeadBytes();
    const char* dot = nullptr;
    const char* end = file;
    for (; *end != '\0'; ++end) {
        if (*end == '.') {
            dot = end;
        } else if (table.isLead[static_cast<unsigned char>(*end)] && end[1] != '\0') {
            ++end;
        }
    }
    const char* nameEnd = dot != nullptr ? dot : end;

    parts.drive = CString(path, driveLength);
    parts.dir = CString(rest, dirLength);
    parts.name = CString(file, static_cast<int>(nameEnd - file));
    parts.ext = CString(nameEnd, static_cast<int>(end - nameEnd));
}

bool IsSameFile(const char* first, const char* second)
{
    FolderIdentity one;
    FolderIdentity other;
    if (!GetFolderIdentity(first, one) || !GetFolderIdentity(second, other)) {
        return IsSamePath(first, second);
    }
    return one.device == other.device && one.number == other.number;
}
