#include "console/ConsoleEvents.h"

#include "console/ConsoleText.h"
#include "engine/LogFormat.h"
#include "job/StatusTexts.h"
#include "platform/Shell.h"

#include <cstdio>
#include <string>

namespace {

// The progress line is redrawn at most this often: a person cannot read faster.
const std::chrono::milliseconds kRedrawEvery(100);

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

}  // namespace

ConsoleEvents::ConsoleEvents(const char* path, Show show, bool openLog)
    : m_path(path), m_show(show), m_openLog(openLog), m_analyzing(ToTerminal(STATUS_ANALYZING))
{
}

void ConsoleEvents::OnFileBegin(const char* displayName)
{
    if (m_show == Show::EveryFile) {
        // Our own text is converted for the terminal; the name is shown as the system gave it,
        // but for its control bytes, which are written as escapes.
        Write(m_analyzing + " " + EscapeControlBytes(displayName).GetString() + "\n");
    } else if (m_show == Show::ProgressLine) {
        m_current = displayName;
        Redraw();
    }
}

void ConsoleEvents::OnProgress(int64_t filesRead, int64_t recordsFound)
{
    m_filesRead = filesRead;
    m_recordsFound = recordsFound;
}

void ConsoleEvents::OnReadFailure(const char* path, const Failure& failure)
{
    Failed(path, DescribeFailure(failure));
}

void ConsoleEvents::OnLogFailure(const char* path, const Failure& failure)
{
    Failed(path, "cannot write the log: " + DescribeFailure(failure));
}

void ConsoleEvents::Failed(const char* path, const std::string& reason)
{
    m_failed = true;
    EraseLine();
    ReportFailure(path, reason);
    std::fflush(stderr);
}

void ConsoleEvents::OnEnd(const AnalysisSummary& summary)
{
    EraseLine();
    m_stopped = summary.stopped;
    m_recordsWritten = summary.recordsWritten;
    if (summary.noTargetList) {
        m_failed = true;
        ReportProblem("the target list holds no extension (TgtFile in Tolvek.ini): "
                      "nothing was analysed");
    }
    if (summary.notTarget) {
        Failed(m_path, "not a target file: its extension is not in the target list");
    }
    if (!summary.logPath.IsEmpty() && !summary.logFailed) {
        if (!m_openLog) {
            std::printf("%s\n", summary.logPath.GetString());
            std::fflush(stdout);
        } else if (!OpenFileInShell(summary.logPath)) {
            ReportFailure(summary.logPath, "xdg-open could not open it");
        }
    }
    if (m_show == Show::EveryFile) {
        Write(ToTerminal(STATUS_FINISHED) + "\n");
    }
}

void ConsoleEvents::Redraw()
{
    auto now = std::chrono::steady_clock::now();
    if (m_lineShown && now - m_lastDrawn < kRedrawEvery) {
        return;
    }
    m_lastDrawn = now;
    std::string line = m_analyzing + " " + std::to_string(m_filesRead) + " files, " +
                       std::to_string(m_recordsFound) + " records: ";
    // The name as the system gave it, but for its control bytes, written as escapes.
    line += EscapeControlBytes(m_current.c_str()).GetString();
    // \r and "erase to the end of the line": the line is drawn again where it stood.
    Write("\r" + CutToTerminalWidth(line) + "\x1b[K");
    std::fflush(stderr);
    m_lineShown = true;
}

void ConsoleEvents::EraseLine()
{
    if (m_lineShown) {
        Write("\r\x1b[K");
        std::fflush(stderr);
        m_lineShown = false;
    }
}
