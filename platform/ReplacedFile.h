#pragma once

#include "platform/CString.h"
#include "platform/Failure.h"

#include <cstddef>
#include <string>

// A file that a run writes whole and then puts in place of the one named, in one step: a reader
// sees the old file or the new one, never a part, and a run that fails or is stopped leaves the
// old file as it was. The new file is made beside the old one (a rename does not cross file
// systems); a link named is followed, so that the file it points to is the one replaced.
class ReplacedFile {
public:
    ReplacedFile() = default;
    // Removes the new file, unless it took the old one's place.
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    // Makes the new, empty file beside `path`, with the old file's permissions (a new file's
    // when there is none). False, with the reason in GetFailure(), when it cannot be made.
    bool Begin(const char* path);
    // Where the records are written meanwhile.
    const CString& NewPath() const { return m_newPath; }
    // Puts the new file in place of the old one.
    bool Commit();

    const Failure& GetFailure() const { return m_failure; }

private:
    CString m_target;
    CString m_newPath;
    bool m_committed = false;
    Failure m_failure;
};

// True when `path` names an existing FIFO, pipe, socket or device (/dev/null, /dev/stdout, a
// process substitution, NUL on Windows): a stream to write into as it is, never to replace.
bool IsStreamPath(const char* path);

// The first line of the regular file at `path` (at most `limit` bytes of it, without its line
// end); empty when the file is empty, missing or not a regular file.
bool ReadFirstLine(const char* path, size_t limit, std::string& line);
