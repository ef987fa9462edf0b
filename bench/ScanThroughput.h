#pragma once

#include <cstdint>
#include <string>

// The scanner alone, fed the folder's target files from memory: what a build makes of the
// processor, whatever the disk and the system's file calls cost.
struct ScanThroughput {
    double megabytesPerSecond = 0;  // the median of the rounds
    // By the processor time of the scanning thread, median and best of the rounds: on a machine
    // that other work keeps busy these move far less than the time on the clock.
    double processorMedian = 0;
    double processorBest = 0;
    double megabytes = 0;           // of text scanned in each round (CR LF read as LF)
    int64_t texts = 0;              // found in each round
};

// Each as the log scans, working out no place beyond a text's line, and again with each text's
// column, offset and length, as records in jsonl or csv need them.
struct ScanThroughputs {
    ScanThroughput pairs;  // the texts between pairs of the delimiter
    ScanThroughput cpp;    // the C/C++ syntax
    ScanThroughput pairsPlaces;
    ScanThroughput cppPlaces;
    // What the C/C++ syntax costs over the pairs, in percent: the median of each round's ratio
    // of the two processor times, taken one right after the other.
    double cppCost = 0;
};

// Reads the target files as text into memory, then scans all of them `rounds` times in each
// syntax, each file with a scanner of its own fed in blocks of the size the analysis reads, into
// a sink that counts.
ScanThroughputs MeasureScanThroughputs(const std::string& folder, int rounds);
