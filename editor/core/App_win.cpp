// Start-up, window classes, the message loop and the main window procedure.
#include <cstring>
#include <string>
#include <vector>

#include "core/Dispatch.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/MouseTools.h"
#include "core/Paint.h"
#include "core/Settings.h"
#include "core/Win32Host.h"
#include "views/FontRender.h"
#include "files/FileServices.h"
#include "resource.h"
#include "views/StatusLine.h"

namespace dw {
namespace {

struct Win32Prompter : IPrompter {
  int Ask(const char* text, const char* caption, unsigned flags) override {
    return MessageBoxA(g_hwnd[WIN_MAIN], text, caption, flags);
  }
  void Beep(unsigned type) override { MessageBeep(type); }
};

struct Win32Menu : IMenu {
  HMENU Menu() { return g_hwnd[WIN_MAIN] ? GetMenu(g_hwnd[WIN_MAIN]) : nullptr; }
  void Check(int id, bool on) override {
    if (HMENU m = Menu()) CheckMenuItem(m, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  }
  void Enable(int id, bool on) override {
    if (HMENU m = Menu()) EnableMenuItem(m, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
  void Remove(int id) override {
    if (HMENU m = Menu()) DeleteMenu(m, id, MF_BYCOMMAND);
  }
  void SetText(int id, const char* text) override {
    HMENU m = Menu();
    if (!m) return;
    UINT state = GetMenuState(m, id, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return;
    ModifyMenuA(m, id, MF_BYCOMMAND | MF_STRING | (state & (MF_CHECKED | MF_GRAYED)), id, text);
  }
};

struct Win32ToolBox : IToolBoxSink {
  void Button(int button, int state, bool post) override {
    HWND tb = g_hwnd[WIN_TOOLBOX];
    if (!tb) return;
    if (post) PostMessageA(tb, WM_USER, button, state);
    else SendMessageA(tb, WM_USER, button, state);
  }
};

struct Win32Timer : ITimerHost {
  bool SetTimer(uint32_t id, uint32_t ms) override { return ::SetTimer(g_hwnd[WIN_MAIN], id, ms, nullptr) != 0; }
  void KillTimer(uint32_t id) override { ::KillTimer(g_hwnd[WIN_MAIN], id); }
};

struct Win32Windows : IWindowOps {
  HCURSOR previousCursor = nullptr;
  int waitDepth = 0;
  HWND H(WindowId w) { return w < WIN_COUNT ? g_hwnd[w] : nullptr; }
  bool Exists(WindowId w) override { return H(w) && IsWindow(H(w)); }
  void Show(WindowId w, int code) override {
    if (H(w)) ShowWindow(H(w), code);
  }
  void Invalidate(WindowId w, bool erase) override {
    if (H(w)) InvalidateRect(H(w), nullptr, erase);
  }
  void InvalidateWorkSheet(bool erase) override {
    if (H(WIN_MAIN)) InvalidateRect(H(WIN_MAIN), &g_workSheetRect, erase);
  }
  void SetTitle(WindowId w, const char* title) override {
    if (H(w)) SetWindowTextA(H(w), title);
  }
  void SetScroll(WindowId w, int bar, int32_t maximum, int32_t position) override {
    if (!H(w)) return;
    int sb = bar == SB_VERT_BAR ? SB_VERT : SB_HORZ;
    SetScrollRange(H(w), sb, 0, maximum, FALSE);
    SetScrollPos(H(w), sb, position, TRUE);
  }
  void Move(WindowId w, int32_t x, int32_t y, int32_t width, int32_t height, bool toTop) override {
    if (!H(w)) return;
    SetWindowPos(H(w), toTop ? HWND_TOP : nullptr, x, y, width, height,
                 SWP_NOACTIVATE | (toTop ? 0 : SWP_NOZORDER));
  }
  void Resize(WindowId w, int32_t width, int32_t height) override {
    if (H(w)) SetWindowPos(H(w), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  WindowSnapshot Snapshot(WindowId w) override {
    WindowSnapshot s;
    HWND h = H(w);
    if (!h || !IsWindow(h)) return s;
    s.exists = true;
    s.visible = IsWindowVisible(h) != 0;
    s.iconic = IsIconic(h) != 0;
    s.zoomed = IsZoomed(h) != 0;
    RECT r;
    GetWindowRect(h, &r);
    s.rect = Rect{r.left, r.top, r.right, r.bottom};
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    if (GetWindowPlacement(h, &wp)) {
      const RECT& n = wp.rcNormalPosition;
      s.normalRect = Rect{n.left, n.top, n.right, n.bottom};
    } else {
      s.normalRect = s.rect;
    }
    return s;
  }
  void SendCommand(int id) override {
    if (H(WIN_MAIN)) SendMessageA(H(WIN_MAIN), WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF), 0);
  }
  void PostCommand(int id) override {
    if (H(WIN_MAIN)) PostMessageA(H(WIN_MAIN), WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF), 0);
  }
  void PostScroll(bool vertical, int code) override {
    if (H(WIN_MAIN)) PostMessageA(H(WIN_MAIN), vertical ? WM_VSCROLL : WM_HSCROLL, code, 0);
  }
  void SendTimerTick(WindowId w) override {
    if (H(w)) SendMessageA(H(w), WM_TIMER, 0, 0);
  }
  // The main window is closed at once (Exit); the views by a posted message.
  void CloseWindow(WindowId w) override {
    if (!H(w)) return;
    if (w == WIN_MAIN) SendMessageA(H(w), WM_CLOSE, 0, 0);
    else PostMessageA(H(w), WM_CLOSE, 0, 0);
  }
  void HideCaret() override { ::HideCaret(H(WIN_MAIN)); }
  void DestroyCaret() override { ::DestroyCaret(); }
  void CreateCaret(int32_t w, int32_t h) override { ::CreateCaret(H(WIN_MAIN), nullptr, w, h); }
  void SetCaretPos(int32_t x, int32_t y) override { ::SetCaretPos(x, y); }
  void ShowCaret() override { ::ShowCaret(H(WIN_MAIN)); }
  void SetFocusMain() override {
    if (H(WIN_MAIN)) SetFocus(H(WIN_MAIN));
  }
  void WaitCursor(bool on) override {
    if (on) {
      if (waitDepth++ == 0) previousCursor = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    } else if (waitDepth > 0 && --waitDepth == 0) {
      SetCursor(previousCursor);
    }
  }
  // A DC of the client area, given back (and the canvas freed) on release.
  struct ClientDc {
    HWND hwnd;
    HDC dc;
    GdiCanvas* canvas;
  };
  std::vector<ClientDc> clientDcs;
  ICanvas* ClientCanvas(WindowId w) override {
    HWND h = H(w);
    if (!h || !IsWindow(h)) return nullptr;
    HDC dc = GetDC(h);
    if (!dc) return nullptr;
    GdiCanvas* c = new GdiCanvas(dc);
    clientDcs.push_back(ClientDc{h, dc, c});
    return c;
  }
  void ReleaseClientCanvas(ICanvas* c) override {
    for (size_t i = 0; i < clientDcs.size(); ++i) {
      if (clientDcs[i].canvas != c) continue;
      delete clientDcs[i].canvas;  // deselects and deletes its pen first
      ReleaseDC(clientDcs[i].hwnd, clientDcs[i].dc);
      clientDcs.erase(clientDcs.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
  void SetClassCursor(WindowId w, int cursorId) override {
    HWND h = H(w);
    if (!h) return;
    HCURSOR cursor = cursorId ? LoadCursorA(g_instance, MAKEINTRESOURCEA(cursorId)) : nullptr;
    if (!cursor) cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    SetClassLongPtrA(h, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    POINT p;
    RECT r;
    // The new cursor shows at once when the pointer is over the window.
    if (GetCursorPos(&p) && GetWindowRect(h, &r) && PtInRect(&r, p)) SetCursor(cursor);
  }
};

Win32Prompter g_prompter;
Win32Menu g_menu;
Win32ToolBox g_toolbox;
Win32Timer g_timer;
Win32Windows g_windowOps;
Win32IniProfile g_iniProfile(kSettingsFile);
Win32WinIniProfile g_winIni;

struct ClassRow {
  const char* name;
  UINT style;
  int brush;  // stock object
  int icon;
  const char* menu;
  WNDPROC proc;
};

const ClassRow kClasses[] = {
    {"ColorDotwerkEditor", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, LTGRAY_BRUSH, IDI_MAIN, "DOTWERK", MainWndProc},
    {"PixelView5", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, LTGRAY_BRUSH, IDI_PIXELVIEW, "PixelView", PixelViewWndProc},
    {"SwapView5", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, LTGRAY_BRUSH, IDI_PIXELVIEW, "SwapView", SwapViewWndProc},
    {"FontView5", CS_HREDRAW | CS_VREDRAW, LTGRAY_BRUSH, IDI_FONTVIEW, nullptr, FontViewWndProc},
    {"ToolBox5", CS_HREDRAW | CS_VREDRAW, LTGRAY_BRUSH, IDI_TOOLBOX, nullptr, ToolBoxWndProc},
    {"Palette5", CS_HREDRAW | CS_VREDRAW, LTGRAY_BRUSH, IDI_PALETTE, nullptr, PaletteWndProc},
    {"Rainbow5", CS_HREDRAW | CS_VREDRAW, LTGRAY_BRUSH, IDI_RAINBOW, nullptr, RainbowWndProc},
    {"CodePage5", CS_HREDRAW | CS_VREDRAW, WHITE_BRUSH, IDI_CODEPAGE, "CodePage", CodePageViewWndProc},
};

const DWORD kViewStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_HSCROLL | WS_VSCROLL;
const DWORD kFixedToolStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kSizedToolStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;

bool RegisterClasses(HINSTANCE instance) {
  for (const ClassRow& c : kClasses) {
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(c.icon));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(c.brush));
    wc.lpszMenuName = c.menu;
    wc.lpszClassName = c.name;
    if (!RegisterClassA(&wc)) return false;
  }
  return true;
}

void ReadMetrics(EditorState& st) {
  ScreenMetrics& m = st.metrics;
  m.iconWidth = GetSystemMetrics(SM_CXICON);
  m.iconHeight = GetSystemMetrics(SM_CYICON);
  m.borderWidth = GetSystemMetrics(SM_CXBORDER);
  m.borderHeight = GetSystemMetrics(SM_CYBORDER);
  m.captionHeight = GetSystemMetrics(SM_CYCAPTION);
  m.fullScreenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
  m.fullScreenHeight = GetSystemMetrics(SM_CYFULLSCREEN);
  m.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  m.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  m.edgeWidth = GetSystemMetrics(SM_CXEDGE);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
  TEXTMETRICA tm;
  if (GetTextMetricsA(dc, &tm)) {
    st.textHeight = tm.tmHeight;
    st.textAverageWidth = tm.tmAveCharWidth;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  st.workSheetTop = m.iconHeight + 12;
}

int32_t AnsiToOem(int32_t c) {
  char in[2] = {static_cast<char>(c & 0xFF), 0};
  char out[2] = {0, 0};
  CharToOemBuffA(in, out, 1);
  return static_cast<unsigned char>(out[0]);
}

HWND CreateTool(const char* cls, const char* title, DWORD style, const WindowPlacement& p) {
  return CreateWindowExA(0, cls, title, style, p.x, p.y, p.width, p.height, nullptr, nullptr, g_instance, nullptr);
}

int WinShowCode(int32_t show) { return show == 0 ? SW_HIDE : show; }

}  // namespace

bool StartDotwerk(HINSTANCE instance, const StartOptions& options) {
  // 1. Instance and classes.
  g_instance = instance;
  for (HWND& h : g_hwnd) h = nullptr;
  EditorState& st = *CreateEditorState();
  Services s;
  s.profile = options.profile ? options.profile : &g_iniProfile;
  s.windowsProfile = options.windowsProfile ? options.windowsProfile : &g_winIni;
  s.prompter = options.prompter ? options.prompter : &g_prompter;
  s.timer = options.timer ? options.timer : &g_timer;
  s.menu = &g_menu;
  s.toolbox = &g_toolbox;
  s.windows = &g_windowOps;
  s.clipboard = Win32Clipboard();
  // The "Making TrueType Font" box shows for real in the program.
  SetMakingTTFontWindow(Win32MakingTTFontWindow());
  InstallServices(s);
  g_ansiToOem = AnsiToOem;
  RegisterClasses(instance);  // already registered on a second start within one process
  // 2. Accelerators.
  g_accelerators = LoadAcceleratorsA(instance, "LCDMENU");
  // 3. Settings before any window exists.
  ReadMetrics(st);
  ReadWindowSettings(kSettingsFile);
  ReadSettings(kSettingsFile);
  // 4. Main window; its creation initialises it.
  const WindowPlacement& m = st.windows[WIN_MAIN];
  g_hwnd[WIN_MAIN] = CreateWindowExA(0, "ColorDotwerkEditor", kProgramTitle, WS_OVERLAPPEDWINDOW, m.x, m.y,
                                     m.width, m.height, nullptr, nullptr, instance, nullptr);
  if (!g_hwnd[WIN_MAIN]) return false;
  ShowWindow(g_hwnd[WIN_MAIN], WinShowCode(st.mainShowRead));
  UpdateWindow(g_hwnd[WIN_MAIN]);
  // 5. Pixel View and Swap View, not shown yet.
  g_hwnd[WIN_PIXELVIEW] = CreateTool("PixelView5", "Pixel View", kViewStyle, st.windows[WIN_PIXELVIEW]);
  UpdatePixelViewScrollBars();
  // The geometry titled the Pixel View before it existed; give it its title now.
  std::string pixelTitle = std::string("Pixel View  - ") + st.Cur().symbolTitle;
  SetWindowTextA(g_hwnd[WIN_PIXELVIEW], pixelTitle.c_str());
  g_hwnd[WIN_SWAPVIEW] = CreateTool("SwapView5", "Swap View", kViewStyle, st.windows[WIN_SWAPVIEW]);
  // 6. Font View and ToolBox.
  g_hwnd[WIN_FONTVIEW] = CreateTool("FontView5", "Font View", kFixedToolStyle, st.windows[WIN_FONTVIEW]);
  ShowWindow(g_hwnd[WIN_FONTVIEW], WinShowCode(st.windows[WIN_FONTVIEW].show));
  g_hwnd[WIN_TOOLBOX] = CreateTool("ToolBox5", "ToolBox", kFixedToolStyle, st.windows[WIN_TOOLBOX]);
  ShowWindow(g_hwnd[WIN_TOOLBOX], WinShowCode(st.windows[WIN_TOOLBOX].show));
  DataSet& cur = st.Cur();
  bool colour = cur.colorMode == 10666;
  // 7. Palette, shown only in colour mode.
  WindowPlacement pal = st.windows[WIN_PALETTE];
  pal.width = st.paletteOuterWidth;
  pal.height = st.paletteOuterHeight;
  g_hwnd[WIN_PALETTE] = CreateTool("Palette5", "Palette", kFixedToolStyle, pal);
  if (colour) ShowWindow(g_hwnd[WIN_PALETTE], WinShowCode(st.windows[WIN_PALETTE].show));
  UpdateWindow(g_hwnd[WIN_PALETTE]);
  // 8. Rainbow, shown only in colour mode with RGB kind.
  g_hwnd[WIN_RAINBOW] = CreateTool("Rainbow5", "Rainbow", kSizedToolStyle, st.windows[WIN_RAINBOW]);
  if (colour) {
    if (cur.colorKind == 10667) {
      ShowWindow(g_hwnd[WIN_RAINBOW], WinShowCode(st.windows[WIN_RAINBOW].show));
      cur.rainbowShown = 1;
      cur.rgbKindActive = 1;
    } else {
      cur.rainbowShown = 0;
      cur.rgbKindActive = 0;
    }
  }
  UpdateWindow(g_hwnd[WIN_RAINBOW]);
  // 9. CodePage View, only for a group view with a code page.
  g_hwnd[WIN_CODEPAGE] = CreateTool("CodePage5", "CodePage View", kSizedToolStyle, st.windows[WIN_CODEPAGE]);
  if (cur.viewMode != 10097 && cur.useCodePage) ShowWindow(g_hwnd[WIN_CODEPAGE], WinShowCode(st.windows[WIN_CODEPAGE].show));
  // 10. The one timer.
  if (!Svc().timer->SetTimer(1, 300)) {
    Svc().prompter->Ask("Too many clocks or timers!", kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION);
    return false;
  }
  // 11. Pixel View and Swap View.
  ShowWindow(g_hwnd[WIN_PIXELVIEW], WinShowCode(st.windows[WIN_PIXELVIEW].show));
  UpdateWindow(g_hwnd[WIN_PIXELVIEW]);
  ShowWindow(g_hwnd[WIN_SWAPVIEW], WinShowCode(st.windows[WIN_SWAPVIEW].show));
  UpdateWindow(g_hwnd[WIN_SWAPVIEW]);
  return true;
}

int RunMessageLoop() {
  MSG msg;
  std::memset(&msg, 0, sizeof msg);
  for (;;) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;
    if (!TranslateAcceleratorA(g_hwnd[WIN_MAIN], g_accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

int RunDotwerk(HINSTANCE instance) {
  if (!StartDotwerk(instance, StartOptions())) return 0;
  int code = RunMessageLoop();
  WriteSettings(kSettingsFile);
  return code;
}

void ShutdownDotwerk() {
  for (int i = WIN_COUNT - 1; i >= 0; --i) {
    if (g_hwnd[i] && IsWindow(g_hwnd[i])) DestroyWindow(g_hwnd[i]);
  }
  // Drain what the destruction left (the quit message among it); painting
  // messages of other windows would come back forever, so the drain is bounded.
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message != WM_QUIT) DispatchMessageA(&msg);
  }
  for (HWND& h : g_hwnd) h = nullptr;
  for (const ClassRow& c : kClasses) UnregisterClassA(c.name, g_instance);
  InstallServices(Services());
  DestroyEditorState();
}

int PaintMainWindow(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!g_ed->mainInitialised) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
  }
  {
    GdiCanvas canvas(dc);
    PaintMainWindowContent(canvas);
  }
  EndPaint(hwnd, &ps);
  return 1;
}

// Menus and scroll bars live in the program's own process under Wine, so the
// end-to-end driver asks the program for them through this registered
// message: wParam 1 asks the menu state of item lParam, 2..5 the vertical
// position and maximum and the horizontal position and maximum.
static UINT QueryMessage() {
  static UINT id = RegisterWindowMessageA("DotwerkDriverQuery");
  return id;
}

static LRESULT AnswerQuery(HWND hwnd, WPARAM what, LPARAM item) {
  if (what == 1) return static_cast<LRESULT>(GetMenuState(GetMenu(hwnd), static_cast<UINT>(item), MF_BYCOMMAND));
  SCROLLINFO si;
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS;
  int bar = what <= 3 ? SB_VERT : SB_HORZ;
  if (!GetScrollInfo(hwnd, bar, &si)) return 0;
  return (what == 2 || what == 4) ? si.nPos : si.nMax;
}

static bool IsOwnWindow(HWND h) {
  WindowId w = WindowOf(h);
  return w != WIN_COUNT && w != WIN_MAIN;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!g_ed) return DefWindowProcA(hwnd, msg, wParam, lParam);
  EditorState& st = *g_ed;
  int32_t y = static_cast<short>(HIWORD(lParam));
  bool groupGuard = y > st.workSheetTop && st.cfg.disableMouseOperationsInGroupMode && st.Cur().viewMode == 10099;
  if (msg == QueryMessage()) return AnswerQuery(hwnd, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      g_hwnd[WIN_MAIN] = hwnd;
      HandleCreate();
      return 0;
    case WM_SIZE: {
      int32_t w = LOWORD(lParam), h = HIWORD(lParam);
      HandleSize(static_cast<int>(wParam), w, h);
      g_workSheetRect = RECT{0, st.workSheetTop, w, h - st.statusLineHeight};
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      HandleScroll(msg == WM_VSCROLL, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_ACTIVATE:
      HandleActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_TIMER:
      HandleTimerTick(OpenDataFile);
      return 0;
    case WM_LBUTTONDOWN:
      if (!groupGuard) HandleLButtonDown(wParam, lParam);
      return 0;
    case WM_MOUSEMOVE: {
      const DataSet& s = st.Cur();
      if (s.currentTool == 10079 && s.penColor == 10078) SetFocus(hwnd);
      if (groupGuard) {
        st.statusText = "Disabled";
        ShowStatus(0);
        return 0;
      }
      HandleMouseMove(wParam, lParam);
      std::string hint = ToolbarHint(static_cast<short>(LOWORD(lParam)), y);
      if (!hint.empty()) {
        st.statusText = hint;
        ShowStatus(0);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (!groupGuard) HandleLButtonUp(wParam, lParam);
      return 0;
    case WM_RBUTTONUP:
      HandleRButtonUp(wParam, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      HandleRButtonDown(wParam, lParam);
      return 0;
    case WM_RBUTTONDBLCLK:
      return 0;
    case WM_KEYDOWN:
      if (HandleKeyDown(static_cast<int>(wParam))) return 0;
      break;
    case WM_SETFOCUS: {
      if (st.Cur().mouseMode == 104) {
        PlaceCaret();
        ShowCaret(hwnd);
      }
      HWND lost = reinterpret_cast<HWND>(wParam);
      if (!IsOwnWindow(lost)) {
        static const WindowId kOrder[] = {WIN_CODEPAGE, WIN_SWAPVIEW, WIN_FONTVIEW, WIN_RAINBOW,
                                          WIN_PALETTE,  WIN_PIXELVIEW, WIN_TOOLBOX, WIN_MAIN};
        for (WindowId w : kOrder) {
          if (g_hwnd[w]) SetWindowPos(g_hwnd[w], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
      }
      break;
    }
    case WM_CHAR:
      if (HandleChar(static_cast<int32_t>(wParam))) return 0;
      break;
    case WM_COMMAND:
      DispatchCommand(hwnd, LOWORD(wParam));
      return 0;
    case WM_PAINT:
      PaintMainWindow(hwnd);
      return 0;
    case WM_CLOSE:
      if (!HandleClose()) return 0;  // the user kept the program open
      KillTimer(hwnd, 1);
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, 1);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace dw
