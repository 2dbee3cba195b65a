// The seven tool and view windows. Until their own features arrive they are
// plain windows that keep their show value, hide when closed and pass keys
// on to the main window; the Pixel View and the Swap View paint the active
// and the passive picture.
#include "core/EditorState.h"
#include "core/Paint.h"
#include "core/Services.h"
#include "core/Win32Host.h"

namespace dw {
namespace {

int MenuItemOf(WindowId w) {
  switch (w) {
    case WIN_PIXELVIEW: return 10670;
    case WIN_SWAPVIEW: return 10671;
    case WIN_CODEPAGE: return 10673;
    case WIN_FONTVIEW: return 10675;
    case WIN_TOOLBOX: return 10676;
    case WIN_PALETTE: return 10677;
    case WIN_RAINBOW: return 10678;
    default: return 0;
  }
}

void PaintView(HWND hwnd, int set) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (g_ed) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int32_t saved = g_ed->currentDataSet;
    g_ed->currentDataSet = set & 1;
    const DataSet& s = g_ed->Cur();
    GdiCanvas canvas(dc);
    PaintViewPicture(canvas, s.viewCellWidth, s.viewCellHeight, rc.right, rc.bottom);
    g_ed->currentDataSet = saved;
  }
  EndPaint(hwnd, &ps);
}

LRESULT ToolWindowProc(WindowId w, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      // The show value follows the window: 6 minimised, 4 after another resize.
      if (g_ed && WindowOf(hwnd) == w && IsWindowVisible(hwnd)) {
        g_ed->windows[w].show = wParam == SIZE_MINIMIZED ? 6 : 4;
      }
      break;
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      if (g_ed) g_ed->windows[w].show = 0;
      if (int item = MenuItemOf(w)) Svc().menu->Check(item, false);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (g_hwnd[WIN_MAIN]) PostMessageA(g_hwnd[WIN_MAIN], msg, wParam, lParam);
      return 0;
    case WM_TIMER:
      return 0;
    case WM_USER:
      if (w == WIN_PIXELVIEW || w == WIN_SWAPVIEW) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      if (w == WIN_PIXELVIEW && g_ed) {
        PaintView(hwnd, g_ed->currentDataSet);
        return 0;
      }
      if (w == WIN_SWAPVIEW && g_ed) {
        PaintView(hwnd, g_ed->swapDataSet);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (g_hwnd[WIN_MAIN]) PostMessageA(g_hwnd[WIN_MAIN], WM_COMMAND, wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PixelViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_PIXELVIEW, h, m, w, l); }
LRESULT CALLBACK SwapViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_SWAPVIEW, h, m, w, l); }
LRESULT CALLBACK FontViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_FONTVIEW, h, m, w, l); }
LRESULT CALLBACK ToolBoxWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_TOOLBOX, h, m, w, l); }
LRESULT CALLBACK PaletteWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_PALETTE, h, m, w, l); }
LRESULT CALLBACK RainbowWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_RAINBOW, h, m, w, l); }
LRESULT CALLBACK CodePageViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_CODEPAGE, h, m, w, l); }

}  // namespace dw
