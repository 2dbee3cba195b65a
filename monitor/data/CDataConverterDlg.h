#pragma once
// The data converter window. The conversion itself comes with the recording
// and conversion tools; what exists now is what other windows rely on: it
// keeps the main window it was made for, and views opened with it as their
// parent take that main window as their own.
#ifdef _WIN32

#include "controls/CDialogView.h"

class CMainWndDlg;

class CDataConverterDlg : public CDialogView, public IDialogViewHostSource {
public:
    explicit CDataConverterDlg(CMainWndDlg* mainWindow, CWnd* parent = nullptr);
    ~CDataConverterDlg() override;

    CMainWndDlg* GetMainWindow() const { return m_mainWindow; }
    IDialogViewHost* GetDialogViewHost() override;

private:
    CMainWndDlg* m_mainWindow;
};

#endif  // _WIN32
