// Receiver identification: which receiver model a version report stands for,
// and the capability bits that windows test before they offer a feature.
#include <cstring>
#include <mutex>

#include "model/CModel.h"
#include "model/ResetControl.h"

namespace {

// Bits a model code brings of its own.
struct ModelBits {
    int32_t code;
    uint32_t bits;
};

const ModelBits kModelBits[] = {
    {1, 0x009},    {3, 0x009},    {1001, 0x100}, {1002, 0x220}, {1003, 0x220}, {2002, 0x420},
    {3001, 0x1000}, {3003, 0x800}, {3005, 0x800}, {3007, 0x800}, {5001, 0x0C0},
};

// Bits every code of a family (by thousands) adds. `conditional` is added
// only when the code's own bits lack `unlessOwn`: in the 1000 family the
// 0x100 models do without 0x020.
struct FamilyBits {
    int32_t first;
    int32_t last;
    uint32_t always;
    uint32_t conditional;
    uint32_t unlessOwn;
};

const FamilyBits kFamilyBits[] = {
    {1000, 1999, 0x001, 0x020, 0x100},
    {2000, 2999, 0x022, 0, 0},
    {3000, 3999, 0x044, 0, 0},
    {4000, 4999, 0x008, 0, 0},
    {5000, 5999, 0x010, 0, 0},
};

uint32_t CapabilityBitsOf(int32_t code)
{
    uint32_t bits = 0;
    for (const ModelBits& m : kModelBits) {
        if (m.code == code) bits = m.bits;
    }
    for (const FamilyBits& f : kFamilyBits) {
        if (code < f.first || code > f.last) continue;
        bits |= f.always;
        if ((bits & f.unlessOwn) == 0) bits |= f.conditional;
    }
    return bits;
}

// How an unidentified receiver is recognised by its navigation firmware.
// First match wins; a date field of -1 matches any value.
struct VersionRule {
    int major;
    int minor;
    int month;
    int day;
    int year;
    const char* nameContains;  // case-sensitive, as the firmware spells it; null: any
    uint16_t code;
    const char* modelName;     // replaces the firmware and product names; null: kept
};

const VersionRule kVersionRules[] = {
    {1, 5, -1, -1, -1, "Zenthos", 1002, nullptr},
    {3, 6, -1, -1, -1, nullptr, 3001, nullptr},
    {8, 6, -1, -1, 0, nullptr, 1, "Brevik F"},
    {7, 74, -1, -1, -1, nullptr, 1, "Brevik F"},
    {8, 8, -1, -1, 0, nullptr, 3, "Brevik E"},
    {7, 94, -1, -1, -1, nullptr, 3, "Brevik E"},
    {1, 6, 9, 26, 5, nullptr, 2, "Brevik A"},
    {1, 7, 6, 21, 7, nullptr, 2, "Brevik A"},
};

bool FieldMatches(int wanted, int actual) { return wanted < 0 || wanted == actual; }

// `record` must have a terminated name.
const VersionRule* FindVersionRule(const FirmwareVersionRecord& record)
{
    for (const VersionRule& r : kVersionRules) {
        if (r.major != record.major || r.minor != record.minor) continue;
        if (!FieldMatches(r.month, record.month) || !FieldMatches(r.day, record.day) ||
            !FieldMatches(r.year, record.year)) {
            continue;
        }
        if (r.nameContains != nullptr && std::strstr(record.name, r.nameContains) == nullptr) continue;
        return &r;
    }
    return nullptr;
}

// A core component of this version and name is in fact the whole receiver's
// firmware: it is reported beside a navigation version that says little.
bool IsZenthosCore(const FirmwareVersionRecord& record)
{
    return record.major == 1 && record.minor == 5 && std::strstr(record.name, "Zenthos") != nullptr;
}

enum : int32_t { kZenthosCode = 1002 };
const char kZenthosProductName[] = "Zenthos GPS Receiver";
enum : int { kProductLabelSlot = 14 };
const char kVersionLabel[] = "VR";

// Firmware reports give two-digit years; full years are cut to match.
int TwoDigitYear(int year)
{
    if (year >= 2000) return year - 2000;
    if (year > 1900) return year - 1900;
    return year;
}

} // namespace

void CModel::SetResetControl(IResetControl* control)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_resetControl = control;
}

bool CModel::IdentifyReceiver(const FirmwareVersionRecord& record, int source)
{
    if (source != 0 && source != 1) return false;

    // A version report is the first sign that a reset receiver is back. The
    // reset's timer lives on the user-interface thread and cannot be killed
    // from here, so only the flag is ended; whichever of the two ends it
    // clears the stale data, and the timer then leaves this version alone.
    IResetControl* reset;
    {
        std::lock_guard<std::mutex> g(m_lock);
        reset = m_resetControl;
    }
    const bool resetEnded = reset != nullptr && reset->EndResetInProgress();

    FirmwareVersionRecord firmware = record;
    firmware.name[MODEL_NAME_LENGTH - 1] = '\0';

    int32_t firmwareEvent = EV_FIRMWARE_VERSION;
    bool productStored = false;
    bool modelSet = false;
    {
        // One hold for the clearing and every store, so a listener never
        // reads the cleared model between them.
        std::lock_guard<std::mutex> g(m_lock);
        if (resetEnded) ClearAllLocked();
        if (source == 1 && !IsZenthosCore(firmware)) {
            m_firmware[1] = firmware;
            firmwareEvent = EV_CORE_VERSION;
        } else if (source == 1) {
            m_firmware[0] = firmware;
            std::memset(&m_product, 0, sizeof m_product);
            m_product.code = kZenthosCode;
            CopyRecordText(m_product.name, kZenthosProductName);
            SetReceiverModelLocked(kZenthosCode);
            m_reportTexts[kProductLabelSlot] = kVersionLabel;
            productStored = true;
            modelSet = true;
        } else {
            m_firmware[0] = firmware;
            // A product record from a hardware report names the model better
            // than any guess from the firmware version.
            const VersionRule* rule = m_product.code == 0 ? FindVersionRule(firmware) : nullptr;
            if (rule != nullptr) {
                if (rule->modelName != nullptr) {
                    CopyRecordText(m_firmware[0].name, rule->modelName);
                    CopyRecordText(m_product.name, rule->modelName);
                }
                m_product.code = rule->code;
                SetReceiverModelLocked(rule->code);
                modelSet = true;
            }
        }
    }
    Notify(firmwareEvent, 0, false);
    if (productStored) Notify(EV_PRODUCT_INFO, 0, false);
    if (modelSet) Notify(EV_RECEIVER_MODEL, 0, false);
    return true;
}

bool CModel::IsFirmwareYearBefore(int year)
{
    int firmwareYear;
    {
        std::lock_guard<std::mutex> g(m_lock);
        firmwareYear = m_firmware[0].year;
    }
    return TwoDigitYear(firmwareYear) < TwoDigitYear(year);
}

void CModel::SetReceiverModelLocked(int32_t code)
{
    m_receiverModel = code;
    m_capabilities = CapabilityBitsOf(code);
}

void CModel::SetReceiverModel(int32_t code)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        SetReceiverModelLocked(code);
    }
    Notify(EV_RECEIVER_MODEL, 0, false);
}

bool CModel::HasCapability(uint32_t mask)
{
    std::lock_guard<std::mutex> g(m_lock);
    // Asking with no bits is asking whether the receiver has none.
    if (mask == 0) return m_capabilities == 0;
    return (mask & m_capabilities) != 0;
}
