// Measures the analysis of a folder against merely reading its files, and the peak memory of
// the analysis, on sources generated to look like real ones. Prints its figures; the last line
// is the ratio of the two throughputs.
//
//   tolvek-bench [--files N] [--keep] [--folder PATH] [--skip-big]
#include "bench/BenchSupport.h"
#include "bench/CommandTiming.h"
#include "bench/EncodingTiming.h"
#include "bench/SourceGenerator.h"
#include "engine/Analyze.h"
#include "engine/AnalysisEvents.h"
#include "engine/ParallelScan.h"
#include "platform/CodePage.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

AnalysisOptions DefaultOptions()
{
    AnalysisOptions options;
    options.targetList = "|c|cpp|h|";
    return options;
}

// Takes what the analysis tells, and shows nothing.
class QuietEvents : public AnalysisEvents {
public:
    void OnFileBegin(const char*) override {}
    void OnReadFailure(const char*, const Failure&) override {}
    void OnLogFailure(const char*, const Failure&) override {}
    void OnEnd(const AnalysisSummary&) override {}
};

double TimeAnalysis(const std::string& folder, int threads = 0)
{
    RemovePath(folder + "/Tolvek.log");
    QuietEvents events;
    AnalysisOptions options = DefaultOptions();
    options.threads = threads;
    Stopwatch watch;
    AnalyzeFolder(folder.c_str(), options, events);
    return watch.Seconds();
}

// Peak resident memory, in MB, of a child process that runs `job`.
template <typename Job>
double PeakMegabytesOf(Job job)
{
    pid_t child = fork();
    if (child == 0) {
        job();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    BenchOptions options = ParseBenchOptions(argc, argv);
    SelectCodePage(kCodePageShiftJis);

    std::string folder = options.folder.empty() ? MakeTempFolder() : options.folder;
    GeneratedSet set = GenerateSourceFolder(folder, options.files);
    std::printf("folder: %s\n", folder.c_str());
    std::printf("files: %d target files, %.1f MB, %d long lines\n", set.files,
                set.bytes / 1e6, set.longLines);

    double readSeconds = 1e9;
    double analysisSeconds = 1e9;
    double oneThreadSeconds = 1e9;
    ReadAllFiles(folder);  // warm the page cache
    for (int round = 0; round < 5; ++round) {
        readSeconds = std::min(readSeconds, TimeReading(folder));
        analysisSeconds = std::min(analysisSeconds, TimeAnalysis(folder));
        oneThreadSeconds = std::min(oneThreadSeconds, TimeAnalysis(folder, 1));
    }
    double readRate = set.bytes / 1e6 / readSeconds;
    double analysisRate = set.bytes / 1e6 / analysisSeconds;
    std::printf("read only: %.0f MB/s (%.1f ms)\n", readRate, readSeconds * 1e3);
    std::printf("analysis:  %.0f MB/s (%.1f ms) on %d threads, log %.1f MB\n", analysisRate,
                analysisSeconds * 1e3, ScanThreads(0), FileSize(folder + "/Tolvek.log") / 1e6);
    std::printf("analysis on one thread: %.0f MB/s (%.1f ms)\n", set.bytes / 1e6 / oneThreadSeconds,
                oneThreadSeconds * 1e3);
    double decisionSeconds = 1e9;
    for (int round = 0; round < 5; ++round) {
        decisionSeconds = std::min(decisionSeconds, TimeEncodingDecisions(folder));
    }
    std::printf("encoding decisions: %.2f ms, %.1f%% of the analysis\n", decisionSeconds * 1e3,
                100 * decisionSeconds / analysisSeconds);
    std::printf("peak memory, folder analysis: %.1f MB\n",
                PeakMegabytesOf([&] { TimeAnalysis(folder); }));

    double commandSeconds = TimeCommand(folder, 5);
    double commandRate = set.bytes / 1e6 / commandSeconds;
    if (commandSeconds > 0) {
        std::printf("command:   %.0f MB/s (%.1f ms), tolvek on the folder, a process each run\n",
                    commandRate, commandSeconds * 1e3);
    }

    if (!options.skipBig) {
        std::string big = folder + "/big";
        MakeFolderPath(big);
        double bigBytes = GenerateLongLineFile(big + "/huge.c", 200, 1 << 20);
        double peak = PeakMegabytesOf([&] {
            QuietEvents events;
            AnalyzeFile((big + "/huge.c").c_str(), DefaultOptions(), events);
        });
        std::printf("peak memory, %.0f MB file of 1 MB lines: %.1f MB\n", bigBytes / 1e6, peak);
        RemovePath(big + "/huge.c");
        RemovePath(big + "/Tolvek.log");

        GenerateOneLongLiteral(big + "/literal.c", 100 * 1000 * 1000);
        peak = PeakMegabytesOf([&] {
            QuietEvents events;
            AnalyzeFile((big + "/literal.c").c_str(), DefaultOptions(), events);
        });
        std::printf("peak memory, one literal of 100 MB: %.1f MB\n", peak);
        RemovePath(big + "/literal.c");
        RemovePath(big + "/Tolvek.log");

        GenerateManyLiteralsInOneLine(big + "/records.c", 20 * 1000 * 1000);
        peak = PeakMegabytesOf([&] {
            QuietEvents events;
            AnalyzeFile((big + "/records.c").c_str(), DefaultOptions(), events);
        });
        std::printf("peak memory, one line of 20 million short records: %.1f MB\n", peak);
        RemovePath(big);
    }

    if (options.folder.empty() && !options.keep) {
        RemovePath(folder);
    }
    std::printf("analysis/read ratio: %.2f\n", analysisRate / readRate);
    if (commandSeconds <= 0) {
        std::printf("command/read ratio: unknown (no tolvek beside the benchmark)\n");
        return 1;
    }
    std::printf("command/read ratio: %.2f\n", commandRate / readRate);
    return 0;
}
