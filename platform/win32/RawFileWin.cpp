#include "platform/RawFile.h"

#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Overlapping jobs of this process append to one log through handles of their own. Windows puts
// each write of a FILE_APPEND_DATA handle whole at the end, but not every implementation of the
// system does (Wine does not), so the appends of this process take turns.
SRWLOCK g_appendLock = SRWLOCK_INIT;

class AppendTurn {
public:
    AppendTurn() { AcquireSRWLockExclusive(&g_appendLock); }
    ~AppendTurn() { ReleaseSRWLockExclusive(&g_appendLock); }
    AppendTurn(const AppendTurn&) = delete;
    AppendTurn& operator=(const AppendTurn&) = delete;
};

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

bool RawFile::OpenForAppending(const char* path)
{
    // FILE_APPEND_DATA alone: the system puts every write at the current end of the file.
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA | SYNCHRONIZE, kShareAll, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool RawFile::Append(const char* data, size_t length)
{
    AppendTurn turn;
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
