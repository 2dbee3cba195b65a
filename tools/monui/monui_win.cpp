// monui: UI driver of the monitor's end-to-end scripts. It runs as a second
// Win32 process beside VelmaraMon.exe under Wine, finds the main window by
// its title and reads or pokes it the way a user would see it. One command
// per run; results on stdout; exit code 0 when the command did what it says,
// 1 otherwise (missing window, timeout, unknown control), 2 on bad usage.
//
//   monui wait TITLE [SECONDS]          a visible top-level window with exactly
//                                       this title; prints its handle
//   monui gone TITLE [SECONDS]          until no visible window has the title
//   monui info TITLE                    hwnd, visible (0/1, hidden ones too),
//                                       process id, window rectangle
//   monui text TITLE ID                 text of the descendant with control id ID
//   monui pane TITLE INDEX              text of status-bar part INDEX (0-based)
//   monui combo TITLE ID ITEMTEXT       selects the item, notifies the dialog
//   monui dblclick TITLE [X Y]          double-click on bare client area
//   monui msgbox [SECONDS]              waits for a message box; prints
//                                       "title=..." and "text=..."
//   monui answer BUTTON [SECONDS]       presses a message-box button by text
//                                       or IDOK, IDCANCEL, IDYES, IDNO, ...
//   monui shot TITLE FILE.bmp [print]   24-bit screenshot of the window
//   monui nowindow TITLE EXE SECONDS    passes when every process named EXE
//                                       ends within SECONDS with no visible
//                                       window of that title and no message box
//   monui close TITLE                   posts WM_CLOSE (hidden windows too)
//   monui windows                       every top-level window: handle,
//                                       visible, process, class, title
//   monui pid TITLE                     the window's process id
//
// Texts that hold line breaks are printed with "\n" for each.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kDefaultWait = 30;
// Messages to another process must not hang the driver on a busy window.
const UINT kSendTimeoutMs = 5000;

std::string Printable(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\r') continue;
        if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string Narrow(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::vector<char> buf(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, buf.data(), n, nullptr, nullptr);
    return buf.data();
}

// WM_GETTEXT is marshalled between processes, unlike GetWindowText, which
// reads only the caption stored with the window and misses edit controls.
bool TextOf(HWND h, std::string& text)
{
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len))
        return false;
    // Wide, converted here: the same form whether the control is an ANSI or
    // a Unicode window (see CmdCombo for what the ANSI form does in Wine).
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &got))
        return false;
    buf[std::min<size_t>(got, buf.size() - 1)] = L'\0';
    text = Narrow(buf.data());
    return true;
}

std::string ClassOf(HWND h)
{
    char cls[128] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

// Top-level windows with the exact title. The title of a top-level window is
// its stored caption, so GetWindowText needs no message (and works while the
// program is busy).
struct TopSearch {
    const char* title;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND h, LPARAM lp)
{
    TopSearch* s = reinterpret_cast<TopSearch*>(lp);
    if (s->visibleOnly && !IsWindowVisible(h)) return TRUE;
    char text[512] = "";
    GetWindowTextA(h, text, sizeof text);
    if (std::strcmp(text, s->title) != 0) return TRUE;
    s->found = h;
    return FALSE;
}

HWND FindTop(const char* title, bool visibleOnly)
{
    TopSearch s = {title, visibleOnly, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Looks at least once, then every 100 ms until the time is up.
HWND WaitTop(const char* title, double seconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND h = FindTop(title, true)) return h;
        if (GetTickCount() - start >= seconds * 1000) return nullptr;
        Sleep(100);
    }
}

HWND NeedTop(const char* title)
{
    HWND h = FindTop(title, true);
    if (!h) std::printf("missing=%s\n", title);
    return h;
}

// EnumChildWindows walks every descendant, so controls inside the tool bar
// (the link combo) are found as well as the dialog's own.
struct ChildSearch {
    int id;
    const char* cls;  // null: any class
    HWND found;
    HWND foundHidden;
};

BOOL CALLBACK FindChildProc(HWND h, LPARAM lp)
{
    ChildSearch* s = reinterpret_cast<ChildSearch*>(lp);
    if (s->id >= 0 && GetDlgCtrlID(h) != s->id) return TRUE;
    if (s->cls && lstrcmpiA(ClassOf(h).c_str(), s->cls) != 0) return TRUE;
    // A visible control wins over a hidden one with the same id.
    if (!IsWindowVisible(h)) {
        if (!s->foundHidden) s->foundHidden = h;
        return TRUE;
    }
    s->found = h;
    return FALSE;
}

HWND FindChild(HWND top, int id, const char* cls)
{
    ChildSearch s = {id, cls, nullptr, nullptr};
    EnumChildWindows(top, FindChildProc, reinterpret_cast<LPARAM>(&s));
    return s.found ? s.found : s.foundHidden;
}

bool ParseInt(const char* s, long& v)
{
    char* end = nullptr;
    v = std::strtol(s, &end, 0);
    return end && end != s && *end == '\0';
}

double Seconds(int argc, char** argv, int at)
{
    if (argc > at) return std::atof(argv[at]);
    return kDefaultWait;
}

int CmdWait(const char* title, double seconds)
{
    HWND h = WaitTop(title, seconds);
    if (!h) {
        std::printf("missing=%s\n", title);
        return 1;
    }
    std::printf("hwnd=%p\n", static_cast<void*>(h));
    return 0;
}

int CmdGone(const char* title, double seconds)
{
    DWORD start = GetTickCount();
    while (FindTop(title, true)) {
        if (GetTickCount() - start >= seconds * 1000) {
            std::printf("present=%s\n", title);
            return 1;
        }
        Sleep(100);
    }
    std::printf("gone=%s\n", title);
    return 0;
}

int CmdInfo(const char* title)
{
    HWND h = FindTop(title, true);
    if (!h) h = FindTop(title, false);
    if (!h) {
        std::printf("missing=%s\n", title);
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    RECT r;
    GetWindowRect(h, &r);
    std::printf("hwnd=%p\nvisible=%d\npid=%lu\nrect=%ld %ld %ld %ld\n", static_cast<void*>(h),
                IsWindowVisible(h) ? 1 : 0, static_cast<unsigned long>(pid), r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    return 0;
}

// The control with this id in the top-level window: 0 and both handles, or
// the exit code of a bad id (2) or a missing window or control (1).
int NeedControl(const char* title, const char* idText, long& id, HWND& top, HWND& control)
{
    if (!ParseInt(idText, id)) return 2;
    top = NeedTop(title);
    if (!top) return 1;
    control = FindChild(top, static_cast<int>(id), nullptr);
    if (!control) {
        std::printf("nocontrol=%ld\n", id);
        return 1;
    }
    return 0;
}

int CmdText(const char* title, const char* idText)
{
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(title, idText, id, top, c)) return rc;
    std::string text;
    if (!TextOf(c, text)) {
        std::printf("noanswer=%ld\n", id);
        return 1;
    }
    std::printf("%s\n", Printable(text).c_str());
    return 0;
}

// Status-bar texts: SB_GETTEXT's pointer is not marshalled between
// processes, so the buffer has to live in the program's own address space.
int CmdPane(const char* title, const char* indexText)
{
    long index;
    if (!ParseInt(indexText, index) || index < 0 || index > 255) return 2;
    HWND top = NeedTop(title);
    if (!top) return 1;
    HWND bar = FindChild(top, -1, STATUSCLASSNAMEA);
    if (!bar) {
        std::printf("nostatusbar\n");
        return 1;
    }
    DWORD_PTR parts = 0;
    SendMessageTimeoutA(bar, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &parts);
    if (index >= static_cast<long>(parts)) {
        std::printf("nopane=%ld parts=%lu\n", index, static_cast<unsigned long>(parts));
        return 1;
    }
    DWORD_PTR lenInfo = 0;
    if (!SendMessageTimeoutA(bar, SB_GETTEXTLENGTHA, index, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &lenInfo))
        return 1;
    size_t len = LOWORD(lenInfo);
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) {
        std::printf("noprocess=%lu\n", static_cast<unsigned long>(pid));
        return 1;
    }
    size_t size = len + 16;
    void* remote = VirtualAllocEx(proc, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int rc = 1;
    if (remote) {
        std::vector<char> buf(size, '\0');
        // Zeroed first: a pane whose text the bar cannot give leaves "" behind.
        SIZE_T io = 0;
        WriteProcessMemory(proc, remote, buf.data(), size, &io);
        DWORD_PTR r = 0;
        if (SendMessageTimeoutA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) &&
            ReadProcessMemory(proc, remote, buf.data(), size, &io)) {
            buf[size - 1] = '\0';
            std::printf("%s\n", Printable(buf.data()).c_str());
            rc = 0;
        }
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    return rc;
}

std::string Unaccel(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

// Items are compared one by one (CB_GETLBTEXT is marshalled for combos that
// keep their strings, owner-drawn or not), which also lets the error list
// what the combo holds.
int CmdCombo(const char* title, const char* idText, const char* item)
{
    long id;
    HWND top = nullptr, combo = nullptr;
    if (int rc = NeedControl(title, idText, id, top, combo)) return rc;
    DWORD_PTR count = 0;
    SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count);
    long found = -1;
    std::string items;
    for (long i = 0; i < static_cast<long>(count) && i < 1000; ++i) {
        DWORD_PTR len = 0;
        if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len) ||
            static_cast<LONG_PTR>(len) < 0 || len > 4096)
            continue;
        // The wide form: Wine hands the ANSI form of this message from another
        // process back in UTF-16, cut at the first zero byte.
        std::vector<wchar_t> buf(len + 2, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()),
                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &got);
        std::string text = Narrow(buf.data());
        items += (items.empty() ? "" : "|") + text;
        if (found < 0 && text == item) found = i;
    }
    if (found < 0) {
        std::printf("noitem=%s items=%s\n", item, items.c_str());
        return 1;
    }
    DWORD_PTR r = 0;
    SendMessageTimeoutA(combo, CB_SETCURSEL, found, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    // The dialog reacts to the notification, not to the selection itself.
    // Sent to the top-level dialog: the tool bar would forward it there anyway.
    // Its handler may open the link and talk to the receiver for a while, so a
    // timeout here is no failure: the scripts watch the panes for the outcome.
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(id), CBN_SELCHANGE);
    if (!SendMessageTimeoutA(top, WM_COMMAND, wp, reinterpret_cast<LPARAM>(combo), SMTO_NORMAL,
                             20000, &r))
        std::printf("pending\n");
    std::printf("selected=%ld\n", found);
    return 0;
}

// A point of the client area that no child covers (group boxes included): a
// double click there reaches the dialog itself, as with a user's mouse.
bool BarePoint(HWND top, POINT& pt)
{
    RECT rc;
    GetClientRect(top, &rc);
    for (int y = rc.bottom - 30; y > rc.top + 2; y -= 4) {
        for (int x = rc.left + 2; x < rc.right - 2; x += 4) {
            POINT p = {x, y};
            if (ChildWindowFromPointEx(top, p, CWP_ALL) == top) {
                pt = p;
                return true;
            }
        }
    }
    return false;
}

int CmdDblClick(int argc, char** argv)
{
    HWND top = NeedTop(argv[2]);
    if (!top) return 1;
    POINT pt;
    if (argc >= 5) {
        pt.x = std::atoi(argv[3]);
        pt.y = std::atoi(argv[4]);
    } else if (!BarePoint(top, pt)) {
        std::printf("nobarepoint\n");
        return 1;
    }
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    PostMessageA(top, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    PostMessageA(top, WM_LBUTTONUP, 0, lp);
    std::printf("at=%ld %ld\n", pt.x, pt.y);
    return 0;
}

// A message box: a visible dialog-class window with a static text under the
// id the system gives message texts (0xFFFF) and only a handful of children,
// which tells it apart from the main window (also a dialog).
struct BoxScan {
    int children;
    bool hasButton;
    HWND textCtl;
};

BOOL CALLBACK ScanBoxProc(HWND h, LPARAM lp)
{
    BoxScan* s = reinterpret_cast<BoxScan*>(lp);
    ++s->children;
    std::string cls = ClassOf(h);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) s->hasButton = true;
    if (lstrcmpiA(cls.c_str(), "Static") == 0 && (GetDlgCtrlID(h) & 0xFFFF) == 0xFFFF &&
        GetWindowTextLengthA(h) > 0 && !s->textCtl)
        s->textCtl = h;
    return TRUE;
}

BOOL CALLBACK FindBoxProc(HWND h, LPARAM lp)
{
    if (!IsWindowVisible(h) || ClassOf(h) != "#32770") return TRUE;
    BoxScan s = {0, false, nullptr};
    EnumChildWindows(h, ScanBoxProc, reinterpret_cast<LPARAM>(&s));
    if (s.children > 12 || !s.hasButton || !s.textCtl) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

HWND WaitBox(double seconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND box = nullptr;
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
        if (box) return box;
        if (GetTickCount() - start >= seconds * 1000) return nullptr;
        Sleep(100);
    }
}

int CmdMsgBox(double seconds)
{
    HWND box = WaitBox(seconds);
    if (!box) {
        std::printf("nomsgbox\n");
        return 1;
    }
    BoxScan s = {0, false, nullptr};
    EnumChildWindows(box, ScanBoxProc, reinterpret_cast<LPARAM>(&s));
    std::string title, text;
    TextOf(box, title);
    TextOf(s.textCtl, text);
    std::printf("title=%s\ntext=%s\n", Printable(title).c_str(), Printable(text).c_str());
    return 0;
}

struct ButtonSearch {
    int id;             // >= 0: by id
    std::string text;   // otherwise by text, without accelerator marks
    HWND found;
};

BOOL CALLBACK FindButtonProc(HWND h, LPARAM lp)
{
    ButtonSearch* s = reinterpret_cast<ButtonSearch*>(lp);
    if (lstrcmpiA(ClassOf(h).c_str(), "Button") != 0) return TRUE;
    if (s->id >= 0) {
        if (GetDlgCtrlID(h) != s->id) return TRUE;
    } else {
        std::string t;
        TextOf(h, t);
        if (lstrcmpiA(Unaccel(t).c_str(), s->text.c_str()) != 0) return TRUE;
    }
    s->found = h;
    return FALSE;
}

int CmdAnswer(const char* which, double seconds)
{
    static const struct {
        const char* name;
        int id;
    } kIds[] = {{"IDOK", IDOK},       {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT},
                {"IDRETRY", IDRETRY}, {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES},
                {"IDNO", IDNO}};
    ButtonSearch s = {-1, Unaccel(which), nullptr};
    for (auto& k : kIds)
        if (lstrcmpiA(which, k.name) == 0) s.id = k.id;
    HWND box = WaitBox(seconds);
    if (!box) {
        std::printf("nomsgbox\n");
        return 1;
    }
    EnumChildWindows(box, FindButtonProc, reinterpret_cast<LPARAM>(&s));
    if (!s.found) {
        std::printf("nobutton=%s\n", which);
        return 1;
    }
    // What a click on the button sends its dialog.
    int id = GetDlgCtrlID(s.found);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(s.found));
    std::printf("pressed=%d\n", id);
    return 0;
}

bool WriteBmp(const char* path, HDC dc, HBITMAP bmp, int w, int h)
{
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    if (!GetDIBits(dc, bmp, 0, h, pixels.data(), &bi, DIB_RGB_COLORS)) return false;
    BITMAPFILEHEADER fh;
    std::memset(&fh, 0, sizeof fh);
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    bi.bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
              std::fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    return (std::fclose(f) == 0) && ok;
}

// From the screen by default: what a user sees, controls drawn by their own
// code. "print" asks the window to paint itself (PrintWindow) instead, for a
// window another one covers.
int CmdShot(const char* title, const char* path, bool print)
{
    HWND top = NeedTop(title);
    if (!top) return 1;
    if (!print) {
        SetForegroundWindow(top);
        BringWindowToTop(top);
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
    }
    RECT r;
    GetWindowRect(top, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return 1;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BOOL drawn = print ? PrintWindow(top, mem, 0) : BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    bool ok = drawn && WriteBmp(path, mem, bmp, w, h);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    std::printf(ok ? "saved=%s %dx%d\n" : "failed=%s\n", path, w, h);
    return ok ? 0 : 1;
}

// Whether a process with this executable name still runs (Wine's own
// process list, so names are Windows names such as "flashtest.exe").
bool ProcessRuns(const char* exe)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return true;  // unknown: keep watching
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof pe;
    bool runs = false;
    for (BOOL ok = Process32First(snap, &pe); ok && !runs; ok = Process32Next(snap, &pe))
        runs = lstrcmpiA(pe.szExeFile, exe) == 0;
    CloseHandle(snap);
    return runs;
}

// A start that must end on its own: the window must never show and nothing
// may ask the user anything meanwhile.
int CmdNoWindow(const char* title, const char* exe, double seconds)
{
    DWORD start = GetTickCount();
    // The script starts the program just before this: it may not be in the
    // process list yet (or may already have ended, which the script sees).
    bool seen = false;
    for (;;) {
        bool runs = ProcessRuns(exe);
        seen = seen || runs;
        if (FindTop(title, true)) {
            std::printf("window=%s\n", title);
            return 1;
        }
        HWND box = nullptr;
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
        if (box) {
            std::string text;
            TextOf(box, text);
            std::printf("msgbox=%s\n", Printable(text).c_str());
            return 1;
        }
        if (!runs && (seen || GetTickCount() - start >= 5000)) {
            std::printf(seen ? "ended after %.1f s\n" : "not seen in %.1f s\n",
                        (GetTickCount() - start) / 1000.0);
            return 0;
        }
        if (GetTickCount() - start >= seconds * 1000) {
            std::printf("running=%s\n", exe);
            return 1;
        }
        Sleep(50);
    }
}

BOOL CALLBACK ListProc(HWND h, LPARAM)
{
    char text[256] = "";
    GetWindowTextA(h, text, sizeof text);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    std::printf("%p visible=%d pid=%lu class=%s title=%s\n", static_cast<void*>(h),
                IsWindowVisible(h) ? 1 : 0, static_cast<unsigned long>(pid), ClassOf(h).c_str(), text);
    return TRUE;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: monui wait|gone TITLE [SECONDS] | info TITLE | text TITLE ID |\n"
                 "       pane TITLE INDEX | combo TITLE ID ITEMTEXT | dblclick TITLE [X Y] |\n"
                 "       msgbox [SECONDS] | answer BUTTON [SECONDS] | shot TITLE FILE.bmp [print] |\n"
                 "       nowindow TITLE EXE SECONDS | close TITLE | pid TITLE | windows\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Unbuffered: a script reading through a pipe sees every line even when
    // Wine ends the process abruptly.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    if (cmd == "windows") return EnumWindows(ListProc, 0) ? 0 : 1;
    if (cmd == "msgbox") return CmdMsgBox(Seconds(argc, argv, 2));
    if (cmd == "answer" && argc >= 3) return CmdAnswer(argv[2], argc > 3 ? std::atof(argv[3]) : 5);
    if (argc < 3) return Usage();
    const char* title = argv[2];
    if (cmd == "wait") return CmdWait(title, Seconds(argc, argv, 3));
    if (cmd == "gone") return CmdGone(title, Seconds(argc, argv, 3));
    if (cmd == "info") return CmdInfo(title);
    if (cmd == "text" && argc == 4) return CmdText(title, argv[3]);
    if (cmd == "pane" && argc == 4) return CmdPane(title, argv[3]);
    if (cmd == "combo" && argc == 5) return CmdCombo(title, argv[3], argv[4]);
    if (cmd == "dblclick") return CmdDblClick(argc, argv);
    if (cmd == "shot" && argc >= 4) return CmdShot(title, argv[3], argc > 4 && std::strcmp(argv[4], "print") == 0);
    if (cmd == "nowindow" && argc >= 4) return CmdNoWindow(title, argv[3], Seconds(argc, argv, 4));
    if (cmd == "close") {
        // Hidden ones too: a tool-mode run hides the main window.
        HWND h = FindTop(title, true);
        if (!h) h = FindTop(title, false);
        if (!h) {
            std::printf("missing=%s\n", title);
            return 1;
        }
        PostMessageA(h, WM_CLOSE, 0, 0);
        std::printf("closed=%p\n", static_cast<void*>(h));
        return 0;
    }
    if (cmd == "pid") {
        HWND h = NeedTop(title);
        if (!h) return 1;
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        std::printf("%lu\n", static_cast<unsigned long>(pid));
        return 0;
    }
    return Usage();
}
