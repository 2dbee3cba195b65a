#pragma once
// Thins the posted receiver events of a replay played as fast as it decodes.
// Every posted event costs the window system a round trip (under Wine a call
// to its server) and the listener a message, while a window shows only the
// latest state: hundreds of thousands of identical events a second would set
// the replay's pace. An event with the same code and detail as one let
// through less than the interval ago is held back; what was held goes out
// once its interval has passed (with the next event that comes) or when the
// caller flushes it (at the end of the data), so the last state of every
// event always reaches the listeners. Events of different code or detail are
// never merged. Used by one thread (the reader's).
#include <cstdint>

class CEventCoalescer {
public:
    enum : uint32_t { kDefaultIntervalMs = 20, kSlots = 256 };

    explicit CEventCoalescer(uint32_t intervalMs = kDefaultIntervalMs);

    // True when the event is to be delivered now (and counts as delivered
    // at `nowMs`); false when it is held back.
    bool Admit(int32_t event, int32_t detail, uint32_t nowMs);

    // Calls deliver(event, detail) for each held event whose interval has
    // passed at `nowMs`, or for every held event with `all`; each then
    // counts as delivered now. Cheap when nothing is due.
    template <class Deliver>
    void TakeHeld(uint32_t nowMs, bool all, Deliver deliver)
    {
        if (m_held == 0 || (!all && static_cast<int32_t>(nowMs - m_nextDue) < 0)) return;
        m_nextDue = nowMs + m_intervalMs;
        for (Slot& slot : m_slots) {
            if (!slot.used || !slot.held) continue;
            if (!all && static_cast<int32_t>(nowMs - slot.last - m_intervalMs) < 0) {
                NoteDue(slot.last + m_intervalMs);
                continue;
            }
            slot.held = false;
            slot.last = nowMs;
            --m_held;
            deliver(slot.event, slot.detail);
        }
    }

    // Forgets everything (a new replay).
    void Reset();
    uint32_t GetHeldCount() const { return m_held; }

private:
    struct Slot {
        int32_t event = 0;
        int32_t detail = 0;
        uint32_t last = 0;
        bool used = false;
        bool held = false;
    };
    void NoteDue(uint32_t due);

    uint32_t m_intervalMs;
    uint32_t m_held = 0;
    uint32_t m_nextDue = 0;
    Slot m_slots[kSlots];
};
