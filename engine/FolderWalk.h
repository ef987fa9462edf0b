#pragma once

#include "engine/AnalysisOptions.h"
#include "platform/CString.h"
#include "platform/Directory.h"
#include "platform/Failure.h"

#include <memory>
#include <set>
#include <vector>

// What a folder walk finds next: a target file to scan, or a file or folder that cannot be read.
struct WalkItem {
    bool failed = false;
    CString path;         // the full path
    CString displayName;  // the path from the analysed folder (the file's name at its top)
    Failure failure;
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
class FolderWalk : public WalkSource {
public:
    FolderWalk(const CString& root, const AnalysisOptions& options);
    ~FolderWalk() override;

    // The next target file or failure; false at the end of the walk.
    bool Next(WalkItem& item) override;

private:
    struct Level;

    // Starts listing a folder; false (with `item` the failure) when it cannot be.
    bool Enter(const CString& path, const CString& relative, WalkItem& item);
    bool FirstVisit(const char* path);

    const AnalysisOptions& m_options;
    std::vector<std::unique_ptr<Level>> m_levels;
    std::set<FolderIdentity> m_visited;
    bool m_started = false;
    CString m_root;
};

// `folder` and `name` joined by a separator, unless the folder already ends with one.
CString JoinPath(const CString& folder, const char* name);
