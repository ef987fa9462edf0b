#include "platform/Profile.h"

#include "platform/CodePage.h"
#include "platform/posix/IniText.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads a regular file whole. O_NONBLOCK: opening a FIFO must not wait for a writer; a regular
// file reads the same either way.
bool ReadWholeFile(const char* path, std::string& content)
{
    UniqueFd file(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!file.IsValid() || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    char block[4096];  // settings are small; a larger frame is a page fault for each page it spans
    ssize_t got = 0;
    while ((got = read(file.Get(), block, sizeof block)) > 0) {
        content.append(block, static_cast<size_t>(got));
    }
    return got == 0;
}

bool WriteAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        ssize_t wrote = write(fd, content.data() + done, content.size() - done);
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Replaces the file in one step: a reader sees the old file or the new one, never half of one.
bool ReplaceFile(const char* path, const std::string& content)
{
    std::string temporary = std::string(path) + ".XXXXXX";
    UniqueFd file(mkstemp(&temporary[0]));
    if (!file.IsValid()) {
        return false;
    }
    struct stat old;
    mode_t mode = stat(path, &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool written = fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), content) &&
                   fsync(file.Get()) == 0;
    file.Reset();
    if (!written || rename(temporary.c_str(), path) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

// The file that `path` names after following its symbolic links, so that a link to the settings
// stays a link and its target is what changes. False for a loop or a link that cannot be read.
bool FollowLinks(const char* path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status;
        if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        std::vector<char> buffer(static_cast<size_t>(status.st_size) + 256);
        ssize_t length = readlink(target.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) {
            return false;
        }
        std::string next(buffer.data(), static_cast<size_t>(length));
        if (next[0] != '/') {
            next = target.substr(0, target.rfind('/') + 1) + next;
        }
        target = next;
    }
    return false;
}

// A value enclosed in a pair of the same quote reads without them, as on Windows.
std::string WithoutQuotes(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

size_t CopyCut(const std::string& value, char* buffer, size_t size)
{
    size_t length = value.size() < size - 1 ? value.size() : size - 1;
    if (length < value.size()) {
        // Never leave half of a double-byte character at the cut.
        size_t at = 0;
        while (at < length) {
            at += IsLeadByte(value[at]) ? 2 : 1;
        }
        if (at > length) {
            --length;
        }
    }
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return length;
}

// The first line of a value: a line end inside it would break the file's structure.
std::string FirstLine(const char* value)
{
    return std::string(value, std::strcspn(value, "\r\n"));
}

}  // namespace

size_t ReadProfileValue(const char* section, const char* key, const char* defaultValue, char* buffer,
                        size_t size, const char* path)
{
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    std::string content;
    std::string value;
    if (section == nullptr || key == nullptr || !ReadWholeFile(path, content) ||
        !IniText(content).Read(section, key, value)) {
        value = defaultValue != nullptr ? defaultValue : "";
        while (!value.empty() && value.back() == ' ') {
            value.pop_back();
        }
    } else {
        value = WithoutQuotes(value);
    }
    return CopyCut(value, buffer, size);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* path)
{
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) {
        return false;
    }
    std::string target;
    if (!FollowLinks(path, target)) {
        return false;
    }
    std::string content;
    if (!ReadWholeFile(target.c_str(), content) && access(target.c_str(), F_OK) == 0) {
        return false;  // there is a file, but we cannot read it: never replace what we cannot keep
    }
    IniText text(content);
    text.Write(FirstLine(section), FirstLine(key), FirstLine(value));
    return ReplaceFile(target.c_str(), text.Content());
}
