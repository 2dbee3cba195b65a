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
//   dotwerk_driver dialog [seconds]           waits for a dialog box (a common file dialog or a
//                                             message box); its title and each static text
//                                             (line breaks shown as "\n")
//   dotwerk_driver filename PATH              types PATH into the open dialog's file-name field
//                                             and presses OK
//   dotwerk_driver press ID                   presses button ID of the dialog box (1 OK, 2 Cancel,
//                                             6 Yes, 7 No)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlgs.h>

static HWND Find(const char* cls) { return FindWindowA(cls, nullptr); }

static int Missing(const char* cls) {
  std::printf("missing=%s\n", cls);
  return 1;
}

// Dialog boxes (message boxes and the common file dialogs) all have the
// dialog class; the editor shows at most one at a time.
static const char kDialogClass[] = "#32770";

static HWND FindDialog() {
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, kDialogClass, nullptr)) != nullptr)
    if (IsWindowVisible(h)) return h;
  return nullptr;
}

// Looks at least once, then every 100 ms for the given time.
static HWND WaitDialog(double seconds) {
  for (int i = 0;; ++i) {
    if (HWND h = FindDialog()) return h;
    if (i >= seconds * 10) return nullptr;
    Sleep(100);
  }
}

static std::string TextOf(HWND h) {
  char text[4096] = "";
  SendMessageA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

static BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
  char cls[64] = "";
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0 || !IsWindowVisible(child)) return TRUE;
  std::string text = TextOf(child);
  if (text.empty()) return TRUE;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') line += "\\n";
    else line += c;
  }
  std::printf("text=%s\n", line.c_str());
  return TRUE;
}

// The file-name field: the combo box of the Explorer-style dialog (its
// edit child takes the typing) or the plain edit field of the old style.
static HWND FileNameField(HWND dlg) {
  if (HWND combo = GetDlgItem(dlg, cmb13)) {
    if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
    return combo;
  }
  return GetDlgItem(dlg, edt1);
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
  if (!std::strcmp(cmd, "dialog")) {
    HWND d = WaitDialog(argc > 2 ? std::atof(argv[2]) : 30);
    if (!d) return Missing(kDialogClass);
    std::printf("title=%s\n", TextOf(d).c_str());
    EnumChildWindows(d, PrintStatic, 0);
    return 0;
  }
  if (argc < 3) return 2;
  if (!std::strcmp(cmd, "filename")) {
    // Typed as a user would: the old contents selected, then one character
    // at a time; a field that filters the keys gets the text set directly.
    // The dialog can still be building its fields when it first shows, so
    // the dialog and its field are looked up again until the text holds.
    HWND d = nullptr, field = nullptr;
    for (int attempt = 0; attempt < 50; ++attempt) {
      d = WaitDialog(30);
      if (!d) return Missing(kDialogClass);
      field = FileNameField(d);
      if (field) {
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CLEAR, 0, 0);
        for (const char* p = argv[2]; *p; ++p) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*p), 1);
        if (TextOf(field) != argv[2]) SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
      }
      Sleep(300);
      if (field && IsWindow(field) && TextOf(field) == argv[2]) break;
      field = nullptr;
    }
    if (!field) return Missing("file name field");
    std::printf("typed=%s\n", TextOf(field).c_str());
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
    return 0;
  }
  if (!std::strcmp(cmd, "press")) {
    HWND d = FindDialog();
    if (!d) return Missing(kDialogClass);
    int id = std::atoi(argv[2]);
    HWND button = GetDlgItem(d, id);
    if (!button) return Missing("button");
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
  }
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
