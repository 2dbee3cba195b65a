#include "views/CTimingMonitorDlg.h"

void CTimingMonitorDlg::AdaptToReceiver(bool /*resize*/)
{
}
