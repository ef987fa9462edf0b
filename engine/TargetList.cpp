#include "engine/TargetList.h"

#include "engine/AsciiCase.h"
#include "platform/Path.h"

CString ExtensionKey(const char* path)
{
    const char* dot = FindExtension(path);
    CString key = "|";
    if (*dot != '\0') {
        key += dot + 1;
    }
    key += "|";
    return key;
}

namespace {

// Whether the list's entry that begins at `entry` (after a bar) is `extension`: ASCII in either
// case, the bytes of a double-byte character as they are. A file's walk asks this of every name,
// so nothing is copied.
bool EntryIs(const char* entry, const char* extension)
{
    while (*extension != '\0') {
        if (IsPathLeadByte(*extension) && extension[1] != '\0') {
            if (entry[0] != extension[0] || entry[1] != extension[1]) {
                return false;
            }
            entry += 2;
            extension += 2;
        } else if (FoldAsciiCase(*entry++) != FoldAsciiCase(*extension++)) {
            return false;
        }
    }
    return *entry == '|';
}

}  // namespace

bool IsTarget(const CString& targetList, const char* path)
{
    const char* dot = FindExtension(path);
    const char* extension = *dot != '\0' ? dot + 1 : dot;
    // Entries begin after a bar that is a character of its own, never a trail byte.
    for (const char* at = targetList.GetString(); *at != '\0'; at += IsPathLeadByte(*at) && at[1] != '\0' ? 2 : 1) {
        if (*at == '|' && EntryIs(at + 1, extension)) {
            return true;
        }
    }
    return false;
}

CString NormalizeExtension(const char* extension)
{
    return CString(extension[0] == '.' ? extension + 1 : extension);
}

CString NormalizeTargetList(const char* targetList)
{
    CString normalized;
    bool afterBar = true;
    for (const char* at = targetList; *at != '\0'; ++at) {
        if (*at == '.' && afterBar) {
            afterBar = false;
            continue;
        }
        afterBar = *at == '|';
        normalized += *at;
        if (IsPathLeadByte(*at) && at[1] != '\0') {
            normalized += *++at;
        }
    }
    return normalized;
}

bool TargetListHasExtension(const char* targetList)
{
    int firstBar = FindInPathText(targetList, "|");
    return firstBar >= 0 && FindInPathText(targetList + firstBar + 1, "|") >= 0;
}

namespace {

// The number of bytes of `text` to read: at most the limit, ending on a whole character.
size_t BoundedLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0') {
        size_t width = IsPathLeadByte(text[length]) && text[length + 1] != '\0' ? 2 : 1;
        if (length + width > static_cast<size_t>(kTargetListMaxBytes)) {
            break;
        }
        length += width;
    }
    return length;
}

}  // namespace

std::vector<CString> SplitTargetList(const char* targetList)
{
    std::vector<CString> extensions;
    if (targetList == nullptr) {
        return extensions;
    }
    size_t length = BoundedLength(targetList);
    size_t start = 0;
    size_t at = 0;
    while (at <= length) {
        if (at == length || targetList[at] == '|') {
            if (at > start) {
                extensions.emplace_back(targetList + start, static_cast<int>(at - start));
            }
            start = at + 1;
            ++at;
        } else {
            at += IsPathLeadByte(targetList[at]) && at + 1 < length ? 2 : 1;
        }
    }
    return extensions;
}

CString JoinTargetList(const std::vector<CString>& extensions)
{
    CString list = "|";
    for (const CString& extension : extensions) {
        list += extension;
        list += '|';
    }
    return list;
}
