#pragma once
// Receiver configurator: placeholder with no window until the real configurator window exists.
#include "framework/WinTypes.h"

// The main window forwards documents opened from the shell or the recent-file
// list here; with no dialog to fill, the file is left unread.
class CConfiguratorDlg {
public:
    void LoadConfigFile(LPCTSTR fileName);
};
