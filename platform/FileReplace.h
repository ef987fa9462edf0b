#pragma once

#include "platform/Failure.h"

#include <string>

// Reads a whole regular file into memory.
bool ReadWholeFile(const char* path, std::string& bytes, Failure& failure);

// Gives the file at `path` the contents `bytes` as one change: they are written to a new file in
// the same folder, which then takes the old one's place by a rename, so that a reader, a crash or
// a signal sees the old file or the new one, never a mix. The new file keeps the old one's
// permissions (and owner, where it may). A path that is a symbolic link (Linux) is replaced at the
// link's target, and the link stays a link. A file that is not there is made the same way. On failure the old file is left as it was and no new
// file is left behind.
bool ReplaceFileContents(const char* path, const std::string& bytes, Failure& failure);

// For tests: the rename that puts the new file in place. Null restores the system's.
using RenameFunction = bool (*)(const char* from, const char* to);
void SetRenameForTests(RenameFunction rename);
