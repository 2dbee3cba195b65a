// The about box: a stand-in with the program's name and version and a Close
// button, run modally from "&About..." and the tool bar. The about box with
// the version details of the program's parts replaces its body.
#pragma once

#ifdef _WIN32

#include "framework/CDialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* owner = nullptr);

protected:
    afx_msg void OnCloseButton();
    DECLARE_MESSAGE_MAP()
};

#endif  // _WIN32
