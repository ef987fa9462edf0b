#include "console/ConsoleFrontEnd.h"

#include "console/ConsoleEvents.h"
#include "console/ConsoleOptions.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleText.h"
#include "console/FileList.h"
#include "engine/Analyze.h"
#include "engine/Baseline.h"
#include "engine/SortedWalk.h"
#include "console/ConsoleTranslations.h"
#include "job/AnalyzeJob.h"
#include "platform/CodePage.h"
#include "platform/Path.h"
#include "settings/EnvData.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_stopRequested{false};

// What standard error shows besides failures: a progress line only where a terminal can redraw
// it and the user has not asked for plain text.
ConsoleEvents::Show ChooseShow(const ConsoleOptions& options)
{
    if (options.verbose) {
        return ConsoleEvents::Show::EveryFile;
    }
    const char* term = std::getenv("TERM");
    const char* noColor = std::getenv("NO_COLOR");
    bool plainText = options.noProgress || (term != nullptr && std::strcmp(term, "dumb") == 0) ||
                     (noColor != nullptr && noColor[0] != '\0');
    if (options.quiet || plainText || !StandardErrorIsTerminal()) {
        return ConsoleEvents::Show::Nothing;
    }
    return ConsoleEvents::Show::ProgressLine;
}

// One path to analyse: as the user gave it (for names and messages), and made absolute before
// any job runs, since the analysis of a folder changes the current directory.
struct ConsoleJob {
    std::string given;
    CString absolute;
    bool listed = false;  // from --files-from
    int32_t kind = TARGET_NONE;
    Failure why;
    std::string sortKey;  // the names of its records begin so
};

// What the records of a job's files are named by, when several paths share one output: the path
// as given, joined with the name inside it.
CString NamePrefix(const ConsoleJob& job)
{
    if (job.kind == TARGET_FOLDER) {
        CString prefix = job.given.c_str();
        if (!EndsWithSeparator(prefix)) {
            prefix += kPathSeparator;
        }
        return prefix;
    }
    return CString(job.given.c_str(), FindLastSeparator(job.given.c_str()) + 1);
}

void AddJob(const std::string& path, bool listed, std::vector<ConsoleJob>& jobs)
{
    ConsoleJob job;
    job.given = path;
    job.listed = listed;
    job.kind = ClassifyPath(path.c_str(), job.why);
    if ((job.kind == TARGET_FILE || job.kind == TARGET_FOLDER) &&
        !MakeAbsolutePath(path.c_str(), job.absolute)) {
        job.kind = TARGET_NONE;
        job.why = LastSystemFailure();
    }
    job.sortKey = NameSortKey(job.kind == TARGET_FOLDER ? NamePrefix(job).GetString() : path.c_str());
    jobs.push_back(job);
}

// The paths named, then those of the list; in the byte order of their names with --sort.
std::vector<ConsoleJob> CollectJobs(const ConsoleOptions& options, ConsoleEvents& events)
{
    std::vector<ConsoleJob> jobs;
    for (const std::string& path : options.paths) {
        AddJob(path, false, jobs);
    }
    if (!options.filesFrom.empty()) {
        std::string list;
        if (!ReadWholeFile(options.filesFrom, list)) {
            events.Failed(options.filesFrom == "-" ? "standard input" : options.filesFrom.c_str(),
                          DescribeFailure(LastSystemFailure()));
        }
        for (const std::string& path : SplitFileList(list, options.nullSeparated)) {
            AddJob(path, true, jobs);
        }
    }
    if (options.sort) {
        std::stable_sort(jobs.begin(), jobs.end(), [](const ConsoleJob& left, const ConsoleJob& right) {
            return left.sortKey < right.sortKey;
        });
    }
    return jobs;
}

bool LoadBaseline(const std::string& path, Baseline& baseline, ConsoleEvents& events)
{
    std::string records;
    std::string error;
    if (!ReadWholeFile(path, records)) {
        events.Failed(path.c_str(), DescribeFailure(LastSystemFailure()));
        return false;
    }
    if (!baseline.Load(records, error)) {
        events.Failed(path.c_str(), "not a baseline: " + error);
        return false;
    }
    return true;
}

// The end of the run of listed files that begins at `first`: files of one folder, each named
// there the same way, which one analysis takes together on every thread. Anything else is a run
// of its own.
size_t ListedRunEnd(const std::vector<ConsoleJob>& jobs, size_t first)
{
    auto listedFile = [&jobs](size_t index) { return jobs[index].listed && jobs[index].kind == TARGET_FILE; };
    size_t end = first + 1;
    if (listedFile(first)) {
        // A file's name prefix is its folder as given.
        const CString folder = NamePrefix(jobs[first]);
        while (end < jobs.size() && listedFile(end) && NamePrefix(jobs[end]) == folder) {
            ++end;
        }
    }
    return end;
}

// Runs the jobs, one after another, until one is stopped or the records can go nowhere.
void RunJobs(const std::vector<ConsoleJob>& jobs, bool namedByPath, const AnalysisOptions& analysis,
             ConsoleEvents& events)
{
    StopSignals signals(g_stopRequested);
    for (size_t index = 0; index < jobs.size();) {
        const ConsoleJob& job = jobs[index];
        const size_t runEnd = ListedRunEnd(jobs, index);
        if (events.Stopped() || events.OutputFailed()) {
            break;
        }
        if (job.kind != TARGET_FILE && job.kind != TARGET_FOLDER) {
            events.Failed(job.given.c_str(), DescribeFailure(job.why));
            index = runEnd;
            continue;
        }
        AnalysisOptions options = analysis;
        if (namedByPath) {
            options.namePrefix = NamePrefix(job);
        }
        events.BeginJob(job.given.c_str(), job.listed);
        if (runEnd - index > 1) {
            std::vector<CString> files;
            for (size_t listed = index; listed < runEnd; ++listed) {
                files.push_back(jobs[listed].absolute);
            }
            AnalyzeListedFiles(files, options, events);
        } else {
            RunAnalysis(job.kind, job.absolute, options, events);
        }
        index = runEnd;
    }
}

// Runs the jobs for the paths; returns the exit status.
int RunCommand(const ConsoleOptions& options, const CEnvData& settings)
{
    ConsoleEvents events(ChooseShow(options), options.open);
    AnalysisOptions analysis = MakeAnalysisOptions(settings);
    ApplyConsoleOptions(options, analysis);
    analysis.stop = &g_stopRequested;
    Baseline baseline;
    if (!options.baseline.empty()) {
        if (!LoadBaseline(options.baseline, baseline, events)) {
            return 1;
        }
        analysis.baseline = &baseline;
    }
    ConsoleOutput output;
    if (!output.Prepare(options, analysis, events)) {
        return 1;
    }
    std::vector<ConsoleJob> jobs = CollectJobs(options, events);
    bool oneOutput = !options.output.empty();
    bool namedByPath = oneOutput && (options.paths.size() > 1 || !options.filesFrom.empty());
    RunJobs(jobs, namedByPath, analysis, events);
    if (events.Stopped()) {
        // The old output stays as it was; the folders' logs end with whole records.
        events.Finish(output.WrittenPath(), nullptr, !output.Replaces());
        return StopSignals::ExitStatus();
    }
    output.Finish(events.OutputFailed(), events);
    events.Finish(output.WrittenPath(), output.Replaces() ? output.Name() : nullptr, !output.IsStream());
    // A failure says more than a find: a run that could not read everything has not shown that
    // nothing is there.
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
        StopSignals signals(g_stopRequested);
        status = options.apply.empty() ? RunTranslationExport(options, settings, g_stopRequested)
                                       : RunTranslationApply(options, g_stopRequested);
    }
    return g_stopRequested.load() ? StopSignals::ExitStatus() : status;
}

}  // namespace

int RunConsole(int argc, char** argv, CEnvData& settings)
{
    ConsoleOptions options;
    std::string error;
    if (!ParseConsoleOptions(argc, argv, options, error)) {
        // The mistake and where to look, not the whole help, which would hide the mistake.
        std::fprintf(stderr, "tolvek: %s\nTry 'tolvek --help'\n", error.c_str());
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
    if (!StandardErrorIsTerminal()) {
        std::setvbuf(stderr, nullptr, _IOFBF, 64 * 1024);
    }
    if (options.codePage != 0) {
        SelectCodePage(options.codePage);
    }
    settings.Load();
    if (settings.LoadFailure().kind != FailureKind::None) {
        char iniPath[kMaxPathBytes + 1] = {};
        settings.GetIniPath(iniPath);
        ReportFailure(iniPath, DescribeFailure(settings.LoadFailure()) + "; the default settings are used");
    }
    bool translations = !options.apply.empty() || options.translationFormat != TranslationFormat::None;
    int exitStatus = translations ? RunTranslations(options, settings) : RunCommand(options, settings);
    // As when the window closes on Windows: a file that is missing is made with the values in
    // force; one that is there changes only where a setting changed.
    settings.Save();
    std::fflush(stderr);
    return exitStatus;
}
