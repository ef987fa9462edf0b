#include "platform/Thread.h"

namespace {

thread_local CWinThread* t_current = nullptr;

// Thrown by AfxEndThread and caught by the thread's entry, so that the stack unwinds before the
// thread ends.
struct ThreadExit {
    unsigned exitCode;
};

}  // namespace

unsigned RunWorkerThread(CWinThread* thread)
{
    t_current = thread;
    unsigned exitCode = 0;
    try {
        exitCode = thread->m_proc(thread->m_param);
    } catch (const ThreadExit& exit) {
        exitCode = exit.exitCode;
    } catch (...) {
        // No exception leaves a thread's entry.
    }
    t_current = nullptr;
    if (thread->m_bAutoDelete) {
        delete thread;
    }
    return exitCode;
}

void AfxEndThread(unsigned exitCode, bool bDelete)
{
    if (!bDelete && t_current != nullptr) {
        t_current->m_bAutoDelete = false;
    }
    throw ThreadExit{exitCode};
}
