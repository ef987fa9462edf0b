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
    LARGE_INTEGER fileSize;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &fileSize)) {
        m_failure = MakeFailure(FailureKind::NotRegularFile);
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(file);
    size = static_cast<uint64_t>(fileSize.QuadPart);
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
