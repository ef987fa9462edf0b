#include "engine/FolderWalk.h"

#include "engine/TargetList.h"
#include "platform/Path.h"

namespace {

// Files that are not read: hidden and system ones, folders, devices, and links unless they are
// followed.
bool IsSkippedFile(uint32_t attributes, bool followLinks)
{
    const uint32_t kSkipped = kAttrHidden | kAttrSystem | kAttrDirectory | kAttrDevice;
    return (attributes & kSkipped) != 0 || ((attributes & kAttrLink) != 0 && !followLinks);
}

// Folders that are entered: the visible ones, not through a link unless links are followed.
bool IsEnteredFolder(const DirEntry& entry, bool followLinks)
{
    if ((entry.attributes & kAttrDirectory) == 0 ||
        (entry.attributes & (kAttrHidden | kAttrSystem | kAttrDevice)) != 0) {
        return false;
    }
    if ((entry.attributes & kAttrLink) != 0 && !followLinks) {
        return false;
    }
    return entry.name != "." && entry.name != "..";
}

// The name of an entry from the analysed folder, as records and notices give it.
CString RelativeName(const CString& folderRelative, const char* name)
{
    return folderRelative.IsEmpty() ? CString(name) : JoinPath(folderRelative, name);
}

void Failed(WalkItem& item, const CString& path, const Failure& failure)
{
    item.failed = true;
    item.path = path;
    item.displayName = CString();
    item.failure = failure;
}

}  // namespace

CString JoinPath(const CString& folder, const char* name)
{
    CString joined = folder;
    if (!EndsWithSeparator(folder)) {
        joined += kPathSeparator;
    }
    joined += name;
    return joined;
}

struct FolderWalk::Level {
    DirectoryList entries;
    CString path;
    CString relative;  // from the analysed folder; empty for the folder itself
};

FolderWalk::FolderWalk(const CString& root, const AnalysisOptions& options)
    : m_options(options), m_root(root)
{
}

FolderWalk::~FolderWalk() = default;

bool FolderWalk::Next(WalkItem& item)
{
    if (!m_started) {
        m_started = true;
        if (!Enter(m_root, CString(), item)) {
            return true;
        }
    }
    while (!m_levels.empty()) {
        Level& level = *m_levels.back();
        DirEntry entry;
        if (!level.entries.Next(entry)) {
            m_levels.pop_back();
            continue;
        }
        CString path = JoinPath(level.path, entry.name);
        if (IsEnteredFolder(entry, m_options.followLinks)) {
            if (m_options.subFolders &&
                !Enter(path, RelativeName(level.relative, entry.name), item)) {
                return true;
            }
        } else if (!IsSkippedFile(entry.attributes, m_options.followLinks) &&
                   IsTarget(m_options.targetList, path)) {
            if (IsPathTooLong(path)) {
                Failed(item, path, MakeFailure(FailureKind::NameTooLong));
                return true;
            }
            item.failed = false;
            item.path = path;
            item.displayName = RelativeName(level.relative, entry.name);
            return true;
        }
    }
    return false;
}

bool FolderWalk::Enter(const CString& path, const CString& relative, WalkItem& item)
{
    if (IsPathTooLong(path)) {
        Failed(item, path, MakeFailure(FailureKind::NameTooLong));
        return false;
    }
    if (m_options.followLinks && !FirstVisit(path)) {
        return true;
    }
    std::unique_ptr<Level> level(new Level);
    if (!level->entries.Open(path)) {
        Failed(item, path, level->entries.GetFailure());
        return false;
    }
    level->path = path;
    level->relative = relative;
    m_levels.push_back(std::move(level));
    return true;
}

// With links followed, a folder may be reached again (a link to a folder above it): it is
// entered once.
bool FolderWalk::FirstVisit(const char* path)
{
    FolderIdentity identity;
    return !GetFolderIdentity(path, identity) || m_visited.insert(identity).second;
}
