#pragma once
// A channel over bytes the test hands in, one byte per read. A playback
// channel ends when they run out; any other waits for more until its reader
// is stopped, as a quiet serial line does. What is written to it is kept.
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "link/CChannel.h"
#include "link/StopEvent.h"

namespace linksupport {

class FedChannel : public CChannel {
public:
    explicit FedChannel(int type = CHANNEL_TYPE_SERIAL) : m_type(type) {}

    void Feed(const std::string& bytes)
    {
        std::lock_guard<std::mutex> g(m_lock);
        for (char c : bytes) m_input.push_back(static_cast<BYTE>(c));
    }
    int Read(BYTE* buf, uint16_t len, int32_t) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_idle = m_input.empty();
        if (len == 0 || m_input.empty()) return -1;
        buf[0] = m_input.front();
        m_input.pop_front();
        return 1;
    }
    int ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop) override
    {
        for (;;) {
            if (stop.IsSet()) return -1;
            const int n = Read(buf, len, 0);
            if (n > 0 || m_type == CHANNEL_TYPE_PLAYBACK) return n;
            stop.Wait(1);
        }
    }
    int Write(const BYTE* buf, uint16_t len, int32_t) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_written.append(reinterpret_cast<const char*>(buf), len);
        return len;
    }
    bool Close() override { return true; }
    int GetType() override { return m_type; }

    // Every byte fed has been read and handled: the reader waits for more.
    bool Drained()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_input.empty() && m_idle;
    }
    std::string Written()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_written;
    }

private:
    const int m_type;
    std::mutex m_lock;
    std::deque<BYTE> m_input;
    std::string m_written;
    bool m_idle = false;
};

}  // namespace linksupport
