#include "console/ConsoleEvents.h"

#include "console/ConsoleText.h"
#include "engine/LogFormat.h"
#include "job/StatusTexts.h"
#include "platform/Shell.h"

#include <cstdio>
#include <string>

namespace {

// Our own text is converted for the terminal; the file name is shown as the system gave it,
// but for its control bytes, which are written as escapes.
void ShowStatus(const char* first, const char* second)
{
    std::string text = ToTerminal(first) + "\n" + EscapeControlBytes(second).GetString() + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace

void ConsoleEvents::OnFileBegin(const char* displayName)
{
    ShowStatus(STATUS_ANALYZING, displayName);
}

void ConsoleEvents::OnReadFailure(const char* path, const Failure& failure)
{
    m_failed = true;
    ReportFailure(path, DescribeFailure(failure));
}

void ConsoleEvents::OnLogFailure(const char* path, const Failure& failure)
{
    m_failed = true;
    ReportFailure(path, "cannot write the log: " + DescribeFailure(failure));
}

void ConsoleEvents::OnEnd(const AnalysisSummary& summary)
{
    m_stopped = summary.stopped;
    if (summary.noTargetList) {
        m_failed = true;
        ReportProblem("the target list holds no extension (TgtFile in Tolvek.ini): "
                      "nothing was analysed");
    }
    if (summary.notTarget) {
        m_failed = true;
        ReportFailure(m_path, "not a target file: its extension is not in the target list");
    }
    if (!summary.logPath.IsEmpty() && !summary.logFailed) {
        if (!m_openLog) {
            std::printf("%s\n", summary.logPath.GetString());
            std::fflush(stdout);
        } else if (!OpenFileInShell(summary.logPath)) {
            ReportFailure(summary.logPath, "xdg-open could not open it");
        }
    }
    ShowStatus(STATUS_FINISHED, "");
}
