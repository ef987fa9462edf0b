#include "platform/Thread.h"

#include <process.h>
#include <windows.h>

namespace {

unsigned __stdcall ThreadEntry(void* object)
{
    return RunWorkerThread(static_cast<CWinThread*>(object));
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
