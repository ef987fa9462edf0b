#include "console/ConsoleFrontEnd.h"

#include "console/ConsoleEvents.h"
#include "console/ConsoleOptions.h"
#include "console/ConsoleText.h"
#include "job/AnalyzeJob.h"
#include "platform/CodePage.h"
#include "settings/EnvData.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Why the path cannot be analysed, or "" when it can.
std::string PathProblem(const std::string& path, int32_t kind)
{
    if (kind == TARGET_FOLDER) {
        DIR* folder = opendir(path.c_str());
        if (folder == nullptr) {
            return path + ": cannot read this folder (" + std::strerror(errno) + ")";
        }
        closedir(folder);
        return "";
    }
    if (kind == TARGET_FILE) {
        int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) {
            return path + ": cannot read this file (" + std::strerror(errno) + ")";
        }
        close(file);
        return "";
    }
    return path + ": no such file or folder";
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
    Failure why;
    int32_t kind = ClassifyPath(options.path.c_str(), why);
    std::string problem = PathProblem(options.path, kind);
    if (why.kind == FailureKind::NotRegularFile) {
        problem = options.path + ": not a file or folder";
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "tolvek: %s\n", problem.c_str());
        exitStatus = 1;
    } else {
        AnalysisOptions analysis = MakeAnalysisOptions(settings);
        ApplyConsoleOptions(options, analysis);
        ConsoleEvents events(options.open);
        RunAnalysis(kind, options.path.c_str(), analysis, events);
    }
    // As when the window closes on Windows: the file then holds the values in force.
    settings.Save();
    std::fflush(stderr);
    return exitStatus;
}
