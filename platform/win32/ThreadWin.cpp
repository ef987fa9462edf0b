#include "platform/Thread.h"

#include <process.h>
#include <windows.h>

namespace {

thread_local CWinThread* t_current = nullptr;

unsigned __stdcall ThreadEntry(void* object)
{
    CWinThread* thread = static_cast<CWinThread*>(object);
    t_current = thread;
    UINT exitCode = 0;
    try {
        exitCode = thread->m_proc(thread->m_param);
    } catch (...) {
        // No exception leaves a thread's entry.
    }
    AfxEndThread(exitCode);
}

}  // namespace

CWinThread::~CWinThread()
{
    if (m_hThread != 0) {
        CloseHandle(reinterpret_cast<HANDLE>(m_hThread));
    }
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param)
{
    CWinThread* thread = new CWinThread(proc, param);
    // Created suspended, so that the handle is stored before the thread can delete its object.
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadEntry, thread, CREATE_SUSPENDED, nullptr);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->m_hThread = static_cast<intptr_t>(handle);
    ResumeThread(reinterpret_cast<HANDLE>(handle));
    return thread;
}

void AfxEndThread(UINT exitCode, BOOL bDelete)
{
    CWinThread* thread = t_current;
    t_current = nullptr;
    if (thread != nullptr && bDelete && thread->m_bAutoDelete) {
        delete thread;
    }
    _endthreadex(exitCode);
    __builtin_unreachable();
}
