#include "tests/console/CommandRunner.h"

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

namespace {

const uid_t kNobody = 65534;
const gid_t kNoGroup = 65534;

// Output files of the commands still running, by process.
std::map<pid_t, std::pair<std::string, std::string>> g_outputs;

}  // namespace

bool CanDropPrivileges() { return geteuid() == 0; }

void GiveToUnprivileged(const std::string& path)
{
    if (CanDropPrivileges()) {
        if (chown(path.c_str(), kNobody, kNoGroup) != 0) {
            chmod(path.c_str(), 0777);
        }
    }
}

CommandRunner::CommandRunner() { GiveToUnprivileged(m_config.Path()); }

pid_t CommandRunner::Start(std::vector<std::string> arguments, const RunOptions& options)
{
    arguments.insert(arguments.begin(), TOLVEK_COMMAND);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    std::string config = "XDG_CONFIG_HOME=" + m_config.Path();
    std::string home = "HOME=" + m_config.Path();
    std::string searchPath = "PATH=" + options.searchPath;
    std::vector<std::string> variables = options.environment;
    std::vector<char*> env = {&config[0], &home[0], &searchPath[0]};
    for (std::string& variable : variables) {
        env.push_back(&variable[0]);
    }
    env.push_back(nullptr);
    std::string number = std::to_string(m_runs++);
    std::string outPath = m_config / ("out" + number);
    std::string errPath = m_config / ("err" + number);
    std::string inPath = m_config / ("in" + number);
    WriteBytes(inPath, options.input);
    std::string folder = options.folder.empty() ? m_work.Path() : options.folder;

    int terminal = -1;
    pid_t child = 0;
    if (options.terminalColumns > 0) {
        winsize size = {};
        size.ws_row = 24;
        size.ws_col = static_cast<unsigned short>(options.terminalColumns);
        child = forkpty(&terminal, nullptr, nullptr, &size);
    } else {
        child = fork();
    }
    if (child == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = options.terminalColumns > 0 ? dup(1)
                                               : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open(inPath.c_str(), O_RDONLY);
        if (in < 0 || dup2(in, 0) < 0 || out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(folder.c_str()) != 0) {
            _exit(120);
        }
        if (options.unprivileged && CanDropPrivileges() &&
            (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0)) {
            _exit(121);
        }
        execve(argv[0], argv.data(), env.data());
        _exit(122);
    }
    g_outputs[child] = {outPath, errPath};
    if (terminal >= 0) {
        // What the command writes on its terminal, into the error file, until it closes.
        std::string shown;
        char block[4096];
        ssize_t got = 0;
        while ((got = read(terminal, block, sizeof block)) > 0) {
            shown.append(block, static_cast<size_t>(got));
        }
        close(terminal);
        WriteBytes(errPath, shown);
    }
    return child;
}

CommandResult CommandRunner::Wait(pid_t child)
{
    CommandResult result;
    int status = 0;
    if (waitpid(child, &status, 0) == child) {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    auto outputs = g_outputs.find(child);
    if (outputs != g_outputs.end()) {
        result.out = ReadBytes(outputs->second.first);
        result.err = ReadBytes(outputs->second.second);
        g_outputs.erase(outputs);
    }
    return result;
}

CommandResult CommandRunner::Run(std::vector<std::string> arguments, const RunOptions& options)
{
    return Wait(Start(std::move(arguments), options));
}
