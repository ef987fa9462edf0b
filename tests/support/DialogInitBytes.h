// The bytes of dialog-initialisation resources (the items that a dialog template carries), to
// build test data and to read the executable's own resources.
#pragma once

#include <cstring>
#include <string>
#include <windows.h>

// The raw bytes of a resource of the executable; empty when there is none.
inline std::string ResourceBytes(UINT id, WORD type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (found == nullptr) {
        return std::string();
    }
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(data, SizeofResource(module, found));
}

// One entry: control ID, message, byte count (little-endian), then the data.
inline std::string DialogInitEntryBytes(WORD id, WORD message, const std::string& data)
{
    std::string bytes;
    auto put = [&bytes](unsigned value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(id, 2);
    put(message, 2);
    put(static_cast<unsigned>(data.size()), 4);
    return bytes + data;
}

// A text with its NUL, as an entry carries it.
inline std::string TextWithNul(const char* text) { return std::string(text, std::strlen(text) + 1); }
