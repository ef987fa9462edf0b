#pragma once

#include "engine/FolderWalk.h"

#include <string>
#include <vector>

// A name as it sorts: in the order of its bytes, each separator taken as '/', so that a tree
// sorts alike on Windows, where its folders are joined by a backslash, and on Linux.
std::string NameSortKey(const char* name);

// The items of another walk in the byte order of their display names, so that the records of a
// tree come in the same order whatever order its file system lists it in. The whole walk is
// taken first: memory grows with the number of files.
class SortedWalk : public WalkSource {
public:
    explicit SortedWalk(WalkSource& walk);

    bool Next(WalkItem& item) override;

private:
    std::vector<WalkItem> m_items;
    size_t m_next = 0;
};
