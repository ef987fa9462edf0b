#include "platform/Thread.h"

#include <process.h>
#include <windows.h>

#include <mutex>
#include <vector>

namespace {

// Handles of the workers not yet seen to end, each the program's own duplicate: a worker's
// object closes its handle when the worker ends.
std::mutex g_workersLock;
std::vector<HANDLE> g_workers;

bool HasEnded(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

// Closes and forgets the handles of the workers that have ended. Called with the lock held.
void ForgetEndedWorkers()
{
    std::vector<HANDLE> running;
    for (HANDLE thread : g_workers) {
        if (HasEnded(thread)) {
            CloseHandle(thread);
        } else {
            running.push_back(thread);
        }
    }
    g_workers.swap(running);
}

void RememberWorker(HANDLE thread)
{
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0)) {
        return;  // not waited for at the end, as before the wait existed
    }
    std::lock_guard<std::mutex> lock(g_workersLock);
    ForgetEndedWorkers();
    g_workers.push_back(own);
}

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
    RememberWorker(reinterpret_cast<HANDLE>(handle));
    ResumeThread(reinterpret_cast<HANDLE>(handle));
    return thread;
}

bool WaitForWorkerThreads(unsigned milliseconds)
{
    std::lock_guard<std::mutex> lock(g_workersLock);
    const DWORD start = GetTickCount();
    for (HANDLE thread : g_workers) {
        const DWORD spent = GetTickCount() - start;
        WaitForSingleObject(thread, spent < milliseconds ? milliseconds - spent : 0);
    }
    ForgetEndedWorkers();
    return g_workers.empty();
}
