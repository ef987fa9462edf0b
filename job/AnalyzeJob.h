#pragma once

#include "platform/CString.h"
#include "platform/WinTypes.h"
#include "settings/EnvData.h"

#include <cstdint>

// Target kinds, the values of ANALYZE_PARAM::nKind.
const int32_t TARGET_INVALID = -1;  // no path at all
const int32_t TARGET_NONE = 0;      // nothing found at the path
const int32_t TARGET_FILE = 1;      // the path names a file
const int32_t TARGET_FOLDER = 2;    // the path names a folder

// One job: allocated by the starter, handed whole to the worker, freed by the worker.
struct ANALYZE_PARAM {
    int32_t nKind = TARGET_INVALID;
    HWND hWnd = nullptr;  // receives WM_ANALYZE_STATUS and WM_ANALYZE_END
    CString strPath;
    CEnvData env;  // the settings as they were when the job started: its own copy
};

// Classifies a path by looking it up (on Windows a pattern's first match counts).
int32_t GetTargetKind(const char* path);

// The worker's entry: analyses the job's path, sends the closing status and WM_ANALYZE_END,
// frees the job and ends its thread. Never returns.
UINT AnalyzeThreadProc(void* param);

// Starts one job for `path` on a new worker thread, with a copy of `settings`. The job's window
// receives both end notices on every path, also when no thread can be started (then they are
// sent from here, before this returns).
void StartAnalyzeJob(HWND window, const char* path, const CEnvData& settings);
