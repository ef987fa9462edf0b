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
    item.folder.reset();
    item.name = CString();
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
    std::shared_ptr<FolderHandle> folder;   // null while closed
    std::unique_ptr<DirectoryList> entries;  // null once the rest of the listing is in `rest`
    std::vector<DirEntry> rest;
    size_t nextRest = 0;
    Failure restFailure;  // why the listing read into `rest` ended early, if it did
    CString path;
    CString relative;  // from the analysed folder; empty for the folder itself
    CString name;      // in the folder above
    FolderIdentity identity;  // taken when links are followed, or before the folder is closed
    bool identityTaken = false;
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
        if (!EnterRoot(item)) {
            return true;
        }
    }
    while (!m_levels.empty()) {
        Level& level = *m_levels.back();
        DirEntry entry;
        if (!NextEntry(level, entry)) {
            // A listing that fails part way is a folder that could not be read, not its end.
            Failure failure = level.entries != nullptr ? level.entries->GetFailure() : level.restFailure;
            CString path = level.path;
            m_levels.pop_back();
            if (failure.kind != FailureKind::None) {
                Failed(item, path, failure);
                return true;
            }
            continue;
        }
        // Most entries of a real tree are neither folders nor targets: the name alone tells
        // them, before any path is built.
        if (IsEnteredFolder(entry, m_options.followLinks)) {
            if (m_options.subFolders && !Enter(entry.name, JoinPath(level.path, entry.name),
                                               RelativeName(level.relative, entry.name), item)) {
                return true;
            }
        } else if (!IsSkippedFile(entry.attributes, m_options.followLinks) &&
                   IsTarget(m_options.targetList, entry.name)) {
            CString path = JoinPath(level.path, entry.name);
            if (IsPathTooLong(path)) {
                Failed(item, path, MakeFailure(FailureKind::NameTooLong));
                return true;
            }
            if (!Reopen(item)) {
                return true;
            }
            Level& listed = *m_levels.back();
            item.failed = false;
            item.path = path;
            item.displayName = RelativeName(listed.relative, entry.name);
            item.folder = listed.folder;
            item.name = entry.name;
            item.followLinks = m_options.followLinks;
            return true;
        }
    }
    return false;
}

bool FolderWalk::NextEntry(Level& level, DirEntry& entry)
{
    if (level.entries != nullptr) {
        return level.entries->Next(entry);
    }
    if (level.nextRest == level.rest.size()) {
        return false;
    }
    entry = level.rest[level.nextRest++];
    return true;
}

bool FolderWalk::EnterRoot(WalkItem& item)
{
    if (IsPathTooLong(m_root)) {
        Failed(item, m_root, MakeFailure(FailureKind::NameTooLong));
        return false;
    }
    std::unique_ptr<Level> level(new Level);
    level->folder = std::make_shared<FolderHandle>();
    level->path = m_root;
    if (!level->folder->Open(m_root)) {
        Failed(item, m_root, level->folder->GetFailure());
        return false;
    }
    return StartListing(std::move(level), item);
}

bool FolderWalk::Enter(const char* name, const CString& path, const CString& relative, WalkItem& item)
{
    if (IsPathTooLong(path)) {
        Failed(item, path, MakeFailure(FailureKind::NameTooLong));
        return false;
    }
    if (!Reopen(item)) {
        return false;
    }
    std::unique_ptr<Level> level(new Level);
    level->folder = std::make_shared<FolderHandle>();
    level->path = path;
    level->relative = relative;
    level->name = name;
    if (!level->folder->OpenChild(*m_levels.back()->folder, name, m_options.followLinks)) {
        Failed(item, path, level->folder->GetFailure());
        return false;
    }
    return StartListing(std::move(level), item);
}

bool FolderWalk::StartListing(std::unique_ptr<Level> level, WalkItem& item)
{
    // With links followed, a folder may be reached again (a link to a folder above it): it is
    // entered once. Otherwise its identity is asked only if it is closed before its end.
    if (m_options.followLinks) {
        level->identityTaken = level->folder->GetIdentity(level->identity);
        if (!m_visited.insert(level->identity).second) {
            return true;
        }
    }
    level->entries.reset(new DirectoryList);
    if (!level->entries->Open(*level->folder)) {
        Failed(item, level->path, level->entries->GetFailure());
        return false;
    }
    m_levels.push_back(std::move(level));
    LimitOpenLevels();
    return true;
}

void FolderWalk::LimitOpenLevels()
{
    // The folder analysed stays open: the others are opened again from it.
    size_t open = 0;
    for (size_t index = m_levels.size(); index-- > 1;) {
        Level& level = *m_levels[index];
        if (level.folder == nullptr) {
            continue;
        }
        if (++open <= kOpenLevels) {
            continue;
        }
        if (level.entries != nullptr) {
            DirEntry entry;
            while (level.entries->Next(entry)) {
                level.rest.push_back(entry);
            }
            level.restFailure = level.entries->GetFailure();
            level.entries.reset();
        }
        // Reopened later, it must be the same folder.
        if (!level.identityTaken) {
            level.identityTaken = level.folder->GetIdentity(level.identity);
        }
        level.folder.reset();
    }
}

bool FolderWalk::Reopen(WalkItem& item)
{
    size_t deepest = m_levels.size() - 1;
    size_t open = deepest;
    while (m_levels[open]->folder == nullptr) {
        --open;  // the folder analysed is always open
    }
    if (open == deepest) {
        return true;
    }
    std::shared_ptr<FolderHandle> at = m_levels[open]->folder;
    for (size_t index = open + 1; index <= deepest; ++index) {
        Level& level = *m_levels[index];
        std::shared_ptr<FolderHandle> next = std::make_shared<FolderHandle>();
        FolderIdentity identity;
        Failure failure;
        if (!next->OpenChild(*at, level.name, m_options.followLinks)) {
            failure = next->GetFailure();
        } else if (!next->GetIdentity(identity) || identity < level.identity || level.identity < identity) {
            failure = MakeFailure(FailureKind::NotFound);  // another folder stands there now
        }
        if (failure.kind != FailureKind::None) {
            // What lies below it cannot be reached either: the walk goes on above it.
            Failed(item, level.path, failure);
            m_levels.resize(index);
            return false;
        }
        at = next;
        // The deepest levels are kept open again, as the walk returns to them next. Those above
        // them are let go at once: a deep tree must not hold more folders open than it may.
        if (deepest - index < kOpenLevels) {
            level.folder = at;
        }
    }
    LimitOpenLevels();
    return true;
}
