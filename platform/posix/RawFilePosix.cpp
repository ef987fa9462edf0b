#include "platform/RawFile.h"

#include "platform/Directory.h"
#include "platform/posix/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

RawFile::~RawFile()
{
    if (m_handle != -1 && m_owned) {
        close(static_cast<int>(m_handle));
    }
}

namespace {

// Opens a regular file (relative to `folder`); anything else is refused.
int OpenRegularFile(int folder, const char* path, bool followLinks, uint64_t& size, FolderIdentity& identity,
                    Failure& failure)
{
    int fd = openat(folder, path, SourceOpenFlags(followLinks));
    if (fd < 0) {
        failure = !followLinks && errno == ELOOP ? MakeFailure(FailureKind::SymbolicLink) : LastSystemFailure();
        return -1;
    }
    if (!IsRegularFile(fd, size, identity)) {
        failure = MakeFailure(FailureKind::NotRegularFile);
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool RawFile::OpenForReading(const char* path, uint64_t& size)
{
    m_handle = OpenRegularFile(AT_FDCWD, path, true, size, m_identity, m_failure);
    m_numberKnown = m_identityKnown = m_handle != -1;
    return m_handle != -1;
}

bool RawFile::OpenForReadingIn(const FolderHandle& folder, const char* name, bool followLinks,
                               uint64_t& size)
{
    m_handle = OpenRegularFile(static_cast<int>(folder.Handle()), name, followLinks, size, m_identity,
                               m_failure);
    m_numberKnown = m_identityKnown = m_handle != -1;
    return m_handle != -1;
}

bool RawFile::GetIdentity(FolderIdentity& identity)
{
    identity = m_identity;  // told by the fstat at opening
    return m_identityKnown;
}

bool RawFile::GetSizeNow(uint64_t& size)
{
    struct stat status;
    if (fstat(static_cast<int>(m_handle), &status) != 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool RawFile::Seek(uint64_t offset)
{
    if (lseek(static_cast<int>(m_handle), static_cast<off_t>(offset), SEEK_SET) < 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    return true;
}

size_t RawFile::Read(char* buffer, size_t capacity)
{
    for (;;) {
        ssize_t got = read(static_cast<int>(m_handle), buffer, capacity);
        if (got >= 0) {
            return static_cast<size_t>(got);
        }
        if (errno != EINTR) {
            m_failure = LastSystemFailure();
            return 0;
        }
    }
}
