#include "engine/TargetList.h"

#include "platform/Path.h"

#include <string>

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

// The text with ASCII capitals made small; the bytes of double-byte characters stay as they are.
// A file's walk asks this of every name: one allocation each.
std::string FoldAsciiCase(const char* text)
{
    std::string folded(text);
    for (size_t at = 0; at < folded.size(); ++at) {
        char byte = folded[at];
        if (IsPathLeadByte(byte) && at + 1 < folded.size()) {
            ++at;
        } else if (byte >= 'A' && byte <= 'Z') {
            folded[at] = static_cast<char>(byte - 'A' + 'a');
        }
    }
    return folded;
}

}  // namespace

bool IsTarget(const CString& targetList, const char* path)
{
    return !targetList.IsEmpty() &&
           FindInPathText(FoldAsciiCase(targetList).c_str(), FoldAsciiCase(ExtensionKey(path)).c_str()) >= 0;
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
