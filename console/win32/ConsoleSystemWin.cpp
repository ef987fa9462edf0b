#include "console/ConsoleSystem.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::atomic<bool>* g_stop = nullptr;
volatile LONG g_stopStatus = 130;

HANDLE StandardError() { return GetStdHandle(STD_ERROR_HANDLE); }

// Ctrl+C and Ctrl+Break stop the job; the process goes on until its records are whole.
BOOL WINAPI OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    InterlockedExchange(&g_stopStatus, event == CTRL_C_EVENT ? 130 : 131);
    if (g_stop != nullptr) {
        g_stop->store(true);
    }
    return TRUE;
}

// The columns of the console window on standard error; 0 when unknown.
int ConsoleColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO information;
    if (!GetConsoleScreenBufferInfo(StandardError(), &information)) {
        return 0;
    }
    return information.srWindow.Right - information.srWindow.Left + 1;
}

// The columns that `text`, in the code page, takes: a double-byte character two.
int ColumnsOf(const std::string& text)
{
    int columns = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size()) {
            ++at;
            columns += 2;
        } else {
            columns += 1;
        }
    }
    return columns;
}

}  // namespace

bool StandardErrorIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(StandardError(), &mode) != 0;
}

void InitTerminalEncoding() {}

std::string ToTerminal(const char* text)
{
    // The tool's texts are in the system's code page; a console may show another.
    UINT console = GetConsoleOutputCP();
    if (console == 0 || console == GetACP()) {
        return text;
    }
    int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wide <= 0) {
        return text;
    }
    std::wstring characters(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &characters[0], wide);
    int bytes = WideCharToMultiByte(console, 0, characters.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return text;
    }
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(console, 0, characters.c_str(), -1, &converted[0], bytes, nullptr, nullptr);
    converted.resize(static_cast<size_t>(bytes - 1));
    return converted;
}

std::string CutToTerminalWidth(const std::string& text)
{
    int room = ConsoleColumns() - 1;  // one short of the edge, where the console wraps
    if (room < 0) {
        return text;
    }
    size_t at = 0;
    while (at < text.size()) {
        bool pair = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size();
        int columns = pair ? 2 : 1;
        if (columns > room) {
            break;
        }
        room -= columns;
        at += pair ? 2 : 1;
    }
    return text.substr(0, at);
}

// A console without escape sequences: blanks over what is left of the line, then back to its
// start.
std::string EraseAfterLine(const std::string& line)
{
    int left = ConsoleColumns() - 1 - ColumnsOf(line);
    return std::string(left > 0 ? static_cast<size_t>(left) : 0, ' ') + "\r";
}

bool JapaneseLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return std::strncmp(value, "ja", 2) == 0;
        }
    }
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

std::string SystemErrorText(int systemCode)
{
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(systemCode), 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) {
        text[--length] = '\0';
    }
    return length > 0 ? std::string(text) : "error " + std::to_string(systemCode);
}

StopSignals::StopSignals(std::atomic<bool>& stop)
{
    g_stop = &stop;
    SetConsoleCtrlHandler(OnControl, TRUE);
}

StopSignals::~StopSignals() { SetConsoleCtrlHandler(OnControl, FALSE); }

int StopSignals::ExitStatus() { return static_cast<int>(g_stopStatus); }
