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

class FolderHandle;

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
    // Lists an open folder; the folder may be closed meanwhile.
    bool Open(const FolderHandle& folder);
    // False at the end of the listing, and when the rest cannot be listed: GetFailure then tells
    // why.
    bool Next(DirEntry& entry);
    // Why Open failed, or why Next could not list on (FailureKind::None at a listing's end).
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

// An open folder, to list and to open what it holds by name, so that what its path leads to may
// change meanwhile (a folder swapped for a link) without anything being read from elsewhere.
// Linux: a file descriptor. Windows: the folder's path, looked at again when a name in it opens.
class FolderHandle {
public:
    FolderHandle() = default;
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // The folder at `path`, through links, as the user named it.
    bool Open(const char* path);
    // The folder `name` in `parent`. Unless `followLinks`, a link (on Windows a reparse point)
    // found there now is refused (FailureKind::SymbolicLink); anything but a folder is refused.
    bool OpenChild(const FolderHandle& parent, const char* name, bool followLinks);
    bool IsOpen() const { return m_handle != -1; }
    const Failure& GetFailure() const { return m_failure; }
    // What tells this folder from another.
    bool GetIdentity(FolderIdentity& identity) const;
    // The system's handle (Linux), or -1; for the other platform classes.
    intptr_t Handle() const { return m_handle; }
    // The folder's path (Windows); for the other platform classes.
    const CString& Path() const { return m_path; }

private:
    intptr_t m_handle = -1;
    CString m_path;
    Failure m_failure;
};
