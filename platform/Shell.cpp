#include "platform/Shell.h"

#include "platform/ShellDefault.h"

#include <atomic>

namespace {

// A plain function pointer: it stays valid while a worker still runs at process exit.
std::atomic<OpenFileAction> g_action{DefaultOpenFileAction};

}  // namespace

void SetOpenFileAction(OpenFileAction action) { g_action = action; }

void OpenFileInShell(const char* path)
{
    OpenFileAction action = g_action;
    if (action != nullptr) {
        action(path);
    }
}
