#pragma once

#include "platform/CString.h"
#include "platform/Profile.h"

#include <vector>

// The target list is one string of extensions, each between vertical bars: "|c|cpp|h|". The
// engine tests file names against it, the settings dialog edits it, the console builds it from
// its --ext option.

// The longest part of a target list that the settings dialog reads: what the settings file returns
// of a value, without its NUL.
const int kTargetListMaxBytes = static_cast<int>(kProfileValueBytes) - 1;

// "|" + the path's extension without its dot + "|", or "||" without an extension.
CString ExtensionKey(const char* path);

// True when the list is not empty and contains the path's extension key, without regard to ASCII
// case (MAIN.CPP is a C++ source), and never a match that starts on the trail byte of a
// double-byte character.
bool IsTarget(const CString& targetList, const char* path);

// An extension as a user enters it, made ready for a target list: without its leading dot, so
// that ".c" matches as "c" does. The dialog, the command's --ext and a job's copy of the saved
// list all go through it.
CString NormalizeExtension(const char* extension);

// The list with each extension normalised; the bars, and the empty extension "||", stay.
CString NormalizeTargetList(const char* targetList);

// The extensions of a list such as "|c|cpp|h|", in order. Empty items vanish, and only the first
// kTargetListMaxBytes bytes are read (never half a double-byte character). A bar that is the
// second byte of a double-byte character does not separate.
std::vector<CString> SplitTargetList(const char* targetList);

// True when the list can make any file a target: it holds an extension between two bars, or the
// empty one ("||", files without an extension).
bool TargetListHasExtension(const char* targetList);

// "|" followed by each extension and a "|": "|c|cpp|h|", or "|" without extensions.
CString JoinTargetList(const std::vector<CString>& extensions);
