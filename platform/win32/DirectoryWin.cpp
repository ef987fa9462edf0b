#include "platform/Directory.h"

#include "platform/Path.h"

#include <windows.h>

class DirectoryListHandle {
public:
    DirectoryListHandle(HANDLE find, const WIN32_FIND_DATAA& first) : m_find(find), m_first(first) {}
    ~DirectoryListHandle() { FindClose(m_find); }
    DirectoryListHandle(const DirectoryListHandle&) = delete;
    DirectoryListHandle& operator=(const DirectoryListHandle&) = delete;

    bool Next(WIN32_FIND_DATAA& data)
    {
        if (m_hasFirst) {
            m_hasFirst = false;
            data = m_first;
            return true;
        }
        return FindNextFileA(m_find, &data) != FALSE;
    }

private:
    HANDLE m_find;
    WIN32_FIND_DATAA m_first;
    bool m_hasFirst = true;
};

DirectoryList::DirectoryList() = default;

DirectoryList::~DirectoryList() = default;

bool DirectoryList::Open(const char* folder)
{
    CString pattern = folder;
    if (!EndsWithSeparator(pattern)) {
        pattern += kPathSeparator;
    }
    pattern += "*.*";
    if (IsPathTooLong(pattern)) {
        m_failure = MakeFailure(FailureKind::NameTooLong);
        return false;
    }
    WIN32_FIND_DATAA first;
    HANDLE find = FindFirstFileA(pattern, &first);
    if (find == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = std::make_unique<DirectoryListHandle>(find, first);
    return true;
}

bool DirectoryList::Next(DirEntry& entry)
{
    WIN32_FIND_DATAA data;
    if (m_handle == nullptr || !m_handle->Next(data)) {
        return false;
    }
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    if ((entry.attributes & kAttrDirectory) == 0) {
        entry.attributes &= ~kAttrLink;  // a file behind a reparse point is read like any other
    }
    return true;
}

bool GetFolderIdentity(const char* path, FolderIdentity& identity)
{
    HANDLE folder = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(folder, &information) != FALSE;
    CloseHandle(folder);
    if (known) {
        identity.device = information.dwVolumeSerialNumber;
        identity.number = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) |
                          information.nFileIndexLow;
    }
    return known;
}

bool FindPathEntry(const char* path, uint32_t& attributes, Failure& failure)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) {
        failure = LastSystemFailure();
        return false;
    }
    FindClose(find);
    attributes = data.dwFileAttributes;
    return true;
}
