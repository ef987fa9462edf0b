#include "engine/SortedWalk.h"

#include <algorithm>
#include <cstring>

SortedWalk::SortedWalk(WalkSource& walk)
{
    WalkItem item;
    while (walk.Next(item)) {
        m_items.push_back(item);
    }
    // Failures have no display name of their own: they are ordered by their path, ahead of the
    // files, so that each is told once whatever the order.
    std::stable_sort(m_items.begin(), m_items.end(), [](const WalkItem& left, const WalkItem& right) {
        if (left.failed != right.failed) {
            return left.failed;
        }
        const char* leftName = left.failed ? left.path.GetString() : left.displayName.GetString();
        const char* rightName = right.failed ? right.path.GetString() : right.displayName.GetString();
        return std::strcmp(leftName, rightName) < 0;
    });
}

bool SortedWalk::Next(WalkItem& item)
{
    if (m_next >= m_items.size()) {
        return false;
    }
    item = m_items[m_next++];
    return true;
}
