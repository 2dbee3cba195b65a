// monui's verbs for windows by count and index, the state of controls, tab
// controls, trackbars, the lines of (rich) edit controls, the clipboard and
// the window at a screen point.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "monui.h"

namespace monui {
namespace {

const double kClipboardWaitSeconds = 2.0;
const int kMaxTabText = 256;

// The windows "TITLE#N" counts, in its order.
std::vector<HWND> Indexed(const char* spec)
{
    std::vector<HWND> all = MatchTop(spec, true), kept;
    const bool byClass = std::strncmp(spec, "class:", 6) == 0;
    for (HWND h : all)
        if (byClass || !IsMessageBox(h)) kept.push_back(h);
    std::sort(kept.begin(), kept.end(),
              [](HWND a, HWND b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
    return kept;
}

DWORD_PTR Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool& ok)
{
    DWORD_PTR r = 0;
    ok = SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) != 0;
    return r;
}

}  // namespace

// count SPEC [EXPECTED [SECONDS]]: how many visible windows the spec names;
// with EXPECTED, waits up to SECONDS (default 5) for exactly that many.
int CmdCount(int argc, char** argv)
{
    long want = -1;
    if (argc > 5 || (argc >= 4 && (!ParseInt(argv[3], want) || want < 0))) return 2;
    const double seconds = argc == 5 ? std::atof(argv[4]) : 5.0;
    const DWORD start = GetTickCount();
    size_t n = Indexed(argv[2]).size();
    while (want >= 0 && static_cast<long>(n) != want && GetTickCount() - start < seconds * 1000) {
        Sleep(100);
        n = Indexed(argv[2]).size();
    }
    std::printf("count=%lu\n", static_cast<unsigned long>(n));
    return want < 0 || static_cast<long>(n) == want ? 0 : 1;
}

// list SPEC: one line per window, in index order.
int CmdList(const char* spec)
{
    const std::vector<HWND> found = Indexed(spec);
    for (size_t i = 0; i < found.size(); ++i) {
        RECT r;
        GetWindowRect(found[i], &r);
        DWORD pid = 0;
        GetWindowThreadProcessId(found[i], &pid);
        char title[256] = "";
        GetWindowTextA(found[i], title, sizeof title);
        std::printf("%lu hwnd=%p pid=%lu rect=%ld %ld %ld %ld class=%s title=%s\n", static_cast<unsigned long>(i),
                    static_cast<void*>(found[i]), static_cast<unsigned long>(pid), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, ClassOf(found[i]).c_str(), title);
    }
    return 0;
}

// enabled|checked|visible|state SPEC CONTROL.
int CmdState(const char* spec, const char* control, const char* which)
{
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(spec, control, id, top, c)) return rc;
    bool ok = true;
    const long checked = static_cast<long>(Send(c, BM_GETCHECK, 0, 0, ok));
    const int enabled = IsWindowEnabled(c) ? 1 : 0, visible = IsWindowVisible(c) ? 1 : 0;
    const std::string w = which;
    if (w == "enabled") std::printf("%d\n", enabled);
    else if (w == "visible") std::printf("%d\n", visible);
    else if (w == "checked") std::printf("%ld\n", checked);
    else
        std::printf("id=%ld class=%s enabled=%d visible=%d checked=%ld\n", id, ClassOf(c).c_str(), enabled, visible,
                    checked);
    return 0;
}

namespace {

bool TabName(HWND tab, long i, std::string& name)
{
    RemoteBlock block(tab, sizeof(TCITEMA) + kMaxTabText);
    if (!block.Ok()) return false;
    TCITEMA item;
    std::memset(&item, 0, sizeof item);
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<LPSTR>(block.Address(sizeof item));
    item.cchTextMax = kMaxTabText;
    const char zero[kMaxTabText] = "";
    if (!block.Write(0, &item, sizeof item) || !block.Write(sizeof item, zero, sizeof zero)) return false;
    bool sent = true;
    const DWORD_PTR got = Send(tab, TCM_GETITEMA, static_cast<WPARAM>(i), static_cast<LPARAM>(block.Address()), sent);
    std::vector<char> all(sizeof item + kMaxTabText, '\0');
    if (!sent || !got || !block.Read(all.data(), all.size())) return false;
    all.back() = '\0';
    name = all.data() + sizeof item;
    return true;
}

// What a user's click on tab `index` makes the control tell its parent.
bool NotifyTab(HWND tab, UINT code)
{
    NMHDR h;
    h.hwndFrom = tab;
    h.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tab));
    h.code = code;
    return SendInProcess(GetParent(tab), WM_NOTIFY, h.idFrom, &h, sizeof h, kSendTimeoutMs) > 0;
}

}  // namespace

// tab SPEC CONTROL [count|selected|names|select INDEX]: without a word,
// "count=N selected=I".
int CmdTab(int argc, char** argv)
{
    if (argc < 4 || argc > 6) return 2;
    long id;
    HWND top = nullptr, tab = nullptr;
    if (int rc = NeedControl(argv[2], argv[3], id, top, tab)) return rc;
    const std::string what = argc > 4 ? argv[4] : "";
    bool ok = true;
    const long count = static_cast<long>(Send(tab, TCM_GETITEMCOUNT, 0, 0, ok));
    long selected = static_cast<int>(Send(tab, TCM_GETCURSEL, 0, 0, ok));
    if (!ok) {
        std::printf("noanswer=%ld\n", id);
        return 1;
    }
    if (what.empty() && argc == 4) {
        std::printf("count=%ld selected=%ld\n", count, selected);
    } else if (what == "count" && argc == 5) {
        std::printf("%ld\n", count);
    } else if (what == "selected" && argc == 5) {
        std::printf("%ld\n", selected);
    } else if (what == "names" && argc == 5) {
        for (long i = 0; i < count; ++i) {
            std::string name;
            if (!TabName(tab, i, name)) return 1;
            std::printf("%s\n", name.c_str());
        }
    } else if (what == "select" && argc == 6) {
        long index;
        if (!ParseInt(argv[5], index)) return 2;
        if (index < 0 || index >= count) {
            std::printf("notab=%ld count=%ld\n", index, count);
            return 1;
        }
        // Moving the focus is what a click does: the control itself tells
        // its parent (TCN_SELCHANGING, TCN_SELCHANGE) from the program's
        // thread. Where it did not (the focus was there already), the
        // notifications are sent from inside the program.
        Send(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0, ok);
        selected = static_cast<int>(Send(tab, TCM_GETCURSEL, 0, 0, ok));
        if (selected != index) {
            NotifyTab(tab, static_cast<UINT>(TCN_SELCHANGING));
            Send(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0, ok);
            NotifyTab(tab, static_cast<UINT>(TCN_SELCHANGE));
            selected = static_cast<int>(Send(tab, TCM_GETCURSEL, 0, 0, ok));
        }
        std::printf("selected=%ld\n", selected);
        return selected == index ? 0 : 1;
    } else {
        return 2;
    }
    return 0;
}

// trackbar SPEC CONTROL [POS]: "pos=P min=A max=B", or moves the thumb and
// tells the parent as a drag ends (WM_HSCROLL or WM_VSCROLL).
int CmdTrackbar(int argc, char** argv)
{
    if (argc != 4 && argc != 5) return 2;
    long id, pos = 0;
    if (argc == 5 && !ParseInt(argv[4], pos)) return 2;
    HWND top = nullptr, bar = nullptr;
    if (int rc = NeedControl(argv[2], argv[3], id, top, bar)) return rc;
    bool ok = true;
    const long low = static_cast<int>(Send(bar, TBM_GETRANGEMIN, 0, 0, ok));
    const long high = static_cast<int>(Send(bar, TBM_GETRANGEMAX, 0, 0, ok));
    if (argc == 5) {
        Send(bar, TBM_SETPOS, TRUE, pos, ok);
        const long now = static_cast<int>(Send(bar, TBM_GETPOS, 0, 0, ok));
        const UINT msg = (GetWindowLongA(bar, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
        DWORD_PTR r = 0;
        SendMessageTimeoutA(GetParent(bar), msg, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(now)),
                            reinterpret_cast<LPARAM>(bar), SMTO_NORMAL, kSendTimeoutMs, &r);
        SendMessageTimeoutA(GetParent(bar), msg, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar),
                            SMTO_NORMAL, kSendTimeoutMs, &r);
    }
    const long now = static_cast<int>(Send(bar, TBM_GETPOS, 0, 0, ok));
    if (!ok) {
        std::printf("noanswer=%ld\n", id);
        return 1;
    }
    std::printf("pos=%ld min=%ld max=%ld\n", now, low, high);
    return argc == 4 || now == pos ? 0 : 1;
}

namespace {

// Lines of a control's text: CR LF, CR or LF end one; a last line without
// an end counts, an end at the very end opens no empty line.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

}  // namespace

// lines SPEC CONTROL [FIRST [COUNT]] | linecount SPEC CONTROL: the lines of
// an edit or rich-edit control (paragraphs, not wrapped rows).
int CmdLines(int argc, char** argv)
{
    const bool countOnly = std::strcmp(argv[1], "linecount") == 0;
    long first = 0, count = -1;
    if (argc < 4 || argc > (countOnly ? 4 : 6) || (argc >= 5 && (!ParseInt(argv[4], first) || first < 0)) ||
        (argc == 6 && (!ParseInt(argv[5], count) || count < 0)))
        return 2;
    long id;
    HWND top = nullptr, c = nullptr;
    if (int rc = NeedControl(argv[2], argv[3], id, top, c)) return rc;
    std::string text;
    if (!TextOf(c, text)) {
        std::printf("noanswer=%ld\n", id);
        return 1;
    }
    const std::vector<std::string> lines = SplitLines(text);
    if (countOnly) {
        std::printf("%lu\n", static_cast<unsigned long>(lines.size()));
        return 0;
    }
    for (size_t i = static_cast<size_t>(first); i < lines.size() && (count < 0 || count-- > 0); ++i)
        std::printf("%s\n", lines[i].c_str());
    return 0;
}

namespace {

bool OpenClipboardWaiting()
{
    const DWORD start = GetTickCount();
    while (!OpenClipboard(nullptr)) {
        if (GetTickCount() - start >= kClipboardWaitSeconds * 1000) return false;
        Sleep(50);
    }
    return true;
}

bool SetClipboardText(const char* text)
{
    const std::wstring w = Wide(text);
    const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    void* at = GlobalLock(mem);
    if (!at) {
        GlobalFree(mem);
        return false;
    }
    std::memcpy(at, w.c_str(), bytes);
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem)) {
        GlobalFree(mem);
        return false;
    }
    return true;
}

}  // namespace

// clipboard | clipboard clear | clipboard set TEXT: the text on the
// clipboard, line by line ("noclipboardtext" and 1 when there is none).
int CmdClipboard(int argc, char** argv)
{
    const std::string what = argc > 2 ? argv[2] : "";
    if (!(argc == 2 || (argc == 3 && what == "clear") || (argc == 4 && what == "set"))) return 2;
    if (!OpenClipboardWaiting()) {
        std::printf("clipboardbusy\n");
        return 1;
    }
    int rc = 0;
    if (what == "clear" || what == "set") {
        EmptyClipboard();
        if (what == "set" && !SetClipboardText(argv[3])) rc = 1;
        std::printf(rc ? "notset\n" : "%s\n", what == "set" ? "set" : "cleared");
    } else if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const wchar_t* w = static_cast<const wchar_t*>(GlobalLock(data));
        const std::string text = w ? Narrow(w) : std::string();
        if (w) GlobalUnlock(data);
        for (const std::string& line : SplitLines(text)) std::printf("%s\n", line.c_str());
    } else {
        std::printf("noclipboardtext\n");
        rc = 1;
    }
    CloseClipboard();
    return rc;
}

namespace {

bool ParsePoint(int argc, char** argv, POINT& pt)
{
    long x, y;
    if (argc < 4 || !ParseInt(argv[2], x) || !ParseInt(argv[3], y)) return false;
    pt.x = x;
    pt.y = y;
    return true;
}

void PrintWindowLine(HWND h)
{
    char title[256] = "";
    GetWindowTextA(h, title, sizeof title);
    RECT r;
    GetWindowRect(h, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    std::printf("hwnd=%p class=%s id=%d pid=%lu rect=%ld %ld %ld %ld title=%s\n", static_cast<void*>(h),
                ClassOf(h).c_str(), GetDlgCtrlID(h), static_cast<unsigned long>(pid), r.left, r.top,
                r.right - r.left, r.bottom - r.top, title);
}

}  // namespace

// at X Y: the window a click at this screen point reaches (window regions
// honoured), then its top-level window.
int CmdAt(int argc, char** argv)
{
    POINT pt;
    if (argc != 4 || !ParsePoint(argc, argv, pt)) return 2;
    HWND h = WindowFromPoint(pt);
    if (!h) {
        std::printf("nowindow\n");
        return 1;
    }
    PrintWindowLine(h);
    HWND root = GetAncestor(h, GA_ROOT);
    if (root && root != h) {
        std::printf("top ");
        PrintWindowLine(root);
    }
    return 0;
}

// clickat X Y [right]: a click of the left (or right) button at this screen
// point, posted to the window there in its client coordinates.
int CmdClickAt(int argc, char** argv)
{
    POINT pt;
    const bool right = argc == 5 && std::strcmp(argv[4], "right") == 0;
    if ((argc != 4 && !right) || !ParsePoint(argc, argv, pt)) return 2;
    HWND h = WindowFromPoint(pt);
    if (!h) {
        std::printf("nowindow\n");
        return 1;
    }
    POINT client = pt;
    ScreenToClient(h, &client);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageA(h, WM_MOUSEMOVE, 0, at);
    PostMessageA(h, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    PostMessageA(h, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    std::printf("clicked=%p class=%s at=%ld %ld\n", static_cast<void*>(h), ClassOf(h).c_str(), client.x, client.y);
    return 0;
}

}  // namespace monui
