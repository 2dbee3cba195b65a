#pragma once
// Menu bubble help: a tracking tooltip shown beside the highlighted item of
// a window's menu, holding the item's command string (the text before its
// line break; the text after it is the tool bar's tip). The window creates
// it once it exists and hands it every WM_MENUSELECT while its help is on;
// a popup, a separator, an item that cannot be placed and the menu closing
// hide it. Windows build only.
#ifdef _WIN32

#include "framework/afx.h"

class CMenuHelpTip {
public:
    // The tip of `owner`, a balloon or a plain box. `title` heads every tip;
    // `missingHelp` is shown for an item without a command string.
    bool Create(CWnd* owner, bool balloon, const char* title = "", const char* missingHelp = "");
    // The tip window (null before Create).
    HWND GetSafeHwnd() const { return m_tip.GetSafeHwnd(); }

    // WM_MENUSELECT's item, flags and menu (no menu: the menu closed).
    void OnMenuSelect(UINT itemId, UINT flags, HMENU menu);

private:
    TOOLINFOA ToolInfo() const;
    // The item's screen rectangle; false when the menu has no such item.
    bool FindItemRect(UINT itemId, HMENU menu, RECT& item) const;

    CWnd* m_owner = nullptr;
    const char* m_missingHelp = "";
    CToolTipCtrl m_tip;
};

#endif  // _WIN32
