#include "platform/RawFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

RawFile::~RawFile()
{
    if (m_handle != -1) {
        close(static_cast<int>(m_handle));
    }
}

namespace {

// Opens a regular file; anything else is refused. O_NONBLOCK: opening a FIFO must not wait for
// the other end.
int OpenRegularFile(const char* path, int flags, uint64_t& size, Failure& failure)
{
    int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        failure = LastSystemFailure();
        return -1;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        failure = MakeFailure(FailureKind::NotRegularFile);
        close(fd);
        return -1;
    }
    size = static_cast<uint64_t>(status.st_size);
    return fd;
}

}  // namespace

bool RawFile::OpenForReading(const char* path, uint64_t& size)
{
    m_handle = OpenRegularFile(path, O_RDONLY, size, m_failure);
    return m_handle != -1;
}

bool RawFile::OpenForAppending(const char* path)
{
    uint64_t size = 0;
    m_handle = OpenRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, size, m_failure);
    return m_handle != -1;
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

bool RawFile::Append(const char* data, size_t length)
{
    // With O_APPEND each write lands whole at the end of the file.
    while (length > 0) {
        ssize_t wrote = write(static_cast<int>(m_handle), data, length);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            m_failure = wrote < 0 ? LastSystemFailure() : MakeFailure(FailureKind::NoSpace);
            return false;
        }
        data += wrote;
        length -= static_cast<size_t>(wrote);
    }
    return true;
}
