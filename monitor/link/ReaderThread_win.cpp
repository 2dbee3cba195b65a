#include "link/ReaderThread.h"

#include "framework/WinTypes.h"
#include "framework/CWinThread.h"

static_assert(READER_PRIORITY_BELOW_NORMAL == THREAD_PRIORITY_BELOW_NORMAL, "priority values are Win32's");
static_assert(READER_PRIORITY_NORMAL == THREAD_PRIORITY_NORMAL, "priority values are Win32's");
static_assert(READER_PRIORITY_ABOVE_NORMAL == THREAD_PRIORITY_ABOVE_NORMAL, "priority values are Win32's");

CReaderThread::CReaderThread() : m_thread(nullptr), m_handle(nullptr), m_threadId(0), m_priority(0) {}

CReaderThread::~CReaderThread()
{
    if (Join()) return;
    // Destroyed by its own thread: the thread object must outlive the thread
    // procedure, so let it delete itself when the procedure returns.
    static_cast<CWinThread*>(m_thread)->m_bAutoDelete = TRUE;
}

bool CReaderThread::Start(ReaderThreadProc proc, void* param, int32_t priority)
{
    if (proc == nullptr || m_thread != nullptr) return false;
    // Suspended, so that the object can be kept (not deleted when the
    // procedure returns) before the thread runs: its handle is what Join waits on.
    CWinThread* thread = AfxBeginThread(proc, param, priority, 0, CREATE_SUSPENDED);
    if (thread == nullptr) return false;
    thread->m_bAutoDelete = FALSE;
    m_thread = thread;
    m_handle = thread->m_hThread;
    m_threadId = thread->m_nThreadID;
    m_priority = priority;
    thread->ResumeThread();
    return true;
}

bool CReaderThread::Join()
{
    if (m_thread == nullptr) return true;
    if (IsCurrentThread()) return false;
    // Called from the handler of a message the reader sent us: the reader
    // waits for that handler, so release it before waiting for it.
    if (::InSendMessage()) ::ReplyMessage(0);
    for (;;) {
        // A handler run below may itself have waited for the thread and
        // released it (a nested Join); its handle is closed then.
        if (m_thread == nullptr) return true;
        HANDLE handle = static_cast<HANDLE>(m_handle);
        // The reader sends some events (raw frames, CRC errors) to windows of
        // the waiting thread and cannot end until they are handled, so the
        // wait delivers sent messages. Posted messages (input, commands,
        // timers) stay queued for the message loop. MWMO_INPUTAVAILABLE also
        // wakes for sends that were already pending when the wait began.
        DWORD r = ::MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) break;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        // The handle cannot be waited on (it never fails for a live thread):
        // a plain wait is the last resort, and returns at once if invalid.
        ::WaitForSingleObject(handle, INFINITE);
        break;
    }
    delete static_cast<CWinThread*>(m_thread);
    m_thread = nullptr;
    m_handle = nullptr;
    m_threadId = 0;
    return true;
}

bool CReaderThread::Exists() const
{
    return m_thread != nullptr;
}

bool CReaderThread::IsCurrentThread() const
{
    return m_thread != nullptr && ::GetCurrentThreadId() == m_threadId;
}
