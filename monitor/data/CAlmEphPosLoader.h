#pragma once
// Moves almanac, ephemeris or position data between a file and the
// receiver for the main window. The transfers themselves come with the
// recording and conversion tools; until then no transfer can start, so the
// main window's callers take their "could not start" paths.
class CMainWndDlg;
#include "framework/CString.h"

class CAlmEphPosLoader {
public:
    explicit CAlmEphPosLoader(CMainWndDlg* mainWindow) : m_mainWindow(mainWindow) {}
    virtual ~CAlmEphPosLoader() {}

    // Operations: 1 send almanac, 2 get almanac, 3 send ephemeris, 4 get
    // ephemeris, 5 send position, 6 get position. False: nothing started.
    bool Start(int operation, const CString& file);
    // Aborts the running transfer; there is none yet.
    void Cancel();

    CMainWndDlg* GetMainWindow() const { return m_mainWindow; }
    // For a transfer that counts records: how many in all and how many done
    // (the progress bar's range and position).
    int GetTotalCount() const { return 0; }
    int GetDoneCount() const { return 0; }

private:
    CMainWndDlg* m_mainWindow;
};
