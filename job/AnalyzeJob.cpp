#include "job/AnalyzeJob.h"

#include "engine/Analyze.h"
#include "job/JobMessages.h"
#include "platform/Directory.h"
#include "platform/Thread.h"

namespace {

// What every job does last, whatever happened before.
void SendEndNotices(HWND window)
{
    SendStatus(window, STATUS_FINISHED, "");
    SendMessageA(window, WM_ANALYZE_END, 0, 0);
}

void RunJob(const ANALYZE_PARAM& job)
{
    if (job.nKind == TARGET_FOLDER) {
        AnalyzeFolder(job.strPath, job.hWnd, job.env);
    } else if (job.nKind == TARGET_FILE) {
        AnalyzeFile(job.strPath, job.hWnd, job.env);
    }
}

}  // namespace

int32_t GetTargetKind(const char* path)
{
    if (path == nullptr) {
        return TARGET_INVALID;
    }
    uint32_t attributes = 0;
    if (!FindPathEntry(path, attributes)) {
        return TARGET_NONE;
    }
    return (attributes & kAttrDirectory) != 0 ? TARGET_FOLDER : TARGET_FILE;
}

UINT AnalyzeThreadProc(void* param)
{
    ANALYZE_PARAM* job = static_cast<ANALYZE_PARAM*>(param);
    try {
        RunJob(*job);
    } catch (...) {
        // An analysis that failed (out of memory) still ends like any other job.
    }
    SendEndNotices(job->hWnd);
    delete job;
    AfxEndThread(0, TRUE);
}

void StartAnalyzeJob(HWND window, const char* path, const CEnvData& settings)
{
    ANALYZE_PARAM* job = new ANALYZE_PARAM;
    job->nKind = GetTargetKind(path);
    job->hWnd = window;
    job->strPath = path;
    job->env = settings;
    if (AfxBeginThread(AnalyzeThreadProc, job) == nullptr) {
        delete job;
        SendEndNotices(window);
    }
}
