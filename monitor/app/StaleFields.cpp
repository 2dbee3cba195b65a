#include "app/StaleFields.h"

StaleFieldPlan GetStaleFieldPlan(int field)
{
    StaleFieldPlan plan = {{-1, -1}, STALE_MARK_NONE};
    if (field >= STALE_CHANNEL_FIRST && field <= STALE_CHANNEL_LAST) {
        plan.reportTexts[0] = 16;
        return plan;
    }
    switch (field) {
    case STALE_POSITION: plan.reportTexts[0] = 2; plan.mark = STALE_MARK_POSITION; break;
    case STALE_VELOCITY: plan.reportTexts[0] = 3; plan.mark = STALE_MARK_VELOCITY; break;
    case STALE_TIME: plan.reportTexts[0] = 4; break;
    case STALE_RECEIVER_STATUS: plan.reportTexts[0] = 5; break;
    case STALE_RECEIVER_MODE: plan.reportTexts[0] = 8; plan.reportTexts[1] = 6; break;
    case STALE_OSCILLATOR: plan.reportTexts[0] = 12; plan.mark = STALE_MARK_OSCILLATOR; break;
    case STALE_BATTERY_RAM: plan.reportTexts[0] = 9; break;
    case STALE_ANTENNA: plan.reportTexts[0] = 11; break;
    case STALE_CLOCK: plan.reportTexts[0] = 10; break;
    case STALE_ALMANAC: plan.reportTexts[0] = 7; break;
    default: break;
    }
    return plan;
}

CStaleFields::CStaleFields()
{
    for (int i = 0; i < STALE_FIELD_COUNT; ++i) {
        m_count[i] = 0;
        m_limit[i] = 0;
    }
}

void CStaleFields::SetLimit(int field, uint32_t limit)
{
    if (IsField(field)) m_limit[field] = limit;
}

uint32_t CStaleFields::GetLimit(int field) const { return IsField(field) ? m_limit[field] : 0; }

uint32_t CStaleFields::GetCount(int field) const { return IsField(field) ? m_count[field] : 0; }

void CStaleFields::Reset(int field)
{
    if (IsField(field)) m_count[field] = 0;
}

void CStaleFields::ResetAll()
{
    for (int i = 0; i < STALE_FIELD_COUNT; ++i) m_count[i] = 0;
}

StaleCheck CStaleFields::Check(int field, bool transferRunning, bool vendorDialect)
{
    StaleCheck result = {false, false, false};
    if (transferRunning || !IsField(field)) return result;
    // Saturates: a link left silent for 136 years must not look fresh again.
    if (m_count[field] != UINT32_MAX) ++m_count[field];
    if (!IsStale(field)) return result;

    result.clearField = true;
    if (IsStale(STALE_RECEIVER_STATUS) && IsStale(STALE_RECEIVER_MODE)) {
        result.receiverSilent = true;
        result.loseContact = !vendorDialect;
    }
    return result;
}
