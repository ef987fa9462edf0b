#pragma once

#include "platform/CString.h"

// Paths as the platform writes them: on Windows '\' (and '/') separate folders and a path may
// begin with a drive; on Linux only '/' does, and a backslash is an ordinary byte of a name.
//
// Paths are text in the file system's encoding. On Windows that is the system's code page, whose
// lead bytes hide a 0x5C or 0x2E that is the second byte of a character. On Linux names are bytes
// (UTF-8 as a rule, which never hides a '/' or a '.'), whatever code page the sources are read in.

extern const char kPathSeparator;

// Longest path that the tool's fixed path buffers hold, without the NUL.
const int kMaxPathBytes = 259;

bool IsPathSeparator(char byte);

// True for a byte that begins a double-byte character of a path.
bool IsPathLeadByte(char byte);

// The offset of the first occurrence of `sub` in the path text `text` that begins on a
// character, or -1.
int FindInPathText(const char* text, const char* sub);

// True when the path's last character is the separator (on Windows: at least two bytes, the
// last the backslash and the one before it not a lead byte).
bool EndsWithSeparator(const char* path);

// Offset of the last separator that begins a character (a 0x5C trail byte is not one), or -1.
int FindLastSeparator(const char* path);

// The four parts of a path, as the runtime's _splitpath gives them: drive ("C:", Windows only),
// folder up to and including the last separator, name, and extension from its last dot.
struct PathParts {
    CString drive;
    CString dir;
    CString name;
    CString ext;
};
void SplitPath(const char* path, PathParts& parts);
// Where SplitPath's `ext` begins in `path` (its dot), or the end of `path` when it has none.
const char* FindExtension(const char* path);

// A relative path joined to the current directory; an absolute one as it stands.
bool MakeAbsolutePath(const char* path, CString& absolute);

// Makes `path` the process's current directory.
bool SetCurrentDir(const char* path);

// True when the two paths are spelt alike as the file system compares names (on Windows without
// regard to the case of ASCII letters).
bool IsSamePath(const char* first, const char* second);

// True when two paths lead to one file, however each is spelt (./d and d, a link and its target):
// the device and file number on Linux, the volume serial and file index on Windows. A path that
// cannot be examined is compared by its spelling.
bool IsSameFile(const char* first, const char* second);

// True when the system would refuse `path` as too long before looking at it: on Windows a path
// over kMaxPathBytes, the limit of the ANSI functions; on Linux one of PATH_MAX bytes or more
// (told even where a name is opened relative to its folder, so that every path reported works).
bool IsPathTooLong(const char* path);
