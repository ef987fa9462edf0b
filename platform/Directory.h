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
// A link to what the other attributes describe: on Linux a symbolic link; on Windows a folder
// that is a reparse point (a junction or a symbolic link). A file behind a reparse point is an
// ordinary file on Windows.
const uint32_t kAttrLink = 0x400;

struct DirEntry {
    CString name;
    uint32_t attributes = 0;
};

class DirectoryListHandle;

// The entries of one folder, in the order the file system returns them ("." and ".." included,
// as folders). Windows: FindFirstFileA with the absolute pattern folder\*.*. Linux: readdir; a
// name that begins with '.' is hidden, a symbolic link is a link with the attributes of what it
// points to, and an entry that cannot be examined (a dangling link) counts as a device.
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

// What tells one folder or file from another, whatever path leads to it (the device and the file
// number).
struct FolderIdentity {
    uint64_t device = 0;
    uint64_t number = 0;
    bool operator<(const FolderIdentity& other) const
    {
        return device != other.device ? device < other.device : number < other.number;
    }
};
bool GetFolderIdentity(const char* path, FolderIdentity& identity);
