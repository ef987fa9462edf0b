#include "console/ConsoleEvents.h"

#include "console/ConsoleText.h"
#include "engine/LogFormat.h"
#include "platform/Shell.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The progress line is redrawn at most this often: a person cannot read faster.
const std::chrono::milliseconds kRedrawEvery(100);

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

}  // namespace

ConsoleEvents::ConsoleEvents(Show show, bool openLog)
    : m_show(show),
      m_openLog(openLog),
      m_analyzing(ToTerminal(ChooseTerminalTexts().analyzing)),
      m_finished(ToTerminal(ChooseTerminalTexts().finished)),
      m_countsFormat(ChooseTerminalTexts().files)
{
}

void ConsoleEvents::BeginJob(const char* path, bool passNonTargets)
{
    m_path = path;
    m_passNonTargets = passNonTargets;
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
    m_filesRead = m_filesBefore + filesRead;
    m_recordsFound = m_recordsBefore + recordsFound;
}

void ConsoleEvents::OnReadFailure(const char* path, const Failure& failure)
{
    Failed(path, DescribeFailure(failure));
}

void ConsoleEvents::OnLogFailure(const char* path, const Failure& failure)
{
    m_outputFailed = true;
    Failed(path, "cannot write the log: " + DescribeFailure(failure));
}

void ConsoleEvents::OnFewerThreads(int started, int requested)
{
    // Not a failure: every file is still scanned, only more slowly.
    EraseLine();
    ReportProblem("the system started " + std::to_string(started) + " of " + std::to_string(requested) +
                  " scanning threads; the analysis goes on with those");
    std::fflush(stderr);
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
    m_stopped = m_stopped || summary.stopped;
    m_recordsWritten += summary.recordsWritten;
    m_filesBefore = m_filesRead;
    m_recordsBefore = m_recordsFound;
    if (summary.noTargetList) {
        m_failed = true;
        EraseLine();
        ReportProblem("the target list holds no extension (TgtFile in Tolvek.ini): "
                      "nothing was analysed");
    }
    if (summary.notTarget && !m_passNonTargets) {
        Failed(m_path, "not a target file: its extension is not in the target list");
    }
    std::string logPath = summary.logPath.GetString();
    if (!logPath.empty() && !summary.logFailed &&
        std::find(m_logPaths.begin(), m_logPaths.end(), logPath) == m_logPaths.end()) {
        m_logPaths.push_back(logPath);
    }
}

void ConsoleEvents::Finish(const char* writtenPath, const char* outputName, bool nameLogs)
{
    EraseLine();
    if (!nameLogs) {
        m_logPaths.clear();
    }
    for (const std::string& path : m_logPaths) {
        const char* shown = outputName != nullptr && path == writtenPath ? outputName : path.c_str();
        if (!m_openLog) {
            std::printf("%s\n", shown);
        } else if (!OpenFileInShell(shown)) {
            ReportFailure(shown, "xdg-open could not open it");
        }
    }
    std::fflush(stdout);
    if (m_show == Show::EveryFile) {
        Write(m_finished + "\n");
    }
}

void ConsoleEvents::Redraw()
{
    auto now = std::chrono::steady_clock::now();
    if (m_lineShown && now - m_lastDrawn < kRedrawEvery) {
        return;
    }
    m_lastDrawn = now;
    char counts[128];
    std::snprintf(counts, sizeof counts, m_countsFormat, static_cast<long long>(m_filesRead),
                  static_cast<long long>(m_recordsFound));
    std::string line = m_analyzing + " " + ToTerminal(counts);
    // The name as the system gave it, but for its control bytes, written as escapes.
    line += EscapeControlBytes(m_current.c_str()).GetString();
    // \r and "erase to the end of the line": the line is drawn again where it stood.
    line = CutToTerminalWidth(line);
    Write("\r" + line + EraseAfterLine(line));
    std::fflush(stderr);
    m_lineShown = true;
}

void ConsoleEvents::EraseLine()
{
    if (m_lineShown) {
        Write("\r" + EraseAfterLine(""));
        std::fflush(stderr);
        m_lineShown = false;
    }
}
