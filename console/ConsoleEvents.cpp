#include "console/ConsoleEvents.h"

#include "console/ConsoleText.h"
#include "job/StatusTexts.h"
#include "platform/Shell.h"

#include <cstdio>
#include <string>

namespace {

// Our own text is converted for the terminal; the file name is shown as the system gave it.
void ShowStatus(const char* first, const char* second)
{
    std::string text = ToTerminal(first) + "\n" + second + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace

void ConsoleEvents::OnFileBegin(const char* displayName)
{
    ShowStatus(STATUS_ANALYZING, displayName);
}

void ConsoleEvents::OnReadFailure(const char*, const Failure&) {}

void ConsoleEvents::OnLogFailure(const char*, const Failure&) {}

void ConsoleEvents::OnEnd(const AnalysisSummary& summary)
{
    if (!summary.logPath.IsEmpty()) {
        if (!m_openLog) {
            std::printf("%s\n", summary.logPath.GetString());
            std::fflush(stdout);
        } else if (!OpenFileInShell(summary.logPath)) {
            std::fprintf(stderr, "tolvek: xdg-open could not open %s\n", summary.logPath.GetString());
        }
    }
    ShowStatus(STATUS_FINISHED, "");
}
