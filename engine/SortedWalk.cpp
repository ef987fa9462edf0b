#include "engine/SortedWalk.h"

#include "platform/Path.h"

#include <algorithm>
#include <string>

std::string NameSortKey(const char* name)
{
    std::string key;
    for (const char* at = name; *at != '\0'; ++at) {
        if (IsPathLeadByte(*at) && at[1] != '\0') {
            key += *at++;
            key += *at;
        } else {
            key += IsPathSeparator(*at) ? '/' : *at;
        }
    }
    return key;
}

SortedWalk::SortedWalk(WalkSource& walk)
{
    WalkItem item;
    while (walk.Next(item)) {
        m_items.push_back(item);
    }
    // Failures have no display name of their own: they are ordered by their path, ahead of the
    // files.
    std::vector<std::pair<std::string, size_t>> keys;
    for (size_t index = 0; index < m_items.size(); ++index) {
        const WalkItem& item = m_items[index];
        keys.emplace_back((item.failed ? "0" : "1") + NameSortKey(item.failed ? item.path : item.displayName),
                          index);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<WalkItem> sorted;
    sorted.reserve(m_items.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(m_items[key.second]));
    }
    m_items.swap(sorted);
}

bool SortedWalk::Next(WalkItem& item)
{
    if (m_next >= m_items.size()) {
        return false;
    }
    item = m_items[m_next++];
    return true;
}
