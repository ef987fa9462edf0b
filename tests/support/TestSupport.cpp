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
    // An analysis makes its folder the current one, and Windows keeps the current folder.
    std::string current = fs::current_path(error).string();
    if (!error && current.compare(0, m_path.size(), m_path) == 0) {
        fs::current_path(fs::temp_directory_path(), error);
    }
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

namespace {

#ifdef _WIN32
// Runs a Linux command in `folder`: Wine starts a Linux program that it is asked to start, but
// cannot wait for it, so the caller waits until what the command does shows.
bool StartLinuxCommand(const std::string& folder, std::string command)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WaitUntilPresent(const std::string& path, bool present)
{
    for (int waited = 0; waited < 10000; waited += 10) {
        WIN32_FIND_DATAA data;
        HANDLE found = FindFirstFileA(path.c_str(), &data);
        if (found != INVALID_HANDLE_VALUE) {
            FindClose(found);
        }
        if ((found != INVALID_HANDLE_VALUE) == present) {
            return true;
        }
        Sleep(10);
    }
    return false;
}
#endif

}  // namespace

SymbolicLink::SymbolicLink(const std::string& folder, const std::string& target, const std::string& name)
    : m_folder(folder), m_name(name)
{
#ifdef _WIN32
    m_made = StartLinuxCommand(folder, "Z:\\bin\\ln -s " + target + " " + name) &&
             WaitUntilPresent(folder + "\\" + name, true);
#else
    m_made = symlink(target.c_str(), (folder + "/" + name).c_str()) == 0;
#endif
}

SymbolicLink::~SymbolicLink()
{
    if (!m_made) {
        return;
    }
#ifdef _WIN32
    // The program sees the link as a reparse point, and its own removal would go through it.
    if (StartLinuxCommand(m_folder, "Z:\\bin\\rm -f " + m_name)) {
        WaitUntilPresent(m_folder + "\\" + m_name, false);
    }
#else
    unlink((m_folder + "/" + m_name).c_str());
#endif
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
