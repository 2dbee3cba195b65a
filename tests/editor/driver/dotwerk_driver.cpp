// UI driver for the end-to-end scripts: finds Dotwerk's windows by class,
// prints their state and sends them messages. One command per run; output
// is plain "key=value" text on stdout; exit code 1 when the window is missing.
//
//   dotwerk_driver wait CLASS [seconds]       until the window exists and is visible
//   dotwerk_driver info CLASS                 visible, window rect, client origin and size, title
//   dotwerk_driver metrics                    the screen metrics and the fixed font's height
//   dotwerk_driver command CLASS ID           posts WM_COMMAND ID
//   dotwerk_driver key CLASS VK               posts WM_KEYDOWN VK
//   dotwerk_driver close CLASS                posts WM_CLOSE
//   dotwerk_driver syscmd CLASS min|max|restore  posts the system command
//   dotwerk_driver move CLASS X Y W H         moves and sizes the window
//   dotwerk_driver scroll CLASS               vertical and horizontal scroll position and range
//   dotwerk_driver menu CLASS ID              checked and greyed state of a menu item
//   dotwerk_driver pixel CLASS X Y            colour of a client pixel (r g b)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND Find(const char* cls) { return FindWindowA(cls, nullptr); }

static int Missing(const char* cls) {
  std::printf("missing=%s\n", cls);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dotwerk_driver COMMAND [CLASS] [ARGS]\n");
    return 2;
  }
  const char* cmd = argv[1];
  if (!std::strcmp(cmd, "metrics")) {
    std::printf("icon=%d %d\nborder=%d %d\ncaption=%d\nfullscreen=%d %d\nscreen=%d %d\nedge=%d\n",
                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), GetSystemMetrics(SM_CXBORDER),
                GetSystemMetrics(SM_CYBORDER), GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CXFULLSCREEN),
                GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                GetSystemMetrics(SM_CXEDGE));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    std::printf("textheight=%ld\n", tm.tmHeight);
    return 0;
  }
  if (argc < 3) return 2;
  const char* cls = argv[2];
  if (!std::strcmp(cmd, "wait")) {
    double seconds = argc > 3 ? std::atof(argv[3]) : 60;
    for (int i = 0; i < seconds * 10; ++i) {
      HWND h = Find(cls);
      if (h && IsWindowVisible(h)) return 0;
      Sleep(100);
    }
    return Missing(cls);
  }
  HWND h = Find(cls);
  if (!h) return Missing(cls);
  if (!std::strcmp(cmd, "info")) {
    RECT r, c;
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    POINT o = {0, 0};
    ClientToScreen(h, &o);
    char title[1024] = "";
    GetWindowTextA(h, title, sizeof title);
    std::printf("visible=%d\niconic=%d\nrect=%ld %ld %ld %ld\nclient=%ld %ld %ld %ld\ntitle=%s\n",
                IsWindowVisible(h) ? 1 : 0, IsIconic(h) ? 1 : 0, r.left, r.top, r.right - r.left,
                r.bottom - r.top, o.x, o.y, c.right, c.bottom, title);
    return 0;
  }
  if (!std::strcmp(cmd, "command") && argc > 3) {
    PostMessageA(h, WM_COMMAND, std::atoi(argv[3]), 0);
    return 0;
  }
  if (!std::strcmp(cmd, "key") && argc > 3) {
    PostMessageA(h, WM_KEYDOWN, std::atoi(argv[3]), 0);
    return 0;
  }
  if (!std::strcmp(cmd, "syscmd") && argc > 3) {
    WPARAM sc = !std::strcmp(argv[3], "min") ? SC_MINIMIZE : !std::strcmp(argv[3], "max") ? SC_MAXIMIZE : SC_RESTORE;
    PostMessageA(h, WM_SYSCOMMAND, sc, 0);
    return 0;
  }
  if (!std::strcmp(cmd, "close")) {
    PostMessageA(h, WM_CLOSE, 0, 0);
    return 0;
  }
  if (!std::strcmp(cmd, "move") && argc > 6) {
    SetWindowPos(h, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  // Menus and scroll bars are the program's own under Wine: it answers
  // the registered query message for them.
  UINT query = RegisterWindowMessageA("DotwerkDriverQuery");
  if (!std::strcmp(cmd, "scroll")) {
    std::printf("vpos=%ld\nvmax=%ld\nhpos=%ld\nhmax=%ld\n", static_cast<long>(SendMessageA(h, query, 2, 0)),
                static_cast<long>(SendMessageA(h, query, 3, 0)), static_cast<long>(SendMessageA(h, query, 4, 0)),
                static_cast<long>(SendMessageA(h, query, 5, 0)));
    return 0;
  }
  if (!std::strcmp(cmd, "menu") && argc > 3) {
    UINT s = static_cast<UINT>(SendMessageA(h, query, 1, std::atoi(argv[3])));
    if (s == static_cast<UINT>(-1)) {
      std::printf("present=0\n");
      return 0;
    }
    std::printf("present=1\nchecked=%d\ngrayed=%d\n", (s & MF_CHECKED) ? 1 : 0, (s & MF_GRAYED) ? 1 : 0);
    return 0;
  }
  if (!std::strcmp(cmd, "pixel") && argc > 4) {
    HDC dc = GetDC(h);
    COLORREF c = GetPixel(dc, std::atoi(argv[3]), std::atoi(argv[4]));
    ReleaseDC(h, dc);
    std::printf("%d %d %d\n", GetRValue(c), GetGValue(c), GetBValue(c));
    return 0;
  }
  std::fprintf(stderr, "unknown command %s\n", cmd);
  return 2;
}
