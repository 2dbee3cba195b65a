#include "views/CPositionMapSettingsDlg.h"

bool RunPositionMapSettingsDlg(CWnd* /*owner*/, CMainWndDlg* /*mainWindow*/, bool& wasEnabled, bool& isEnabled)
{
    wasEnabled = isEnabled = false;
    return false;
}
