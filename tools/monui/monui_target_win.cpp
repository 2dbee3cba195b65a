// monui_target: a window with one control of each kind monui drives, for
// checking monui itself under Wine (tools/monui/check-monui.sh). It answers
// monui's menu queries with the program's own code (app/UiQuery.h). Every
// notification its window gets, and the control's state then, is printed on
// stdout, one line each:
//   command ID CODE [TEXT|CHECK|SELECTION]   WM_COMMAND (menu commands: code 0)
//   datetime ID YYYY-MM-DD HH:MM:SS AGREES    DTN_DATETIMECHANGE; AGREES is 1
//                                             when the notification's time is
//                                             the picker's own
//   tab ID CHANGING|CHANGE SELECTED           TCN_SELCHANGING, TCN_SELCHANGE
//   scroll ID CODE POS                        WM_HSCROLL from the trackbar
//   contextmenu ID CHOSEN                     WM_CONTEXTMENU over the group box
//                                             (ID: the window it names), after
//                                             its popup closed; CHOSEN 0: none
//   balloon click                             a click on the round window
// Beside it: two windows "monui twin" and a round popup "monui balloon".
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/UiQuery.h"

namespace {

enum : int {
    ID_EDIT = 101,
    ID_BUTTON = 102,
    ID_LIST = 103,
    ID_CHECK = 104,
    ID_PICKER = 105,
    ID_PROGRESS = 106,
    ID_MULTILINE = 107,
    ID_TAB = 108,
    ID_TRACKBAR = 109,
    ID_RICHEDIT = 110,
    ID_GROUP = 111,
    ID_NO_MENU_LABEL = 112,
    ID_MENU_COMMAND = 32964,
    ID_MENU_CHECKED = 32965,
    ID_MENU_GREYED = 32966,
    ID_MENU_INNER = 32967,
    ID_POPUP_FIRST = 32970,
    ID_POPUP_SECOND = 32971,
};
const int kProgressHigh = 1000, kProgressPos = 250;
const int kTrackLow = 1, kTrackHigh = 1000, kTrackPos = 100;
// The round window's place on the screen and its size.
const int kBalloonX = 700, kBalloonY = 100, kBalloonW = 200, kBalloonH = 100;

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

// A right click over the group box opens a popup; over anything else none.
void OnContextMenu(HWND wnd, HWND over, LPARAM lp)
{
    if (GetDlgCtrlID(over) != ID_GROUP) return;
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, ID_POPUP_FIRST, "&Copy");
    AppendMenuA(popup, MF_STRING | MF_CHECKED, ID_POPUP_SECOND, "&Format");
    const int chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN, static_cast<short>(LOWORD(lp)),
                                      static_cast<short>(HIWORD(lp)), 0, wnd, nullptr);
    DestroyMenu(popup);
    std::printf("contextmenu %d %d\n", GetDlgCtrlID(over), chosen);
}

void OnTabNotify(const NMHDR* h)
{
    const int selected = static_cast<int>(SendMessageA(h->hwndFrom, TCM_GETCURSEL, 0, 0));
    std::printf("tab %d %s %d\n", static_cast<int>(h->idFrom),
                h->code == static_cast<UINT>(TCN_SELCHANGE) ? "CHANGE" : "CHANGING", selected);
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: OnCommand(wnd, LOWORD(wp), HIWORD(wp)); return 0;
    case WM_CONTEXTMENU: OnContextMenu(wnd, reinterpret_cast<HWND>(wp), lp); return 0;
    case WM_HSCROLL:
        std::printf("scroll %d %d %d\n", GetDlgCtrlID(reinterpret_cast<HWND>(lp)), LOWORD(wp),
                    static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lp), TBM_GETPOS, 0, 0)));
        return 0;
    case WM_NOTIFY: {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
        if (h->code == static_cast<UINT>(TCN_SELCHANGE) || h->code == static_cast<UINT>(TCN_SELCHANGING)) {
            OnTabNotify(h);
            return FALSE;  // the change may go ahead
        }
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
    case WM_DESTROY:
        if (GetMenu(wnd)) PostQuitMessage(0);  // the main window, not a twin
        return 0;
    default: break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK BalloonProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_LBUTTONDOWN) std::printf("balloon click\n");
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int id, int y, int h = 24)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 300, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HMENU BuildMenu()
{
    HMENU menu = CreateMenu(), tools = CreatePopupMenu(), more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, ID_MENU_INNER, "&Inner\tCtrl+I");
    AppendMenuA(tools, MF_STRING, ID_MENU_COMMAND, "Data &Converter...");
    AppendMenuA(tools, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(tools, MF_STRING | MF_CHECKED, ID_MENU_CHECKED, "&Always on Top");
    AppendMenuA(tools, MF_STRING | MF_GRAYED, ID_MENU_GREYED, "&Reset");
    AppendMenuA(tools, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
    return menu;
}

// The controls monui's newer verbs drive, below the first ones.
void AddMoreControls(HWND wnd)
{
    HWND tab = Child(wnd, WC_TABCONTROLA, "", 0, ID_TAB, 300, 30);
    const char* names[] = {"General", "Auto-Query", "Custom Products"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA item;
        std::memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    HWND track = Child(wnd, TRACKBAR_CLASSA, "", 0, ID_TRACKBAR, 340, 30);
    SendMessageA(track, TBM_SETRANGEMIN, FALSE, kTrackLow);
    SendMessageA(track, TBM_SETRANGEMAX, TRUE, kTrackHigh);
    SendMessageA(track, TBM_SETPOS, TRUE, kTrackPos);
    if (LoadLibraryA("riched20.dll"))
        Child(wnd, "RichEdit20A", "first\r\nsecond line\r\nthird", ES_MULTILINE | WS_BORDER, ID_RICHEDIT, 380, 60);
    Child(wnd, "BUTTON", "Time", BS_GROUPBOX, ID_GROUP, 450, 60);
    Child(wnd, "STATIC", "DOPs", 0, ID_NO_MENU_LABEL, 520, 20);
}

void AddOtherWindows(HINSTANCE instance)
{
    for (int i = 0; i < 2; ++i)
        CreateWindowExA(0, "MonuiTarget", "monui twin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 450 + 30 * i, 400 + 30 * i,
                        200, 120, nullptr, nullptr, instance, nullptr);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = BalloonProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    wc.lpszClassName = "MonuiBalloon";
    RegisterClassA(&wc);
    HWND balloon = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MonuiBalloon", "monui balloon", WS_POPUP,
                                   kBalloonX, kBalloonY, kBalloonW, kBalloonH, nullptr, nullptr, instance, nullptr);
    SetWindowRgn(balloon, CreateEllipticRgn(0, 0, kBalloonW, kBalloonH), FALSE);
    ShowWindow(balloon, SW_SHOWNOACTIVATE);
}

}  // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "MonuiTarget";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "MonuiTarget", "monui target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 360, 620,
                               nullptr, BuildMenu(), wc.hInstance, nullptr);
    InstallUiQuery(wnd);
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
    AddMoreControls(wnd);
    AddOtherWindows(wc.hInstance);
    std::printf("ready\n");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
