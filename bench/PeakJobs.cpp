#include "bench/PeakMemory.h"

#include "bench/BenchSupport.h"
#include "bench/QuietEvents.h"
#include "engine/Analyze.h"

#include <cstdlib>

PeakJob PeakJobOfArguments(char** arguments)
{
    PeakJob job;
    job.kind = static_cast<PeakJob::Kind>(std::atoi(arguments[0]));
    job.path = arguments[1];
    job.threads = std::atoi(arguments[2]);
    return job;
}

bool RunPeakJob(const PeakJob& job)
{
    AnalysisOptions options;
    options.targetList = kBenchTargetList;
    options.subFolders = job.kind == PeakJob::kTree;
    options.threads = job.threads;
    QuietEvents events;
    if (job.kind == PeakJob::kFolder || job.kind == PeakJob::kTree) {
        AnalyzeFolder(job.path.c_str(), options, events);
    } else if (job.kind == PeakJob::kFile) {
        AnalyzeFile(job.path.c_str(), options, events);
    } else {
        return true;
    }
    return events.FilesRead() > 0;
}
