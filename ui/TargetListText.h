#pragma once

#include "platform/CString.h"

#include <vector>

// The target list as the settings dialog shows it: one item per extension.

// The longest part of a target list that the dialog reads, as the settings file returns at
// most this many bytes of a value.
const int kTargetListMaxBytes = 1023;

// The extensions of a list such as "|c|cpp|h|", in order. Empty items vanish, and only the first
// kTargetListMaxBytes bytes are read (never half a double-byte character). A bar that is the
// second byte of a double-byte character does not separate.
std::vector<CString> SplitTargetList(const char* targetList);

// "|" followed by each extension and a "|": "|c|cpp|h|", or "|" without extensions.
CString JoinTargetList(const std::vector<CString>& extensions);
