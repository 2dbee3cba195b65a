// CDialog and dialog data exchange (DDX/DDV). Windows build only.
//
// A dialog is created from a template resource (by id) or from a template
// in memory, modeless (Create) or modal (DoModal). Its window is bound to
// the object before the first message, so WM_CREATE, WM_INITDIALOG (->
// OnInitDialog) and every later message go through the object's maps.
// Modeless dialogs that own themselves delete the object in PostNcDestroy.
#pragma once

#ifdef _WIN32

#include "framework/CWnd.h"

// One UpdateData pass: the direction and the control the next check is
// about, so a failing check can put the focus back on it.
class CDataExchange {
public:
  // Thrown by Fail() and caught by UpdateData; never escapes it.
  struct Failure {};

  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  // The control nIDC; remembered for Fail. Nullptr when it does not exist.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }
  // Ends the exchange: focuses (and for an edit selects) the last control.
  [[noreturn]] void Fail();

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
};

// Text of a control <-> a value. Reading a number that does not parse shows
// "Please enter an integer." (or "Please enter a number.") and fails.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, LONG& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// A float is written with the digits a float holds; text beyond its range
// (or "inf", "nan") is refused as not a number.
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Binds control nIDC to rControl once (SubclassDlgItem; PreSubclassWindow
// runs), so its messages reach rControl's map.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Checks, only when reading: a value out of range shows
// "Please enter an integer between %d and %d." and fails.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
// "Please enter a number between %g and %g." with the bounds at float precision.
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
// Limits the edit's length when writing; refuses a longer text when reading.
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Modeless creation; the window exists (and OnInitDialog has run) when it
  // returns TRUE.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
  // For DoModal from a template in memory.
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

  // Runs the dialog modally: the owner is disabled, messages are pumped
  // until EndDialog, then the window is destroyed. Returns the EndDialog
  // result, or -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Modal: ends the loop with nResult. Modeless: hides the window (it stays
  // alive until DestroyWindow).
  void EndDialog(int nResult);
  BOOL IsModal() const { return m_bModal; }

  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr) ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
  }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  // Keyboard navigation for the dialog and its controls (IsDialogMessage),
  // so a modeless dialog handles Tab, Enter and Escape as a modal one does.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  virtual BOOL OnInitDialog();
  // Enter / IDOK: reads and checks the data; closes only when that succeeds.
  virtual void OnOK();
  // Escape / IDCANCEL.
  virtual void OnCancel();

protected:
  DECLARE_MESSAGE_MAP()

  LPCTSTR m_lpszTemplateName = nullptr;  // a name, or MAKEINTRESOURCE(id)
  UINT m_nIDHelp = 0;
  LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
  CWnd* m_pParentWnd = nullptr;

private:
  friend struct CDialogAccess;
  BOOL CreateCommon(CWnd* pParentWnd);

  bool m_bModal = false;
  bool m_bEnded = false;
  int m_nModalResult = -1;
};

#endif  // _WIN32
