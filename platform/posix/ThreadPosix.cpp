#include "platform/Thread.h"

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// The workers that have not yet left their entry.
std::mutex g_workersLock;
std::condition_variable g_workerLeft;
unsigned g_workers = 0;

void CountWorker(bool started)
{
    std::lock_guard<std::mutex> lock(g_workersLock);
    if (started) {
        ++g_workers;
    } else {
        --g_workers;
        g_workerLeft.notify_all();
    }
}

void* ThreadEntry(void* object)
{
    unsigned exitCode = RunWorkerThread(static_cast<CWinThread*>(object));
    CountWorker(false);
    return reinterpret_cast<void*>(static_cast<uintptr_t>(exitCode));
}

}  // namespace

CWinThread::~CWinThread() = default;

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param)
{
    CWinThread* thread = new CWinThread(proc, param);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    CountWorker(true);
    pthread_t id;
    int failed = pthread_create(&id, &attributes, ThreadEntry, thread);
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        CountWorker(false);
        delete thread;
        return nullptr;
    }
    return thread;
}

bool WaitForWorkerThreads(unsigned milliseconds)
{
    std::unique_lock<std::mutex> lock(g_workersLock);
    return g_workerLeft.wait_for(lock, std::chrono::milliseconds(milliseconds), [] { return g_workers == 0; });
}
