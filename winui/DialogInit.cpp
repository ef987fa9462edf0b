#include "winui/DialogInit.h"

#include <cstring>

namespace {

const UINT kListBoxAddString16 = 0x0401;
const UINT kComboBoxAddString16 = 0x0403;

WORD ReadWord(const unsigned char* at) { return static_cast<WORD>(at[0] | (at[1] << 8)); }

DWORD ReadDword(const unsigned char* at)
{
    return static_cast<DWORD>(ReadWord(at)) | (static_cast<DWORD>(ReadWord(at + 2)) << 16);
}

// The Win32 add-string message for an entry's message, or 0 for any other message.
UINT AddStringMessage(UINT message)
{
    if (message == kListBoxAddString16 || message == LB_ADDSTRING) {
        return LB_ADDSTRING;
    }
    if (message == kComboBoxAddString16 || message == CB_ADDSTRING) {
        return CB_ADDSTRING;
    }
    return 0;
}

}  // namespace

bool ParseDialogInit(const void* data, size_t size, std::vector<DialogInitEntry>& entries)
{
    const unsigned char* at = static_cast<const unsigned char*>(data);
    const unsigned char* end = at + size;
    const size_t kHeader = 8;
    while (end - at >= 2) {
        WORD controlId = ReadWord(at);
        if (controlId == 0) {
            return true;
        }
        if (static_cast<size_t>(end - at) < kHeader) {
            return false;
        }
        UINT message = ReadWord(at + 2);
        DWORD length = ReadDword(at + 4);
        at += kHeader;
        if (length > static_cast<size_t>(end - at)) {
            return false;
        }
        const char* text = reinterpret_cast<const char*>(at);
        UINT addString = AddStringMessage(message);
        if (addString != 0) {
            if (length == 0 || std::memchr(text, '\0', length) == nullptr) {
                return false;
            }
            entries.push_back({static_cast<short>(controlId), addString, text});
        }
        at += length;
    }
    return false;
}

void ExecuteDialogInit(HWND dialog, UINT templateId)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId),
                                MAKEINTRESOURCEA(kResourceTypeDialogInit));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return;
    }
    std::vector<DialogInitEntry> entries;
    ParseDialogInit(data, SizeofResource(module, found), entries);
    for (const DialogInitEntry& entry : entries) {
        SendDlgItemMessageA(dialog, entry.controlId, entry.message, 0,
                            reinterpret_cast<LPARAM>(entry.text));
    }
}
