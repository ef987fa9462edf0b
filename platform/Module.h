#pragma once

#include "platform/CString.h"

// Windows only: the executable's own full path, GetModuleFileNameA into a 260-byte buffer,
// refused when it does not fit.
bool GetExecutablePath(CString& path);

// The folder that holds the settings file: the executable's folder on Windows (found with the
// lead-byte-aware separator search, so a 0x5C trail byte in the executable's own name is not
// taken for a separator); $XDG_CONFIG_HOME/tolvek, or ~/.config/tolvek, on Linux.
bool GetSettingsFolder(CString& folder);

// Creates the settings folder when it is missing (Linux). Windows: the executable's folder
// always exists.
void PrepareSettingsFolder(const char* folder);
