// The "Making TrueType Font" box on Windows: the modeless dialog MAKINGTTFONT
// over the main window. It ends on WM_USER (sent when the drawing is done)
// or when the user presses OK or Cancel.
#include "core/Win32Host.h"
#include "views/FontRender.h"

namespace dw {

INT_PTR CALLBACK MakingTTFontDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

constexpr int kPreview = 1057;  // static control of the preview
HWND g_box = nullptr;

void OpenBox(const char* title) {
  if (!g_box) {
    g_box = CreateDialogParamA(GetModuleHandleA(nullptr), "MAKINGTTFONT", g_hwnd[WIN_MAIN], MakingTTFontDlgProc, 0);
    if (!g_box) return;
  }
  SetWindowTextA(g_box, title);
  ShowWindow(g_box, SW_SHOWNOACTIVATE);
  UpdateWindow(g_box);
}

void RetitleBox(const char* title) {
  if (!g_box) return;
  SetWindowTextA(g_box, title);
  UpdateWindow(g_box);
}

void CloseBox() {
  if (g_box) SendMessageA(g_box, WM_USER, 0, 0);
}

const MakingTTFontWindow kBox = {OpenBox, RetitleBox, CloseBox};

}  // namespace

INT_PTR CALLBACK MakingTTFontDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORSTATIC:
      // The preview is a white surface.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kPreview) {
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
      }
      return FALSE;
    case WM_USER:
      DestroyWindow(dlg);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dlg);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      DestroyWindow(dlg);
      return TRUE;
    case WM_DESTROY:
      if (g_box == dlg) g_box = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

const MakingTTFontWindow* Win32MakingTTFontWindow() { return &kBox; }

}  // namespace dw
