#include "framework/CDialog.h"

#include <errno.h>
#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>

#include "framework/CControls.h"
#include "framework/CWinApp.h"
#include "framework/MessagePrompter.h"

// The creation hook of CWnd_win.cpp binds the dialog window to its object.
void AfxHookWindowCreate(CWnd* pWnd);
bool AfxUnhookWindowCreate();

namespace {

// The dialog procedure the system's dialog manager calls; everything but
// WM_INITDIALOG has already been through the object's map by then.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
  return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDHelp = nIDTemplate;
  return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  m_lpDialogTemplate = nullptr;
  return CreateCommon(pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  return CreateCommon(pParentWnd);
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  m_pParentWnd = pParentWnd;
  return lpDialogTemplate != nullptr;
}

BOOL CDialog::CreateCommon(CWnd* pParentWnd) {
  if (m_hWnd != nullptr) return FALSE;
  if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
  HWND hParent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
  HINSTANCE hInst = ::GetModuleHandleA(nullptr);
  AfxInitCommonControls();  // a template may name any of their classes
  m_bEnded = false;
  m_nModalResult = -1;
  AfxHookWindowCreate(this);
  HWND hWnd = nullptr;
  if (m_lpDialogTemplate != nullptr) {
    hWnd = ::CreateDialogIndirectParamA(hInst, m_lpDialogTemplate, hParent, AfxDlgProc, 0);
  } else if (m_lpszTemplateName != nullptr) {
    hWnd = ::CreateDialogParamA(hInst, m_lpszTemplateName, hParent, AfxDlgProc, 0);
  }
  AfxUnhookWindowCreate();
  if (hWnd == nullptr) {
    // Creation refused (no template, or OnInitDialog's window destroyed):
    // make sure no stale binding is left behind.
    if (m_hWnd != nullptr && !::IsWindow(m_hWnd)) m_hWnd = nullptr;
    return FALSE;
  }
  return m_hWnd == hWnd;
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) return -1;
  // The owner is the given parent, else the application's main window.
  CWnd* pParent = m_pParentWnd;
  if (pParent == nullptr && AfxGetApp() != nullptr) pParent = AfxGetApp()->m_pMainWnd;
  HWND hOwner = pParent != nullptr ? pParent->m_hWnd : nullptr;
  if (hOwner != nullptr) hOwner = CWnd::FromHandle(hOwner)->GetTopLevelParent()->m_hWnd;
  m_bModal = true;
  CWnd* pSavedParent = m_pParentWnd;
  m_pParentWnd = hOwner != nullptr ? CWnd::FromHandle(hOwner) : nullptr;
  BOOL created = CreateCommon(nullptr);
  m_pParentWnd = pSavedParent;
  if (!created) {
    m_bModal = false;
    return -1;
  }
  const bool disableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
  if (disableOwner) ::EnableWindow(hOwner, FALSE);
  if (!m_bEnded && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

  HWND hSelf = m_hWnd;
  MSG msg;
  while (!m_bEnded && ::IsWindow(hSelf)) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the outer loop
      break;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  if (disableOwner) ::EnableWindow(hOwner, TRUE);
  if (hOwner != nullptr && ::GetActiveWindow() == hSelf) ::SetActiveWindow(hOwner);
  m_bModal = false;
  if (::IsWindow(hSelf) && FromHandlePermanent(hSelf) == this) DestroyWindow();
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  if (m_bModal) {
    m_bEnded = true;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the modal loop
  } else if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, nResult);
  }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  const bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                     (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  if (!input || m_hWnd == nullptr) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnInitDialog() {
  // Fills the controls and binds the DDX_Control members.
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;  // the failed check keeps the dialog open
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// ---- DDX / DDV --------------------------------------------------------------

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  m_hWndLastControl = h;
  char cls[16] = {};
  ::GetClassNameA(h, cls, sizeof cls);
  m_bEditLastControl = lstrcmpiA(cls, "Edit") == 0;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  throw Failure();
}

namespace {

CString ControlText(HWND h) {
  CString s;
  int n = ::GetWindowTextLengthA(h);
  char* buf = s.GetBuffer(n + 1);
  int got = ::GetWindowTextA(h, buf, n + 1);
  s.ReleaseBuffer(got >= 0 ? got : 0);
  return s;
}

// Whole text (blanks around allowed) as a number of the given kind.
bool ParseLong(const CString& text, bool allowSign, long long lo, long long hi, long long* out) {
  CString t = text;
  t.Trim();
  if (t.IsEmpty()) return false;
  if (!allowSign && t[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  long long v = strtoll(t, &end, 10);
  if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseLong(ControlText(h), true, INT32_MIN, INT32_MAX, &v)) {
      AfxMessageBox("Please enter an integer.");
      pDX->Fail();
    }
    value = static_cast<int>(v);
  } else {
    CString s;
    s.Format("%d", value);
    ::SetWindowTextA(h, s);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseLong(ControlText(h), false, 0, UINT32_MAX, &v)) {
      AfxMessageBox("Please enter a positive integer.");
      pDX->Fail();
    }
    value = static_cast<UINT>(v);
  } else {
    CString s;
    s.Format("%u", value);
    ::SetWindowTextA(h, s);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, LONG& value) {
  int v = static_cast<int>(value);
  DDX_Text(pDX, nIDC, v);
  value = v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    CString t = ControlText(h);
    t.Trim();
    char* end = nullptr;
    double v = t.IsEmpty() ? 0 : strtod(t, &end);
    if (t.IsEmpty() || end == nullptr || *end != '\0') {
      AfxMessageBox("Please enter a number.");
      pDX->Fail();
    }
    value = v;
  } else {
    CString s;
    s.Format("%.15g", value);
    ::SetWindowTextA(h, s);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    CString t = ControlText(h);
    t.Trim();
    char* end = nullptr;
    float v = t.IsEmpty() ? 0 : strtof(t, &end);
    // Too large for a float reads as infinite: refused like "inf" itself.
    if (t.IsEmpty() || end == nullptr || *end != '\0' || !isfinite(v)) {
      AfxMessageBox("Please enter a number.");
      pDX->Fail();
    }
    value = v;
  } else {
    CString s;
    s.Format("%.*g", FLT_DIG, static_cast<double>(value));
    ::SetWindowTextA(h, s);
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(h);
  } else {
    ::SetWindowTextA(h, value);
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
  } else {
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  // The group starts at nIDC and runs until the next WS_GROUP control.
  HWND h = pDX->PrepareCtrl(nIDC);
  if (h == nullptr) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  do {
    if ((::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
      } else {
        ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    h = ::GetWindow(h, GW_HWNDNEXT);
  } while (h != nullptr && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP) == 0);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    index = static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(h);
  } else if (::SendMessageA(h, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))) == CB_ERR) {
    ::SetWindowTextA(h, value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;  // bound on an earlier pass
  HWND h = pDX->PrepareCtrl(nIDC);
  if (h == nullptr || !rControl.SubclassWindow(h)) pDX->Fail();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Please enter an integer between %d and %d.", minVal, maxVal);
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Please enter an integer between %u and %u.", minVal, maxVal);
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Please enter a number between %g and %g.", minVal, maxVal);
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Please enter a number between %.*g and %.*g.", FLT_DIG, static_cast<double>(minVal),
             FLT_DIG, static_cast<double>(maxVal));
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
  if (!pDX->m_bSaveAndValidate) {
    if (pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl)
      ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    return;
  }
  if (value.GetLength() <= nChars) return;
  CString msg;
  msg.Format("Enter no more than %d characters.", nChars);
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}
