// The program's entry: runs the one application object (a global CWinApp
// built before this is called). Kept out of the monitor library so test
// executables keep their own main.
#include "framework/CWinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
