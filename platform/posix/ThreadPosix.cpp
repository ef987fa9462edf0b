#include "platform/Thread.h"

#include <pthread.h>

#include <cxxabi.h>

namespace {

thread_local CWinThread* t_current = nullptr;

void* ThreadEntry(void* object)
{
    CWinThread* thread = static_cast<CWinThread*>(object);
    t_current = thread;
    UINT exitCode = 0;
    try {
        exitCode = thread->m_proc(thread->m_param);
    } catch (abi::__forced_unwind&) {
        throw;  // pthread_exit unwinding through us: let it finish the thread
    } catch (...) {
        // No exception leaves a thread's entry.
    }
    AfxEndThread(exitCode);
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
    CWinThread* thread = t_current;
    t_current = nullptr;
    if (thread != nullptr && bDelete && thread->m_bAutoDelete) {
        delete thread;
    }
    pthread_exit(reinterpret_cast<void*>(static_cast<uintptr_t>(exitCode)));
}
