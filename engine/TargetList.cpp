#include "engine/TargetList.h"

#include "platform/Path.h"

CString ExtensionKey(const char* path)
{
    PathParts parts;
    SplitPath(path, parts);
    CString key = "|";
    if (!parts.ext.IsEmpty()) {
        key += parts.ext.GetString() + 1;
    }
    key += "|";
    return key;
}

bool IsTarget(const CString& targetList, const char* path)
{
    return !targetList.IsEmpty() && targetList.Find(ExtensionKey(path)) >= 0;
}
