#pragma once
// Fakes around the protocol engine: a channel whose reads follow a script and
// then block until the stop event wakes them, a clock that records every pause
// (and can hold a pause until the stop event ends it), and a timer host that
// records the timers. They share one ordered log, so a test can check the
// order of writes, pauses and timers together.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/CChannel.h"
#include "link/ReaderClock.h"
#include "link/StopEvent.h"
#include "link/TimerHost.h"

namespace prototest {

typedef std::vector<uint8_t> Bytes;

inline std::string HexText(const BYTE* b, int n)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

// An ordered record of what the fakes saw, shared between threads.
class CallLog {
public:
    void Add(const std::string& entry)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_entries.push_back(entry);
    }
    std::vector<std::string> Entries() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_entries;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_entries.clear();
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_entries;
};

// Read results of the script: a byte value 0..255, or one of these.
enum : int { READ_FAILS = -1, READ_EMPTY = -2 };

class FakeChannel : public CChannel {
public:
    explicit FakeChannel(int type, CallLog* log = nullptr)
        : m_type(type), m_log(log), m_endWhenEmpty(type == CHANNEL_TYPE_PLAYBACK)
    {
    }

    // When the script runs out: true reports the end of the data (-1), false
    // blocks until the stop event is set, as a quiet serial port does.
    void SetEndWhenEmpty(bool end) { m_endWhenEmpty = end; }

    // Bytes the reads deliver, one per read, before the script runs out.
    void QueueBytes(const Bytes& bytes)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (uint8_t b : bytes) m_script.push_back(b);
    }
    void QueueResult(int result)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_script.push_back(result);
    }
    // What Write returns: -1 fails, any other value is returned as the bytes
    // written; by default the whole length.
    void SetWriteResult(int result) { m_writeResult = result; }

    int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) override
    {
        Touch();
        ++m_plainReads;
        return -1;
    }

    // After the script: blocks until the stop event is set, or reports the
    // end of the data (see SetEndWhenEmpty).
    int ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop) override
    {
        Touch();
        std::unique_lock<std::mutex> hold(m_lock);
        ++m_reads;
        if (!m_script.empty()) {
            int item = m_script.front();
            m_script.pop_front();
            if (item == READ_FAILS) return -1;
            if (item == READ_EMPTY) return 0;
            buf[0] = static_cast<BYTE>(item);
            return 1;
        }
        if (m_endWhenEmpty) return -1;
        m_blocked = true;
        m_changed.notify_all();
        hold.unlock();
        stop.Wait(STOP_WAIT_FOREVER);
        hold.lock();
        m_blocked = false;
        ++m_readsEndedByStop;
        return -1;
    }

    int Write(const BYTE* buf, uint16_t len, int32_t timeoutMs) override
    {
        Touch();
        if (m_log) m_log->Add("write " + HexText(buf, len));
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_writes;
        return m_writeResult == kWholeLength ? len : m_writeResult;
    }

    bool Close() override
    {
        Touch();
        return true;
    }
    int GetType() override
    {
        Touch();
        return m_type;
    }

    // Waits (without limit) until the reader sits in a blocking read: every
    // byte of the script before it has been handled by then.
    void WaitUntilBlocked()
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [this] { return m_blocked; });
    }

    // The owner has let go (and may close and delete the channel): any call
    // from now on is a use after release.
    void Release() { m_released.store(true); }
    int CallsAfterRelease() const { return m_callsAfterRelease.load(); }
    int ReadsEndedByStop() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_readsEndedByStop;
    }
    int Writes() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_writes;
    }
    int PlainReads() const { return m_plainReads.load(); }

private:
    enum : int { kWholeLength = 0x7FFFFFFF };
    void Touch()
    {
        if (m_released.load()) ++m_callsAfterRelease;
    }

    const int m_type;
    CallLog* m_log;
    bool m_endWhenEmpty;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<int> m_script;
    bool m_blocked = false;
    int m_reads = 0;
    int m_readsEndedByStop = 0;
    int m_writes = 0;
    std::atomic<int> m_plainReads{0};
    int m_writeResult = kWholeLength;
    std::atomic<bool> m_released{false};
    std::atomic<int> m_callsAfterRelease{0};
};

// Records each pause. Stop-aware pauses of `holdFromMs` or more are held
// until the stop event ends them; should one run out first (the generous
// limit is only a guard against a hung test), it is recorded as a failure.
class FakeClock : public IReaderClock {
public:
    explicit FakeClock(CallLog* log = nullptr) : m_log(log) {}

    void HoldPausesFrom(uint32_t ms) { m_holdFromMs = ms; }

    bool PauseUnlessStopped(const CStopEvent& stop, uint32_t ms) override
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_stopAware.push_back(ms);
            if (ms >= m_holdFromMs) m_holding = true;
            m_changed.notify_all();
        }
        if (m_log) m_log->Add("pause " + std::to_string(ms));
        if (ms < m_holdFromMs) return stop.IsSet();
        bool woken = stop.Wait(kGuardMs);
        std::lock_guard<std::mutex> hold(m_lock);
        m_holding = false;
        if (woken) ++m_endedByStop; else ++m_ranOut;
        return woken;
    }

    void Sleep(uint32_t ms) override
    {
        if (m_log) m_log->Add("sleep " + std::to_string(ms));
        std::lock_guard<std::mutex> hold(m_lock);
        m_sleeps.push_back(ms);
    }

    void WaitUntilHolding()
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [this] { return m_holding; });
    }

    std::vector<uint32_t> StopAwarePauses() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_stopAware;
    }
    std::vector<uint32_t> Sleeps() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_sleeps;
    }
    int PausesEndedByStop() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_endedByStop;
    }
    int PausesRanOut() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_ranOut;
    }

private:
    enum : uint32_t { kGuardMs = 60000 };
    CallLog* m_log;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    uint32_t m_holdFromMs = 0xFFFFFFFFu;
    bool m_holding = false;
    int m_endedByStop = 0;
    int m_ranOut = 0;
    std::vector<uint32_t> m_stopAware;
    std::vector<uint32_t> m_sleeps;
};

class RecordingTimerHost : public ITimerHost {
public:
    explicit RecordingTimerHost(CallLog* log) : m_log(log) {}
    bool SetTimer(uint32_t id, uint32_t ms) override
    {
        m_log->Add("set timer " + std::to_string(id) + " " + std::to_string(ms));
        return true;
    }
    void KillTimer(uint32_t id) override { m_log->Add("kill timer " + std::to_string(id)); }

private:
    CallLog* m_log;
};

} // namespace prototest
