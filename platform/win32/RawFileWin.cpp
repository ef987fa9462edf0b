#include "platform/RawFile.h"

#include "platform/Directory.h"
#include "platform/Path.h"

#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

RawFile::~RawFile()
{
    if (m_handle != -1) {
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
    if (GetFileType(file) != FILE_TYPE_DISK) {
        m_failure = MakeFailure(FailureKind::NotRegularFile);
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(file);
    // One call tells the size and the identity, which a job compares with its log's; a file
    // system that does not tell them gives the size alone.
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information)) {
        size = (static_cast<uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
        m_identity.device = information.dwVolumeSerialNumber;
        m_identity.number = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
        m_identityKnown = true;
        return true;
    }
    return GetSizeNow(size);
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
