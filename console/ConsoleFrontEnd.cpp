#include "console/ConsoleFrontEnd.h"

#include "console/ConsoleEvents.h"
#include "console/ConsoleOptions.h"
#include "console/ConsoleText.h"
#include "console/ConsoleTranslations.h"
#include "job/AnalyzeJob.h"
#include "platform/CodePage.h"
#include "platform/Path.h"
#include "settings/EnvData.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::atomic<bool> g_stopRequested{false};
volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal)
{
    g_stopSignal = signal;
    g_stopRequested.store(true);
}

// SIGINT and SIGTERM stop the job once the records being written are whole, for as long as the
// object lives.
class StopSignals {
public:
    StopSignals()
    {
        struct sigaction action = {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &m_previousInt);
        sigaction(SIGTERM, &action, &m_previousTerm);
    }
    ~StopSignals()
    {
        sigaction(SIGINT, &m_previousInt, nullptr);
        sigaction(SIGTERM, &m_previousTerm, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction m_previousInt;
    struct sigaction m_previousTerm;
};

// What standard error shows besides failures.
ConsoleEvents::Show ChooseShow(const ConsoleOptions& options)
{
    if (options.verbose) {
        return ConsoleEvents::Show::EveryFile;
    }
    if (options.quiet || !isatty(STDERR_FILENO)) {
        return ConsoleEvents::Show::Nothing;
    }
    return ConsoleEvents::Show::ProgressLine;
}

// Runs the job for the path; returns the exit status.
int RunJob(const ConsoleOptions& options, const CEnvData& settings)
{
    Failure why;
    int32_t kind = ClassifyPath(options.path.c_str(), why);
    if (kind != TARGET_FILE && kind != TARGET_FOLDER) {
        ReportFailure(options.path.c_str(), DescribeFailure(why));
        return 1;
    }
    AnalysisOptions analysis = MakeAnalysisOptions(settings);
    ApplyConsoleOptions(options, analysis);
    // Named from here: the analysis of a folder makes that folder the current directory.
    if (!options.output.empty() && options.output != "-" &&
        !MakeAbsolutePath(options.output.c_str(), analysis.outputPath)) {
        ReportFailure(options.output.c_str(), DescribeFailure(LastSystemFailure()));
        return 1;
    }
    analysis.stop = &g_stopRequested;
    ConsoleEvents events(options.path.c_str(), ChooseShow(options), options.open);
    {
        StopSignals signals;
        RunAnalysis(kind, options.path.c_str(), analysis, events);
    }
    if (events.Stopped()) {
        return 128 + static_cast<int>(g_stopSignal);
    }
    if (events.ExitStatus() == 0 && options.failIfFound && events.RecordsWritten() > 0) {
        return 3;
    }
    return events.ExitStatus();
}

// The translator's round trip: the texts exported, or translations put back.
int RunTranslations(const ConsoleOptions& options, const CEnvData& settings)
{
    int status = 0;
    {
        StopSignals signals;
        status = options.apply.empty() ? RunTranslationExport(options, settings, g_stopRequested)
                                       : RunTranslationApply(options, g_stopRequested);
    }
    return g_stopRequested.load() ? 128 + static_cast<int>(g_stopSignal) : status;
}

}  // namespace

int RunConsole(int argc, char** argv, CEnvData& settings)
{
    ConsoleOptions options;
    std::string error;
    if (!ParseConsoleOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tolvek: %s\n%s", error.c_str(), kConsoleUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kConsoleUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tolvek %s\n", TOLVEK_VERSION);
        return 0;
    }

    InitTerminalEncoding();
    // A person watching sees each notice at once; a file or a pipe takes them in blocks.
    if (!isatty(STDERR_FILENO)) {
        std::setvbuf(stderr, nullptr, _IOFBF, 64 * 1024);
    }
    if (options.codePage != 0) {
        SelectCodePage(options.codePage);
    }
    settings.Load();
    bool translations = !options.apply.empty() || options.translationFormat != TranslationFormat::None;
    int exitStatus = translations ? RunTranslations(options, settings) : RunJob(options, settings);
    // As when the window closes on Windows: a file that is missing is made with the values in
    // force; one that is there changes only where a setting changed.
    settings.Save();
    std::fflush(stderr);
    return exitStatus;
}
