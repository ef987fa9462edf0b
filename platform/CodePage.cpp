#include "platform/CodePage.h"

#include "platform/CodePageSource.h"

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
