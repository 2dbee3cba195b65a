// The program's entry: installs the main window's factory and runs the one
// application object (a global CWinApp built before this is called). Kept
// out of the monitor library so test executables keep their own main.
#include "app/CMainApp.h"
#include "app/CMainWndDlg.h"
#include "framework/CWinApp.h"

namespace {

IMainWindowStartup* MakePrimaryMainWindow() { return new CMainWndDlg(nullptr); }

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  // A call into the application object's file keeps the linker from
  // dropping it: the library only contributes objects something uses.
  GetTheApp();
  SetMainWindowFactory(&MakePrimaryMainWindow);
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
