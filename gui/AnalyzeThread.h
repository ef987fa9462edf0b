#pragma once

#include "engine/AnalysisOptions.h"
#include "job/AnalyzeJob.h"
#include "platform/CString.h"
#include "platform/Shell.h"
#include <windows.h>

#include <cstdint>

class CEnvData;

// One job of the Windows program: allocated by the starter, handed whole to the worker, freed by
// the worker.
struct ANALYZE_PARAM {
    int32_t nKind = TARGET_INVALID;
    HWND hWnd = nullptr;  // receives WM_ANALYZE_STATUS and WM_ANALYZE_END
    CString strPath;
    AnalysisOptions options;                  // the job's own copy, taken when it started
    OpenFileAction openLog = OpenFileInShell;  // opens the log when a line held the delimiter
};

// The worker's entry: analyses the job's path, telling its window, frees the job and ends its
// thread. Never returns.
UINT AnalyzeThreadProc(void* param);

// Starts one job for `path` on a new worker thread, with options taken from `settings` now. The
// window receives both end notices on every path, also when no thread can be started (then they
// are sent from here, before this returns).
void StartAnalyzeJob(HWND window, const char* path, const CEnvData& settings,
                     OpenFileAction openLog = OpenFileInShell);
