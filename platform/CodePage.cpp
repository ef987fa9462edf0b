#include "platform/CodePage.h"

#include "platform/CodePageSource.h"

#include <cstring>

namespace {

LeadByteTable& Table()
{
    static LeadByteTable table = [] {
        LeadByteTable initial{};
        FillLeadByteTable(initial, SelectInitialCodePage());
        FindLeadRanges(initial);
        return initial;
    }();
    return table;
}

}  // namespace

const LeadByteTable& GetLeadByteTable() { return Table(); }

int GetCodePage() { return Table().codePage; }

void SelectCodePage(int codePage)
{
    LeadByteTable& table = Table();
    ActivateCodePage(codePage);
    FillLeadByteTable(table, codePage);
    FindLeadRanges(table);
}

void FindLeadRanges(LeadByteTable& table)
{
    int ranges = 0;
    table.rangeFirst[0] = table.rangeLast[0] = table.rangeFirst[1] = table.rangeLast[1] = 0;
    table.inRanges = true;
    for (int byte = 0; byte < 256; ++byte) {
        if (!table.isLead[byte]) {
            continue;
        }
        if (ranges > 0 && table.rangeLast[ranges - 1] == byte - 1) {
            table.rangeLast[ranges - 1] = static_cast<unsigned char>(byte);
        } else if (ranges == 2 || byte < 0x80) {
            table.inRanges = false;
            return;
        } else {
            table.rangeFirst[ranges] = table.rangeLast[ranges] = static_cast<unsigned char>(byte);
            ++ranges;
        }
    }
}

int FindCharAligned(const char* text, const char* sub, const LeadByteTable& table)
{
    size_t subLength = std::strlen(sub);
    for (const char* at = text; *at != '\0'; ++at) {
        if (std::strncmp(at, sub, subLength) == 0) {
            return static_cast<int>(at - text);
        }
        if (table.isLead[static_cast<unsigned char>(*at)] && at[1] != '\0') {
            ++at;
        }
    }
    return subLength == 0 ? 0 : -1;
}
