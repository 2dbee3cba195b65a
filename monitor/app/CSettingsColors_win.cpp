#include "app/CSettingsColors.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

CSettingsColors::CSettingsColors(CMainWndDlg* mainWindow) : CPropPageBubbleHelp(mainWindow, IDD_SETTINGS_COLORS) {}
