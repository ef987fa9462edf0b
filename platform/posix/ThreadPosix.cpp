#include "platform/Thread.h"

#include <pthread.h>

namespace {

thread_local CWinThread* t_current = nullptr;

// Thrown by AfxEndThread and caught by the thread's entry, so that the stack unwinds (every
// destructor runs) before the thread ends.
struct ThreadExit {
    UINT exitCode;
};

void* ThreadEntry(void* object)
{
    CWinThread* thread = static_cast<CWinThread*>(object);
    t_current = thread;
    UINT exitCode = 0;
    try {
        exitCode = thread->m_proc(thread->m_param);
    } catch (const ThreadExit& exit) {
        exitCode = exit.exitCode;
    } catch (...) {
        // No exception leaves a thread's entry.
    }
    if (t_current != nullptr && thread->m_bAutoDelete) {
        delete thread;
    }
    t_current = nullptr;
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

void AfxEndThread(UINT exitCode, BOOL bDelete)
{
    if (!bDelete && t_current != nullptr) {
        t_current->m_bAutoDelete = false;
    }
    throw ThreadExit{exitCode};
}
