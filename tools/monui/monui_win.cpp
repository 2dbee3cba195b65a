// monui: UI driver of the monitor's end-to-end scripts. It runs as a second
// Win32 process beside VelmaraMon.exe under Wine, finds the program's windows
// by their titles and reads or pokes them the way a user would see them. One
// command per run; results on stdout; exit code 0 when the command did what
// it says, 1 otherwise (missing window, timeout, unknown control, a refused
// command), 2 on bad usage. The verbs are listed in kUsage below ("monui
// help" prints it).
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

#include "monui.h"

using namespace monui;

namespace {

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
    // Posted to the top-level dialog (the tool bar would forward it there
    // anyway): its handler may open a dialog of its own (the port settings)
    // or talk to the receiver for a while; the scripts watch for the outcome.
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(id), CBN_SELCHANGE);
    if (!PostMessageA(top, WM_COMMAND, wp, reinterpret_cast<LPARAM>(combo))) return 1;
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


int CmdMsgBox(double seconds)
{
    HWND box = WaitBox(seconds);
    if (!box) {
        std::printf("nomsgbox\n");
        return 1;
    }
    std::string title, text;
    TextOf(box, title);
    TextOf(BoxTextControl(box), text);
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
        if (HWND box = FindBox()) {
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

// Sent by default, so a quick handler has done its work when this returns
// (one that opens a modal box keeps running after the time is up: "pending");
// "post" posts it, for a button known to open a modal window.
int CmdClick(const char* title, const char* idText, bool post)
{
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(title, idText, id, top, c)) return rc;
    if (!IsWindowEnabled(c)) {
        std::printf("disabled=%ld\n", id);
        return 1;
    }
    if (post) {
        if (!PostMessageA(c, BM_CLICK, 0, 0)) return 1;
        std::printf("clicked=%ld\n", id);
        return 0;
    }
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

const char kUsage[] =
    "usage: monui VERB ARGUMENTS (one verb per run; \"monui help\" prints this)\n"
    "\n"
    "Windows. SPEC names top-level windows:\n"
    "  TITLE            the first visible window with exactly this title (z-order;\n"
    "                   a message box of that title only when no other window has it)\n"
    "  TITLE#N          the N-th (0-based) visible one, ordered by handle (the order\n"
    "                   stays while those windows stay open); boxes are not counted\n"
    "  class:NAME[#N]   by window class instead (\"#32768\": popup menus)\n"
    "  hwnd:HEX         that window, as wait and list print it\n"
    "  A TITLE or NAME ending in * matches each that starts with the rest\n"
    "  (\"class:Afx:*\": the windows of classes the program registers itself).\n"
    "  wait SPEC [SECONDS]           waits for the window; prints \"hwnd=H\"\n"
    "  gone SPEC [SECONDS]           until no visible window matches\n"
    "  count SPEC [N [SECONDS]]      \"count=K\" visible windows; with N waits (default\n"
    "                                5 s) for exactly N and fails otherwise\n"
    "  list SPEC                     one line per window, in index order:\n"
    "                                I hwnd=H pid=P rect=X Y W H class=C title=T\n"
    "  info SPEC                     hwnd, visible (hidden ones too), pid, rect=X Y W H\n"
    "  pid SPEC                      the window's process id\n"
    "  windows                       every top-level window: handle, visible, pid,\n"
    "                                class, title\n"
    "  close SPEC                    posts WM_CLOSE (hidden windows too)\n"
    "  shot SPEC FILE.bmp [print]    24-bit screenshot (print: the window paints\n"
    "                                itself, for a covered window)\n"
    "  nowindow TITLE EXE SECONDS    passes when every process named EXE ends within\n"
    "                                SECONDS with no such window and no message box\n"
    "  at X Y                        the window at this screen point (window regions\n"
    "                                honoured), then \"top \" and its top-level window:\n"
    "                                hwnd=H class=C id=I pid=P rect=X Y W H title=T\n"
    "  clickat X Y [right]           posts a click to the window at this point\n"
    "\n"
    "Controls. CONTROL names a descendant of the window, a visible one first: a\n"
    "number is a control id; class:NAME[#N] the N-th (0-based) of that class;\n"
    "text:TEXT, or any other word, the one with that text (as written or\n"
    "without & marks). Texts with line breaks print \"\\n\" for each.\n"
    "  text SPEC CONTROL             the control's text\n"
    "  settext SPEC CONTROL TEXT     WM_SETTEXT; the parent gets EN_CHANGE once\n"
    "  click SPEC CONTROL [post]     BM_CLICK, sent (\"pending\" when the handler is still\n"
    "                                busy after 5 s); post: posted, for a button that\n"
    "                                opens a modal window\n"
    "  check SPEC CONTROL 0|1|2      sets a check box and tells the parent (BN_CLICKED)\n"
    "                                as a click would; \"unchanged=S\" when already so\n"
    "  enabled|visible|checked SPEC CONTROL   0 or 1 (checked: BM_GETCHECK, 0-2)\n"
    "  state SPEC CONTROL            id=I class=C enabled=E visible=V checked=K\n"
    "  combo SPEC CONTROL ITEMTEXT   selects the item; CBN_SELCHANGE is posted to the\n"
    "                                window (its handler may open a dialog)\n"
    "  listsel SPEC CONTROL ITEMTEXT selects a list-box item, tells the parent\n"
    "  tab SPEC CONTROL              tab control: \"count=N selected=I\"\n"
    "  tab SPEC CONTROL count|selected|names    one value; names one per line\n"
    "  tab SPEC CONTROL select I     selects tab I as a click does (the parent gets\n"
    "                                TCN_SELCHANGING and TCN_SELCHANGE)\n"
    "  trackbar SPEC CONTROL [POS]   \"pos=P min=A max=B\"; with POS moves the thumb and\n"
    "                                tells the parent (WM_HSCROLL/WM_VSCROLL)\n"
    "  lines SPEC CONTROL [FIRST [COUNT]]   the lines of an edit or rich edit\n"
    "  linecount SPEC CONTROL        how many lines (paragraphs, not wrapped rows)\n"
    "  pane SPEC INDEX               text of status-bar part INDEX (0-based)\n"
    "  progress SPEC CONTROL         a progress bar: \"pos=P low=L high=H\"\n"
    "  datetime SPEC CONTROL [YYYY-MM-DD HH:MM:SS]   sets a date-time picker and tells\n"
    "                                its owner (DTN_DATETIMECHANGE); without a time\n"
    "                                prints its value\n"
    "  dblclick SPEC [X Y]           double click on bare client area (or X Y)\n"
    "\n"
    "Menus (the window describes its own menus: the program and monui_target do):\n"
    "  menuitem SPEC ID [FIELD]      every item with this command id, one line each:\n"
    "                                path=2/15 id=I checked=C greyed=G separator=S\n"
    "                                popup=P text=T (a tab in T is \"\\t\"); FIELD (path,\n"
    "                                id, checked, greyed, separator, popup, text)\n"
    "                                prints that value of the first; \"absent=ID\"\n"
    "  menupos SPEC PATH [FIELD]     the item at PATH: positions from the menu bar\n"
    "                                down, \"2/15\" is item 15 of the third menu\n"
    "  menulist SPEC [PATH]          every item of the menu bar or of the menu at PATH\n"
    "  command SPEC ID               posts WM_COMMAND as the menu does, only when the\n"
    "                                item is there and not greyed: \"posted=ID\", else\n"
    "                                \"absent=ID\" or \"greyed=ID path=P\" and exit 1\n"
    "  menu SPEC ID                  posts WM_COMMAND whatever the menu holds\n"
    "                                (accelerator-only commands)\n"
    "  contextmenu SPEC CONTROL [X Y]   posts WM_CONTEXTMENU at the control's centre\n"
    "                                (or its client point X Y); CONTROL pane:N is\n"
    "                                status-bar part N; prints \"popup=1\" and the\n"
    "                                popup's items (menulist lines) and closes it, or\n"
    "                                \"popup=0\" when none opened within 2 s\n"
    "  popup [SECONDS] | popup close    a visible popup menu of any process, its items\n"
    "\n"
    "Message boxes, clipboard, files:\n"
    "  msgbox [SECONDS]              waits for a message box; \"title=...\", \"text=...\"\n"
    "  answer BUTTON [SECONDS]       presses a box's button by text or IDOK, IDCANCEL,\n"
    "                                IDYES, IDNO, ...\n"
    "  clipboard                     the clipboard's text, line by line\n"
    "  clipboard clear | clipboard set TEXT\n"
    "  holdfile PATH SECONDS         opens a file with no sharing, prints \"held=\",\n"
    "                                keeps it SECONDS, prints \"released=\"\n";

int Usage()
{
    std::fputs(kUsage, stderr);
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
    if (cmd == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cmd == "windows") return EnumWindows(ListProc, 0) ? 0 : 1;
    if (cmd == "popup") return CmdPopup(argc, argv);
    if (cmd == "clipboard") return CmdClipboard(argc, argv);
    if (cmd == "at") return CmdAt(argc, argv);
    if (cmd == "clickat") return CmdClickAt(argc, argv);
    if (cmd == "msgbox") return CmdMsgBox(Seconds(argc, argv, 2));
    if (cmd == "answer" && argc >= 3) return CmdAnswer(argv[2], argc > 3 ? std::atof(argv[3]) : 5);
    if (argc < 3) return Usage();
    if (cmd == "holdfile" && argc == 4) return CmdHoldFile(argv[2], std::atof(argv[3]));
    const char* title = argv[2];
    if (cmd == "wait") return CmdWait(title, Seconds(argc, argv, 3));
    if (cmd == "gone") return CmdGone(title, Seconds(argc, argv, 3));
    if (cmd == "info") return CmdInfo(title);
    if (cmd == "count") return CmdCount(argc, argv);
    if (cmd == "list" && argc == 3) return CmdList(title);
    if ((cmd == "enabled" || cmd == "visible" || cmd == "checked" || cmd == "state") && argc == 4)
        return CmdState(title, argv[3], cmd.c_str());
    if (cmd == "tab") return CmdTab(argc, argv);
    if (cmd == "trackbar") return CmdTrackbar(argc, argv);
    if (cmd == "lines" || cmd == "linecount") return CmdLines(argc, argv);
    if (cmd == "menuitem") return CmdMenuItem(argc, argv);
    if (cmd == "menupos") return CmdMenuPos(argc, argv);
    if (cmd == "menulist") return CmdMenuList(argc, argv);
    if (cmd == "command" && argc == 4) return CmdCommand(title, argv[3]);
    if (cmd == "contextmenu") return CmdContextMenu(argc, argv);
    if (cmd == "text" && argc == 4) return CmdText(title, argv[3]);
    if (cmd == "pane" && argc == 4) return CmdPane(title, argv[3]);
    if (cmd == "combo" && argc == 5) return CmdCombo(title, argv[3], argv[4]);
    if (cmd == "dblclick") return CmdDblClick(argc, argv);
    if (cmd == "settext" && argc == 5) return CmdSetText(title, argv[3], argv[4]);
    if (cmd == "click" && (argc == 4 || (argc == 5 && std::strcmp(argv[4], "post") == 0)))
        return CmdClick(title, argv[3], argc == 5);
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
