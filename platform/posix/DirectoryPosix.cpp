#include "platform/Directory.h"

#include "platform/posix/StatIdentity.h"
#include "platform/posix/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

class DirectoryListHandle {
public:
    explicit DirectoryListHandle(DIR* dir) : m_dir(dir) {}
    ~DirectoryListHandle() { closedir(m_dir); }
    DirectoryListHandle(const DirectoryListHandle&) = delete;
    DirectoryListHandle& operator=(const DirectoryListHandle&) = delete;

    DIR* Get() const { return m_dir; }

private:
    DIR* m_dir;
};

DirectoryList::DirectoryList() = default;

DirectoryList::~DirectoryList() = default;

bool DirectoryList::Open(const char* folder)
{
    DIR* dir = opendir(folder);
    if (dir == nullptr) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = std::make_unique<DirectoryListHandle>(dir);
    return true;
}

bool DirectoryList::Open(const FolderHandle& folder)
{
    // The listing reads through a descriptor of its own, so that it outlives the handle.
    UniqueFd own(fcntl(static_cast<int>(folder.Handle()), F_DUPFD_CLOEXEC, 0));
    DIR* dir = own.IsValid() ? fdopendir(own.Get()) : nullptr;
    if (dir == nullptr) {
        m_failure = LastSystemFailure();
        return false;
    }
    own.Release();
    rewinddir(dir);  // the duplicate shares its position with the handle
    m_handle = std::make_unique<DirectoryListHandle>(dir);
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
    // readdir tells its end and its failure apart by errno alone.
    errno = 0;
    const dirent* found = readdir(m_handle->Get());
    if (found == nullptr) {
        if (errno != 0) {
            m_failure = LastSystemFailure();
        }
        return false;
    }
    entry.name = found->d_name;
    int folder = dirfd(m_handle->Get());
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
