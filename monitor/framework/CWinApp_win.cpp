#include "framework/CWinApp.h"

#include <stdlib.h>

#include "framework/MessagePrompter.h"

namespace {
CWinApp* g_pApp = nullptr;
}  // namespace

CWinApp* AfxGetApp() { return g_pApp; }
HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }
HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }

CWinApp::CWinApp(LPCTSTR lpszAppName) {
  // The single application object registers itself while statics are built.
  g_pApp = this;
  if (lpszAppName != nullptr) {
    m_strAppName = lpszAppName;
  } else {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name(path);
    name = name.Mid(name.ReverseFind('\\') + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0) name = name.Left(dot);
    m_strAppName = name;
  }
  m_pszAppName = m_strAppName;
  m_strProfileName = m_strAppName + ".ini";
  m_pszProfileName = m_strProfileName;
  m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

int CWinApp::ExitInstance() {
  // The recent-file list goes back to the profile it came from.
  if (m_nMaxMRU > 0) {
    for (UINT i = 0; i < m_nMaxMRU; ++i) {
      CString entry;
      entry.Format("File%u", i + 1);
      WriteProfileString("Recent File List", entry,
                         static_cast<int>(i) < m_recentFiles.GetSize() ? static_cast<LPCTSTR>(m_recentFiles[i]) : nullptr);
    }
  }
  return m_nExitCode;
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
  CWinApp* pApp = AfxGetApp();
  CWnd* pMain = pApp != nullptr ? pApp->m_pMainWnd : nullptr;
  // The target's own tree first (its dialog, its controls).
  if (CWnd::WalkPreTranslateTree(pMain != nullptr ? pMain->m_hWnd : nullptr, pMsg)) return TRUE;
  // Then the main window, when the message belongs to another top-level
  // window (accelerators of the main window work everywhere).
  if (pMain != nullptr && pMain->m_hWnd != nullptr && pMsg->hwnd != nullptr &&
      pMsg->hwnd != pMain->m_hWnd && !::IsChild(pMain->m_hWnd, pMsg->hwnd)) {
    if (pMain->PreTranslateMessage(pMsg)) return TRUE;
  }
  return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return AfxPreTranslateMessage(pMsg); }

void AfxDeleteTempMenus();

BOOL CWinApp::OnIdle(LONG) {
  CWnd::DeleteTempMap();
  AfxDeleteTempMenus();
  AfxDeleteTempGdiMaps();
  return FALSE;
}

int CWinApp::Run() {
  LONG idleCount = 0;
  for (;;) {
    MSG& msg = m_msgCur;
    // Idle work once per burst of messages, then block.
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      OnIdle(idleCount++);
    }
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) {
      m_nExitCode = static_cast<int>(msg.wParam);
      break;
    }
    idleCount = 0;
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return ExitInstance();
}

CWnd* CWinApp::OpenDocumentFile(LPCTSTR) { return nullptr; }

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  m_strRegistryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : "";
  m_pszRegistryKey = m_strRegistryKey.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_strRegistryKey);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  m_nMaxMRU = nMaxMRU;
  m_recentFiles.RemoveAll();
  for (UINT i = 0; i < nMaxMRU; ++i) {
    CString entry;
    entry.Format("File%u", i + 1);
    CString path = GetProfileString("Recent File List", entry);
    if (!path.IsEmpty()) m_recentFiles.Add(path);
  }
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
  if (lpszPathName == nullptr || *lpszPathName == '\0' || m_nMaxMRU == 0) return;
  for (int i = 0; i < m_recentFiles.GetSize(); ++i) {
    if (m_recentFiles[i].CompareNoCase(lpszPathName) == 0) {
      m_recentFiles.RemoveAt(i);
      break;
    }
  }
  m_recentFiles.InsertAt(0, CString(lpszPathName));
  while (m_recentFiles.GetSize() > static_cast<int>(m_nMaxMRU)) m_recentFiles.RemoveAt(m_recentFiles.GetUpperBound());
}

HKEY CWinApp::GetAppRegistryKey() {
  if (m_pszRegistryKey == nullptr) return nullptr;
  CString path;
  path.Format("Software\\%s\\%s", m_pszRegistryKey, m_pszAppName);
  HKEY hKey = nullptr;
  DWORD disp = 0;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &hKey, &disp) != ERROR_SUCCESS)
    return nullptr;
  return hKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection) {
  HKEY hApp = GetAppRegistryKey();
  if (hApp == nullptr || lpszSection == nullptr) {
    if (hApp != nullptr) ::RegCloseKey(hApp);
    return nullptr;
  }
  HKEY hKey = nullptr;
  DWORD disp = 0;
  LONG rc = ::RegCreateKeyExA(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &hKey, &disp);
  ::RegCloseKey(hApp);
  return rc == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  if (m_pszRegistryKey == nullptr)
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return static_cast<UINT>(nDefault);
  DWORD value = 0, type = 0, size = sizeof value;
  LONG rc = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
  ::RegCloseKey(hKey);
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<UINT>(nDefault);
  return value;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  if (m_pszRegistryKey == nullptr) {
    CString text;
    text.Format("%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_pszProfileName);
  }
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return FALSE;
  DWORD value = static_cast<DWORD>(nValue);
  LONG rc = ::RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  ::RegCloseKey(hKey);
  return rc == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  const char* def = lpszDefault != nullptr ? lpszDefault : "";
  if (m_pszRegistryKey == nullptr) {
    char buf[4096] = {};
    ::GetPrivateProfileStringA(lpszSection, lpszEntry, def, buf, sizeof buf, m_pszProfileName);
    return CString(buf);
  }
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return CString(def);
  DWORD type = 0, size = 0;
  LONG rc = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size);
  CString out(def);
  if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    CString value;
    char* buf = value.GetBuffer(static_cast<int>(size) + 1);
    DWORD got = size;
    rc = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buf), &got);
    if (rc == ERROR_SUCCESS) {
      buf[got < size + 1 ? got : size] = '\0';
      value.ReleaseBuffer();  // up to the stored terminator
      out = value;
    } else {
      value.ReleaseBuffer(0);
    }
  }
  ::RegCloseKey(hKey);
  return out;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  if (m_pszRegistryKey == nullptr)
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
  // A null entry removes the section, a null value the entry.
  if (lpszEntry == nullptr) {
    HKEY hApp = GetAppRegistryKey();
    if (hApp == nullptr) return FALSE;
    LONG rc = ::RegDeleteKeyA(hApp, lpszSection);
    ::RegCloseKey(hApp);
    return rc == ERROR_SUCCESS;
  }
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return FALSE;
  LONG rc;
  if (lpszValue == nullptr) {
    rc = ::RegDeleteValueA(hKey, lpszEntry);
    if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
  } else {
    rc = ::RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          static_cast<DWORD>(lstrlenA(lpszValue) + 1));
  }
  ::RegCloseKey(hKey);
  return rc == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes) {
  if (ppData == nullptr || pBytes == nullptr) return FALSE;
  *ppData = nullptr;
  *pBytes = 0;
  if (m_pszRegistryKey == nullptr) {
    // The INI form stores the bytes as hex pairs.
    CString text = GetProfileString(lpszSection, lpszEntry);
    if (text.IsEmpty() || text.GetLength() % 2 != 0) return FALSE;
    UINT n = static_cast<UINT>(text.GetLength() / 2);
    *ppData = new BYTE[n];
    for (UINT i = 0; i < n; ++i)
      (*ppData)[i] = static_cast<BYTE>(strtoul(CString(text.Mid(static_cast<int>(i) * 2, 2)), nullptr, 16));
    *pBytes = n;
    return TRUE;
  }
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return FALSE;
  DWORD type = 0, size = 0;
  LONG rc = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS && type == REG_BINARY) {
    *ppData = new BYTE[size > 0 ? size : 1];
    rc = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, *ppData, &size);
    if (rc == ERROR_SUCCESS) {
      *pBytes = size;
    } else {
      delete[] *ppData;
      *ppData = nullptr;
    }
  } else {
    rc = ERROR_FILE_NOT_FOUND;
  }
  ::RegCloseKey(hKey);
  return rc == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes) {
  if (m_pszRegistryKey == nullptr) {
    CString text;
    for (UINT i = 0; i < nBytes; ++i) text.AppendFormat("%02X", pData[i]);
    return WriteProfileString(lpszSection, lpszEntry, text);
  }
  HKEY hKey = GetSectionKey(lpszSection);
  if (hKey == nullptr) return FALSE;
  LONG rc = ::RegSetValueExA(hKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
  ::RegCloseKey(hKey);
  return rc == ERROR_SUCCESS;
}

BOOL AfxInitRichEdit() {
  static HMODULE h = ::LoadLibraryA("riched32.dll");
  return h != nullptr;
}

BOOL AfxInitRichEdit2() {
  static HMODULE h = ::LoadLibraryA("riched20.dll");
  return h != nullptr;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return -1;
  pApp->m_hInstance = hInstance;
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;
  if (!pApp->InitInstance()) {
    // Whatever InitInstance made of a main window must not outlive it.
    if (pApp->m_pMainWnd != nullptr && pApp->m_pMainWnd->m_hWnd != nullptr)
      pApp->m_pMainWnd->DestroyWindow();
    return pApp->ExitInstance();
  }
  return pApp->Run();
}
