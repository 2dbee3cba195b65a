#include "config/CRcvrConfigDlg.h"

void CRcvrConfigDlg::OnProtocolChanged(ProtocolKind /*protocol*/)
{
}

void CRcvrConfigDlg::QueryActiveTab()
{
}
