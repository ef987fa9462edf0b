#pragma once

#include "platform/Directory.h"
#include "platform/Failure.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// A file that records are appended to while other writers (other jobs of this process, other
// processes) may append to it too. One implementation per system. A call that fails keeps the
// reason in GetFailure().
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens `path` for appending, creating it when missing. Only a regular file is opened: a
    // symbolic link (Linux) or reparse point (Windows) is not followed, and a folder, FIFO or
    // device is refused.
    bool Open(const char* path);
    // Opens a path that the user named for the records (--output): a link is followed, and a
    // FIFO, pipe or device (/dev/null) is written as a stream, as standard output is; a folder
    // is refused.
    bool OpenNamed(const char* path);
    // Opens the process's standard output for appending, whatever it is (a file, a pipe, a
    // terminal); only a file is locked, read back and cut back.
    bool OpenStandardOutput();
    bool IsOpen() const { return m_handle != -1; }
    // Open, and a file rather than a pipe, a terminal or a device.
    bool IsRegularFile() const { return m_handle != -1 && m_regular; }
    // The open file's device and number; false for a stream, or when the system does not tell.
    bool GetIdentity(FolderIdentity& identity) const;
    // A flag that, once set, ends a wait for the lock or for room in a pipe (Linux): the call
    // then fails with FailureKind::Stopped. Null: waits last as long as they must.
    void SetStop(const std::atomic<bool>* stop) { m_stop = stop; }
    const Failure& GetFailure() const { return m_failure; }

    // Takes the file for this writer alone: writers that take it meanwhile wait (on Linux flock,
    // on Windows LockFileEx). Tells the file's size once it is taken.
    bool Lock(uint64_t& size);
    void Unlock();

    // The byte at `offset`; false when it cannot be read.
    bool ReadByteAt(uint64_t offset, char& byte);
    // Writes all bytes at the end of the file.
    bool Append(const char* data, size_t length);
    // Cuts the file back to `size` bytes.
    bool Truncate(uint64_t size);

private:
    intptr_t m_handle = -1;
    bool m_regular = true;  // a file, not a pipe or a terminal
    bool m_mayBlock = false;  // a stream whose reader may stop taking bytes (Linux)
    bool m_locked = false;
    const std::atomic<bool>* m_stop = nullptr;
    Failure m_failure;
};
