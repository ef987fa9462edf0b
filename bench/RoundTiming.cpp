#include "bench/RoundTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "bench/ProcessorTime.h"
#include "bench/QuietEvents.h"
#include "engine/Analyze.h"
#include "engine/Syntax.h"

#include <vector>

namespace {

double TimeReading(const std::string& folder, double& processor, bool subfolders = false)
{
    double processorStart = ThreadProcessorSeconds();
    Stopwatch watch;
    ReadAllFiles(folder, subfolders);
    double seconds = watch.Seconds();
    processor = ThreadProcessorSeconds() - processorStart;
    return seconds;
}

// `threads` as AnalysisOptions takes it: 0 one per processor, 1 a single thread.
double TimeAnalysis(const std::string& folder, int threads, int32_t syntax = SYNTAX_PAIRS)
{
    RemovePath(JoinPath(folder, kLogFileName));
    QuietEvents events;
    AnalysisOptions options;
    options.targetList = kBenchTargetList;
    options.threads = threads;
    options.syntax = syntax;
    Stopwatch watch;
    AnalyzeFolder(folder.c_str(), options, events);
    return watch.Seconds();
}

}  // namespace

// The analysis in both syntaxes, one right after the other, the first in turn: times `pairs`
// and `cpp`, and their ratio in `cppOverPairs`.
void TimeBothSyntaxes(const std::string& folder, int threads, int round, std::vector<double>& pairs,
                      std::vector<double>& cpp, std::vector<double>& cppOverPairs)
{
    double pairsSeconds = 0;
    double cppSeconds = 0;
    if (round % 2 == 0) {
        pairsSeconds = TimeAnalysis(folder, threads);
        cppSeconds = TimeAnalysis(folder, threads, SYNTAX_CPP);
    } else {
        cppSeconds = TimeAnalysis(folder, threads, SYNTAX_CPP);
        pairsSeconds = TimeAnalysis(folder, threads);
    }
    pairs.push_back(pairsSeconds);
    cpp.push_back(cppSeconds);
    cppOverPairs.push_back(pairsSeconds > 0 ? cppSeconds / pairsSeconds : 0);
}

// A command's seconds and processor time, once; nothing when it is not timed.
void TimeCommand(CommandTimer& command, std::vector<double>& seconds, std::vector<double>& processor)
{
    double took = command.TimeOnce();
    if (command.NotTimed().empty()) {
        seconds.push_back(took);
        processor.push_back(command.LastProcessorSeconds());
    }
}

// The median of a command's timed runs; 0 when it was not timed, or stopped being.
double CommandMedian(const CommandTimer& command, const std::vector<double>& values)
{
    return command.NotTimed().empty() ? Median(values) : 0;
}

RoundMedians TimeRounds(const std::string& folder, int rounds, CommandTimer& command,
                        CommandTimer& ripgrep)
{
    std::vector<double> ripgrepRuns, ripgrepProcessor;
    std::vector<double> read, analysis, oneThread, commandRuns, cppAnalysis, cppOneThread;
    std::vector<double> readProcessor, commandProcessor, cppRatio, cppOneThreadRatio;
    ReadAllFiles(folder);  // warm the page cache
    for (int round = 0; round < rounds; ++round) {
        double processor = 0;
        read.push_back(TimeReading(folder, processor));
        readProcessor.push_back(processor);
        TimeBothSyntaxes(folder, 0, round, analysis, cppAnalysis, cppRatio);
        TimeBothSyntaxes(folder, 1, round, oneThread, cppOneThread, cppOneThreadRatio);
        TimeCommand(command, commandRuns, commandProcessor);
        TimeCommand(ripgrep, ripgrepRuns, ripgrepProcessor);
    }
    RoundMedians medians;
    medians.read = Median(read);
    medians.analysis = Median(analysis);
    medians.oneThread = Median(oneThread);
    medians.command = CommandMedian(command, commandRuns);
    medians.cppAnalysis = Median(cppAnalysis);
    medians.cppOneThread = Median(cppOneThread);
    medians.cppCost = 100 * (Median(cppRatio) - 1);
    medians.cppOneThreadCost = 100 * (Median(cppOneThreadRatio) - 1);
    medians.readProcessor = Median(readProcessor);
    medians.commandProcessor = CommandMedian(command, commandProcessor);
    medians.ripgrep = CommandMedian(ripgrep, ripgrepRuns);
    medians.ripgrepProcessor = CommandMedian(ripgrep, ripgrepProcessor);
    return medians;
}

RoundMedians TimeTreeRounds(const std::string& tree, int rounds, CommandTimer& command,
                            CommandTimer& ripgrep)
{
    std::vector<double> read, readProcessor, commandRuns, commandProcessor, ripgrepRuns, ripgrepProcessor;
    ReadAllFiles(tree, true);  // warm the page cache
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
            case 0: {
                double processor = 0;
                read.push_back(TimeReading(tree, processor, true));
                readProcessor.push_back(processor);
                break;
            }
            case 1:
                TimeCommand(command, commandRuns, commandProcessor);
                break;
            default:
                TimeCommand(ripgrep, ripgrepRuns, ripgrepProcessor);
                break;
            }
        }
    }
    RoundMedians medians;
    medians.read = Median(read);
    medians.readProcessor = Median(readProcessor);
    medians.command = CommandMedian(command, commandRuns);
    medians.commandProcessor = CommandMedian(command, commandProcessor);
    medians.ripgrep = CommandMedian(ripgrep, ripgrepRuns);
    medians.ripgrepProcessor = CommandMedian(ripgrep, ripgrepProcessor);
    return medians;
}
