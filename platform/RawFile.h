#pragma once

#include "platform/Directory.h"
#include "platform/Failure.h"

#include <cstddef>
#include <cstdint>

// A file handle of the system for reading, closed by the destructor. One implementation per
// system. A call that fails keeps the reason in GetFailure().
class RawFile {
public:
    RawFile() = default;
    ~RawFile();
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Opens a regular file for reading and tells its size.
    bool OpenForReading(const char* path, uint64_t& size);
    // Opens the regular file `name` in `folder`. Unless `followLinks`, a link (on Windows a
    // reparse point) found there now is refused (FailureKind::SymbolicLink).
    bool OpenForReadingIn(const class FolderHandle& folder, const char* name, bool followLinks,
                          uint64_t& size);

    // Takes a regular file that was opened for it (by FilePrefetch), with its identity. The handle
    // stays its opener's to close.
    void Adopt(intptr_t handle, const FolderIdentity& identity)
    {
        m_handle = handle;
        m_owned = false;
        m_identity = identity;
        m_numberKnown = m_identityKnown = true;
    }

    const Failure& GetFailure() const { return m_failure; }
    // The open file's number on its device (its inode, its file index); false when the system
    // does not tell it. Cheaper than the whole identity where telling the device takes a call of
    // its own (the volume's serial number, under Wine a round trip to another process): a file
    // is told from another by its number first.
    bool GetFileNumber(uint64_t& number) const
    {
        number = m_identity.number;
        return m_numberKnown;
    }
    // The open file's device and number; false when the system does not tell them.
    bool GetIdentity(FolderIdentity& identity);

    // The file's size now, which may have grown since it was opened.
    bool GetSizeNow(uint64_t& size);
    // Reads up to `capacity` bytes; 0 at the end, or on an error (then GetFailure() tells).
    size_t Read(char* buffer, size_t capacity);
    // Reads on from `offset` bytes into the file.
    bool Seek(uint64_t offset);

private:
    intptr_t m_handle = -1;
    bool m_owned = true;  // closed by the destructor
    Failure m_failure;
    FolderIdentity m_identity;
    bool m_numberKnown = false;
    bool m_identityKnown = false;
};
