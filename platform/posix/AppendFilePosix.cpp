#include "platform/AppendFile.h"

#include "platform/posix/StatIdentity.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

// Read-write where allowed, so that a line that a killed writer left unended is seen; write-only
// otherwise, and always when `writeOnly` asks (the last byte is then not checked).
int OpenToAppend(const char* path, int flags, bool writeOnly)
{
    int fd = writeOnly ? -1 : open(path, O_RDWR | flags, 0666);
    if (fd < 0 && (writeOnly || errno == EACCES)) {
        fd = open(path, O_WRONLY | flags, 0666);
    }
    return fd;
}

// How long one look at a wait lasts: a stop is seen within this time.
const int kWaitSliceMs = 20;

bool StopAsked(const std::atomic<bool>* stop)
{
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

// Takes the lock with a stop in view: tries without waiting, and between tries sleeps a little
// longer each time, up to a slice.
bool LockWatchingStop(int fd, const std::atomic<bool>* stop, Failure& failure)
{
    int pauseMs = 1;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            failure = LastSystemFailure();
            return false;
        }
        if (StopAsked(stop)) {
            failure = MakeFailure(FailureKind::Stopped);
            return false;
        }
        poll(nullptr, 0, pauseMs);
        pauseMs = pauseMs * 2 < kWaitSliceMs ? pauseMs * 2 : kWaitSliceMs;
    }
    return true;
}

// The bytes of the next write to a watched stream: up to PIPE_BUF, to the last line end among
// them when there is one.
size_t StreamPiece(const char* data, size_t length)
{
    if (length <= PIPE_BUF) {
        return length;
    }
    const void* lineEnd = memrchr(data, '\n', PIPE_BUF);
    return lineEnd != nullptr ? static_cast<size_t>(static_cast<const char*>(lineEnd) - data) + 1 : PIPE_BUF;
}

// A pipe or a terminal may stop taking bytes while its reader does not read; the null device
// takes every write at once, so it is written as a file is.
bool MayBlock(const struct stat& status)
{
    if (S_ISREG(status.st_mode)) {
        return false;
    }
    struct stat null;
    return !(S_ISCHR(status.st_mode) && stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
             status.st_rdev == null.st_rdev);
}

// Waits until a stream takes bytes again, or the stop is asked.
bool WaitForRoom(int fd, const std::atomic<bool>* stop, Failure& failure)
{
    for (;;) {
        if (StopAsked(stop)) {
            failure = MakeFailure(FailureKind::Stopped);
            return false;
        }
        pollfd watched = {fd, POLLOUT, 0};
        int ready = poll(&watched, 1, kWaitSliceMs);
        if (ready > 0) {
            return true;  // room, or an error that the write then tells
        }
        if (ready < 0 && errno != EINTR) {
            failure = LastSystemFailure();
            return false;
        }
    }
}

}  // namespace

AppendFile::~AppendFile()
{
    if (m_handle != -1) {
        Unlock();
        close(Fd(m_handle));
    }
}

bool AppendFile::Open(const char* path)
{
    // O_NOFOLLOW: a link named Tolvek.log, even a dangling one, would put the records in a file
    // outside the folder. O_NONBLOCK: opening a FIFO must not wait for its other end.
    const int flags = O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = OpenToAppend(path, flags, false);
    if (fd < 0) {
        m_failure = LastSystemFailure();  // a link: ELOOP
        return false;
    }
    UniqueFd file(fd);
    struct stat status;
    if (fstat(fd, &status) != 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        m_failure = Failure{FailureKind::NotRegularFile, S_ISDIR(status.st_mode) ? EISDIR : 0};
        return false;
    }
    m_handle = file.Release();
    return true;
}

bool AppendFile::OpenNamed(const char* path)
{
    // Links are followed: the user named the path. A FIFO is opened for writing only, so that
    // one without a reader is told at once (O_NONBLOCK) rather than filled by ourselves; anything
    // else read-write where allowed, so that a line that a killed writer left unended is seen.
    const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    struct stat named;
    bool fifo = stat(path, &named) == 0 && S_ISFIFO(named.st_mode);
    int fd = OpenToAppend(path, flags, fifo);
    if (fd < 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    UniqueFd file(fd);
    struct stat status;
    // Once open, writes wait as usual.
    if (fstat(fd, &status) != 0 || fcntl(fd, F_SETFL, O_APPEND) != 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_regular = S_ISREG(status.st_mode);
    m_mayBlock = MayBlock(status);
    m_handle = file.Release();
    return true;
}

bool AppendFile::OpenStandardOutput()
{
    int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    struct stat status;
    const bool known = fstat(fd, &status) == 0;
    m_regular = known && S_ISREG(status.st_mode);
    m_mayBlock = !known || MayBlock(status);
    m_handle = fd;
    return true;
}

bool AppendFile::GetIdentity(FolderIdentity& identity) const
{
    struct stat status;
    if (!m_regular || fstat(Fd(m_handle), &status) != 0) {
        return false;
    }
    identity = IdentityOf(status);
    return true;
}

bool AppendFile::Lock(uint64_t& size)
{
    if (!m_regular) {
        size = 0;  // a stream: nothing to take, read back or cut
        return true;
    }
    if (m_stop != nullptr) {
        if (!LockWatchingStop(Fd(m_handle), m_stop, m_failure)) {
            return false;
        }
    } else {
        while (flock(Fd(m_handle), LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_failure = LastSystemFailure();
                return false;
            }
        }
    }
    m_locked = true;
    struct stat status;
    if (fstat(Fd(m_handle), &status) != 0) {
        m_failure = LastSystemFailure();
        Unlock();
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

void AppendFile::Unlock()
{
    if (m_locked) {
        flock(Fd(m_handle), LOCK_UN);
        m_locked = false;
    }
}

bool AppendFile::ReadByteAt(uint64_t offset, char& byte)
{
    if (!m_regular) {
        return false;
    }
    return pread(Fd(m_handle), &byte, 1, static_cast<off_t>(offset)) == 1;
}

bool AppendFile::Append(const char* data, size_t length)
{
    // With O_APPEND each write lands at the end of the file. A stream that may be stopped takes
    // at most PIPE_BUF bytes a write once it shows room, so that no write blocks for long on a
    // reader that does not read; such a piece ends at a line end where one lies within it, so
    // that a stop leaves the reader whole lines.
    bool watched = m_stop != nullptr && m_mayBlock;
    while (length > 0) {
        size_t piece = watched ? StreamPiece(data, length) : length;
        if (watched && !WaitForRoom(Fd(m_handle), m_stop, m_failure)) {
            return false;
        }
        ssize_t wrote = write(Fd(m_handle), data, piece);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            m_failure = wrote < 0 ? LastSystemFailure() : Failure{FailureKind::NoSpace, ENOSPC};
            return false;
        }
        data += wrote;
        length -= static_cast<size_t>(wrote);
    }
    return true;
}

bool AppendFile::Truncate(uint64_t size)
{
    if (!m_regular) {
        return false;
    }
    return ftruncate(Fd(m_handle), static_cast<off_t>(size)) == 0;
}
