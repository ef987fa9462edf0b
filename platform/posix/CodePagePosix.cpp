#include "platform/CodePage.h"
#include "platform/CodePageSource.h"

#include <cstring>

// Sources that are neither UTF-8 nor UTF-16 are read as Shift_JIS, whatever the locale: a UTF-8
// locale says nothing about how old sources are encoded, and Japanese sources are what this tool
// is for. The command's --codepage single opts out.
int SelectInitialCodePage() { return kCodePageShiftJis; }

void ActivateCodePage(int) {}

void FillLeadByteTable(LeadByteTable& table, int codePage)
{
    table.codePage = codePage;
    for (int byte = 0; byte < 256; ++byte) {
        table.isLead[byte] = codePage == kCodePageShiftJis && IsShiftJisLeadByte(static_cast<unsigned char>(byte));
    }
}
