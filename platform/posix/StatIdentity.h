#pragma once

#include "platform/Directory.h"

#include <sys/stat.h>

#include <cstdint>

// The device and inode that `status` tells.
inline FolderIdentity IdentityOf(const struct stat& status)
{
    FolderIdentity identity;
    identity.device = static_cast<uint64_t>(status.st_dev);
    identity.number = static_cast<uint64_t>(status.st_ino);
    return identity;
}
