#pragma once

#include "engine/AnalysisEvents.h"
#include "engine/AnalysisOptions.h"
#include "platform/Failure.h"

#include <cstdint>

class CEnvData;

// Target kinds: what a path names.
const int32_t TARGET_INVALID = -1;  // no path at all
const int32_t TARGET_NONE = 0;      // nothing that can be analysed: missing, or not a file or folder
const int32_t TARGET_FILE = 1;      // the path names a file
const int32_t TARGET_FOLDER = 2;    // the path names a folder

// Classifies a path by looking it up (on Windows a pattern's first match counts).
int32_t GetTargetKind(const char* path);
// The same, and for TARGET_NONE why: not found, a name too long, or not a file or folder.
int32_t ClassifyPath(const char* path, Failure& why);

// The options of a job, taken from the settings when it starts.
AnalysisOptions MakeAnalysisOptions(const CEnvData& settings);

// Analyses `path` as its kind says; a path of any other kind ends at once. `events` hears of each
// file, of what failed, and of the end, always.
void RunAnalysis(int32_t kind, const char* path, const AnalysisOptions& options,
                 AnalysisEvents& events);
