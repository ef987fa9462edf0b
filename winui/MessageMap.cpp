#include "winui/MessageMap.h"

namespace {

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (entry.message != message) {
        return false;
    }
    if (message == WM_COMMAND) {
        return entry.id == LOWORD(wParam) && entry.code == HIWORD(wParam);
    }
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header != nullptr && entry.id == header->idFrom && entry.code == header->code;
    }
    return true;
}

}  // namespace

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                        LPARAM lParam)
{
    for (; map != nullptr; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            if (Matches(map->entries[i], message, wParam, lParam)) {
                return &map->entries[i];
            }
        }
    }
    return nullptr;
}
