#include "config/CReceiverDetector.h"

bool CReceiverDetector::Control(int32_t /*operation*/, const DetectionRequest* /*request*/)
{
    return false;
}

void CReceiverDetector::GetResult(ProtocolKind& status, LinkPortSettings& settings, CString& text)
{
    status = PROTO_NONE;
    settings = LinkPortSettings();
    text.Empty();
}
