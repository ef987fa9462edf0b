#include "console/ConsoleSystem.h"

#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

std::string g_codeset;
std::atomic<bool>* g_stop = nullptr;
volatile sig_atomic_t g_stopSignal = 0;
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

bool IsUtf8(const std::string& codeset)
{
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8" || codeset == "utf-8";
}

void OnStopSignal(int signal)
{
    g_stopSignal = signal;
    if (g_stop != nullptr) {
        g_stop->store(true);
    }
}

}  // namespace

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

void InitTerminalEncoding()
{
    std::setlocale(LC_CTYPE, "");
    g_codeset = nl_langinfo(CODESET);
}

std::string ToTerminal(const char* text)
{
    if (g_codeset.empty() || IsUtf8(g_codeset)) {
        return text;
    }
    iconv_t converter = iconv_open(g_codeset.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return text;
    }
    std::string result;
    char* in = const_cast<char*>(text);
    size_t inLeft = std::strlen(text);
    char block[256];
    bool failed = false;
    while (inLeft > 0 && !failed) {
        char* out = block;
        size_t outLeft = sizeof block;
        size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(block, sizeof block - outLeft);
        failed = done == static_cast<size_t>(-1) && errno != E2BIG;
    }
    iconv_close(converter);
    return failed ? std::string(text) : result;
}

std::string CutToTerminalWidth(const std::string& text)
{
    winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return text;
    }
    // One column short of the edge: some terminals wrap when the last one is written.
    int room = static_cast<int>(size.ws_col) - 1;
    std::mbstate_t state = {};
    size_t at = 0;
    while (at < text.size()) {
        wchar_t character = 0;
        size_t length = std::mbrtowc(&character, text.data() + at, text.size() - at, &state);
        if (length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2)) {
            state = std::mbstate_t();
            length = 1;
            character = L'?';
        } else if (length == 0) {
            length = 1;
        }
        int columns = wcwidth(character);
        if (columns < 0) {
            columns = 1;
        }
        if (columns > room) {
            break;
        }
        room -= columns;
        at += length;
    }
    return text.substr(0, at);
}

// "Erase to the end of the line", which every terminal that is not dumb understands.
std::string EraseAfterLine(const std::string&) { return "\x1b[K"; }

bool JapaneseLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return std::strncmp(value, "ja", 2) == 0;
        }
    }
    return false;
}

std::string SystemErrorText(int systemCode) { return std::strerror(systemCode); }

StopSignals::StopSignals(std::atomic<bool>& stop)
{
    g_stop = &stop;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

int StopSignals::ExitStatus() { return 128 + static_cast<int>(g_stopSignal); }
