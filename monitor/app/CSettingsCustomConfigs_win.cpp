#include "app/CSettingsCustomConfigs.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CSettingsCustomConfigs::CSettingsCustomConfigs(CMainWndDlg* mainWindow) : CPropPageBubbleHelp(mainWindow, IDD_SETTINGS_CUSTOM) {}
