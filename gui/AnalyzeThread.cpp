#include "gui/AnalyzeThread.h"

#include "gui/WindowNotifier.h"
#include "platform/Thread.h"

UINT AnalyzeThreadProc(void* param)
{
    ANALYZE_PARAM* job = static_cast<ANALYZE_PARAM*>(param);
    {
        WindowNotifier notifier(job->hWnd, job->openLog);
        try {
            RunAnalysis(job->nKind, job->strPath, job->options, notifier);
        } catch (...) {
            // An analysis that failed (out of memory) still ends like any other job.
        }
        if (!notifier.Ended()) {
            SendEndNotices(job->hWnd);
        }
    }
    delete job;
    AfxEndThread(0, TRUE);
}

void StartAnalyzeJob(HWND window, const char* path, const CEnvData& settings,
                     OpenFileAction openLog)
{
    ANALYZE_PARAM* job = new ANALYZE_PARAM;
    job->nKind = GetTargetKind(path);
    job->hWnd = window;
    job->strPath = path;
    job->options = MakeAnalysisOptions(settings);
    job->openLog = openLog;
    if (AfxBeginThread(AnalyzeThreadProc, job) == nullptr) {
        delete job;
        SendEndNotices(window);
    }
}
