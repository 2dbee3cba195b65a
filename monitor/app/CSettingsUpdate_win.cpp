#include "app/CSettingsUpdate.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CSettingsUpdate::CSettingsUpdate(CMainWndDlg* mainWindow) : CPropPageBubbleHelp(mainWindow, IDD_SETTINGS_UPDATE) {}
