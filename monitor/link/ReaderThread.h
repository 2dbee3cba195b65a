#pragma once
// The reader's thread: started with a priority and waited for until it has
// ended. Natively a std::thread (the priority is recorded, not applied: tests
// check the choice); on Windows a framework thread at the real priority, whose
// end is waited for while messages sent to the waiting thread are delivered.
#include <cstdint>

#ifndef _WIN32
#include <thread>
#endif

// The values are Win32's THREAD_PRIORITY_* so that the Windows start passes
// them on unchanged.
enum : int32_t {
    READER_PRIORITY_BELOW_NORMAL = -1,
    READER_PRIORITY_NORMAL = 0,
    READER_PRIORITY_ABOVE_NORMAL = 1,
};

typedef unsigned int (*ReaderThreadProc)(void* param);

class CReaderThread {
public:
    CReaderThread();
    // Waits for a thread still running: its procedure may use the owner.
    ~CReaderThread();
    CReaderThread(const CReaderThread&) = delete;
    CReaderThread& operator=(const CReaderThread&) = delete;

    // A live port must not lose bytes to the user interface; a replay may give
    // way to it. Type 2 is a playback file, every other type a live link.
    static int32_t PriorityForChannelType(int channelType);

    // Runs proc(param) on a new thread at `priority`. False when a thread of an
    // earlier start has not been joined yet or the system refused the thread.
    bool Start(ReaderThreadProc proc, void* param, int32_t priority);

    // Waits until the thread has ended, with no cut-off; afterwards no thread
    // exists. On Windows the caller goes on receiving messages sent to its
    // thread meanwhile, so a reader blocked in a synchronous event to this very
    // thread can finish it and end; called from the handler of such a message,
    // it replies to it first. A Join inside a handler that another Join's wait
    // delivers is allowed: the outer one then finds the thread gone. True when
    // no thread is left; false only when called from the thread itself, which
    // cannot wait for its own end.
    bool Join();

    // True from a successful Start until Join.
    bool Exists() const;
    // True when the caller runs on this thread.
    bool IsCurrentThread() const;
    // The priority asked for at the last successful Start (0 before any).
    int32_t GetPriority() const { return m_priority; }

private:
#ifdef _WIN32
    void* m_thread;   // CWinThread, kept (not auto-deleted) so its handle stays valid
    void* m_handle;   // its thread handle
    uint32_t m_threadId;
#else
    std::thread m_thread;
#endif
    int32_t m_priority;
};
