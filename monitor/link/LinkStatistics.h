#pragma once
// The 13 statistics counters of one link, in the order the status display
// lists them. The reader thread is the only writer; the GUI thread reads them
// while the reader runs, so each counter is an atomic.
#include <atomic>
#include <cstdint>

enum LinkCounter : int {
    LINK_BYTES = 0,
    LINK_GOOD,
    LINK_BAD,
    LINK_QBIN_GOOD,
    LINK_QBIN_BAD,
    LINK_NMEA_GOOD,
    LINK_NMEA_BAD,
    LINK_QTXT_GOOD,
    LINK_QTXT_BAD,
    LINK_QOP_GOOD,
    LINK_QOP_BAD,
    LINK_KESTO_GOOD,
    LINK_KESTO_BAD,
    LINK_COUNTER_COUNT
};

class LinkStatistics {
public:
    LinkStatistics() { Reset(); }
    LinkStatistics(const LinkStatistics&) = delete;
    LinkStatistics& operator=(const LinkStatistics&) = delete;

    // Every counter back to 0 (at each start of the link).
    void Reset()
    {
        for (int i = 0; i < LINK_COUNTER_COUNT; ++i) m_counters[i].store(0, std::memory_order_relaxed);
    }

    uint32_t Get(LinkCounter which) const
    {
        if (which < 0 || which >= LINK_COUNTER_COUNT) return 0;
        return m_counters[which].load(std::memory_order_relaxed);
    }

    // Adds one. Only the reader thread writes, so a plain load and store is
    // enough and keeps the per-byte count free of locked instructions; readers
    // on other threads still see whole values. Counters wrap at 2^32.
    void Increment(LinkCounter which)
    {
        if (which < 0 || which >= LINK_COUNTER_COUNT) return;
        m_counters[which].store(m_counters[which].load(std::memory_order_relaxed) + 1u,
                                std::memory_order_relaxed);
    }

    // Adds n at once: a block of received bytes is counted in one step.
    void Add(LinkCounter which, uint32_t n)
    {
        if (which < 0 || which >= LINK_COUNTER_COUNT) return;
        m_counters[which].store(m_counters[which].load(std::memory_order_relaxed) + n,
                                std::memory_order_relaxed);
    }

private:
    std::atomic<uint32_t> m_counters[LINK_COUNTER_COUNT];
};
