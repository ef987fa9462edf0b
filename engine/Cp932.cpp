#include "engine/Cp932.h"

#include "engine/Cp932Table.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace {

const int kTrails = 188;

// The position of a double-byte code in the table, or -1.
int DoubleIndex(unsigned char lead, unsigned char trail)
{
    int row = !IsShiftJisLeadByte(lead) ? -1 : lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
    int column = trail >= 0x40 && trail <= 0x7E ? trail - 0x40 : trail >= 0x80 && trail <= 0xFC ? trail - 0x80 + 63 : -1;
    return row < 0 || column < 0 ? -1 : row * kTrails + column;
}

}  // namespace

uint32_t Cp932DoubleToUnicode(unsigned char lead, unsigned char trail)
{
    int index = DoubleIndex(lead, trail);
    return index < 0 ? 0 : kCp932Double[index];
}

uint32_t Cp932SingleToUnicode(unsigned char byte) { return kCp932Single[byte]; }

int UnicodeToCp932(uint32_t character, unsigned char bytes[2])
{
    if (character < 0x80) {
        bytes[0] = static_cast<unsigned char>(character);
        return 1;
    }
    const uint16_t* end = kCp932Characters + kCp932CharacterCount;
    const uint16_t* found = std::lower_bound(kCp932Characters, end, character);
    if (found == end || *found != character) {
        return 0;
    }
    uint16_t code = kCp932Codes[found - kCp932Characters];
    if (code < 0x100) {
        bytes[0] = static_cast<unsigned char>(code);
        return 1;
    }
    bytes[0] = static_cast<unsigned char>(code >> 8);
    bytes[1] = static_cast<unsigned char>(code & 0xFF);
    return 2;
}
