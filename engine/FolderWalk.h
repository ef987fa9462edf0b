#pragma once

#include "engine/AnalysisOptions.h"
#include "engine/SourcePlace.h"
#include "platform/CString.h"
#include "platform/Directory.h"
#include "platform/Failure.h"
#include "platform/FilePrefetch.h"

#include <memory>
#include <set>
#include <vector>

// What a folder walk finds next: a target file to scan, or a file or folder that cannot be read.
struct WalkItem {
    bool failed = false;
    CString path;         // the full path
    CString displayName;  // the path from the analysed folder (the file's name at its top)
    Failure failure;
    // The folder that listed the file, kept open while the item lives, and the file's name in it.
    std::shared_ptr<const FolderHandle> folder;
    CString name;
    bool followLinks = false;

    // Where the file opens: by its name in the folder that listed it.
    SourcePlace Place() const
    {
        SourcePlace place;
        place.folder = folder.get();
        place.name = name;
        place.followLinks = followLinks;
        return place;
    }
    // Where a batch opens the file ahead, as Place() says: nowhere for a failure.
    PrefetchPlace PrefetchAt() const
    {
        PrefetchPlace place;
        if (!failed) {
            place.folder = folder.get();
            place.name = folder != nullptr ? name.GetString() : path.GetString();
            place.followLinks = folder == nullptr || followLinks;  // a path's links are followed
        }
        return place;
    }
};

// Where the files of an analysis come from, one item after another.
class WalkSource {
public:
    virtual ~WalkSource() = default;
    // The next target file or failure; false at the end.
    virtual bool Next(WalkItem& item) = 0;
};

// Goes through a folder and, when asked, its subfolders depth first, in the order the file
// system lists them: one open listing per level, so that memory grows with the depth of the tree,
// not with the number of its files. Hidden and system files and folders, devices and (unless
// followed) links are passed by; with links followed no folder is entered twice.
//
// Each folder is entered, and each file opened, by its name in the open folder that listed it,
// without following a link unless links are followed: what the listing said is what is read,
// even if a link is swapped in meanwhile. Only the deepest kOpenLevels levels keep their folders
// open; a level above them reads the rest of its listing and closes its folder, and opens it
// again, from the nearest open level above and checked to be the same folder, when the walk
// comes back to it. So a tree of any depth takes a bounded number of handles.
class FolderWalk : public WalkSource {
public:
    FolderWalk(const CString& root, const AnalysisOptions& options);
    ~FolderWalk() override;

    // The next target file or failure; false at the end of the walk.
    bool Next(WalkItem& item) override;

    static const size_t kOpenLevels = 24;

private:
    struct Level;

    // Starts listing the root, or the folder `name` of the deepest level; false (with `item` the
    // failure) when it cannot be.
    bool EnterRoot(WalkItem& item);
    bool Enter(const char* name, const CString& path, const CString& relative, WalkItem& item);
    bool StartListing(std::unique_ptr<Level> level, WalkItem& item);
    bool NextEntry(Level& level, DirEntry& entry);
    // Closes the shallowest open levels beyond kOpenLevels.
    void LimitOpenLevels();
    // Opens the deepest level's folder again if it was closed; false (with `item` the failure)
    // when it is no longer the folder that was listed.
    bool Reopen(WalkItem& item);

    const AnalysisOptions& m_options;
    std::vector<std::unique_ptr<Level>> m_levels;
    std::set<FolderIdentity> m_visited;
    bool m_started = false;
    CString m_root;
};

// `folder` and `name` joined by a separator, unless the folder already ends with one.
CString JoinPath(const CString& folder, const char* name);
