#pragma once

#include "platform/CString.h"

#include <windows.h>

// Resources of the executable.

// A string of the string table in the code page; empty when there is none.
CString LoadResourceString(UINT id);
// An icon at the system's large icon size. Shared with the system: never destroyed.
HICON LoadResourceIcon(UINT id);
