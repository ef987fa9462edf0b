#pragma once

// Profile (INI) files: GetPrivateProfileStringA and WritePrivateProfileStringA.
// Windows: the system's own. Linux: ours (platform/posix/ProfilePosix.cpp), which behaves the
// same way where the tool can see it.
#include "platform/WinTypes.h"

#ifndef _WIN32
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* path);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* path);
#endif
