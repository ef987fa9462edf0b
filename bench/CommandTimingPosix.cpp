#include "bench/CommandTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "engine/Analyze.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// Runs the command once; `processor` gets the processor time it took.
bool RunOnce(const std::string& command, const std::string& folder, const std::string& config,
             double& processor)
{
    std::string program = command;
    std::string codePage = "--codepage=932";
    std::string target = folder;
    char* arguments[] = {&program[0], &codePage[0], &target[0], nullptr};
    std::string configVariable = "XDG_CONFIG_HOME=" + config;
    char* environment[] = {&configVariable[0], nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environment) == 0) {
        rusage usage{};
        if (wait4(child, &status, 0, &usage) == child) {
            processor = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return status == 0;
}

}  // namespace

CommandTimer::CommandTimer(const std::string& folder) : m_folder(folder), m_command(CommandPath())
{
    if (m_command.empty() || access(m_command.c_str(), X_OK) != 0) {
        m_notTimed = "no tolvek beside the benchmark";
        m_failed = true;
        return;
    }
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
    RemovePath(JoinPath(m_folder, kLogFileName));
    Stopwatch watch;
    if (!RunOnce(m_command, m_folder, m_config, m_lastProcessor)) {
        m_notTimed = "tolvek failed on the folder";
        m_failed = true;
        return 0;
    }
    return watch.Seconds();
}
