#include "console/ConsoleText.h"

#include "engine/LogFormat.h"
#include "job/StatusTexts.h"

#include <iconv.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

std::string g_codeset;

bool IsUtf8(const std::string& codeset)
{
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8" || codeset == "utf-8";
}

}  // namespace

void InitTerminalEncoding()
{
    std::setlocale(LC_CTYPE, "");
    g_codeset = nl_langinfo(CODESET);
}

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

const TerminalTexts& ChooseTerminalTexts()
{
    static const TerminalTexts kJapanese = {STATUS_ANALYZING, STATUS_FINISHED,
                                            "%lld ファイル、%lld 件: "};
    static const TerminalTexts kEnglish = {"Analyzing...", "Analysis finished.",
                                           "%lld files, %lld records: "};
    return JapaneseLocale() ? kJapanese : kEnglish;
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

std::string DescribeFailure(const Failure& failure)
{
    switch (failure.kind) {
    case FailureKind::NotFound:
        return "no such file or folder";
    case FailureKind::SymbolicLink:
        return "a symbolic link, which is not followed";
    case FailureKind::NotRegularFile:
        return failure.systemCode == EISDIR ? "a folder, not a file" : "not a file or folder";
    default:
        return failure.systemCode != 0 ? std::strerror(failure.systemCode) : "failed";
    }
}

void ReportFailure(const char* path, const std::string& reason)
{
    ReportProblem(std::string(EscapeControlBytes(path).GetString()) + ": " + reason);
}

void ReportProblem(const std::string& problem)
{
    std::string line = "tolvek: " + problem + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
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
