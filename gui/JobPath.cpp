#include "gui/JobPath.h"

#include <cstring>

bool CopyJobPath(const char* text, char (&buffer)[kMaxPathBytes + 1])
{
    std::memset(buffer, 0, sizeof buffer);
    if (text == nullptr) {
        return true;
    }
    size_t length = std::strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    if (length > static_cast<size_t>(kMaxPathBytes)) {
        return false;
    }
    std::memcpy(buffer, text, length);
    return true;
}
