// CPropertySheet and CPropertyPage: the system's tabbed property sheet with
// pages made from dialog templates. Windows build only.
//
// DoModal runs the sheet in a message loop of its own rather than the
// system's, so every message passes AfxPreTranslateMessage first: a page's
// PreTranslateMessage (bubble help, accelerators) works inside the modal
// sheet as it does in a modeless dialog, and the sheet then does the
// keyboard navigation between pages and buttons.
//
// Pages are bound to their objects when the sheet creates their windows
// (WM_INITDIALOG -> OnInitDialog); the sheet creates a page when it is first
// shown. Page and sheet objects belong to the caller.
#pragma once

#ifdef _WIN32

#include "framework/CArray.h"
#include "framework/CDialog.h"

#include <prsht.h>  // after <windows.h>, which it needs

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)

public:
  // The page's tab shows the template's caption unless nIDCaption names a
  // string resource.
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  ~CPropertyPage() override;

  // Makes the page from a template in memory instead (it must outlive the
  // sheet's DoModal).
  void InitPageIndirect(LPCDLGTEMPLATE lpDialogTemplate);

  // The sheet's navigation handles Tab, Enter and Escape; a page passes
  // keys on unless a derived page uses them.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The sheet's notifications. OnSetActive/OnKillActive: the page is shown
  // / about to be left (FALSE keeps it). OnApply: OK or Apply pressed (FALSE
  // keeps the sheet open); its default calls OnOK. OnReset: Cancel pressed;
  // its default calls OnCancel.
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  // Unlike a dialog's, these do not end anything: the sheet does.
  void OnOK() override;
  void OnCancel() override;

  // Enables the sheet's Apply button for this page's changes.
  void SetModified(BOOL bChanged = TRUE);

  // The description the sheet creates the page from.
  PROPSHEETPAGEA m_psp;

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
  friend class CPropertySheet;
  static INT_PTR CALLBACK PageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  CString m_strCaption;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)

public:
  CPropertySheet();
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  // Pages in tab order; the sheet does not own them.
  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  int GetPageCount() const { return static_cast<int>(m_pages.GetSize()); }
  CPropertyPage* GetPage(int nPage) const;
  // The page shown now (nullptr before the sheet exists).
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);

  // The caption; an existing sheet changes at once.
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);

  // Runs the sheet modally: the owner (the parent given, else the
  // application's main window) is disabled meanwhile. IDOK when the user
  // pressed OK and every page accepted it, IDCANCEL otherwise, -1 when the
  // sheet could not be made.
  virtual INT_PTR DoModal();
  // Ends a running DoModal with nResult (IDOK, IDCANCEL).
  void EndDialog(int nResult);

  // Keyboard navigation of the sheet (PropSheet_IsDialogMessage).
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The description DoModal builds the sheet from. Callers may change its
  // flags before DoModal: PSH_NOAPPLYNOW drops Apply. There is no Help
  // button unless PSH_HASHELP is set.
  PROPSHEETHEADERA m_psh;

protected:
  // Called once the sheet's window exists, before it is shown.
  virtual BOOL OnInitDialog();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
  void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
  bool IsRunning() const;

  CPtrArray m_pages;
  CString m_strCaption;
  CWnd* m_pParentWnd = nullptr;
  bool m_bEnded = false;
  int m_nModalResult = IDCANCEL;
};

#endif  // _WIN32
