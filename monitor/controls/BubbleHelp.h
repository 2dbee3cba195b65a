// Bubble help for the controls of a page (a tab page, a property page): a
// tooltip made on first use, tools on the controls' windows, and the relay
// of mouse moves that the page's PreTranslateMessage hands it. Windows build
// only.
//
// Tool windows have the same help built into CDialogView; pages are not
// views, so they share this one.
#pragma once

#ifdef _WIN32

#include "framework/CControls.h"

class IDialogViewHost;

class CBubbleHelp {
public:
    // The tooltip's timing when a page adds help without making it first.
    static const int kInitialDelayMs = 600;
    static const int kShownMs = 30000;

    ~CBubbleHelp();

    // Makes the tooltip for pOwner: reshow 50 ms, at most 200 pixels wide,
    // navy text, drawn as a balloon when the main window's balloon-tips
    // setting is on (or there is no main window).
    BOOL Create(CWnd* pOwner, IDialogViewHost* pMainWnd, int nInitialDelayMs, int nShownMs);
    // A tool on pOwner's control; the tooltip is made on first use.
    void Add(CWnd* pOwner, IDialogViewHost* pMainWnd, UINT nIDControl, LPCTSTR lpszText);
    // For WM_MOUSEMOVE, when the tooltip exists and the main window's
    // "OptsWndBubbleHelp" is on (or there is no main window): hands the move
    // to the tooltip as if the child of pOwner under the cursor had it.
    // True when it relayed.
    bool Relay(CWnd* pOwner, IDialogViewHost* pMainWnd, const MSG* pMsg);

    CToolTipCtrl& GetToolTip() { return m_toolTip; }

private:
    CToolTipCtrl m_toolTip;
};

#endif  // _WIN32
