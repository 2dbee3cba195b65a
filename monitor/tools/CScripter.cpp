#include "tools/CScripter.h"

bool CScripter::LoadScript(CWnd* /*mainWindow*/, LPCTSTR /*file*/)
{
    return false;
}

void CScripter::ReportResult(int32_t /*result*/, int32_t /*action*/)
{
}

void CScripter::Stop(bool /*finished*/, bool /*failedStop*/)
{
    m_running = false;
}
