#include "link/EventCoalescer.h"

namespace {

uint32_t SlotOf(int32_t event, int32_t detail)
{
    const uint32_t key = (static_cast<uint32_t>(event) << 16) ^ (static_cast<uint32_t>(detail) & 0xFFFFu);
    // Fibonacci hashing: events and details are small numbers in runs.
    return (key * 2654435769u) >> 24;
}

}  // namespace

CEventCoalescer::CEventCoalescer(uint32_t intervalMs) : m_intervalMs(intervalMs) {}

void CEventCoalescer::NoteDue(uint32_t due)
{
    if (m_held == 0 || static_cast<int32_t>(due - m_nextDue) < 0) m_nextDue = due;
}

bool CEventCoalescer::Admit(int32_t event, int32_t detail, uint32_t nowMs)
{
    detail &= 0xFFFF;
    Slot& slot = m_slots[SlotOf(event, detail) % kSlots];
    if (!slot.used || slot.event != event || slot.detail != detail) {
        // A slot another event holds back keeps it: this one simply passes.
        if (slot.used && slot.held) return true;
        slot.used = true;
        slot.event = event;
        slot.detail = detail;
        slot.held = false;
        slot.last = nowMs;
        return true;
    }
    if (static_cast<int32_t>(nowMs - slot.last) >= static_cast<int32_t>(m_intervalMs)) {
        if (slot.held) {
            slot.held = false;
            --m_held;
        }
        slot.last = nowMs;
        return true;
    }
    if (!slot.held) {
        const uint32_t due = slot.last + m_intervalMs;
        NoteDue(due);
        slot.held = true;
        ++m_held;
    }
    return false;
}

void CEventCoalescer::Reset()
{
    for (Slot& slot : m_slots) slot = Slot();
    m_held = 0;
    m_nextDue = 0;
}
