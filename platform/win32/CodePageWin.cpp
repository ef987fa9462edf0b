#include "platform/CodePage.h"
#include "platform/CodePageSource.h"

#include <mbctype.h>
#include <windows.h>

int SelectInitialCodePage()
{
    // The runtime's multibyte code page follows the system's, as the framework's start-up sets it.
    _setmbcp(_MB_CP_ANSI);
    return static_cast<int>(GetACP());
}

void ActivateCodePage(int codePage) { _setmbcp(codePage); }

void FillLeadByteTable(LeadByteTable& table, int codePage)
{
    table.codePage = codePage;
    for (int byte = 0; byte < 256; ++byte) {
        table.isLead[byte] =
            IsDBCSLeadByteEx(static_cast<UINT>(codePage), static_cast<BYTE>(byte)) != FALSE;
    }
}
