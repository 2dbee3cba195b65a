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
//   monui settext TITLE ID TEXT         sets an edit's text (WM_SETTEXT); its
//                                       parent gets EN_CHANGE once (a single-
//                                       line edit sends it itself, for others
//                                       monui does)
//   monui click TITLE ID                clicks a button (BM_CLICK: the parent
//                                       gets BN_CLICKED); prints "pending" when
//                                       its handler is still busy (a modal box)
//   monui menu TITLE ID                 chooses a menu command: posts WM_COMMAND
//                                       with the id to the window
//   monui listsel TITLE ID ITEMTEXT     selects the list-box item with exactly
//                                       this text, then tells the parent
//                                       (LBN_SELCHANGE)
//   monui check TITLE ID 0|1|2          sets a check box (BM_SETCHECK) and tells
//                                       the parent (BN_CLICKED), as a user's
//                                       click would; nothing when already so
//   monui datetime TITLE ID [YYYY-MM-DD HH:MM:SS]
//                                       sets a date-time picker to this local
//                                       time (DTM_SETSYSTEMTIME) and tells its
//                                       owner (WM_NOTIFY DTN_DATETIMECHANGE,
//                                       sent by a thread monui starts in the
//                                       program: Wine carries no WM_NOTIFY
//                                       between processes); without a time
//                                       prints the picker's value
//                                       "YYYY-MM-DD HH:MM:SS"
//   monui progress TITLE ID             a progress bar: "pos=P low=L high=H"
//   monui holdfile PATH SECONDS         opens an existing file with no sharing
//                                       (others cannot open it), prints "held",
//                                       keeps it SECONDS, prints "released"
//
// Controls are found by id among every descendant of the window, a visible
// one before a hidden one. Texts that hold line breaks are printed with "\n"
// for each.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
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

// A block of memory in another process, for the messages whose pointers
// Wine does not carry across (common controls' structures).
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t size, DWORD protect = PAGE_READWRITE) : m_size(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        m_proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_CREATE_THREAD |
                                 PROCESS_QUERY_INFORMATION,
                             FALSE, pid);
        if (m_proc) m_at = VirtualAllocEx(m_proc, nullptr, size, MEM_COMMIT | MEM_RESERVE, protect);
    }
    ~RemoteBlock()
    {
        if (m_at && !m_keep) VirtualFreeEx(m_proc, m_at, 0, MEM_RELEASE);
        if (m_proc) CloseHandle(m_proc);
    }
    bool Ok() const { return m_at != nullptr; }
    HANDLE Process() const { return m_proc; }
    uintptr_t Address(size_t offset = 0) const { return reinterpret_cast<uintptr_t>(m_at) + offset; }
    bool Write(size_t offset, const void* data, size_t n)
    {
        SIZE_T io = 0;
        return offset + n <= m_size &&
               WriteProcessMemory(m_proc, static_cast<char*>(m_at) + offset, data, n, &io) && io == n;
    }
    bool Read(void* data, size_t n)
    {
        SIZE_T io = 0;
        return n <= m_size && ReadProcessMemory(m_proc, m_at, data, n, &io) && io == n;
    }
    // Left in place: something in the other process may still use it.
    void Keep() { m_keep = true; }

private:
    HANDLE m_proc = nullptr;
    void* m_at = nullptr;
    size_t m_size;
    bool m_keep = false;
};

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
    const size_t size = LOWORD(lenInfo) + 16;
    RemoteBlock block(bar, size);
    if (!block.Process()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(bar, &pid);
        std::printf("noprocess=%lu\n", static_cast<unsigned long>(pid));
        return 1;
    }
    if (!block.Ok()) return 1;
    std::vector<char> buf(size, '\0');
    // Zeroed first: a pane whose text the bar cannot give leaves "" behind.
    block.Write(0, buf.data(), size);
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(bar, SB_GETTEXTA, index, static_cast<LPARAM>(block.Address()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &r) ||
        !block.Read(buf.data(), size))
        return 1;
    buf[size - 1] = '\0';
    std::printf("%s\n", Printable(buf.data()).c_str());
    return 0;
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

// The messages that read the items of a list box or of a combo's list, and
// how many items are read at the most.
struct ItemMessages {
    UINT count, length, text;
    long limit;
};
const ItemMessages kListBoxItems = {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, 10000};
const ItemMessages kComboItems = {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, 1000};

// The text of item `i`. The wide form: Wine hands the ANSI form of these
// messages from another process back in UTF-16, cut at the first zero byte.
bool ItemText(HWND c, const ItemMessages& m, long i, std::string& text)
{
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(c, m.length, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len) ||
        static_cast<LONG_PTR>(len) < 0 || len > 4096)
        return false;
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(c, m.text, i, reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &got))
        return false;
    text = Narrow(buf.data());
    return true;
}

// The index of the first item whose text is `item`, or -1; `items` gets
// every text read, separated by "|", for the error.
long FindItem(HWND c, const ItemMessages& m, const char* item, std::string& items)
{
    DWORD_PTR count = 0;
    SendMessageTimeoutA(c, m.count, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count);
    long found = -1;
    for (long i = 0; i < static_cast<long>(count) && i < m.limit; ++i) {
        std::string text;
        if (!ItemText(c, m, i, text)) continue;
        items += (items.empty() ? "" : "|") + text;
        if (found < 0 && text == item) found = i;
    }
    return found;
}

// Items are compared one by one (CB_GETLBTEXT is marshalled for combos that
// keep their strings, owner-drawn or not), which also lets the error list
// what the combo holds.
int CmdCombo(const char* title, const char* idText, const char* item)
{
    long id;
    HWND top = nullptr, combo = nullptr;
    if (int rc = NeedControl(title, idText, id, top, combo)) return rc;
    std::string items;
    const long found = FindItem(combo, kComboItems, item, items);
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

std::wstring Wide(const char* s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::vector<wchar_t> buf(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, buf.data(), n);
    return buf.data();
}

// A notification from control `c` (id `id`) to its parent, as the control
// itself sends it: WM_COMMAND with the code in the high word.
bool NotifyParent(HWND c, long id, WORD code, UINT timeoutMs = kSendTimeoutMs)
{
    DWORD_PTR r = 0;
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(id), code);
    return SendMessageTimeoutA(GetParent(c), WM_COMMAND, wp, reinterpret_cast<LPARAM>(c), SMTO_NORMAL, timeoutMs,
                               &r) != 0;
}

int CmdSetText(const char* title, const char* idText, const char* text)
{
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(title, idText, id, top, c)) return rc;
    // WM_SETTEXT's string is marshalled between processes; the wide form
    // reaches ANSI and Unicode controls alike.
    std::wstring w = Wide(text);
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &r) ||
        !r) {
        std::printf("notset=%ld\n", id);
        return 1;
    }
    // A single-line edit tells its parent itself; a multi-line one (and a
    // control of another class) does not.
    const bool notifiesItself =
        lstrcmpiA(ClassOf(c).c_str(), "Edit") == 0 && !(GetWindowLongA(c, GWL_STYLE) & ES_MULTILINE);
    if (!notifiesItself && !NotifyParent(c, id, EN_CHANGE)) std::printf("pending\n");
    std::printf("set=%ld\n", id);
    return 0;
}

int CmdClick(const char* title, const char* idText)
{
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(title, idText, id, top, c)) return rc;
    if (!IsWindowEnabled(c)) {
        std::printf("disabled=%ld\n", id);
        return 1;
    }
    // Sent, so a quick handler has done its work when this returns; one that
    // opens a modal box keeps running after the time is up.
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(c, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &r)) std::printf("pending\n");
    std::printf("clicked=%ld\n", id);
    return 0;
}

int CmdMenu(const char* title, const char* idText)
{
    long id;
    if (!ParseInt(idText, id) || id < 0 || id > 0xFFFF) return 2;
    HWND top = NeedTop(title);
    if (!top) return 1;
    // Posted, as the menu loop does: the command may open a dialog of its own.
    if (!PostMessageA(top, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0)) return 1;
    std::printf("posted=%ld\n", id);
    return 0;
}

int CmdListSel(const char* title, const char* idText, const char* item)
{
    long id;
    HWND top = nullptr, list = nullptr;
    if (int rc = NeedControl(title, idText, id, top, list)) return rc;
    std::string items;
    const long found = FindItem(list, kListBoxItems, item, items);
    if (found < 0) {
        std::printf("noitem=%s items=%s\n", item, items.c_str());
        return 1;
    }
    DWORD_PTR r = 0;
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        // One item chosen, as a plain click leaves a multiple-selection box.
        SendMessageTimeoutA(list, LB_SETSEL, FALSE, -1, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
        SendMessageTimeoutA(list, LB_SETSEL, TRUE, found, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
        SendMessageTimeoutA(list, LB_SETCARETINDEX, found, FALSE, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    } else {
        SendMessageTimeoutA(list, LB_SETCURSEL, found, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    }
    if (!NotifyParent(list, id, LBN_SELCHANGE)) std::printf("pending\n");
    std::printf("selected=%ld\n", found);
    return 0;
}

int CmdCheck(const char* title, const char* idText, const char* stateText)
{
    long id, state;
    if (!ParseInt(stateText, state) || state < BST_UNCHECKED || state > BST_INDETERMINATE) return 2;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(title, idText, id, top, c)) return rc;
    DWORD_PTR now = 0;
    SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &now);
    if (static_cast<long>(now) == state) {
        std::printf("unchanged=%ld\n", state);
        return 0;
    }
    DWORD_PTR r = 0;
    SendMessageTimeoutA(c, BM_SETCHECK, static_cast<WPARAM>(state), 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    if (!NotifyParent(c, id, BN_CLICKED)) std::printf("pending\n");
    std::printf("checked=%ld\n", state);
    return 0;
}

// A thread of the other process's own, started on a few instructions that
// call SendMessageA with four arguments read from a block beside them, so
// that a message whose pointer may not cross processes is sent from inside
// (Wine refuses WM_NOTIFY between processes; Windows only copies nothing).
// The block: the handle, message, wParam and lParam, then SendMessageA's
// address, each pointer-sized. user32 is at the same address in every
// process of a session, so this process's SendMessageA is the other's.
#if defined(__x86_64__) || defined(_M_X64)
const unsigned char kSendThunk[] = {
    0x48, 0x83, 0xEC, 0x28,  // sub rsp, 40 (shadow space, aligned)
    0x48, 0x89, 0xC8,        // mov rax, rcx (the block)
    0x48, 0x8B, 0x08,        // mov rcx, [rax]
    0x48, 0x8B, 0x50, 0x08,  // mov rdx, [rax+8]
    0x4C, 0x8B, 0x40, 0x10,  // mov r8, [rax+16]
    0x4C, 0x8B, 0x48, 0x18,  // mov r9, [rax+24]
    0xFF, 0x50, 0x20,        // call [rax+32]
    0x48, 0x83, 0xC4, 0x28,  // add rsp, 40
    0xC3,                    // ret
};
#elif defined(__i386__) || defined(_M_IX86)
const unsigned char kSendThunk[] = {
    0x8B, 0x44, 0x24, 0x04,  // mov eax, [esp+4] (the block)
    0xFF, 0x70, 0x0C,        // push [eax+12] (lParam)
    0xFF, 0x70, 0x08,        // push [eax+8] (wParam)
    0xFF, 0x70, 0x04,        // push [eax+4] (message)
    0xFF, 0x30,              // push [eax] (handle)
    0xFF, 0x50, 0x10,        // call [eax+16]
    0xC2, 0x04, 0x00,        // ret 4
};
#else
const unsigned char kSendThunk[] = {0};
#define MONUI_NO_SEND_THUNK
#endif

// Sends `msg` to `target` from inside its process with lParam pointing at a
// copy of `data` there. 1: done; 0: the send is still running after the
// time (its handler may have opened a box); -1: it could not be sent.
int SendInProcess(HWND target, UINT msg, WPARAM wp, const void* data, size_t n, DWORD timeoutMs)
{
#ifdef MONUI_NO_SEND_THUNK
    (void)target, (void)msg, (void)wp, (void)data, (void)n, (void)timeoutMs;
    return -1;
#else
    const size_t kAlign = 16;
    const size_t slotsAt = (sizeof kSendThunk + kAlign - 1) / kAlign * kAlign;
    const size_t kSlots = 5;
    const size_t dataAt = slotsAt + kSlots * sizeof(uintptr_t);
    RemoteBlock block(target, dataAt + n, PAGE_EXECUTE_READWRITE);
    if (!block.Ok()) return -1;
    const uintptr_t slots[kSlots] = {
        reinterpret_cast<uintptr_t>(target), msg, wp, block.Address(dataAt),
        reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageA"))};
    if (!slots[4] || !block.Write(0, kSendThunk, sizeof kSendThunk) || !block.Write(slotsAt, slots, sizeof slots) ||
        !block.Write(dataAt, data, n))
        return -1;
    FlushInstructionCache(block.Process(), reinterpret_cast<void*>(block.Address()), sizeof kSendThunk);
    HANDLE thread = CreateRemoteThread(block.Process(), nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(block.Address()),
                                       reinterpret_cast<void*>(block.Address(slotsAt)), 0, nullptr);
    if (!thread) return -1;
    const bool done = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    if (!done) block.Keep();  // the thread still reads it
    CloseHandle(thread);
    return done ? 1 : 0;
#endif
}

// "YYYY-MM-DD" and "HH:MM:SS" as a SYSTEMTIME with its day of the week.
bool ParseLocalTime(const char* date, const char* time, SYSTEMTIME& st)
{
    int y, mo, d, h, mi, sec;
    char extra;
    if (std::sscanf(date, "%d-%d-%d%c", &y, &mo, &d, &extra) != 3 ||
        std::sscanf(time, "%d:%d:%d%c", &h, &mi, &sec, &extra) != 3)
        return false;
    std::memset(&st, 0, sizeof st);
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(sec);
    // The round trip checks the date and fills in the day of the week.
    FILETIME ft;
    if (y < 1601 || y > 30827 || h > 23 || mi > 59 || sec > 59 || !SystemTimeToFileTime(&st, &ft) ||
        !FileTimeToSystemTime(&ft, &st))
        return false;
    return true;
}

int CmdDateTime(int argc, char** argv)
{
    long id;
    HWND top = nullptr, picker = nullptr;
    if (int rc = NeedControl(argv[2], argv[3], id, top, picker)) return rc;
    SYSTEMTIME st;
    const bool setting = argc > 4;
    if (setting && (argc != 6 || !ParseLocalTime(argv[4], argv[5], st))) return 2;
    RemoteBlock block(picker, sizeof st);
    if (!block.Ok()) {
        std::printf("noprocessmemory\n");
        return 1;
    }
    DWORD_PTR r = 0;
    if (!setting) {
        if (!SendMessageTimeoutA(picker, DTM_GETSYSTEMTIME, 0, static_cast<LPARAM>(block.Address()),
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) ||
            r != GDT_VALID || !block.Read(&st, sizeof st)) {
            std::printf("notime=%ld\n", id);
            return 1;
        }
        std::printf("%04u-%02u-%02u %02u:%02u:%02u\n", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                    st.wSecond);
        return 0;
    }
    if (!block.Write(0, &st, sizeof st) ||
        !SendMessageTimeoutA(picker, DTM_SETSYSTEMTIME, GDT_VALID, static_cast<LPARAM>(block.Address()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) ||
        !r) {
        std::printf("notset=%ld\n", id);
        return 1;
    }
    // What the picker sends its owner when a user changes it.
    NMDATETIMECHANGE change;
    std::memset(&change, 0, sizeof change);
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = st;
    const int sent = SendInProcess(GetParent(picker), WM_NOTIFY, static_cast<WPARAM>(id), &change, sizeof change,
                                   kSendTimeoutMs);
    if (sent < 0) {
        std::printf("nonotify=%ld\n", id);
        return 1;
    }
    if (sent == 0) std::printf("pending\n");
    std::printf("set=%ld\n", id);
    return 0;
}

int CmdProgress(const char* title, const char* idText)
{
    long id;
    HWND top = nullptr, bar = nullptr;
    if (int rc = NeedControl(title, idText, id, top, bar)) return rc;
    // With no structure to fill, the range comes back one end at a time.
    DWORD_PTR pos = 0, low = 0, high = 0;
    if (!SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &pos) ||
        !SendMessageTimeoutA(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low) ||
        !SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high)) {
        std::printf("noanswer=%ld\n", id);
        return 1;
    }
    std::printf("pos=%ld low=%ld high=%ld\n", static_cast<long>(static_cast<int>(pos)),
                static_cast<long>(static_cast<int>(low)), static_cast<long>(static_cast<int>(high)));
    return 0;
}

int CmdHoldFile(const char* path, double seconds)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::printf("notheld=%s error=%lu\n", path, static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    std::printf("held=%s\n", path);
    Sleep(static_cast<DWORD>(seconds * 1000));
    CloseHandle(h);
    std::printf("released=%s\n", path);
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: monui wait|gone TITLE [SECONDS] | info TITLE | text TITLE ID |\n"
                 "       pane TITLE INDEX | combo TITLE ID ITEMTEXT | dblclick TITLE [X Y] |\n"
                 "       msgbox [SECONDS] | answer BUTTON [SECONDS] | shot TITLE FILE.bmp [print] |\n"
                 "       nowindow TITLE EXE SECONDS | close TITLE | pid TITLE | windows |\n"
                 "       settext TITLE ID TEXT | click TITLE ID | menu TITLE ID |\n"
                 "       listsel TITLE ID ITEMTEXT | check TITLE ID 0|1|2 |\n"
                 "       datetime TITLE ID [YYYY-MM-DD HH:MM:SS] | progress TITLE ID |\n"
                 "       holdfile PATH SECONDS\n");
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
    if (cmd == "holdfile" && argc == 4) return CmdHoldFile(argv[2], std::atof(argv[3]));
    const char* title = argv[2];
    if (cmd == "wait") return CmdWait(title, Seconds(argc, argv, 3));
    if (cmd == "gone") return CmdGone(title, Seconds(argc, argv, 3));
    if (cmd == "info") return CmdInfo(title);
    if (cmd == "text" && argc == 4) return CmdText(title, argv[3]);
    if (cmd == "pane" && argc == 4) return CmdPane(title, argv[3]);
    if (cmd == "combo" && argc == 5) return CmdCombo(title, argv[3], argv[4]);
    if (cmd == "dblclick") return CmdDblClick(argc, argv);
    if (cmd == "settext" && argc == 5) return CmdSetText(title, argv[3], argv[4]);
    if (cmd == "click" && argc == 4) return CmdClick(title, argv[3]);
    if (cmd == "menu" && argc == 4) return CmdMenu(title, argv[3]);
    if (cmd == "listsel" && argc == 5) return CmdListSel(title, argv[3], argv[4]);
    if (cmd == "check" && argc == 5) return CmdCheck(title, argv[3], argv[4]);
    if (cmd == "datetime" && (argc == 4 || argc == 6)) return CmdDateTime(argc, argv);
    if (cmd == "progress" && argc == 4) return CmdProgress(title, argv[3]);
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
