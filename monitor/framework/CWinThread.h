// Worker threads in the class layer's shape: AfxBeginThread and CWinThread.
// Windows build only; portable code starts threads through its own seam.
#pragma once

#ifdef _WIN32

#include "framework/CCmdTarget.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  // Closes the thread handle; the thread itself is not stopped.
  ~CWinThread() override;

  // Starts the thread (CREATE_SUSPENDED keeps it waiting for ResumeThread).
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

  DWORD ResumeThread();
  DWORD SuspendThread();
  BOOL SetThreadPriority(int nPriority);
  int GetThreadPriority();
  operator HANDLE() const { return m_hThread; }

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  // TRUE: the object deletes itself when the thread function returns, so the
  // caller must not touch it afterwards. A caller that waits on m_hThread
  // sets it to FALSE while the thread is still suspended (start it with
  // CREATE_SUSPENDED), then resumes it and deletes the object itself.
  BOOL m_bAutoDelete = TRUE;

  AFX_THREADPROC m_pfnThreadProc;
  LPVOID m_pThreadParams;
};

// Starts pfnThreadProc(pParam) on a new thread at nPriority (a
// THREAD_PRIORITY_* value), set before the thread runs any of its code.
// Returns nullptr when the thread cannot be created.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

#endif  // _WIN32
