#include "link/ReaderThread.h"

int32_t CReaderThread::PriorityForChannelType(int channelType)
{
    return channelType == 2 ? READER_PRIORITY_BELOW_NORMAL : READER_PRIORITY_ABOVE_NORMAL;
}

// The Windows form lives in ReaderThread_win.cpp.
#ifndef _WIN32

#include <system_error>

namespace {
// The reader thread object whose procedure runs on this thread. The std::thread
// member cannot tell: it is assigned while the new thread may already run.
thread_local const CReaderThread* t_running = nullptr;
} // namespace

CReaderThread::CReaderThread() : m_priority(0) {}

CReaderThread::~CReaderThread()
{
    Join();
    // A thread that destroys its own owner cannot be joined; let it finish alone
    // rather than aborting the process.
    if (m_thread.joinable()) m_thread.detach();
}

bool CReaderThread::Start(ReaderThreadProc proc, void* param, int32_t priority)
{
    if (!proc || m_thread.joinable()) return false;
    try {
        m_thread = std::thread([this, proc, param] {
            t_running = this;
            proc(param);
            t_running = nullptr;
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_priority = priority;
    return true;
}

bool CReaderThread::Join()
{
    if (!m_thread.joinable()) return true;
    if (IsCurrentThread()) return false;
    m_thread.join();
    return true;
}

bool CReaderThread::Exists() const
{
    return m_thread.joinable();
}

bool CReaderThread::IsCurrentThread() const
{
    return t_running == this;
}

#endif
