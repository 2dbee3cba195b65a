#include "app/CAboutDlg.h"

#include "app/resource.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    // "Close" is not IDOK; Escape and the window's close box reach
    // OnCancel through the base map.
    ON_BN_CLICKED(IDC_ABOUT_CLOSE, &CAboutDlg::OnCloseButton)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(CWnd* owner) : CDialog(IDD_ABOUTBOX, owner) {}

void CAboutDlg::OnCloseButton() { EndDialog(IDOK); }
