#pragma once

#include <cstdint>

typedef unsigned (*AFX_THREADPROC)(void* param);

// A worker thread started by AfxBeginThread. It deletes itself when the thread ends, through
// AfxEndThread or by returning from its entry.
class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, void* param) : m_proc(proc), m_param(param) {}
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    AFX_THREADPROC m_proc;
    void* m_param;
    bool m_bAutoDelete = true;
    intptr_t m_hThread = 0;  // the system's handle of the thread (Windows)
};

// Starts `proc(param)` at once on a new thread: normal priority, default stack size, default
// security. Null when the thread cannot be created; `param` then still belongs to the caller.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param);

// Ends the calling worker thread with `exitCode`: its stack unwinds to the thread's entry, so
// every object alive at the call is destroyed, then the thread object is deleted (unless
// `bDelete` is false) and the thread ends. Only for threads started by AfxBeginThread.
[[noreturn]] void AfxEndThread(unsigned exitCode, bool bDelete = true);

// Waits up to `milliseconds` for every worker started by AfxBeginThread to end; true when none is
// left. A program calls it just before it ends: a worker that has done its work and is ending
// would otherwise race the end of the process, and Wine can then take the worker's exit code for
// the process's. A worker still at its work is not waited for beyond the time given.
bool WaitForWorkerThreads(unsigned milliseconds);

// Runs a thread's entry as both systems do: called first on the new thread, returns the exit
// code once the entry has returned or called AfxEndThread, after deleting the thread object.
unsigned RunWorkerThread(CWinThread* thread);
