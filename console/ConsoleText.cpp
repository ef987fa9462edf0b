#include "console/ConsoleText.h"

#include "engine/LogFormat.h"

#include <cerrno>
#include <cstdio>

const TerminalTexts& ChooseTerminalTexts()
{
    // The Windows program's status texts, in the same words.
    static const TerminalTexts kJapanese = {"解析中...", "解析終了 !!", "%lld ファイル、%lld 件: "};
    static const TerminalTexts kEnglish = {"Analyzing...", "Analysis finished.",
                                           "%lld files, %lld records: "};
    return JapaneseLocale() ? kJapanese : kEnglish;
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
        return failure.systemCode != 0 ? SystemErrorText(failure.systemCode) : "failed";
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
