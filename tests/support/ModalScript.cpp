#include "tests/support/ModalScript.h"

#include "winui/Wnd.h"

#include <gtest/gtest.h>

namespace {

const DWORD kScriptTimeoutMs = 30000;
const UINT kTickMs = 20;

ModalScript* g_running = nullptr;

}  // namespace

ModalScript& ModalScript::Then(std::function<void()> step)
{
    m_steps.push_back({std::move(step), nullptr, std::string()});
    return *this;
}

ModalScript& ModalScript::WaitUntil(std::function<bool()> done, std::string what)
{
    m_steps.push_back({nullptr, std::move(done), std::move(what)});
    return *this;
}

INT_PTR ModalScript::Run(CDialog& dialog)
{
    g_running = this;
    m_next = 0;
    m_timedOut = false;
    m_deadline = GetTickCount() + kScriptTimeoutMs;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    g_running = nullptr;
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_FALSE(m_timedOut) << "the script did not finish in time";
    return result;
}

void CALLBACK ModalScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running != nullptr) {
        g_running->Tick();
    }
}

void ModalScript::Tick()
{
    if (m_timedOut) {
        return;
    }
    if (static_cast<LONG>(GetTickCount() - m_deadline) > 0) {
        m_timedOut = true;
        if (!Finished()) {
            ADD_FAILURE() << "script step " << m_next << " timed out: " << m_steps[m_next].what;
        }
        PostQuitMessage(0);
        return;
    }
    if (Finished()) {
        return;
    }
    // Moved on before the step runs: a step that opens a nested dialog blocks until that dialog
    // ends, and meanwhile the next steps run on the ticks of the nested loop.
    Step& step = m_steps[m_next];
    if (step.done) {
        if (step.done()) {
            ++m_next;
        }
        return;
    }
    ++m_next;
    step.action();
}

void PostKey(HWND window, UINT virtualKey)
{
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void PostChars(HWND window, const std::string& bytes)
{
    for (unsigned char byte : bytes) {
        PostMessageA(window, WM_CHAR, byte, 1);
    }
}

void PostClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK CheckOwned(HWND window, LPARAM param)
{
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindOwnedDialog(HWND owner)
{
    OwnedSearch search = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), CheckOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ItemText(HWND dialog, int id)
{
    return GetWindowTextOf(GetDlgItem(dialog, id)).GetString();
}

namespace {

// Whether the control's text fits it, measured as the control draws it.
bool TextFits(HWND control)
{
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    std::string text = GetWindowTextOf(control).GetString();
    bool isStatic = lstrcmpiA(className, "Static") == 0;
    if (text.empty() || (!isStatic && lstrcmpiA(className, "Button") != 0)) {
        return true;
    }
    LONG style = GetWindowLongA(control, GWL_STYLE);
    LONG kind = style & BS_TYPEMASK;
    if (!isStatic && kind == BS_GROUPBOX) {
        return true;
    }
    RECT client = {};
    GetClientRect(control, &client);
    LONG width = client.right - client.left;
    LONG height = client.bottom - client.top;
    UINT format = DT_CALCRECT;
    if (isStatic) {
        format |= DT_WORDBREAK | ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
    } else {
        // A button of several lines wraps its text at blanks, as the system draws it.
        format |= (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
            kind == BS_AUTORADIOBUTTON) {
            width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and the gap after it
        } else {
            width -= 2 * GetSystemMetrics(SM_CXEDGE);
        }
    }
    HDC dc = GetDC(control);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &needed, format);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    return needed.right <= width && needed.bottom <= height;
}

BOOL CALLBACK CollectCut(HWND control, LPARAM param)
{
    if (IsWindowVisible(control) && !TextFits(control)) {
        auto* cut = reinterpret_cast<std::vector<std::string>*>(param);
        cut->push_back(std::to_string(GetDlgCtrlID(control)) + ": " +
                       GetWindowTextOf(control).GetString());
    }
    return TRUE;
}

}  // namespace

std::vector<std::string> ControlsWhoseTextIsCut(HWND dialog)
{
    std::vector<std::string> cut;
    EnumChildWindows(dialog, CollectCut, reinterpret_cast<LPARAM>(&cut));
    return cut;
}
