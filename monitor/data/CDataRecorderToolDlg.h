// "Data Recorder": records the raw output of many receivers at once, one
// log file per COM port. A plain dialog, not a tool view. The window is its
// frame only until the recorder arrives: the main window opens it once
// (from the internal tools, the "-datarecorder" start or a program named
// after it) and asks before it closes; nothing records yet, so it may
// always close. When its window is gone it clears the main window's pointer
// to it and deletes itself. Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/CDialog.h"

class CMainWndDlg;

class CDataRecorderToolDlg : public CDialog {
public:
    explicit CDataRecorderToolDlg(CMainWndDlg* mainWindow);

    // False when the user wants the running recording kept; true when the
    // tool has stopped and may go.
    bool CloseTool();

protected:
    void PostNcDestroy() override;
    // Enter and Escape do not close the recorder; Close and the close box do.
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    CMainWndDlg* m_mainWindow;
};

#endif  // _WIN32
