#include "winui/Resources.h"

CString LoadResourceString(UINT id)
{
    // The table stores UTF-16; LoadStringA hands it over in the code page, cut to the buffer.
    char buffer[1024] = {};
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? CString(buffer, length) : CString();
}

HICON LoadResourceIcon(UINT id)
{
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}
