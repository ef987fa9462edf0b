#pragma once

#include "platform/WinTypes.h"

typedef UINT (*AFX_THREADPROC)(void* param);

// A worker thread started by AfxBeginThread. It deletes itself when the thread ends through
// AfxEndThread (or by returning from its entry).
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

// Ends the calling worker thread with `exitCode`, deleting its thread object when `bDelete`.
[[noreturn]] void AfxEndThread(UINT exitCode, BOOL bDelete = TRUE);
