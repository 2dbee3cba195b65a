#include "framework/CWinThread.h"

#include <process.h>

namespace {

unsigned __stdcall ThreadEntry(void* pParam) {
  CWinThread* pThread = static_cast<CWinThread*>(pParam);
  UINT result = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
  if (pThread->m_bAutoDelete) delete pThread;
  return result;
}

}  // namespace

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (m_hThread != nullptr || m_pfnThreadProc == nullptr) return FALSE;
  unsigned id = 0;
  // Started suspended so the handle and id are stored before the thread can
  // run (and possibly delete this object).
  uintptr_t h = ::_beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this,
                                 dwCreateFlags | CREATE_SUSPENDED, &id);
  if (h == 0) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(h);
  m_nThreadID = id;
  if ((dwCreateFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(m_hThread);
  return TRUE;
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pfnThreadProc == nullptr) return nullptr;
  CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  // The priority is in place before the thread runs any of its code.
  pThread->SetThreadPriority(nPriority);
  if ((dwCreateFlags & CREATE_SUSPENDED) == 0) pThread->ResumeThread();
  return pThread;
}
