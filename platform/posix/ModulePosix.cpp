#include "platform/Module.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// $HOME, or the home folder of the account when HOME is unset.
bool GetHomeFolder(std::string& home)
{
    const char* variable = std::getenv("HOME");
    if (variable != nullptr && variable[0] == '/') {
        home = variable;
        return true;
    }
    const passwd* account = getpwuid(getuid());
    if (account == nullptr || account->pw_dir == nullptr || account->pw_dir[0] != '/') {
        return false;
    }
    home = account->pw_dir;
    return true;
}

}  // namespace

bool GetSettingsFolder(CString& folder)
{
    // XDG base directories must be absolute: a relative XDG_CONFIG_HOME is ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (configHome != nullptr && configHome[0] == '/') {
        base = configHome;
    } else if (GetHomeFolder(base)) {
        base += "/.config";
    } else {
        return false;
    }
    folder = base.c_str();
    folder += "/tolvek";
    return true;
}

void PrepareSettingsFolder(const char* folder)
{
    // Like mkdir -p: create each missing level in turn.
    std::string path = folder;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string level = path.substr(0, slash);
        if (mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) {
            return;
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}
