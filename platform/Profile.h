#pragma once

#include <cstddef>

// Profile (INI) files, read and written a key at a time. Windows: the system's own profile calls
// (platform/win32). Linux: ours (platform/posix), which behaves the same way where the tool can
// see it.

// The room for one value that the settings read, its terminating NUL included.
const size_t kProfileValueBytes = 1024;

// Copies the value of `key` in `section` of the file at `path` (the default when there is none)
// into `buffer` of `size` bytes, cut to fit and ended by a NUL; the bytes copied, the NUL not
// counted.
size_t ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                        size_t size, const char* path);
// Sets `key` in `section` of the file at `path` to `value`; false when the file cannot be
// written.
bool WriteProfileValue(const char* section, const char* key, const char* value, const char* path);
