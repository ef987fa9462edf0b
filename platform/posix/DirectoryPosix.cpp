#include "platform/Directory.h"

#include "platform/posix/StatIdentity.h"
#include "platform/posix/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

uint32_t AttributesOf(const struct stat& status)
{
    if (S_ISDIR(status.st_mode)) {
        return kAttrDirectory;
    }
    return S_ISREG(status.st_mode) ? 0 : kAttrDevice;
}

// A symbolic link, with the attributes of what it points to: a dangling one counts as a device.
uint32_t LinkAttributes(int folder, const char* name)
{
    struct stat status;
    return kAttrLink | (fstatat(folder, name, &status, 0) == 0 ? AttributesOf(status) : kAttrDevice);
}

}  // namespace

// A folder's entries read straight from the system, a buffer at a time: what readdir does,
// without the checks fdopendir makes (fstat, two fcntl) of a descriptor opened as a folder.
class DirectoryListHandle {
public:
    DirectoryListHandle() = default;
    DirectoryListHandle(const DirectoryListHandle&) = delete;
    DirectoryListHandle& operator=(const DirectoryListHandle&) = delete;

    // Takes `fd` (-1: none) to list. The buffer is made before, so that nothing can fail while
    // a descriptor is owned by no one.
    bool Adopt(int fd)
    {
        m_fd.Reset(fd);
        return m_fd.IsValid();
    }
    int Fd() const { return m_fd.Get(); }
    // The next entry, valid until the next call; null at the listing's end (errno 0) or when it
    // cannot go on (errno tells why).
    const struct dirent64* Next()
    {
        if (m_at == m_end) {
            ssize_t got = getdents64(m_fd.Get(), m_buffer.get(), kBufferBytes);
            if (got <= 0) {
                if (got == 0) {
                    errno = 0;
                }
                return nullptr;
            }
            m_at = 0;
            m_end = static_cast<size_t>(got);
        }
        const auto* entry = reinterpret_cast<const struct dirent64*>(m_buffer.get() + m_at);
        m_at += entry->d_reclen;
        return entry;
    }

private:
    static const size_t kBufferBytes = 32 * 1024;  // as readdir's
    std::unique_ptr<char[]> m_buffer{new char[kBufferBytes]};
    UniqueFd m_fd;
    size_t m_at = 0;
    size_t m_end = 0;
};

DirectoryList::DirectoryList() = default;

DirectoryList::~DirectoryList() = default;

bool DirectoryList::Open(const char* folder)
{
    auto handle = std::make_unique<DirectoryListHandle>();
    if (!handle->Adopt(open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC))) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = std::move(handle);
    return true;
}

bool DirectoryList::Open(const FolderHandle& folder)
{
    // The listing reads through a descriptor of its own, so that it outlives the handle, and
    // from the folder's start: "." opened from the handle has a position of its own. A folder
    // that may be read but not searched has no "." to open: a duplicate of the handle lists it.
    auto handle = std::make_unique<DirectoryListHandle>();
    int folderFd = static_cast<int>(folder.Handle());
    UniqueFd own(openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!own.IsValid() && errno == EACCES) {
        own.Reset(fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
        if (own.IsValid() && lseek(own.Get(), 0, SEEK_SET) != 0) {
            own.Reset();
        }
    }
    if (!handle->Adopt(own.Release())) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = std::move(handle);
    return true;
}

FolderHandle::~FolderHandle()
{
    if (m_handle != -1) {
        close(static_cast<int>(m_handle));
    }
}

bool FolderHandle::Open(const char* path)
{
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = fd;
    return true;
}

bool FolderHandle::OpenChild(const FolderHandle& parent, const char* name, bool followLinks)
{
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    int fd = openat(static_cast<int>(parent.Handle()), name, flags);
    if (fd < 0) {
        // O_NOFOLLOW with O_DIRECTORY: a link that stands where the folder was is ELOOP or
        // ENOTDIR, as the system has it.
        struct stat status;
        bool link = !followLinks && (errno == ELOOP || errno == ENOTDIR) &&
                    fstatat(static_cast<int>(parent.Handle()), name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISLNK(status.st_mode);
        m_failure = link ? MakeFailure(FailureKind::SymbolicLink) : LastSystemFailure();
        return false;
    }
    m_handle = fd;
    return true;
}

bool FolderHandle::GetIdentity(FolderIdentity& identity) const
{
    struct stat status;
    if (fstat(static_cast<int>(m_handle), &status) != 0) {
        return false;
    }
    identity = IdentityOf(status);
    return true;
}

bool DirectoryList::Next(DirEntry& entry)
{
    if (m_handle == nullptr) {
        return false;
    }
    const struct dirent64* found = m_handle->Next();
    if (found == nullptr) {
        if (errno != 0) {
            m_failure = LastSystemFailure();
        }
        return false;
    }
    entry.name = found->d_name;
    int folder = m_handle->Fd();
    struct stat status;
    if (found->d_type == DT_REG) {
        entry.attributes = 0;
    } else if (found->d_type == DT_DIR) {
        entry.attributes = kAttrDirectory;
    } else if (found->d_type == DT_LNK) {
        entry.attributes = LinkAttributes(folder, found->d_name);
    } else if (found->d_type != DT_UNKNOWN) {
        entry.attributes = kAttrDevice;
    } else if (fstatat(folder, found->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        entry.attributes = kAttrDevice;
    } else if (!S_ISLNK(status.st_mode)) {
        entry.attributes = AttributesOf(status);
    } else {
        entry.attributes = LinkAttributes(folder, found->d_name);
    }
    if (found->d_name[0] == '.') {
        entry.attributes |= kAttrHidden;
    }
    return true;
}

bool GetFolderIdentity(const char* path, FolderIdentity& identity)
{
    struct stat status;
    if (stat(path, &status) != 0) {
        return false;
    }
    identity = IdentityOf(status);
    return true;
}

bool FindPathEntry(const char* path, uint32_t& attributes, Failure& failure)
{
    struct stat status;
    if (path[0] == '\0') {
        failure = MakeFailure(FailureKind::NotFound);
        return false;
    }
    if (stat(path, &status) != 0) {
        failure = LastSystemFailure();
        return false;
    }
    attributes = AttributesOf(status);
    return true;
}
