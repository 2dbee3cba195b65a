// "FlashLoader": loads one firmware file into several receivers at once.
// A plain dialog, not a tool view. The window is its frame only until the
// loader arrives: the main window opens it once (from the internal tools,
// the "-flashloader" start or a program named after it) and asks before it
// closes; nothing can be loading yet, so closing is always safe. When its
// window is gone it clears the main window's pointer to it and deletes
// itself. Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/CDialog.h"

class CMainWndDlg;

class CFlashLoaderDlg : public CDialog {
public:
    explicit CFlashLoaderDlg(CMainWndDlg* mainWindow);

    // True: the tool may close.
    bool CloseTool();

protected:
    void PostNcDestroy() override;
    // Enter and Escape do not close the loader; Close and the close box do.
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    CMainWndDlg* m_mainWindow;
};

#endif  // _WIN32
