#include "tools/CDiagDlg.h"

void CDiagDlg::QueryActiveTab()
{
}
