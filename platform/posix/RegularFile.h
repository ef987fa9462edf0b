#pragma once

#include "platform/posix/StatIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>

// How a source file opens for reading, whether opened at once or ahead in a batch. O_NONBLOCK:
// opening a FIFO must not wait for the other end.
inline int SourceOpenFlags(bool followLinks)
{
    return O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
}

// True when the open file `fd` is a regular file, whose size and identity it then tells. Anything
// else is never read: reading a FIFO or a device takes what it holds from someone else.
inline bool IsRegularFile(int fd, uint64_t& size, FolderIdentity& identity)
{
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    identity = IdentityOf(status);
    return true;
}
