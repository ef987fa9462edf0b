#include "platform/Path.h"

#include "platform/CodePage.h"
#include "platform/PathSystem.h"
#include "platform/Directory.h"

#include <cstring>

bool IsPathLeadByte(char byte) { return PathLeadBytes().isLead[static_cast<unsigned char>(byte)]; }

int FindInPathText(const char* text, const char* sub)
{
    return FindCharAligned(text, sub, PathLeadBytes());
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

namespace {

// The last dot of the file name at the end of `path` (a dot of a folder's name does not count),
// or the path's end; `end` is set to the path's end. One walk, as the folder walk asks it of
// every name it lists.
const char* FindExtensionIn(const char* path, const char*& end)
{
    const LeadByteTable& table = PathLeadBytes();
    const char* dot = nullptr;
    for (end = path; *end != '\0'; ++end) {
        if (*end == '.') {
            dot = end;
        } else if (IsPathSeparator(*end)) {
            dot = nullptr;
        } else if (table.isLead[static_cast<unsigned char>(*end)] && end[1] != '\0') {
            ++end;
        }
    }
    return dot != nullptr ? dot : end;
}

}  // namespace

const char* FindExtension(const char* path)
{
    const char* end = nullptr;
    return FindExtensionIn(path + DriveLength(path), end);
}

void SplitPath(const char* path, PathParts& parts)
{
    int driveLength = DriveLength(path);
    const char* rest = path + driveLength;
    int dirLength = FindLastSeparator(rest) + 1;
    const char* file = rest + dirLength;
    const char* end = nullptr;
    const char* nameEnd = FindExtensionIn(file, end);

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
