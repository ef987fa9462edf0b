#pragma once

#include "platform/CodePage.h"

// What paths are like on this system, for the path functions that are the same on every one:
// platform/win32/PathWin.cpp and platform/posix/PathPosix.cpp.

// Length of a drive prefix ("C:") on systems that have drives.
int DriveLength(const char* path);

// The lead bytes of path text (none where paths are not in a double-byte code page).
const LeadByteTable& PathLeadBytes();
