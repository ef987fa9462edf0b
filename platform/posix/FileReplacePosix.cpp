#include "platform/FileReplace.h"

#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

bool SystemRename(const char* from, const char* to)
{
    return std::rename(from, to) == 0;
}

RenameFunction g_rename = SystemRename;

bool WriteAll(int fd, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t put = write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        written += static_cast<size_t>(put);
    }
    return true;
}

// The file a path ends at, through every link on the way.
bool FinalPath(const char* path, std::string& target, Failure& failure)
{
    std::vector<char> resolved(PATH_MAX + 1);
    if (realpath(path, resolved.data()) == nullptr) {
        failure = LastSystemFailure();
        return false;
    }
    target = resolved.data();
    return true;
}

// A file that is not there yet: made where named, as the process's mask says, and owned by its
// maker.
bool NewFileStatus(const char* path, std::string& target, struct stat& status)
{
    mode_t mask = umask(0);
    umask(mask);
    status = {};
    status.st_mode = S_IFREG | (0666 & ~mask);
    status.st_uid = geteuid();
    status.st_gid = getegid();
    target = path;
    if (target.find('/') == std::string::npos) {
        target = "./" + target;
    }
    return true;
}

}  // namespace

void SetRenameForTests(RenameFunction rename)
{
    g_rename = rename != nullptr ? rename : SystemRename;
}

bool ReplaceFileContents(const char* path, const std::string& bytes, Failure& failure)
{
    std::string target;
    struct stat status;
    if (!FinalPath(path, target, failure)) {
        if (failure.kind != FailureKind::NotFound || !NewFileStatus(path, target, status)) {
            return false;
        }
    } else if (stat(target.c_str(), &status) != 0) {
        failure = LastSystemFailure();
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        failure = MakeFailure(FailureKind::NotRegularFile);
        return false;
    }
    std::string folder = target.substr(0, target.rfind('/') + 1);
    std::string name = target.substr(target.rfind('/') + 1);
    std::string temporary = folder + "." + name + ".tolvek-XXXXXX";
    UniqueFd fd(mkstemp(&temporary[0]));
    if (!fd.IsValid()) {
        failure = LastSystemFailure();
        return false;
    }
    // The owner first: changing it may clear the set-user and set-group bits that chmod then sets.
    if (fchown(fd.Get(), status.st_uid, status.st_gid) != 0) {
        (void)!fchown(fd.Get(), static_cast<uid_t>(-1), status.st_gid);
    }
    errno = 0;
    bool written = fchmod(fd.Get(), status.st_mode & 07777) == 0 && WriteAll(fd.Get(), bytes) &&
                   fsync(fd.Get()) == 0;
    if (written) {
        written = close(fd.Release()) == 0;
    }
    if (!written || !g_rename(temporary.c_str(), target.c_str())) {
        failure = errno != 0 ? LastSystemFailure() : MakeFailure(FailureKind::Other);
        unlink(temporary.c_str());
        return false;
    }
    // The rename is on the disk once the folder is.
    UniqueFd directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsValid()) {
        fsync(directory.Get());
    }
    return true;
}
