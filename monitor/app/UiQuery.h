#pragma once
// What a window tells the UI driver of the end-to-end runs (tools/monui) about
// its menus. A process cannot read another's menus (Wine refuses it), so the
// driver asks the window itself: it sends WM_COPYDATA with `kUiQueryTag` and
// one `UiQueryRequest`, wParam naming its own window; the window answers with
// WM_COPYDATA, the same tag and the reply text, to that window.
//
// No pointer crosses the processes: the request is a fixed block of numbers
// the window checks one by one, the reply is text the system copies.
//
// Reply: one line per menu item, "\n" after each:
//   path=2/15 id=32936 checked=0 greyed=0 separator=0 popup=0 text=&Diagnostics...
// (path: positions from the menu bar down; a tab in the text is written "\t"),
// or a single "error=WHAT" line: nomenu, absent, badpath, badrequest.
#include <cstdint>

const uint32_t kUiQueryTag = 0x5149554Du;    // "MUIQ"
const uint32_t kUiQueryMagic = 0x31515549u;  // "IUQ1": the layout below
const int kUiQueryMaxDepth = 4;
const int kUiQueryMaxPosition = 255;

enum UiQueryKind : uint32_t {
    UIQ_MENU_BY_ID = 1,    // every item with `id`, depth first
    UIQ_MENU_BY_PATH = 2,  // the item at `path`
    UIQ_MENU_LIST = 3,     // every item of the menu at `path` (depth 0: the bar)
};

struct UiQueryRequest {
    uint32_t magic;
    uint32_t kind;   // a UiQueryKind
    uint32_t id;     // UIQ_MENU_BY_ID
    uint32_t depth;  // positions used in `path`
    int32_t path[kUiQueryMaxDepth];
    // A popup menu of the window's process (from MN_GETHMENU on its menu
    // window) instead of the window's own menu; 0: the window's menu.
    uint32_t menu;
};

#ifdef _WIN32
#include <windows.h>
// Lets `window` answer the driver's queries (a subclass of its own).
bool InstallUiQuery(HWND window);
#endif
