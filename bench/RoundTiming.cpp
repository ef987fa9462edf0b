#include "bench/RoundTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "bench/ProcessorTime.h"
#include "bench/QuietEvents.h"
#include "engine/Analyze.h"
#include "engine/Syntax.h"

#include <vector>

namespace {

double TimeReading(const std::string& folder, double& processor)
{
    double processorStart = ThreadProcessorSeconds();
    Stopwatch watch;
    ReadAllFiles(folder);
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

RoundMedians TimeRounds(const std::string& folder, int rounds, CommandTimer& command)
{
    std::vector<double> read, analysis, oneThread, commandRuns, cppAnalysis, cppOneThread;
    std::vector<double> readProcessor, commandProcessor;
    ReadAllFiles(folder);  // warm the page cache
    for (int round = 0; round < rounds; ++round) {
        double processor = 0;
        read.push_back(TimeReading(folder, processor));
        readProcessor.push_back(processor);
        analysis.push_back(TimeAnalysis(folder, 0));
        oneThread.push_back(TimeAnalysis(folder, 1));
        commandRuns.push_back(command.TimeOnce());
        commandProcessor.push_back(command.LastProcessorSeconds());
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
    medians.readProcessor = Median(readProcessor);
    medians.commandProcessor = command.NotTimed().empty() ? Median(commandProcessor) : 0;
    return medians;
}
