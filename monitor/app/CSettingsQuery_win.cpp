#include "app/CSettingsQuery.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CSettingsQuery::CSettingsQuery(CMainWndDlg* mainWindow) : CPropPageBubbleHelp(mainWindow, IDD_SETTINGS_QUERY) {}
