#include "link/CConverterEngine.h"

CConverterEngine::CConverterEngine()
    : m_model(nullptr), m_active(false), m_detectedKind(PROTO_NONE), m_rawCopyCount(0)
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
