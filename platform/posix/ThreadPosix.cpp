#include "platform/Thread.h"

#include <pthread.h>

namespace {

void* ThreadEntry(void* object)
{
    unsigned exitCode = RunWorkerThread(static_cast<CWinThread*>(object));
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
    pthread_t id;
    int failed = pthread_create(&id, &attributes, ThreadEntry, thread);
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        delete thread;
        return nullptr;
    }
    return thread;
}
