#pragma once

// The Win32 types that the portable code names. On Windows they are the system's own; on Linux,
// platform/posix supplies the few plain ones that the portable code uses.
#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/WinTypesPosix.h"
#endif
