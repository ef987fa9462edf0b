#include "platform/RawFile.h"

#include "platform/Directory.h"
#include "platform/Path.h"
#include "platform/win32/HandleIdentity.h"

#include <windows.h>
#include <winternl.h>

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

using QueryInformationFile = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

// The system's own query of a file's index, which asks nothing of the volume (where
// GetFileInformationByHandle asks its serial number too); looked up once.
QueryInformationFile FileInformationQuery()
{
    static const QueryInformationFile query = reinterpret_cast<QueryInformationFile>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    return query;
}

bool QueryFileIndex(HANDLE file, uint64_t& index)
{
    QueryInformationFile query = FileInformationQuery();
    IO_STATUS_BLOCK status;
    FILE_INTERNAL_INFORMATION information;
    if (query == nullptr || query(file, &status, &information, sizeof information, FileInternalInformation) < 0) {
        return false;
    }
    index = static_cast<uint64_t>(information.IndexNumber.QuadPart);
    return true;
}

}  // namespace

RawFile::~RawFile()
{
    if (m_handle != -1 && m_owned) {
        CloseHandle(AsHandle(m_handle));
    }
}

bool RawFile::OpenForReading(const char* path, uint64_t& size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_failure = LastSystemFailure();
        return false;
    }
    LARGE_INTEGER fileSize;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &fileSize)) {
        m_failure = MakeFailure(FailureKind::NotRegularFile);
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(file);
    size = static_cast<uint64_t>(fileSize.QuadPart);
    m_numberKnown = QueryFileIndex(file, m_identity.number);
    return true;
}

bool RawFile::OpenForReadingIn(const FolderHandle& folder, const char* name, bool, uint64_t& size)
{
    // A file behind a reparse point is read like any other on Windows, as the listing has it.
    CString path = folder.Path();
    if (!EndsWithSeparator(path)) {
        path += kPathSeparator;
    }
    path += name;
    return OpenForReading(path, size);
}

bool RawFile::GetIdentity(FolderIdentity& identity)
{
    if (!m_identityKnown) {
        if (!IdentityOf(AsHandle(m_handle), m_identity)) {
            return false;
        }
        m_numberKnown = m_identityKnown = true;
    }
    identity = m_identity;
    return true;
}

bool RawFile::GetSizeNow(uint64_t& size)
{
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(AsHandle(m_handle), &fileSize)) {
        m_failure = LastSystemFailure();
        return false;
    }
    size = static_cast<uint64_t>(fileSize.QuadPart);
    return true;
}

bool RawFile::Seek(uint64_t offset)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(AsHandle(m_handle), at, nullptr, FILE_BEGIN)) {
        m_failure = LastSystemFailure();
        return false;
    }
    return true;
}

size_t RawFile::Read(char* buffer, size_t capacity)
{
    DWORD wanted = capacity > 0x40000000 ? 0x40000000 : static_cast<DWORD>(capacity);
    DWORD got = 0;
    if (!ReadFile(AsHandle(m_handle), buffer, wanted, &got, nullptr)) {
        m_failure = LastSystemFailure();
        return 0;
    }
    return got;
}
