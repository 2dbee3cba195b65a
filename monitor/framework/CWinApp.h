// CWinApp: the one application object, its message pump and its registry
// profile. Windows build only.
//
// The program defines one global object of a class derived from CWinApp;
// its WinMain (monitor/app) calls AfxWinMain, which runs InitInstance, the
// pump while InitInstance returned TRUE, and ExitInstance. The pump gives
// every message to PreTranslateMessage first: the windows from the target
// up to its top-level window (a modeless dialog uses IsDialogMessage there),
// then the main window. Destroying m_pMainWnd ends the pump; destroying any
// other top-level window does not.
//
// Profile: after SetRegistryKey("Company") the Get/WriteProfile calls use
// HKEY_CURRENT_USER\Software\Company\<app name>\<section>; without it they
// use <app name>.ini in the Windows folder, as the system's profile calls do.
#pragma once

#ifdef _WIN32

#include "framework/CArray.h"
#include "framework/CWnd.h"

class CWinApp : public CCmdTarget {
public:
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance() { return TRUE; }
  // Returns the process exit code (the WM_QUIT code by default).
  virtual int ExitInstance();
  // The message pump; returns ExitInstance's result.
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Called when the queue is empty; nCount counts the calls since the last
  // message. Frees the temporary window and GDI wrappers.
  virtual BOOL OnIdle(LONG lCount);
  virtual CWnd* OpenDocumentFile(LPCTSTR lpszFileName);
  // The program has no help file: help requests do nothing.
  virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) {}

  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  // Reads the recent-file list ("Recent File List", File1..FileN) with
  // nMaxMRU entries.
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  // Puts a path first in the recent-file list (written on exit).
  virtual void AddToRecentFileList(LPCTSTR lpszPathName);
  const CStringArray& GetRecentFiles() const { return m_recentFiles; }

  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
  // *ppData gets a new[] copy the caller delete[]s, *pBytes its size; FALSE
  // (and nullptr, 0) when the entry is missing.
  BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
  // The open key of a section (created when missing); the caller closes it.
  HKEY GetSectionKey(LPCTSTR lpszSection);
  HKEY GetAppRegistryKey();

  LPCTSTR m_pszAppName = nullptr;
  LPCTSTR m_pszRegistryKey = nullptr;
  LPCTSTR m_pszProfileName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;
  MSG m_msgCur = {};

private:
  CString m_strAppName, m_strRegistryKey, m_strProfileName;
  CStringArray m_recentFiles;
  UINT m_nMaxMRU = 0;
  int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
inline CWnd* AfxGetMainWnd() { return AfxGetApp() != nullptr ? AfxGetApp()->m_pMainWnd : nullptr; }
// The pump's pre-translation for any loop (the application's or a modal
// dialog's): the target's window tree, then the main window.
BOOL AfxPreTranslateMessage(MSG* pMsg);
// Loads the rich-edit control library (once).
BOOL AfxInitRichEdit();
BOOL AfxInitRichEdit2();
// ActiveX containment needs nothing here; kept so start-up code reads as usual.
inline void AfxEnableControlContainer() {}
// Runs the application object: InitInstance, Run, or ExitInstance alone
// when InitInstance refuses.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

#endif  // _WIN32
