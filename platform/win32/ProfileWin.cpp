#include "platform/Profile.h"

#include <windows.h>

size_t ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                        size_t size, const char* path)
{
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, static_cast<DWORD>(size), path);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* path)
{
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}
