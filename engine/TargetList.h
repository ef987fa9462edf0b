#pragma once

#include "platform/CString.h"

// The target list is one string of extensions, each between vertical bars: "|c|cpp|h|".

// "|" + the path's extension without its dot + "|", or "||" without an extension.
CString ExtensionKey(const char* path);

// True when the list is not empty and contains the path's extension key (case-sensitive, and
// never a match that starts on the trail byte of a double-byte character).
bool IsTarget(const CString& targetList, const char* path);
