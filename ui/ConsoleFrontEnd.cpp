#include "ui/ConsoleFrontEnd.h"

#include "job/AnalyzeJob.h"
#include "job/JobMessages.h"
#include "platform/CodePage.h"
#include "platform/Shell.h"
#include "settings/EnvData.h"
#include "ui/ConsoleOptions.h"
#include "ui/ConsoleText.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

extern char** environ;

namespace {

// Stands in for the main window: shows the job's status lines, and ends the message loop when
// the job has ended.
class ConsoleWindow : public MessageReceiver {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ANALYZE_STATUS) {
            OnStatus(reinterpret_cast<const char*>(wParam), reinterpret_cast<const char*>(lParam));
        } else if (message == WM_ANALYZE_END) {
            PostQuitMessage(0);
        }
        return 0;
    }

private:
    // Our own text is converted for the terminal; the file name is shown as the system gave it.
    static void OnStatus(const char* first, const char* second)
    {
        std::string text = ToTerminal(first) + "\n" + second + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
};

void PrintLogPath(const char* path)
{
    std::printf("%s\n", path);
    std::fflush(stdout);
}

void OpenWithDesktop(const char* path)
{
    char program[] = "xdg-open";
    char* arguments[] = {program, const_cast<char*>(path), nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "tolvek: xdg-open could not open %s\n", path);
    }
}

// Why the path cannot be analysed, or "" when it can.
std::string PathProblem(const std::string& path)
{
    struct stat status;
    if (path.empty() || stat(path.c_str(), &status) != 0) {
        return path + ": no such file or folder";
    }
    if (S_ISDIR(status.st_mode)) {
        DIR* folder = opendir(path.c_str());
        if (folder == nullptr) {
            return path + ": cannot read this folder (" + std::strerror(errno) + ")";
        }
        closedir(folder);
        return "";
    }
    if (!S_ISREG(status.st_mode)) {
        return path + ": not a file or folder";
    }
    int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return path + ": cannot read this file (" + std::strerror(errno) + ")";
    }
    close(file);
    return "";
}

void RunJob(const std::string& path, const CEnvData& settings)
{
    ConsoleWindow window;
    StartAnalyzeJob(&window, path.c_str(), settings);
    RunMessageLoop();
}

}  // namespace

int RunConsole(int argc, char** argv, CEnvData& settings)
{
    ConsoleOptions options;
    std::string error;
    if (!ParseConsoleOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tolvek: %s\n%s", error.c_str(), kConsoleUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kConsoleUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tolvek %s\n", TOLVEK_VERSION);
        return 0;
    }

    InitTerminalEncoding();
    // A person watching sees each notice at once; a file or a pipe takes them in blocks.
    if (!isatty(STDERR_FILENO)) {
        std::setvbuf(stderr, nullptr, _IOFBF, 64 * 1024);
    }
    if (options.codePage != 0) {
        SelectCodePage(options.codePage);
    }
    settings.Load();
    int exitStatus = 0;
    std::string problem = PathProblem(options.path);
    if (!problem.empty()) {
        std::fprintf(stderr, "tolvek: %s\n", problem.c_str());
        exitStatus = 1;
    } else {
        SetOpenFileAction(options.open ? OpenWithDesktop : PrintLogPath);
        RunJob(options.path, ApplyConsoleOptions(options, settings));
    }
    // As when the window closes on Windows: the file then holds the values in force.
    settings.Save();
    std::fflush(stderr);
    return exitStatus;
}
