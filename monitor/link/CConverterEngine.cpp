#include "link/CConverterEngine.h"

#include <cstdio>
#include <cstdlib>

CConverterEngine::CConverterEngine()
    : m_model(nullptr), m_active(false), m_detectedKind(PROTO_NONE), m_rawCopyCount(0),
      m_lastHeaderId(-1)
{
}

CConverterEngine::~CConverterEngine()
{
    Finish();
}

int CConverterEngine::Open(const ConverterOptions& options, CModel* model)
{
    m_options = options;
    m_model = model;
    m_detectedKind.store(PROTO_NONE, std::memory_order_relaxed);
    m_rawCopyCount = 0;
    m_lastHeaderId = -1;
    m_text.clear();
    m_crcLog.clear();
    m_active = true;
    return 0;
}

void CConverterEngine::Finish()
{
    m_active = false;
    m_model = nullptr;
}

bool CConverterEngine::OnModelEvent(int32_t event)
{
    (void)event;
    return true;
}

void CConverterEngine::WriteTranslationText(const char* text, bool dmFlag, bool crcFlag)
{
    if (!m_active || text == nullptr || text[0] == '\0') return;
    if (crcFlag) {
        m_crcLog += text;
        m_crcLog += "\r\n";
        return;
    }
    // The "DM: " prefix is an output option that arrives with the converter.
    if (dmFlag) m_text += "\r\n";
    m_text += text;
}

void CConverterEngine::WritePacketHeader(const BYTE* packet, int length)
{
    if (!IsTranslationOn() || packet == nullptr || length < 1) return;
    const int id = packet[0];
    const int second = length >= 2 ? packet[1] : -1;
    if (m_options.blankLine) {
        unsigned long blankId = strtoul(m_options.blankLinePacketId.GetString(), nullptr, 16);
        unsigned long blankSub = strtoul(m_options.blankLineSubcode.GetString(), nullptr, 16);
        if (blankId != 0 && static_cast<unsigned long>(id) == blankId &&
            (blankSub == 0 || static_cast<long>(blankSub) == second))
            m_text += "\r\n";
    }
    if (m_options.packetId) {
        char line[40];
        snprintf(line, sizeof line, "\r\nQBIN Pkt 0x%0X", static_cast<unsigned>(id));
        m_text += line;
        if ((id == 0x8F || id == 0x5F) && second >= 0) {
            snprintf(line, sizeof line, "-%02X", static_cast<unsigned>(second));
            m_text += line;
        }
    }
    // An announcement sits between any two packets; it must not restart the
    // table of the reports around it.
    if (id == 0xAA) return;
    if (id != m_lastHeaderId) {
        switch (id) {
        case 0x5A:
            m_text += "\r\nRaw Measurement Data\r\n   SV  Sample   SNR  Code Phase   Doppler     "
                      "Seconds     Time of Meas      TOW";
            break;
        case 0x5B:
            m_text += "\r\nEphemeris Status\r\n    SV     Time collected     Health  IODE        "
                      "t oe         Fit   URA";
            break;
        case 0x5C:
            m_text += "\r\nTracking Info\r\n  SV     C S Acq Eph   SNR     Time of Meas      TOW    "
                      "Elev   Azim  Old Msec BadD DCol";
            break;
        case 0x85:
            m_text += "\r\nDifferential Correction Status\r\n    SV  Status  StaH  SV H  IODE1  IODE2  "
                      "Z-count time        PRC    RRC    DRC";
            break;
        default:
            break;
        }
    }
    m_lastHeaderId = id;
}

bool CConverterEngine::IsInRange(int32_t week, int32_t seconds) const
{
    if (!m_options.rangeOn) return true;
    const int64_t weekSeconds = 604800;
    int64_t value = static_cast<int64_t>(week & 0x3FF) * weekSeconds + seconds;
    int64_t start = static_cast<int64_t>(m_options.startWeek & 0x3FF) * weekSeconds +
                    m_options.startTimeOfWeek;
    int64_t end = static_cast<int64_t>(m_options.endWeek & 0x3FF) * weekSeconds +
                  m_options.endTimeOfWeek;
    return value >= start && value <= end;
}
