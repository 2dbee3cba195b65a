// The seven tool and view windows. Until their own features arrive they are
// plain windows that keep their show value, hide when closed and pass keys
// on to the main window; the Pixel View and the Swap View paint the active
// and the passive picture. The ToolBox has its button grid (numbered frames
// until its icons arrive), its left-click commands, the twist-and-turn
// buttons and the count dialogs of its right clicks.
#include <cstdio>

#include "core/CountDialogs.h"
#include "core/EditorState.h"
#include "core/Paint.h"
#include "core/Services.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "core/Win32Host.h"
#include "views/StatusLine.h"

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

// ---- ToolBox -------------------------------------------------------------

constexpr int kToolBoxColumns = 8;
constexpr int kToolBoxRows = 7;
constexpr int kToolBoxButtons = kToolBoxColumns * kToolBoxRows;
constexpr int kToolBoxGap = 4;         // between buttons and at the edges
constexpr int kToolBoxHalfGap = 8;     // more between columns 3 and 4
constexpr int kNoButton = -2;          // no button drawn pressed
constexpr int kGreyButton = -2;        // WM_USER states
constexpr int kEnableButton = -3;
constexpr int kTwistCursor = 1832;
constexpr int32_t kTwistMouseMode = 110;
constexpr int32_t kSingleIconView = 10097;
constexpr int kFocusMainButton = 7;    // "Mouse Active in Group View" also focuses the work sheet

// Left-click commands by button; 0 marks buttons with their own handling
// (the current font command, the twist-and-turn buttons).
constexpr int kToolBoxCommands[kToolBoxButtons] = {
    57635, 57634, 57637, 57643, 10098, 10096, 10099, 10126,  // clipboard, undo, views, mouse in group
    10019, 10078, 10020, 10120, 10025, 10026, 10027, 10028,  // pens, frame, scroll
    10079, 10014, 10016, 10282, 10039, 10042, 10045, 10048,  // draw, fill, mirrors
    10018, 10015, 10017, 0,     10043, 10044, 10071, 10072,  // shapes, font, turns, double, half
    10034, 10035, 10037, 10038, 10073, 10074, 10075, 10076,  // column and row tools, grow and shrink
    10350, 10351, 10501, 10352, 0,     0,     0,     0,      // element tools, tilts
    10356, 10651, 10355, 10361, 0,     0,     0,     0,      // code-page tools, squeeze and turn
};
constexpr int kFontButton = 27;

// Twist mode of a button, or -1: buttons 44-47 tilt, 52-55 squeeze and turn.
int TwistModeOf(int button) {
  if (button >= 44 && button <= 47) return button - 44;
  if (button >= 52 && button <= 55) return button - 48;
  return -1;
}

// Right clicks that ask a count first: the scroll buttons and the grow and
// shrink buttons (with the add/remove dialog's mode).
struct CountButton {
  int button;
  bool scroll;
  int mode;  // ADDREMOVECOLUMNROW: 0 remove, 1 add rows, 2 add columns
};
constexpr CountButton kCountButtons[] = {
    {12, true, 0}, {13, true, 0}, {14, true, 0}, {15, true, 0},
    {36, false, 1}, {37, false, 2}, {38, false, 0}, {39, false, 0},
};
constexpr int kScrollSentButton = 12;  // sent and waited for; the others are posted

struct ToolBoxState {
  RECT rects[kToolBoxButtons] = {};
  bool greyed[kToolBoxButtons] = {};
  int selected = kNoButton;
  int lastClick = -1;
};
ToolBoxState g_toolBox;

void LayoutToolBox() {
  int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
  for (int r = 0; r < kToolBoxRows; ++r) {
    for (int c = 0; c < kToolBoxColumns; ++c) {
      RECT& rc = g_toolBox.rects[c + kToolBoxColumns * r];
      rc.left = c * (w + kToolBoxGap) + kToolBoxGap + (c > 3 ? kToolBoxHalfGap : 0);
      rc.right = rc.left + w;
      rc.top = r * (h + kToolBoxGap) + kToolBoxGap;
      rc.bottom = rc.top + h;
    }
  }
}

// The button under a mouse position, or -1 (gaps between buttons included).
int HitTestToolBox(LPARAM lParam) {
  int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  int column = -1, row = -1;
  for (int c = 0; c < kToolBoxColumns && column < 0; ++c)
    if (x >= g_toolBox.rects[c].left && x <= g_toolBox.rects[c].right) column = c;
  for (int r = 0; r < kToolBoxRows && row < 0; ++r) {
    const RECT& rc = g_toolBox.rects[kToolBoxColumns * r];
    if (y >= rc.top && y <= rc.bottom) row = r;
  }
  return column < 0 || row < 0 ? -1 : column + kToolBoxColumns * row;
}

void InvalidateButton(HWND hwnd, int b) {
  if (b < 0 || b >= kToolBoxButtons) return;
  RECT rc = g_toolBox.rects[b];
  InflateRect(&rc, 1, 1);
  InvalidateRect(hwnd, &rc, TRUE);
}

// Numbered frames: raised, sunk while selected, hatched when greyed.
void PaintToolBox(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  SetBkMode(dc, TRANSPARENT);
  for (int b = 0; b < kToolBoxButtons; ++b) {
    RECT rc = g_toolBox.rects[b];
    DrawEdge(dc, &rc, b == g_toolBox.selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    char number[8];
    std::snprintf(number, sizeof number, "%d", b);
    SetTextColor(dc, GetSysColor(g_toolBox.greyed[b] ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(dc, number, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (g_toolBox.greyed[b]) {
      HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, GetSysColor(COLOR_GRAYTEXT));
      FrameRect(dc, &rc, hatch);
      DeleteObject(hatch);
    }
  }
  EndPaint(hwnd, &ps);
}

// The twist-and-turn buttons: the work sheet shows the twist cursor in
// mouse mode 110 while the dialog runs; both come back afterwards.
void RunTwistButton(int mode) {
  DataSet& s = g_ed->Cur();
  HWND main = g_hwnd[WIN_MAIN];
  LONG_PTR keptCursor = main ? GetClassLongPtrA(main, GCLP_HCURSOR) : 0;
  int32_t keptMode = s.mouseMode;
  Svc().windows->SetClassCursor(WIN_MAIN, kTwistCursor);
  s.mouseMode = kTwistMouseMode;
  g_ed->twistTool = mode;
  g_ed->twistDialogChoice = kTwistFirstChoice + mode;
  RunTwistAndTurn();
  s.mouseMode = keptMode;
  if (main) SetClassLongPtrA(main, GCLP_HCURSOR, keptCursor);
}

void PostToMain(int command, bool send) {
  HWND main = g_hwnd[WIN_MAIN];
  if (!main) return;
  if (send) SendMessageA(main, WM_COMMAND, command, 0);
  else PostMessageA(main, WM_COMMAND, command, 0);
}

void ToolBoxLeftDown(HWND hwnd, LPARAM lParam) {
  int b = HitTestToolBox(lParam);
  if (b < 0) return;
  // While the twist dialog reshapes the picture, nothing else may start.
  if (g_toolBox.greyed[b] || TwistDialogRunning()) {
    Svc().prompter->Beep(MBX_OK);
    return;
  }
  InvalidateButton(hwnd, g_toolBox.selected);
  SetClassLongPtrA(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)));
  g_toolBox.selected = g_toolBox.lastClick = b;
  InvalidateButton(hwnd, b);
  InvalidateButton(hwnd, 0);
  if (g_hwnd[WIN_MAIN]) InvalidateRect(g_hwnd[WIN_MAIN], nullptr, FALSE);
  int twist = TwistModeOf(b);
  if (twist >= 0) {
    RunTwistButton(twist);
    return;
  }
  int command = b == kFontButton ? g_ed->cfg.fontType : kToolBoxCommands[b];
  bool viewButton = command == 10098 || command == 10096 || command == 10099;
  if (viewButton && g_ed->Cur().viewMode == kSingleIconView) return;
  PostToMain(command, false);
  if (b == kFocusMainButton && g_hwnd[WIN_MAIN]) SetFocus(g_hwnd[WIN_MAIN]);
}

void ToolBoxLeftUp(HWND hwnd, LPARAM lParam) {
  InvalidateButton(hwnd, HitTestToolBox(lParam));
  g_toolBox.selected = g_ed->Cur().capButton;
  InvalidateButton(hwnd, g_toolBox.selected);
}

// A count dialog first; the command follows once, when the count is not
// 0, and takes the count as its repeat.
void ToolBoxRightDown(HWND hwnd, LPARAM lParam) {
  int b = HitTestToolBox(lParam);
  if (b < 0 || TwistDialogRunning()) return;
  for (const CountButton& cb : kCountButtons) {
    if (cb.button != b) continue;
    int32_t count = 0;
    if (cb.scroll) {
      RunPixelScrollDialog(&count);
      if (count != 0) {
        g_ed->scrollRepeat = count;
        PostToMain(kToolBoxCommands[b], b == kScrollSentButton);
      }
    } else {
      RunAddRemoveColumnRowDialog(cb.mode, &count);
      if (count != 0) {
        g_ed->addRemoveRepeat = count;
        PostToMain(kToolBoxCommands[b], false);
      }
    }
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  ShowStatus(0);
}

// WM_USER (button, state): -2 greys the button, -3 enables it, any other
// state becomes the button drawn pressed.
void ToolBoxButtonState(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  int b = LOWORD(wParam);
  int state = static_cast<int>(lParam);
  if (b >= kToolBoxButtons) return;
  InvalidateButton(hwnd, b);
  if (state == kGreyButton) {
    g_toolBox.greyed[b] = true;
  } else if (state == kEnableButton) {
    g_toolBox.greyed[b] = false;
  } else {
    InvalidateButton(hwnd, g_toolBox.selected);
    g_toolBox.selected = state;
  }
}

LRESULT ToolBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      g_toolBox = ToolBoxState();
      LayoutToolBox();
      break;
    case WM_PAINT:
      PaintToolBox(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
      if (g_ed) ToolBoxLeftDown(hwnd, lParam);
      return 0;
    case WM_LBUTTONUP:
      if (g_ed) ToolBoxLeftUp(hwnd, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      if (g_ed) ToolBoxRightDown(hwnd, lParam);
      return 0;
    case WM_RBUTTONUP:
      return 0;
    case WM_USER:
      ToolBoxButtonState(hwnd, wParam, lParam);
      return 0;
    default:
      break;
  }
  return ToolWindowProc(WIN_TOOLBOX, hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PixelViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_PIXELVIEW, h, m, w, l); }
LRESULT CALLBACK SwapViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_SWAPVIEW, h, m, w, l); }
LRESULT CALLBACK FontViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_FONTVIEW, h, m, w, l); }
LRESULT CALLBACK ToolBoxWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolBoxProc(h, m, w, l); }
LRESULT CALLBACK PaletteWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_PALETTE, h, m, w, l); }
LRESULT CALLBACK RainbowWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_RAINBOW, h, m, w, l); }
LRESULT CALLBACK CodePageViewWndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ToolWindowProc(WIN_CODEPAGE, h, m, w, l); }

}  // namespace dw
