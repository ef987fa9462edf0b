// Shows the Windows program's windows one after another for tools/screenshots: for each
// picture it sets the scene, writes NAME.ready (the screen rectangle to take) into the folder
// named on the command line, and goes on when the script has written NAME.done.
#include "gui/StatusTexts.h"
#include "settings/EnvData.h"
#include "winui/Dialog.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ModalScript.h"
#include "gui/TolvekDlg.h"
#include "gui/resource.h"

#include <cstdio>
#include <cstring>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

std::string g_folder;

// The smallest rectangle around the windows.
RECT Around(const std::vector<HWND>& windows)
{
    RECT all = {};
    for (HWND window : windows) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        UnionRect(&all, &all, &rect);
    }
    return all;
}

void Ready(const std::string& name, const std::vector<HWND>& windows)
{
    RECT rect = Around(windows);
    char text[64];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top);
    WriteBytes(g_folder + "\\" + name + ".ready", text);
    std::printf("ready: %s\n", name.c_str());
    std::fflush(stdout);
}

bool Done(const std::string& name)
{
    return FileExists(g_folder + "\\" + name + ".done");
}

void Picture(ModalScript& script, const std::string& name,
             std::function<std::vector<HWND>()> windows)
{
    script.Then([name, windows] { Ready(name, windows()); });
    script.WaitUntil([name] { return Done(name); }, "the picture " + name);
}

HDROP MakeDrop(const std::string& path)
{
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(drop + 1, path.c_str(), path.size() + 1);
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool OpenNothing(const char*) { return true; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tolvek_screens FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    CEnvData env;
    env.m_strTgtFile = "|c|cpp|h|";
    env.m_strToken = "\"";

    TempFolder sources;
    WriteBytes(sources / "main.cpp",
               "MessageBox(NULL, \"ファイルを開けません\", \"Tolvek\", MB_OK);\n");

    CTolvekDlg dlg(env);
    dlg.m_pfnOpenLog = OpenNothing;
    AfxSetMainWnd(&dlg);
    ModalScript script;
    auto main = [&dlg] { return std::vector<HWND>{dlg.m_hWnd}; };
    auto mainAndDialog = [&dlg] {
        return std::vector<HWND>{dlg.m_hWnd, FindOwnedDialog(dlg.m_hWnd)};
    };

    Picture(script, "main", main);
    script.Then([&] { PostClick(dlg.m_hWnd, IDC_SETTING); });
    script.WaitUntil([&] { return FindOwnedDialog(dlg.m_hWnd) != nullptr; }, "the settings dialog");
    Picture(script, "settings", mainAndDialog);
    // The C/C++ box checked: the delimiter field is disabled.
    script.Then([&] {
        SendMessageA(GetDlgItem(FindOwnedDialog(dlg.m_hWnd), IDC_SYNTAX), BM_CLICK, 0, 0);
    });
    Picture(script, "settings-cpp", mainAndDialog);
    script.Then([&] { PostClick(FindOwnedDialog(dlg.m_hWnd), IDCANCEL); });
    script.Then([&] {
        PostMessageA(dlg.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(sources.Path())),
                     0);
    });
    script.WaitUntil([&] { return ItemText(dlg.m_hWnd, IDC_STATUS_MSG) == STATUS_FINISHED; },
                     "the job's end");
    Picture(script, "main-after-job", main);
    // A job that cannot write its log: the second status line says so.
    TempFolder failing;
    WriteBytes(failing / "main.cpp", "puts(\"x\");\n");
    MakeFolder(failing / "Tolvek.log");
    script.Then([&] {
        SetDlgItemTextA(dlg.m_hWnd, IDC_STATUS_MSG, "");
        PostMessageA(dlg.m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(failing.Path())),
                     0);
    });
    script.WaitUntil([&] { return ItemText(dlg.m_hWnd, IDC_STATUS_MSG) == STATUS_FINISHED; },
                     "the failed job's end");
    Picture(script, "main-after-failure", main);
    script.Then([&] { PostMessageA(dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    script.WaitUntil([&] { return FindOwnedDialog(dlg.m_hWnd) != nullptr; }, "the About box");
    Picture(script, "about", mainAndDialog);
    script.Then([&] { PostClick(FindOwnedDialog(dlg.m_hWnd), IDOK); });
    script.Then([&] { PostClick(dlg.m_hWnd, IDOK); });
    INT_PTR result = script.Run(dlg);
    AfxSetMainWnd(nullptr);
    return result == IDOK && script.Finished() ? 0 : 1;
}
