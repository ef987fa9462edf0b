#pragma once

#include <string>

// An analysis whose peak memory is measured, run in a child process of its own so that nothing
// the benchmark itself holds is counted.
struct PeakJob {
    enum Kind { kNothing, kFolder, kTree, kFile };
    Kind kind = kNothing;
    std::string path;
    int threads = 0;  // as the analysis's option: 0 one per processor
};

// What a child process is started with before its job, and the job as its last three arguments
// give it: the kind, the path and the threads, in that order.
const char kPeakChildArgument[] = "--peak-child";
PeakJob PeakJobOfArguments(char** arguments);

// Runs the job in this process: nothing, one folder, a folder and all its subfolders, or one file.
// False when it read no file, so that a figure of a job that did nothing is not taken for one.
bool RunPeakJob(const PeakJob& job);

// The peak resident memory (on Windows the peak working set), in MB, of a child process that runs
// the job; 0 when it could not be measured or the job failed. One implementation per system.
double PeakMegabytesOf(const PeakJob& job);

// True when this process is such a child, started with a hidden argument; it has then run its
// job (on Windows also told its parent) and set the status to exit with.
bool RanAsPeakChild(int argc, char** argv, int& status);
