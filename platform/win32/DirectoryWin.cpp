#include "platform/Directory.h"

#include "platform/Path.h"
#include "platform/win32/HandleIdentity.h"

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

bool DirectoryList::Open(const FolderHandle& folder) { return Open(folder.Path()); }

namespace {

CString JoinName(const CString& folder, const char* name)
{
    CString path = folder;
    if (!EndsWithSeparator(path)) {
        path += kPathSeparator;
    }
    path += name;
    return path;
}

}  // namespace

bool IdentityOf(HANDLE handle, FolderIdentity& identity, DWORD* attributes)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) {
        return false;
    }
    identity.device = information.dwVolumeSerialNumber;
    identity.number = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    if (attributes != nullptr) {
        *attributes = information.dwFileAttributes;
    }
    return true;
}

FolderHandle::~FolderHandle()
{
    if (m_handle != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    }
}

bool FolderHandle::Open(const char* path)
{
    HANDLE folder = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(folder);
    m_path = path;
    return true;
}

bool FolderHandle::OpenChild(const FolderHandle& parent, const char* name, bool followLinks)
{
    CString path = JoinName(parent.Path(), name);
    if (IsPathTooLong(path)) {
        m_failure = MakeFailure(FailureKind::NameTooLong);
        return false;
    }
    // The reparse point itself unless links are followed, so that one found now is seen.
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE folder = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, flags, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    FolderIdentity identity;
    DWORD attributes = 0;
    if (IdentityOf(folder, identity, &attributes)) {
        // Wine tells a reparse point by the name's attributes only, not by the handle's.
        DWORD named = GetFileAttributesA(path);
        attributes |= named != INVALID_FILE_ATTRIBUTES ? (named & FILE_ATTRIBUTE_REPARSE_POINT) : 0;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (!followLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
        m_failure = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? MakeFailure(FailureKind::SymbolicLink)
                                                                     : MakeFailure(FailureKind::NotRegularFile);
        CloseHandle(folder);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(folder);
    m_path = path;
    return true;
}

bool FolderHandle::GetIdentity(FolderIdentity& identity) const
{
    return IdentityOf(reinterpret_cast<HANDLE>(m_handle), identity, nullptr);
}

bool DirectoryList::Next(DirEntry& entry)
{
    WIN32_FIND_DATAA data;
    if (m_handle == nullptr) {
        return false;
    }
    if (!m_handle->Next(data)) {
        if (GetLastError() != ERROR_NO_MORE_FILES) {
            m_failure = LastSystemFailure();
        }
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
    bool known = IdentityOf(folder, identity);
    CloseHandle(folder);
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
