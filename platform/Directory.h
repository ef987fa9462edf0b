#pragma once

#include "platform/CString.h"
#include "platform/Failure.h"

#include <cstdint>
#include <memory>

// Attributes of a directory entry, with the values of the Windows attribute bits.
const uint32_t kAttrHidden = 0x2;
const uint32_t kAttrSystem = 0x4;
const uint32_t kAttrDirectory = 0x10;
// Neither a regular file nor a folder (a FIFO, socket or device on Linux): never opened.
const uint32_t kAttrDevice = 0x40;

struct DirEntry {
    CString name;
    uint32_t attributes = 0;
};

class DirectoryListHandle;

// The entries of one folder, in the order the file system returns them ("." and ".." included,
// as folders). Windows: FindFirstFileA with the absolute pattern folder\*.*. Linux: readdir; a
// name that begins with '.' is hidden, a symbolic link counts as what it points to, and an entry
// that cannot be examined counts as a device.
class DirectoryList {
public:
    DirectoryList();
    ~DirectoryList();
    DirectoryList(const DirectoryList&) = delete;
    DirectoryList& operator=(const DirectoryList&) = delete;

    bool Open(const char* folder);
    bool Next(DirEntry& entry);
    // Why Open failed.
    const Failure& GetFailure() const { return m_failure; }

private:
    std::unique_ptr<DirectoryListHandle> m_handle;
    Failure m_failure;
};

// Looks a path up (on Windows as a pattern, so wildcards find their first match): false, with
// the reason, when nothing is there; else the attributes of what was found.
bool FindPathEntry(const char* path, uint32_t& attributes, Failure& failure);
