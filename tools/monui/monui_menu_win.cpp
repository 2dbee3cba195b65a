// monui's menu verbs: menu items by id or position, commands refused when
// their item is greyed or absent, and the popup a right click opens.
//
// Wine refuses to read another process's menus, so the window describes its
// own (app/UiQuery.h): monui sends the request with WM_COPYDATA and a window
// of its own to answer to, and takes the reply in that window's procedure
// while it waits for the send (a waiting sender handles sent messages).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/UiQuery.h"
#include "monui.h"

namespace monui {
namespace {

const char kReplyClass[] = "MonuiQueryReply";
const size_t kMaxReply = 1u << 20;
const double kPopupWaitSeconds = 2.0;

std::string g_reply;
bool g_replied = false;

LRESULT CALLBACK ReplyProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA && lp) {
        const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (cds->dwData == kUiQueryTag && cds->lpData && cds->cbData <= kMaxReply) {
            g_reply.assign(static_cast<const char*>(cds->lpData), cds->cbData);
            while (!g_reply.empty() && g_reply.back() == '\0') g_reply.pop_back();
            g_replied = true;
            return TRUE;
        }
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// The window's answer to `q`: true with its text, or false after printing
// "noquery" (the window does not answer menu queries).
bool Ask(HWND top, const UiQueryRequest& q, std::string& reply)
{
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kReplyClass;
    RegisterClassA(&wc);
    HWND me = CreateWindowExA(0, kReplyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!me) return false;
    g_reply.clear();
    g_replied = false;
    COPYDATASTRUCT cds = {kUiQueryTag, sizeof q, const_cast<UiQueryRequest*>(&q)};
    DWORD_PTR answered = 0;
    const bool sent = SendMessageTimeoutA(top, WM_COPYDATA, reinterpret_cast<WPARAM>(me),
                                          reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                          kSendTimeoutMs, &answered) != 0;
    DestroyWindow(me);
    if (!sent || !answered || !g_replied) {
        std::printf("noquery\n");
        return false;
    }
    reply = g_reply;
    return true;
}

UiQueryRequest NewRequest(UiQueryKind kind)
{
    UiQueryRequest q;
    std::memset(&q, 0, sizeof q);
    q.magic = kUiQueryMagic;
    q.kind = kind;
    return q;
}

// "2/15" (or "2.15") into the request's path; "" is the menu bar itself.
bool ParsePath(const char* text, UiQueryRequest& q)
{
    q.depth = 0;
    const char* p = text;
    while (*p) {
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p || v < 0 || v > kUiQueryMaxPosition || q.depth >= static_cast<uint32_t>(kUiQueryMaxDepth))
            return false;
        q.path[q.depth++] = static_cast<int32_t>(v);
        p = end;
        if (*p == '/' || *p == '.') ++p;
        else if (*p) return false;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t eol = text.find('\n', at);
        if (eol == std::string::npos) eol = text.size();
        if (eol > at) lines.push_back(text.substr(at, eol - at));
        at = eol + 1;
    }
    return lines;
}

// One field of a reply line ("text" is the rest of the line); "" when absent.
std::string Field(const std::string& line, const std::string& name)
{
    const std::string key = name + "=";
    size_t at = line.compare(0, key.size(), key) == 0 ? 0 : line.find(" " + key);
    if (at == std::string::npos) return std::string();
    if (at > 0) ++at;
    at += key.size();
    if (name == "text") return line.substr(at);
    const size_t end = line.find(' ', at);
    return line.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool IsError(const std::vector<std::string>& lines, std::string& what)
{
    if (lines.empty()) {
        what = "empty";
        return true;
    }
    if (lines[0].compare(0, 6, "error=") != 0) return false;
    what = lines[0].substr(6);
    return true;
}

// The reply's lines, or one field of its first line.
int PrintItems(const std::string& reply, const char* field, const char* asked)
{
    const std::vector<std::string> lines = Lines(reply);
    std::string error;
    if (IsError(lines, error)) {
        std::printf("%s=%s\n", error.c_str(), asked);
        return 1;
    }
    if (field) {
        std::printf("%s\n", Field(lines[0], field).c_str());
        return 0;
    }
    for (const std::string& l : lines) std::printf("%s\n", l.c_str());
    return 0;
}

const char* OptionalField(int argc, char** argv, int at)
{
    static const char* const kFields[] = {"path", "id", "checked", "greyed", "separator", "popup", "text"};
    if (argc <= at) return nullptr;
    for (const char* f : kFields)
        if (std::strcmp(argv[at], f) == 0) return f;
    return "";
}

}  // namespace

int CmdMenuItem(int argc, char** argv)
{
    long id;
    const char* field = OptionalField(argc, argv, 4);
    if (argc < 4 || argc > 5 || !ParseInt(argv[3], id) || id < 0 || id > 0xFFFF || (field && !*field)) return 2;
    HWND top = NeedTop(argv[2]);
    if (!top) return 1;
    UiQueryRequest q = NewRequest(UIQ_MENU_BY_ID);
    q.id = static_cast<uint32_t>(id);
    std::string reply;
    if (!Ask(top, q, reply)) return 1;
    return PrintItems(reply, field, argv[3]);
}

int CmdMenuPos(int argc, char** argv)
{
    const char* field = OptionalField(argc, argv, 4);
    UiQueryRequest q = NewRequest(UIQ_MENU_BY_PATH);
    if (argc < 4 || argc > 5 || !ParsePath(argv[3], q) || q.depth == 0 || (field && !*field)) return 2;
    HWND top = NeedTop(argv[2]);
    if (!top) return 1;
    std::string reply;
    if (!Ask(top, q, reply)) return 1;
    return PrintItems(reply, field, argv[3]);
}

int CmdMenuList(int argc, char** argv)
{
    UiQueryRequest q = NewRequest(UIQ_MENU_LIST);
    if (argc < 3 || argc > 4 || (argc == 4 && !ParsePath(argv[3], q))) return 2;
    HWND top = NeedTop(argv[2]);
    if (!top) return 1;
    std::string reply;
    if (!Ask(top, q, reply)) return 1;
    return PrintItems(reply, nullptr, argc == 4 ? argv[3] : "");
}

// As the menu loop does: posted (the command may open a dialog of its own),
// and only for an item the user could choose.
int CmdCommand(const char* spec, const char* idText)
{
    long id;
    if (!ParseInt(idText, id) || id < 0 || id > 0xFFFF) return 2;
    HWND top = NeedTop(spec);
    if (!top) return 1;
    UiQueryRequest q = NewRequest(UIQ_MENU_BY_ID);
    q.id = static_cast<uint32_t>(id);
    std::string reply;
    if (!Ask(top, q, reply)) return 1;
    const std::vector<std::string> lines = Lines(reply);
    std::string error;
    if (IsError(lines, error)) {
        std::printf("%s=%ld\n", error.c_str(), id);
        return 1;
    }
    // The first item that is a command (an id may also name a popup).
    const std::string* item = &lines[0];
    for (const std::string& l : lines)
        if (Field(l, "popup") == "0") {
            item = &l;
            break;
        }
    if (Field(*item, "greyed") == "1") {
        std::printf("greyed=%ld path=%s\n", id, Field(*item, "path").c_str());
        return 1;
    }
    if (!PostMessageA(top, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0)) return 1;
    std::printf("posted=%ld\n", id);
    return 0;
}

// ---- Popup menus ------------------------------------------------------------------

namespace {

struct PopupScan {
    DWORD pid;  // 0: any process
    HWND found;
};

BOOL CALLBACK FindPopupProc(HWND h, LPARAM lp)
{
    PopupScan* s = reinterpret_cast<PopupScan*>(lp);
    if (!IsWindowVisible(h) || ClassOf(h) != "#32768") return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    s->found = h;
    return FALSE;
}

HWND WaitPopup(DWORD pid, double seconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PopupScan s = {pid, nullptr};
        EnumWindows(FindPopupProc, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        if (GetTickCount() - start >= seconds * 1000) return nullptr;
        Sleep(50);
    }
}

bool WaitGone(HWND h, double seconds)
{
    const DWORD start = GetTickCount();
    while (IsWindow(h) && IsWindowVisible(h)) {
        if (GetTickCount() - start >= seconds * 1000) return false;
        Sleep(50);
    }
    return true;
}

// The popup's items, asked of `asker` (a window of the popup's thread that
// answers menu queries); nothing when it does not.
void PrintPopupItems(HWND popup, HWND asker)
{
    DWORD_PTR menu = 0;
    if (!asker || !SendMessageTimeoutA(popup, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &menu) || !menu)
        return;
    UiQueryRequest q = NewRequest(UIQ_MENU_LIST);
    q.menu = static_cast<uint32_t>(menu);
    std::string reply;
    if (!Ask(asker, q, reply)) return;
    for (const std::string& l : Lines(reply))
        if (l.compare(0, 6, "error=") != 0) std::printf("%s\n", l.c_str());
}

// Escape ends a popup's menu loop, which takes keys from its thread's queue
// whatever window they are posted to; WM_CANCELMODE to its owner is the
// fallback.
bool ClosePopup(HWND popup, HWND owner)
{
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(popup, WM_KEYUP, VK_ESCAPE, 0);
    if (WaitGone(popup, 1.0)) return true;
    DWORD_PTR r = 0;
    if (owner) SendMessageTimeoutA(owner, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    return WaitGone(popup, 1.0);
}

// The status bar's part `index` in its client coordinates.
bool PaneRect(HWND bar, long index, RECT& r)
{
    RemoteBlock block(bar, sizeof r);
    DWORD_PTR ok = 0;
    return block.Ok() &&
           SendMessageTimeoutA(bar, SB_GETRECT, static_cast<WPARAM>(index), static_cast<LPARAM>(block.Address()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &ok) &&
           ok && block.Read(&r, sizeof r);
}

}  // namespace

// contextmenu TITLE CONTROL [X Y]: WM_CONTEXTMENU as a right click at a point
// of the control sends it (its client point, the centre by default), posted
// since the popup's loop keeps the handler running.
int CmdContextMenu(int argc, char** argv)
{
    if (argc != 4 && argc != 6) return 2;
    HWND top = NeedTop(argv[2]);
    if (!top) return 1;
    HWND target = nullptr;
    RECT area = {0, 0, 0, 0};
    const std::string spec = argv[3];
    if (spec.compare(0, 5, "pane:") == 0) {
        long index;
        target = FindChild(top, -1, "msctls_statusbar32");
        if (!ParseInt(spec.c_str() + 5, index) || index < 0) return 2;
        if (!target || !PaneRect(target, index, area)) {
            std::printf("nopane=%ld\n", index);
            return 1;
        }
    } else {
        target = FindControl(top, argv[3]);
        if (!target) {
            std::printf("nocontrol=%s\n", argv[3]);
            return 1;
        }
        GetClientRect(target, &area);
    }
    POINT pt = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    if (argc == 6) {
        pt.x = area.left + std::atoi(argv[4]);
        pt.y = area.top + std::atoi(argv[5]);
    }
    ClientToScreen(target, &pt);
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    if (!PostMessageA(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(pt.x, pt.y))) return 1;
    HWND popup = WaitPopup(pid, kPopupWaitSeconds);
    if (!popup) {
        std::printf("popup=0\n");
        return 0;
    }
    std::printf("popup=1\n");
    PrintPopupItems(popup, top);
    if (!ClosePopup(popup, top)) {
        std::printf("notclosed\n");
        return 1;
    }
    return 0;
}

// popup [SECONDS] | popup close: a visible menu window ("#32768") of any
// process, with its items when the owner answers menu queries.
int CmdPopup(int argc, char** argv)
{
    const bool close = argc > 2 && std::strcmp(argv[2], "close") == 0;
    HWND popup = WaitPopup(0, close ? 0 : Seconds(argc, argv, 2));
    if (!popup) {
        std::printf("popup=0\n");
        return close ? 0 : 1;
    }
    HWND owner = GetWindow(popup, GW_OWNER);
    if (close) {
        if (!ClosePopup(popup, owner)) {
            std::printf("notclosed\n");
            return 1;
        }
        std::printf("closed\n");
        return 0;
    }
    std::printf("popup=1\n");
    PrintPopupItems(popup, owner);
    return 0;
}

}  // namespace monui
