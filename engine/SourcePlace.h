#pragma once

class FolderHandle;
struct PrefetchedFile;

// Where a source file is opened: by its path, or, for a file that a folder walk found, by its
// name in the folder that was listed, so that a link swapped in for it since the listing is not
// read through.
struct SourcePlace {
    const FolderHandle* folder = nullptr;  // null: by the path
    const char* name = nullptr;            // in `folder`
    bool followLinks = false;              // a link found there now is read through
    const PrefetchedFile* prefetched = nullptr;  // opened ahead (when its handle is not -1), and
                                                 // valid while the scan lasts
};
