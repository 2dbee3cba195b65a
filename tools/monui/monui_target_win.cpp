// monui_target: a window with one control of each kind monui drives, for
// checking monui itself under Wine (tools/monui/check-monui.sh). Every
// notification its window gets, and the control's state then, is printed on
// stdout, one line each:
//   command ID CODE [TEXT|CHECK|SELECTION]   WM_COMMAND (menu commands: code 0)
//   datetime ID YYYY-MM-DD HH:MM:SS AGREES    DTN_DATETIMECHANGE; AGREES is 1
//                                             when the notification's time is
//                                             the picker's own
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

enum : int {
    ID_EDIT = 101,
    ID_BUTTON = 102,
    ID_LIST = 103,
    ID_CHECK = 104,
    ID_PICKER = 105,
    ID_PROGRESS = 106,
    ID_MULTILINE = 107,
    ID_MENU_COMMAND = 32964,
};
const int kProgressHigh = 1000, kProgressPos = 250;

void PrintTime(const SYSTEMTIME& st, char* out, size_t n)
{
    std::snprintf(out, n, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                  st.wSecond);
}

void OnCommand(HWND wnd, int id, int code)
{
    HWND c = GetDlgItem(wnd, id);
    char text[256] = "";
    switch (id) {
    case ID_EDIT:
    case ID_MULTILINE: GetWindowTextA(c, text, sizeof text); break;
    case ID_CHECK: std::snprintf(text, sizeof text, "%d", static_cast<int>(SendMessageA(c, BM_GETCHECK, 0, 0))); break;
    case ID_LIST: {
        LRESULT sel = SendMessageA(c, LB_GETCURSEL, 0, 0);
        if (sel >= 0 && SendMessageA(c, LB_GETTEXTLEN, sel, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(c, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text));
        break;
    }
    default: break;
    }
    std::printf("command %d %d%s%s\n", id, code, *text ? " " : "", text);
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: OnCommand(wnd, LOWORD(wp), HIWORD(wp)); return 0;
    case WM_NOTIFY: {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
        if (h->code != static_cast<UINT>(DTN_DATETIMECHANGE)) break;
        const NMDATETIMECHANGE* change = reinterpret_cast<const NMDATETIMECHANGE*>(lp);
        SYSTEMTIME own;
        SendMessageA(h->hwndFrom, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&own));
        char told[32], held[32];
        PrintTime(change->st, told, sizeof told);
        PrintTime(own, held, sizeof held);
        std::printf("datetime %d %s %d\n", static_cast<int>(h->idFrom), told, std::strcmp(told, held) == 0 ? 1 : 0);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int y, int h = 24)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 300, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "MonuiTarget";
    RegisterClassA(&wc);
    HMENU menu = CreateMenu(), tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, ID_MENU_COMMAND, "Data &Converter...");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
    HWND wnd = CreateWindowExA(0, "MonuiTarget", "monui target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 360, 380,
                               nullptr, menu, wc.hInstance, nullptr);
    Child(wnd, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL, ID_EDIT, 10);
    Child(wnd, "BUTTON", "Go", BS_PUSHBUTTON, ID_BUTTON, 40);
    HWND list = Child(wnd, "LISTBOX", "", WS_BORDER | LBS_NOTIFY | LBS_HASSTRINGS, ID_LIST, 70, 80);
    for (const char* item : {"COM5", "COM6", "COM12", "Playback"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Child(wnd, "BUTTON", "Both queries", BS_AUTOCHECKBOX, ID_CHECK, 160);
    Child(wnd, DATETIMEPICK_CLASSA, "", DTS_SHORTDATEFORMAT, ID_PICKER, 190);
    HWND bar = Child(wnd, PROGRESS_CLASSA, "", 0, ID_PROGRESS, 220, 20);
    SendMessageA(bar, PBM_SETRANGE32, 0, kProgressHigh);
    SendMessageA(bar, PBM_SETPOS, kProgressPos, 0);
    Child(wnd, "EDIT", "", WS_BORDER | ES_MULTILINE, ID_MULTILINE, 250, 40);
    std::printf("ready\n");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
