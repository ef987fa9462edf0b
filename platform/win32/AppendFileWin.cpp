#include "platform/AppendFile.h"

#include "platform/win32/HandleIdentity.h"

#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Writers take a byte far beyond any file's end: a lock there keeps the file's own bytes free
// for readers while every writer that takes the same byte waits for the others.
const DWORD kLockOffsetLow = 0xFFFFFFFE;
const DWORD kLockOffsetHigh = 0x7FFFFFFF;

// Jobs of this process take turns as well, whatever the system does with two locks of one
// process: Wine does not always keep the appends of two handles apart.
SRWLOCK g_appendLock = SRWLOCK_INIT;

}  // namespace

AppendFile::~AppendFile()
{
    if (m_handle != -1) {
        Unlock();
        CloseHandle(AsHandle(m_handle));
    }
}


bool AppendFile::Open(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            m_failure = MakeFailure(FailureKind::SymbolicLink);
            return false;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            m_failure = MakeFailure(FailureKind::NotRegularFile);
            return false;
        }
    }
    // The reparse point itself, never what it points to: made one since the look above, it is
    // refused below.
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    bool regular = GetFileType(file) == FILE_TYPE_DISK &&
                   GetFileInformationByHandle(file, &information) &&
                   (information.dwFileAttributes &
                    (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
    if (!regular) {
        m_failure = MakeFailure(FailureKind::NotRegularFile);
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(file);
    return true;
}

bool AppendFile::OpenNamed(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        file = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_regular = GetFileType(file) == FILE_TYPE_DISK;
    m_handle = reinterpret_cast<intptr_t>(file);
    return true;
}

bool AppendFile::OpenStandardOutput()
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE duplicate = nullptr;
    if (output == nullptr || output == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        m_failure = LastSystemFailure();
        return false;
    }
    m_regular = GetFileType(duplicate) == FILE_TYPE_DISK;
    m_handle = reinterpret_cast<intptr_t>(duplicate);
    return true;
}

bool AppendFile::GetIdentity(FolderIdentity& identity) const
{
    return m_regular && IdentityOf(AsHandle(m_handle), identity);
}

bool AppendFile::Lock(uint64_t& size)
{
    if (!m_regular) {
        size = 0;  // a stream: nothing to take, read back or cut
        return true;
    }
    AcquireSRWLockExclusive(&g_appendLock);
    OVERLAPPED region = {};
    region.Offset = kLockOffsetLow;
    region.OffsetHigh = kLockOffsetHigh;
    if (!LockFileEx(AsHandle(m_handle), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &region)) {
        m_failure = LastSystemFailure();
        ReleaseSRWLockExclusive(&g_appendLock);
        return false;
    }
    m_locked = true;
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(AsHandle(m_handle), &fileSize)) {
        m_failure = LastSystemFailure();
        Unlock();
        return false;
    }
    size = static_cast<uint64_t>(fileSize.QuadPart);
    return true;
}

void AppendFile::Unlock()
{
    if (m_locked) {
        OVERLAPPED region = {};
        region.Offset = kLockOffsetLow;
        region.OffsetHigh = kLockOffsetHigh;
        UnlockFileEx(AsHandle(m_handle), 0, 1, 0, &region);
        m_locked = false;
        ReleaseSRWLockExclusive(&g_appendLock);
    }
}

bool AppendFile::ReadByteAt(uint64_t offset, char& byte)
{
    if (!m_regular) {
        return false;
    }
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    return ReadFile(AsHandle(m_handle), &byte, 1, &got, &at) && got == 1;
}

bool AppendFile::Append(const char* data, size_t length)
{
    LARGE_INTEGER zero = {};
    if (m_regular && !SetFilePointerEx(AsHandle(m_handle), zero, nullptr, FILE_END)) {
        m_failure = LastSystemFailure();
        return false;
    }
    while (length > 0) {
        DWORD chunk = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
        DWORD wrote = 0;
        if (!WriteFile(AsHandle(m_handle), data, chunk, &wrote, nullptr) || wrote == 0) {
            m_failure = LastSystemFailure();
            return false;
        }
        data += wrote;
        length -= wrote;
    }
    return true;
}

bool AppendFile::Truncate(uint64_t size)
{
    if (!m_regular) {
        return false;
    }
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(AsHandle(m_handle), at, nullptr, FILE_BEGIN) &&
           SetEndOfFile(AsHandle(m_handle));
}
