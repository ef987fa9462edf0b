#include "platform/CodePage.h"

#include "platform/CodePageSource.h"

#include <cstring>

namespace {

LeadByteTable& Table()
{
    static LeadByteTable table = [] {
        LeadByteTable initial{};
        FillLeadByteTable(initial, SelectInitialCodePage());
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
