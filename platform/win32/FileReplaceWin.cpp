#include "platform/FileReplace.h"

#include <windows.h>

#include <string>

namespace {

bool SystemRename(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

RenameFunction g_rename = SystemRename;

// Owns a file handle and closes it.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close()
    {
        bool closed = true;
        if (m_handle != INVALID_HANDLE_VALUE) {
            closed = CloseHandle(m_handle) != 0;
            m_handle = INVALID_HANDLE_VALUE;
        }
        return closed;
    }

private:
    HANDLE m_handle;
};

bool WriteAll(HANDLE handle, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(bytes.size() - written > 1u << 30 ? 1u << 30
                                                                          : bytes.size() - written);
        DWORD put = 0;
        if (!WriteFile(handle, bytes.data() + written, chunk, &put, nullptr) || put == 0) {
            return false;
        }
        written += put;
    }
    return true;
}

}  // namespace

void SetRenameForTests(RenameFunction rename)
{
    g_rename = rename != nullptr ? rename : SystemRename;
}

bool ReplaceFileContents(const char* path, const std::string& bytes, Failure& failure)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        failure = LastSystemFailure();
        if (failure.kind != FailureKind::NotFound) {
            return false;
        }
        attributes = FILE_ATTRIBUTE_NORMAL;  // a new file
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        failure = MakeFailure(FailureKind::NotRegularFile);
        return false;
    }
    // The new file keeps the old one's attributes; read-only ones cannot be replaced.
    std::string target = path;
    std::string temporary = target + ".tolvek-new";
    {
        FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes & ~FILE_ATTRIBUTE_READONLY, nullptr));
        if (!file.IsValid()) {
            failure = LastSystemFailure();
            return false;
        }
        bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
        if (!file.Close() || !written) {
            failure = LastSystemFailure();
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!g_rename(temporary.c_str(), target.c_str())) {
        failure = LastSystemFailure();
        if (failure.kind == FailureKind::None) {
            failure = MakeFailure(FailureKind::Other);
        }
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
