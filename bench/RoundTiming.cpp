#include "bench/RoundTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "bench/QuietEvents.h"
#include "engine/Analyze.h"
#include "engine/Syntax.h"

#include <vector>

namespace {

double TimeReading(const std::string& folder)
{
    Stopwatch watch;
    ReadAllFiles(folder);
    return watch.Seconds();
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

RoundMedians TimeRounds(const std::string& folder, int rounds, CommandTimer& command)
{
    std::vector<double> read, analysis, oneThread, commandRuns, cppAnalysis, cppOneThread;
    ReadAllFiles(folder);  // warm the page cache
    for (int round = 0; round < rounds; ++round) {
        read.push_back(TimeReading(folder));
        analysis.push_back(TimeAnalysis(folder, 0));
        oneThread.push_back(TimeAnalysis(folder, 1));
        commandRuns.push_back(command.TimeOnce());
        cppAnalysis.push_back(TimeAnalysis(folder, 0, SYNTAX_CPP));
        cppOneThread.push_back(TimeAnalysis(folder, 1, SYNTAX_CPP));
    }
    RoundMedians medians;
    medians.read = Median(read);
    medians.analysis = Median(analysis);
    medians.oneThread = Median(oneThread);
    medians.command = command.NotTimed().empty() ? Median(commandRuns) : 0;
    medians.cppAnalysis = Median(cppAnalysis);
    medians.cppOneThread = Median(cppOneThread);
    return medians;
}
