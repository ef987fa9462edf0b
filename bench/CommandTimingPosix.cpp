#include "bench/CommandTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "engine/Analyze.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::string CommandPath()
{
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return "";
    }
    std::string self(buffer.data(), static_cast<size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + "tolvek";
}

// The first executable `name` in the folders of PATH; empty when there is none.
std::string FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    for (size_t begin = 0; begin <= folders.size();) {
        size_t end = std::min(folders.find(':', begin), folders.size());
        std::string candidate = folders.substr(begin, end - begin) + "/" + name;
        if (end > begin && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        begin = end + 1;
    }
    return "";
}

// rg on the benchmark's target files, as a user would ask it for the literals: by its own
// search, on two threads, with the line numbers.
std::vector<std::string> RipgrepArguments(const std::string& program)
{
    std::vector<std::string> arguments = {program, "-j2", "-n", "-o"};
    std::string targets = kBenchTargetList;  // |c|cpp|h|
    for (size_t begin = 1, end = 0; (end = targets.find('|', begin)) != std::string::npos; begin = end + 1) {
        arguments.push_back("--iglob");
        arguments.push_back("*." + targets.substr(begin, end - begin));
    }
    arguments.push_back("\"[^\"]*\"");
    return arguments;
}

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// Runs the command once; `processor` gets the processor time it took. rg's status 1 says that it
// found nothing.
bool RunOnce(std::vector<std::string> arguments, const std::string& config, bool ripgrep,
             double& processor)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    std::string configVariable = "XDG_CONFIG_HOME=" + config;
    char* environment[] = {&configVariable[0], nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environment) == 0) {
        rusage usage{};
        if (wait4(child, &status, 0, &usage) == child) {
            processor = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    bool exited = status != -1 && WIFEXITED(status);
    return exited && (WEXITSTATUS(status) == 0 || (ripgrep && WEXITSTATUS(status) == 1));
}

}  // namespace

CommandTimer::CommandTimer(const std::string& folder, TimedCommand command)
    : m_folder(folder), m_command(command)
{
    if (command == TimedCommand::kRipgrep) {
        std::string program = FindOnPath("rg");
        if (program.empty()) {
            m_notTimed = "rg is not installed";
            return;
        }
        m_arguments = RipgrepArguments(program);
    } else {
        std::string program = CommandPath();
        if (program.empty() || access(program.c_str(), X_OK) != 0) {
            m_notTimed = "no tolvek beside the benchmark";
            m_failed = true;
            return;
        }
        m_arguments = {program, "--codepage=932"};
        if (command == TimedCommand::kTolvekTree) {
            m_arguments.insert(m_arguments.end(), {"-r", "--output", "/dev/null"});
        }
    }
    m_arguments.push_back(folder);
    m_config = MakeTempFolder();
}

CommandTimer::~CommandTimer()
{
    if (!m_config.empty()) {
        RemovePath(m_config);
    }
}

double CommandTimer::TimeOnce()
{
    if (!m_notTimed.empty()) {
        return 0;
    }
    if (m_command == TimedCommand::kTolvek) {
        RemovePath(JoinPath(m_folder, kLogFileName));
    }
    Stopwatch watch;
    if (!RunOnce(m_arguments, m_config, m_command == TimedCommand::kRipgrep, m_lastProcessor)) {
        m_notTimed = m_command == TimedCommand::kRipgrep ? "rg failed on the folder"
                                                          : "tolvek failed on the folder";
        m_failed = true;
        return 0;
    }
    return watch.Seconds();
}
