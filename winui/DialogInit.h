#pragma once

#include <cstddef>
#include <vector>
#include <windows.h>

// The items that a dialog template carries for its combo boxes and list boxes: a resource of
// type 240 with the template's ID. It is a list of entries, each a WORD control ID, a WORD
// message, a DWORD byte count and that many bytes of data (for an item, its text with the
// NUL), ended by a control ID of 0. Resource editors write the add-string messages with their
// 16-bit numbers (0x0401 list box, 0x0403 combo box); the Win32 numbers are taken as well.

const WORD kResourceTypeDialogInit = 240;

struct DialogInitEntry {
    int controlId;
    UINT message;  // LB_ADDSTRING or CB_ADDSTRING
    const char* text;
};

// Reads the add-string entries of a resource; entries with other messages are skipped. False
// when the data is malformed (an entry runs past the end, a text has no NUL within its count,
// or the end mark is missing); the entries before the fault are kept.
bool ParseDialogInit(const void* data, size_t size, std::vector<DialogInitEntry>& entries);

// Adds the items of the template `templateId` of the executable to the dialog's controls, in
// their order. Nothing happens when the template carries none.
void ExecuteDialogInit(HWND dialog, UINT templateId);
