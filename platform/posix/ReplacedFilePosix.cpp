#include "platform/ReplacedFile.h"

#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The file a link points to, when `path` is one; `path` itself otherwise.
CString FollowLink(const char* path)
{
    struct stat status;
    if (lstat(path, &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    char* resolved = realpath(path, nullptr);
    if (resolved == nullptr) {
        return path;  // a dangling link: replaced as the name it is
    }
    CString target = resolved;
    free(resolved);
    return target;
}

// The permissions of a new file under the process's umask.
mode_t NewFileMode()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ReplacedFile::~ReplacedFile()
{
    if (!m_newPath.IsEmpty() && !m_committed) {
        unlink(m_newPath);
    }
}

bool ReplacedFile::Begin(const char* path)
{
    m_target = FollowLink(path);
    struct stat existing;
    if (stat(m_target, &existing) == 0 && S_ISDIR(existing.st_mode)) {
        m_failure = Failure{FailureKind::NotRegularFile, EISDIR};
        return false;
    }
    std::string target = m_target.GetString();
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string pattern = folder + ".tolvek-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    UniqueFd file(mkostemp(name.data(), O_CLOEXEC));
    if (!file.IsValid()) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_newPath = name.data();
    struct stat old;
    mode_t mode = stat(m_target, &old) == 0 && S_ISREG(old.st_mode) ? old.st_mode & 07777 : NewFileMode();
    if (fchmod(file.Get(), mode) != 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    return true;
}

bool ReplacedFile::Commit()
{
    if (rename(m_newPath, m_target) != 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_committed = true;
    return true;
}

bool IsStreamPath(const char* path)
{
    // /dev/stdout and /proc/self/fd/1 name the process's own streams, even when the shell made
    // them a file: replacing that file would take the records from under the redirection.
    if (std::strncmp(path, "/dev/", 5) == 0 || std::strncmp(path, "/proc/", 6) == 0) {
        return true;
    }
    struct stat status;
    return stat(path, &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool ReadFirstLine(const char* path, size_t limit, std::string& line)
{
    line.clear();
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    UniqueFd file(open(path, O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) {
        return false;
    }
    std::vector<char> buffer(limit);
    ssize_t got = read(file.Get(), buffer.data(), limit);
    if (got < 0) {
        return false;
    }
    line.assign(buffer.data(), static_cast<size_t>(got));
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}
