#include "engine/Cp932.h"

#include "engine/Cp932Table.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const int kTrails = 188;

// The position of a double-byte code in the table, or -1.
int DoubleIndex(unsigned char lead, unsigned char trail)
{
    int row = !IsShiftJisLeadByte(lead) ? -1 : lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
    int column = trail >= 0x40 && trail <= 0x7E ? trail - 0x40 : trail >= 0x80 && trail <= 0xFC ? trail - 0x80 + 63 : -1;
    return row < 0 || column < 0 ? -1 : row * kTrails + column;
}

uint16_t CodeAt(int index)
{
    int row = index / kTrails;
    int column = index % kTrails;
    unsigned lead = row < 31 ? 0x81 + row : 0xE0 + row - 31;
    unsigned trail = column < 63 ? 0x40 + column : 0x80 + column - 63;
    return static_cast<uint16_t>((lead << 8) | trail);
}

// Characters and their codes, sorted by character: the table read the other way, each character
// with the one code that writes it.
const std::vector<std::pair<uint32_t, uint16_t>>& Encodings()
{
    static const std::vector<std::pair<uint32_t, uint16_t>> encodings = [] {
        std::vector<std::pair<uint32_t, uint16_t>> pairs;
        for (int byte = 0x80; byte < 0x100; ++byte) {
            if (kCp932Single[byte] != 0) {
                pairs.emplace_back(kCp932Single[byte], static_cast<uint16_t>(byte));
            }
        }
        const uint16_t* notPreferred = kCp932NotPreferred;
        const uint16_t* notPreferredEnd = kCp932NotPreferred + kCp932NotPreferredCount;
        for (int index = 0; index < 60 * kTrails; ++index) {
            uint16_t code = CodeAt(index);
            if (kCp932Double[index] != 0 &&
                !std::binary_search(notPreferred, notPreferredEnd, code)) {
                pairs.emplace_back(kCp932Double[index], code);
            }
        }
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    }();
    return encodings;
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
    const auto& encodings = Encodings();
    auto found = std::lower_bound(encodings.begin(), encodings.end(),
                                  std::make_pair(character, static_cast<uint16_t>(0)));
    if (found == encodings.end() || found->first != character) {
        return 0;
    }
    if (found->second < 0x100) {
        bytes[0] = static_cast<unsigned char>(found->second);
        return 1;
    }
    bytes[0] = static_cast<unsigned char>(found->second >> 8);
    bytes[1] = static_cast<unsigned char>(found->second & 0xFF);
    return 2;
}
