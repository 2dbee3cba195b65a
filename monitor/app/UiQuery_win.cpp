// The window's side of the UI driver's menu queries (see UiQuery.h).
#include "app/UiQuery.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

const UINT_PTR kSubclassId = 0x4D55;  // one per window, whoever installs it
const UINT kReplyTimeoutMs = 2000;
const int kMaxItemText = 256;
const int kMaxMenuItems = 512;  // more than any menu of ours; a bound on a foreign handle

std::string PathText(const int* path, int depth)
{
    std::string s;
    for (int i = 0; i < depth; ++i) s += (i ? "/" : "") + std::to_string(path[i]);
    return s;
}

// One item as a reply line; false when the position holds none.
bool DescribeItem(HMENU menu, int position, const int* path, int depth, std::string& out)
{
    char text[kMaxItemText] = "";
    MENUITEMINFOA mii;
    ZeroMemory(&mii, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii)) return false;
    text[sizeof text - 1] = '\0';
    std::string shown;
    for (const char* c = text; *c; ++c) shown += *c == '\t' ? std::string("\\t") : std::string(1, *c);
    // A separator has no command, check or state of its own (Wine reports
    // it greyed).
    const bool separator = (mii.fType & MFT_SEPARATOR) != 0;
    if (separator) mii.fState = 0;
    char line[96];
    std::snprintf(line, sizeof line, " id=%u checked=%d greyed=%d separator=%d popup=%d text=",
                  separator ? 0u : static_cast<unsigned>(mii.wID), (mii.fState & MFS_CHECKED) ? 1 : 0,
                  (mii.fState & MFS_GRAYED) ? 1 : 0, separator ? 1 : 0, mii.hSubMenu ? 1 : 0);
    out += "path=" + PathText(path, depth) + line + (separator ? std::string() : shown) + "\n";
    return true;
}

int ItemCount(HMENU menu)
{
    const int n = GetMenuItemCount(menu);
    return n < 0 ? 0 : (n > kMaxMenuItems ? kMaxMenuItems : n);
}

// The menu at `path` (depth 0: `root` itself); null when a step is no popup.
HMENU MenuAt(HMENU root, const int* path, int depth)
{
    HMENU menu = root;
    for (int i = 0; i < depth && menu; ++i) {
        if (path[i] < 0 || path[i] >= ItemCount(menu)) return nullptr;
        menu = GetSubMenu(menu, path[i]);
    }
    return menu;
}

void FindById(HMENU menu, UINT id, int* path, int depth, std::string& out)
{
    if (depth >= kUiQueryMaxDepth) return;
    const int n = ItemCount(menu);
    for (int i = 0; i < n; ++i) {
        path[depth] = i;
        MENUITEMINFOA mii;
        ZeroMemory(&mii, sizeof mii);
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
        if (!(mii.fType & MFT_SEPARATOR) && mii.wID == id) DescribeItem(menu, i, path, depth + 1, out);
        if (mii.hSubMenu) FindById(mii.hSubMenu, id, path, depth + 1, out);
    }
}

std::string Answer(HWND window, const UiQueryRequest& q)
{
    if (q.magic != kUiQueryMagic || q.depth > static_cast<uint32_t>(kUiQueryMaxDepth)) return "error=badrequest\n";
    int path[kUiQueryMaxDepth] = {0};
    const int depth = static_cast<int>(q.depth);
    for (int i = 0; i < depth; ++i) {
        if (q.path[i] < 0 || q.path[i] > kUiQueryMaxPosition) return "error=badrequest\n";
        path[i] = q.path[i];
    }
    // A foreign handle is taken only when it names a menu.
    HMENU root = q.menu ? reinterpret_cast<HMENU>(static_cast<intptr_t>(static_cast<int32_t>(q.menu)))
                        : GetMenu(window);
    if (!root || !IsMenu(root)) return "error=nomenu\n";
    std::string out;
    switch (q.kind) {
    case UIQ_MENU_BY_ID: {
        int walk[kUiQueryMaxDepth] = {0};
        FindById(root, q.id, walk, 0, out);
        return out.empty() ? "error=absent\n" : out;
    }
    case UIQ_MENU_BY_PATH: {
        HMENU parent = depth > 0 ? MenuAt(root, path, depth - 1) : nullptr;
        if (!parent || path[depth - 1] >= ItemCount(parent) ||
            !DescribeItem(parent, path[depth - 1], path, depth, out))
            return "error=badpath\n";
        return out;
    }
    case UIQ_MENU_LIST: {
        HMENU menu = MenuAt(root, path, depth);
        if (!menu) return "error=badpath\n";
        int item[kUiQueryMaxDepth + 1] = {0};
        for (int i = 0; i < depth; ++i) item[i] = path[i];
        const int n = ItemCount(menu);
        for (int i = 0; i < n; ++i) {
            item[depth] = i;
            DescribeItem(menu, i, item, depth + 1, out);
        }
        return out;
    }
    default: return "error=badrequest\n";
    }
}

LRESULT CALLBACK QuerySubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_COPYDATA && lp) {
        const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        HWND asker = reinterpret_cast<HWND>(wp);
        if (cds->dwData == kUiQueryTag && cds->cbData == sizeof(UiQueryRequest) && cds->lpData &&
            IsWindow(asker)) {
            UiQueryRequest q;
            CopyMemory(&q, cds->lpData, sizeof q);
            const std::string reply = Answer(window, q);
            COPYDATASTRUCT back = {kUiQueryTag, static_cast<DWORD>(reply.size() + 1),
                                   const_cast<char*>(reply.c_str())};
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                                reinterpret_cast<LPARAM>(&back), SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
            return TRUE;
        }
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, QuerySubclassProc, kSubclassId);
    return DefSubclassProc(window, msg, wp, lp);
}

}  // namespace

bool InstallUiQuery(HWND window)
{
    return window && SetWindowSubclass(window, QuerySubclassProc, kSubclassId, 0);
}
