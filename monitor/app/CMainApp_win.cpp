// The application object of the Windows program.
#include "app/CMainApp.h"

#include <commctrl.h>
#include <stdlib.h>

#ifndef ID_HELP
#define ID_HELP 0xE146  // 57670, the framework's help command
#endif

// The one application object, built before WinMain runs. The program's
// entry must reference it (the library only links objects something uses).
CMainApp theApp;

CMainApp& GetTheApp() { return theApp; }

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
  ON_COMMAND(ID_HELP, &CMainApp::OnHelp)
END_MESSAGE_MAP()

CMainApp::CMainApp() : CWinApp(MAIN_APP_NAME) {}

CMainApp::~CMainApp() {}

BOOL CMainApp::InitInstance() {
  SetRegistryKey(MAIN_APP_REGISTRY_KEY);

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
  ::InitCommonControlsEx(&controls);
  AfxInitRichEdit();
  AfxEnableControlContainer();

  LoadStdProfileSettings(4);

  MainWindowFactory factory = GetMainWindowFactory();
  IMainWindowStartup* window = factory != nullptr ? factory() : nullptr;
  if (window == nullptr) {
    ::OutputDebugStringA("VelmaraMon: no main window to create\n");
    return FALSE;
  }
  m_pMainWnd = window->GetMainWnd();

  const StartupResult result = StartMainWindow(*window, __argc, __argv);
  if (result == STARTUP_REFUSED) {
    // No window was ever made, so nothing else will delete the object.
    m_pMainWnd = nullptr;
    delete window;
    return FALSE;
  }
  return result == STARTUP_RUN;
}

int CMainApp::ExitInstance() {
  const int framework = CWinApp::ExitInstance();
  const int32_t job = GetProgramExitCode();
  return job != 0 ? job : framework;
}

CWnd* CMainApp::OpenDocumentFile(LPCTSTR lpszFileName) {
  // Only an open configurator acts on it; the answer does not matter here.
  if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr)
    ::SendMessageA(m_pMainWnd->GetSafeHwnd(), WM_OPEN_DOCUMENT, 0, reinterpret_cast<LPARAM>(lpszFileName));
  return m_pMainWnd;
}

void CMainApp::WinHelp(DWORD_PTR, UINT) {}

void CMainApp::OnHelp() { WinHelp(0, HELP_CONTEXT); }
