#pragma once

#include "bench/CommandTiming.h"

#include <string>

// Medians, in seconds, of rounds that each time in turn: reading the folder's target files on
// one thread, the analysis of the folder on one thread per processor and again reading C/C++
// literals, the same two on a single thread, and the command (0 when it is not timed); and the
// processor time of the reading and of the command. Alternating spreads the machine's slow spells over all the figures.
struct RoundMedians {
    double read = 0;
    double analysis = 0;
    double oneThread = 0;
    double command = 0;
    double cppAnalysis = 0;
    double cppOneThread = 0;
    // What the C/C++ syntax costs over the pairs in percent: the median of each round's ratio of
    // the two, timed one right after the other, so that the machine's slow spells fall on both.
    double cppCost = 0;
    double cppOneThreadCost = 0;
    double readProcessor = 0;     // the processor time of the reading thread
    double commandProcessor = 0;  // of the command's process, all its threads (0: not timed)
    double ripgrep = 0;           // rg on the same files (0: not timed)
    double ripgrepProcessor = 0;
};

RoundMedians TimeRounds(const std::string& folder, int rounds, CommandTimer& command,
                        CommandTimer& ripgrep);

// A tree of sources that is not ours, its subfolders too: reading its target files on one
// thread, the command on it and rg on it, each round in another order. Fills `read`, `command`,
// `ripgrep` and the processor times of RoundMedians; the analysis in memory is not timed.
RoundMedians TimeTreeRounds(const std::string& tree, int rounds, CommandTimer& command,
                            CommandTimer& ripgrep);
