#include "app/CPasswordDlg.h"

#include "app/resource.h"
#include "framework/MessagePrompter.h"

CPasswordDlg::CPasswordDlg(CWnd* owner, LPCTSTR expected)
    : CDialog(IDD_PASSWORD, owner), m_expected(expected != nullptr ? expected : "")
{
}

void CPasswordDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_PASSWORD_EDIT, m_text); }

void CPasswordDlg::OnOK()
{
    if (!UpdateData(TRUE)) return;
    if (m_text != m_expected) {
        AfxMessageBox("Incorrect Password!", MB_OK | MB_ICONSTOP);
        m_text.Empty();
        UpdateData(FALSE);
        if (CWnd* edit = GetDlgItem(IDC_PASSWORD_EDIT)) GotoDlgCtrl(edit);
        return;
    }
    EndDialog(kAccessGranted);
}
