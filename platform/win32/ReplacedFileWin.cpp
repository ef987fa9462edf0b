#include "platform/ReplacedFile.h"

#include <windows.h>

#include <vector>

namespace {

// The folder part of `path`, with its separator; "." when it has none.
CString FolderOf(const char* path)
{
    const char* last = nullptr;
    for (const char* at = path; *at != '\0'; at += IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1] != '\0' ? 2 : 1) {
        if (*at == '\\' || *at == '/' || (*at == ':' && at == path + 1)) {
            last = at;
        }
    }
    return last == nullptr ? CString(".") : CString(path, static_cast<int>(last - path + 1));
}

// Opens `path` to look at it, whatever it is; INVALID_HANDLE_VALUE when it cannot be.
HANDLE OpenToLook(const char* path)
{
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

ReplacedFile::~ReplacedFile()
{
    if (!m_newPath.IsEmpty() && !m_committed) {
        DeleteFileA(m_newPath);
    }
}

bool ReplacedFile::Begin(const char* path)
{
    m_target = path;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        m_failure = MakeFailure(FailureKind::NotRegularFile);
        return false;
    }
    char name[MAX_PATH];
    // Made empty, in the folder of the file it will replace.
    if (GetTempFileNameA(FolderOf(path), "tlv", 0, name) == 0) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_newPath = name;
    return true;
}

bool ReplacedFile::Commit()
{
    if (!MoveFileExA(m_newPath, m_target, MOVEFILE_REPLACE_EXISTING)) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_committed = true;
    return true;
}

bool IsStreamPath(const char* path)
{
    HANDLE file = OpenToLook(path);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool stream = GetFileType(file) != FILE_TYPE_DISK;
    CloseHandle(file);
    return stream;
}

bool ReadFirstLine(const char* path, size_t limit, std::string& line)
{
    line.clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = GetFileType(file) == FILE_TYPE_DISK;
    std::vector<char> buffer(limit);
    DWORD got = 0;
    ok = ok && ReadFile(file, buffer.data(), static_cast<DWORD>(limit), &got, nullptr);
    CloseHandle(file);
    if (!ok) {
        return false;
    }
    line.assign(buffer.data(), got);
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}
