#include "app/CSettingsGeneral.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CSettingsGeneral::CSettingsGeneral(CMainWndDlg* mainWindow) : CPropPageBubbleHelp(mainWindow, IDD_SETTINGS_GENERAL) {}
