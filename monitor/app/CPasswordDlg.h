// "Enter Password:": asks for the access code that shows the internal tools.
// OK with the expected code (exact, case-sensitive) ends the dialog with
// kAccessGranted; any other text says so, empties the field and keeps the
// dialog open. Cancel ends it with IDCANCEL.
#pragma once

#ifdef _WIN32

#include "framework/CDialog.h"
#include "framework/CString.h"

class CPasswordDlg : public CDialog {
public:
    // The result of a correct code.
    enum { kAccessGranted = 255 };

    CPasswordDlg(CWnd* owner, LPCTSTR expected);

    // The text typed, as OK last read it.
    CString m_text;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    CString m_expected;
};

#endif  // _WIN32
