#include "tests/support/TestSupport.h"

#include "platform/CodePage.h"
#include "platform/Path.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#define TOLVEK_GETPID _getpid
#else
#include <sys/stat.h>
#include <unistd.h>
#define TOLVEK_GETPID getpid
#endif

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_folderCount{0};

}  // namespace

TempFolder::TempFolder()
{
    std::string base = fs::temp_directory_path().string();
    if (!base.empty() && !IsPathSeparator(base.back())) {
        base += kPathSeparator;
    }
    for (int attempt = 0;; ++attempt) {
        m_path = base + "tolvek-test-" + std::to_string(TOLVEK_GETPID()) + "-" +
                 std::to_string(g_folderCount++);
        std::error_code error;
        if (fs::create_directory(m_path, error) || attempt > 100) {
            break;
        }
    }
}

TempFolder::~TempFolder()
{
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string TempFolder::operator/(const std::string& name) const
{
    return m_path + kPathSeparator + name;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

std::string ReadBytes(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return "<missing>";
    }
    std::string bytes;
    char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, got);
    }
    std::fclose(file);
    return bytes;
}

bool FileExists(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

void MakeFolder(const std::string& path)
{
    // Through the system's byte-string interface, so that Shift_JIS names reach Windows as such.
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || IsPathSeparator(path[at])) {
            std::string level = path.substr(0, at);
#ifdef _WIN32
            CreateDirectoryA(level.c_str(), nullptr);
#else
            mkdir(level.c_str(), 0755);
#endif
        }
    }
}

void RemoveFile(const std::string& path)
{
    std::error_code error;
    fs::remove_all(path, error);
}

void SetEnvVar(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

CodePageScope::CodePageScope(int codePage) : m_previous(GetCodePage()) { SelectCodePage(codePage); }

CodePageScope::~CodePageScope() { SelectCodePage(m_previous); }

CurrentFolderScope::CurrentFolderScope()
{
    std::error_code error;
    m_path = fs::current_path(error).string();
}

CurrentFolderScope::~CurrentFolderScope()
{
    std::error_code error;
    fs::current_path(m_path, error);
}
