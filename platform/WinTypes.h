#pragma once

// The Win32 types and message services that the portable code names. On Windows they are the
// system's own; on Linux, platform/posix supplies the few that the tool uses.
#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/MessageReceiver.h"
#endif
