#include "framework/CPropertySheet.h"

#include <vector>

#include "framework/CControls.h"
#include "framework/CWinApp.h"

namespace {

// The sheet DoModal is creating on this thread, for the creation callback,
// which names only the window.
thread_local CPropertySheet* t_pSheetInit = nullptr;

// Extended dialog templates start with this version/signature pair.
const WORD kDialogExVersion = 1;
const WORD kDialogExSignature = 0xFFFF;

// The caption's "?" button belongs to context help, which the monitor's
// sheets do not offer.
void RemoveContextHelp(LPARAM lParam) {
  if (lParam == 0) return;
  WORD* words = reinterpret_cast<WORD*>(lParam);
  if (words[0] == kDialogExVersion && words[1] == kDialogExSignature) {
    // DLGTEMPLATEEX: version, signature, help id, extended style, style.
    DWORD* style = reinterpret_cast<DWORD*>(words + 6);
    *style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
  } else {
    reinterpret_cast<DLGTEMPLATE*>(lParam)->style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
  }
}

}  // namespace

// ---- CPropertyPage -------------------------------------------------------------

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate, nullptr), m_psp() {
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.hInstance = ::GetModuleHandleA(nullptr);
  m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
  m_psp.pfnDlgProc = &CPropertyPage::PageDlgProc;
  if (nIDCaption != 0) {
    char text[256] = {};
    if (::LoadStringA(m_psp.hInstance, nIDCaption, text, sizeof text) > 0) m_strCaption = text;
  }
}

CPropertyPage::~CPropertyPage() {}

void CPropertyPage::InitPageIndirect(LPCDLGTEMPLATE lpDialogTemplate) {
  m_psp.dwFlags |= PSP_DLGINDIRECT;
  m_psp.pResource = lpDialogTemplate;
}

INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  // The sheet passes its copy of the page description; its lParam is the
  // page object DoModal put there.
  const PROPSHEETPAGEA* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
  CPropertyPage* pPage = psp != nullptr ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
  if (pPage == nullptr || !pPage->SubclassWindow(hWnd)) return TRUE;
  return pPage->OnInitDialog();
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL bChanged) {
  HWND hSheet = ::GetParent(m_hWnd);
  if (hSheet == nullptr) return;
  ::SendMessageA(hSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  LRESULT r = 0;
  switch (pNMHDR->code) {
    case PSN_SETACTIVE:
      r = OnSetActive() ? 0 : -1;  // -1 refuses the page
      break;
    case PSN_KILLACTIVE:
      r = OnKillActive() ? FALSE : TRUE;  // TRUE keeps the page shown
      break;
    case PSN_APPLY:
      r = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      break;
    case PSN_RESET:
      OnReset();
      break;
    default:
      return CDialog::OnNotify(wParam, lParam, pResult);
  }
  // The sheet may read the answer the dialog way too.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, r);
  if (pResult != nullptr) *pResult = r;
  return TRUE;
}

// ---- CPropertySheet --------------------------------------------------------------

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  CommonConstruct(pParentWnd, iSelectPage);
  m_strCaption = pszCaption != nullptr ? pszCaption : "";
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  CommonConstruct(pParentWnd, iSelectPage);
  char text[256] = {};
  if (::LoadStringA(::GetModuleHandleA(nullptr), nIDCaption, text, sizeof text) > 0) m_strCaption = text;
}

CPropertySheet::~CPropertySheet() {}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
  m_psh = PROPSHEETHEADERA();
  m_psh.dwSize = sizeof m_psh;
  m_psh.dwFlags = 0;  // no Help button: the monitor has no help for its sheets
  m_psh.hInstance = ::GetModuleHandleA(nullptr);
  m_psh.nStartPage = iSelectPage;
  m_pParentWnd = pParentWnd;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (pPage == nullptr) return;
  m_pages.Add(pPage);
  if (m_hWnd == nullptr) return;
  // A running sheet takes the page at once.
  PROPSHEETPAGEA psp = pPage->m_psp;
  psp.lParam = reinterpret_cast<LPARAM>(pPage);
  if (!pPage->m_strCaption.IsEmpty()) {
    psp.dwFlags |= PSP_USETITLE;
    psp.pszTitle = pPage->m_strCaption;
  }
  HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&psp);
  if (h != nullptr) PropSheet_AddPage(m_hWnd, h);
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
  for (int i = 0; i < GetPageCount(); ++i) {
    if (m_pages[i] != pPage) continue;
    if (m_hWnd != nullptr) PropSheet_RemovePage(m_hWnd, i, nullptr);
    m_pages.RemoveAt(i);
    return;
  }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  if (nPage < 0 || nPage >= GetPageCount()) return nullptr;
  return static_cast<CPropertyPage*>(m_pages[nPage]);
}

int CPropertySheet::GetActiveIndex() const {
  if (m_hWnd == nullptr) return static_cast<int>(m_psh.nStartPage);
  HWND hPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
  for (int i = 0; hPage != nullptr && i < GetPageCount(); ++i)
    if (GetPage(i)->m_hWnd == hPage) return i;
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  return m_hWnd != nullptr ? GetPage(GetActiveIndex()) : nullptr;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (m_hWnd == nullptr) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  m_strCaption = lpszText != nullptr ? lpszText : "";
  m_psh.dwFlags = (m_psh.dwFlags & ~static_cast<DWORD>(PSH_PROPTITLE)) | (nStyle & PSH_PROPTITLE);
  if (m_hWnd != nullptr) PropSheet_SetTitle(m_hWnd, nStyle, static_cast<LPCTSTR>(m_strCaption));
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM lParam) {
  if (message == PSCB_PRECREATE) {
    RemoveContextHelp(lParam);
  } else if (message == PSCB_INITIALIZED && t_pSheetInit != nullptr) {
    CPropertySheet* pSheet = t_pSheetInit;
    t_pSheetInit = nullptr;
    if (pSheet->SubclassWindow(hWnd)) pSheet->OnInitDialog();
  }
  return 0;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

bool CPropertySheet::IsRunning() const {
  // A modeless sheet that was closed (OK accepted, Cancel) has no current
  // page any more but keeps its window.
  return m_hWnd != nullptr && ::IsWindow(m_hWnd) && PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  if (id != IDOK && id != IDCANCEL) return FALSE;
  // The sheet asks its pages; it has closed when none kept it open.
  Default();
  if (!m_bEnded && !IsRunning()) {
    m_bEnded = true;
    m_nModalResult = id == IDOK ? IDOK : IDCANCEL;
  }
  return TRUE;
}

void CPropertySheet::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEnded = true;
  if (m_hWnd != nullptr) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (m_hWnd == nullptr || !IsRunning()) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return PropSheet_IsDialogMessage(m_hWnd, pMsg);
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd != nullptr) return -1;
  AfxInitCommonControls();
  CWnd* pParent = m_pParentWnd;
  if (pParent == nullptr && AfxGetApp() != nullptr) pParent = AfxGetApp()->m_pMainWnd;
  HWND hOwner = pParent != nullptr ? pParent->GetSafeHwnd() : nullptr;
  if (hOwner != nullptr) hOwner = CWnd::FromHandle(hOwner)->GetTopLevelParent()->m_hWnd;

  std::vector<PROPSHEETPAGEA> pages;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* pPage = GetPage(i);
    PROPSHEETPAGEA psp = pPage->m_psp;
    psp.lParam = reinterpret_cast<LPARAM>(pPage);
    if (!pPage->m_strCaption.IsEmpty()) {
      psp.dwFlags |= PSP_USETITLE;
      psp.pszTitle = pPage->m_strCaption;
    }
    pages.push_back(psp);
  }
  if (pages.empty()) return -1;

  PROPSHEETHEADERA psh = m_psh;
  psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
  psh.hwndParent = hOwner;
  psh.pszCaption = m_strCaption;
  psh.nPages = static_cast<UINT>(pages.size());
  if (psh.nStartPage >= psh.nPages) psh.nStartPage = 0;
  psh.ppsp = pages.data();
  psh.pfnCallback = &CPropertySheet::SheetCallback;

  m_bEnded = false;
  m_nModalResult = IDCANCEL;
  t_pSheetInit = this;
  HWND hSheet = reinterpret_cast<HWND>(::PropertySheetA(&psh));
  t_pSheetInit = nullptr;
  if (hSheet == nullptr || hSheet == reinterpret_cast<HWND>(-1) || m_hWnd != hSheet) {
    if (hSheet != nullptr && hSheet != reinterpret_cast<HWND>(-1)) ::DestroyWindow(hSheet);
    return -1;
  }
  const bool disableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
  if (disableOwner) ::EnableWindow(hOwner, FALSE);
  if (!::IsWindowVisible(hSheet)) ::ShowWindow(hSheet, SW_SHOWNORMAL);

  // Every message goes through AfxPreTranslateMessage, so the pages'
  // PreTranslateMessage runs before the sheet's navigation.
  MSG msg;
  while (!m_bEnded && IsRunning()) {
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
  if (hOwner != nullptr && ::GetActiveWindow() == hSheet) ::SetActiveWindow(hOwner);
  if (::IsWindow(hSheet)) ::DestroyWindow(hSheet);
  return m_nModalResult;
}
