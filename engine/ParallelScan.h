#pragma once

#include "engine/Analysis.h"
#include "engine/FolderWalk.h"

// The number of threads that scan: `requested`, or one per processor when it is 0.
int ScanThreads(int requested);

// Scans the files of the walk on `threads` worker threads, while this one hands them out and
// tells the analysis of each in the walk's order as they are ready: the front end hears of the
// files, and the log takes their records, in exactly the order and the bytes that one thread would
// give. Memory is bounded by a window of files in flight; a file whose records outgrow a worker's
// buffer waits for its turn and writes on into the log itself.
void ScanInParallel(WalkSource& walk, Analysis& analysis, int threads);
