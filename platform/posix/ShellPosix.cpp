#include "platform/Shell.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

bool OpenFileInShell(const char* path)
{
    char program[] = "xdg-open";
    char* arguments[] = {program, const_cast<char*>(path), nullptr};
    pid_t child = 0;
    int status = 0;
    return posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) == 0 &&
           waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
