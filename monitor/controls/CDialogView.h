// CDialogView: the base of every tool window of the monitor. Windows build
// only.
//
// A view is a modeless dialog that a window of the monitor creates and then
// forgets. It finds the main window it belongs to, listens there for
// receiver events (WM_RECEIVER_EVENT -> OnModelUpdate), takes the main
// window's icon, centres itself on it, lays its controls out again when the
// user resizes it (controls/DialogLayout.h), shows bubble help on its
// controls, and deletes itself when its window is gone, clearing the owner's
// pointer to it so the owner's next launch makes a new one.
#pragma once

#ifdef _WIN32

#include <type_traits>
#include <utility>

#include "controls/DialogLayout.h"
#include "framework/CControls.h"
#include "framework/CDialog.h"
#include "model/ReceiverEvent.h"

class CController;

// Asks the view to exchange its data: wParam is UpdateData's direction.
enum : UINT { WM_VIEW_UPDATEDATA = WM_USER + 101 };

// What a view needs of the main window it belongs to; the main window
// implements it.
class IDialogViewHost {
public:
    virtual ~IDialogViewHost() {}
    // The window views centre on and take their icon from.
    virtual CWnd* GetViewHostWnd() = 0;
    // The link whose receiver events the views listen to; null for none.
    virtual CController* GetViewController() = 0;
    // The user's setting for bubble help on the tool windows ("OptsWndBubbleHelp").
    virtual bool IsWindowBubbleHelpOn() = 0;
    // Whether tooltips are drawn as balloons (the shell's setting).
    virtual bool IsBalloonTipsOn() = 0;
};

// A window that is not the main window but hands the views it opens on to
// the main window it keeps (the converter dialog).
class IDialogViewHostSource {
public:
    virtual ~IDialogViewHostSource() {}
    virtual IDialogViewHost* GetDialogViewHost() = 0;
};

// The shell's "EnableBalloonTips" under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced: on
// unless the value is there and 0.
bool IsShellBalloonTipsOn();

// A control and its bubble help, a row of a view's table of them.
struct BubbleHelpText {
    UINT id;
    const char* text;
};

class CDialogView : public CDialog {
    DECLARE_DYNAMIC(CDialogView)

public:
    // Finds the main window from the parent: the parent itself when it is a
    // view host, the host a host source hands out, else none (such a view
    // gets no icon and no receiver events).
    CDialogView(UINT nIDTemplate, CWnd* pParentWnd);
    ~CDialogView() override;

    // Creates the modeless window from a template resource and shows it
    // when a slot is given and bShow is set. The slot is the owner's
    // pointer to this view: it is cleared when the window is destroyed, and
    // the view deletes itself then. When creation fails, "Failed to create
    // a window!" is shown and FALSE returned; with a slot the slot is
    // cleared and the object deleted, so the caller must not use it again.
    template <class T>
    BOOL CreateView(UINT nIDTemplate, CWnd* pParentWnd, T** ppOwnerSlot, bool bShow)
    {
        static_assert(std::is_base_of<CDialogView, T>::value, "the slot must hold a view");
        return CreateViewCommon(nIDTemplate, nullptr, pParentWnd, ppOwnerSlot, &ClearSlot<T>, bShow);
    }
    BOOL CreateView(UINT nIDTemplate, CWnd* pParentWnd)
    {
        return CreateViewCommon(nIDTemplate, nullptr, pParentWnd, nullptr, nullptr, false);
    }
    // The same from a template in memory.
    template <class T>
    BOOL CreateViewIndirect(LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd, T** ppOwnerSlot, bool bShow)
    {
        static_assert(std::is_base_of<CDialogView, T>::value, "the slot must hold a view");
        return CreateViewCommon(0, lpTemplate, pParentWnd, ppOwnerSlot, &ClearSlot<T>, bShow);
    }

    // The owners' launch pattern: an open view gets the focus; otherwise a
    // new T(args...) is made, stored in the slot and created from its
    // template with the parent. False (and the slot null) when that fails.
    template <class T, class... Args>
    static bool LaunchView(T*& slot, UINT nIDTemplate, CWnd* pParentWnd, Args&&... args)
    {
        if (slot != nullptr) {
            if (slot->GetSafeHwnd() != nullptr) slot->SetFocus();
            return true;
        }
        slot = new T(std::forward<Args>(args)...);
        return slot->CreateView(nIDTemplate, pParentWnd, &slot, true) != FALSE;
    }

    // Stops listening and closes: a view made with a slot destroys its
    // window (and so itself); one used as a modal dialog ends with IDCANCEL.
    void CloseView();

    // Receiver events, on the GUI thread, once per posted event: the code
    // and (link id << 16) | detail. Views override it; the result is the
    // message's result.
    virtual LRESULT OnModelUpdate(WPARAM event, LPARAM param);

    // Bubble help for a control; the tooltip is made on first use and
    // nothing is added when it cannot be.
    void AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText);
    template <size_t N>
    void AddBubbleHelp(const BubbleHelpText (&table)[N])
    {
        for (const BubbleHelpText& row : table) AddBubbleHelp(row.id, row.text);
    }
    BOOL CreateBubbleHelp(int nInitialDelayMs, int nShownMs, bool bBalloon);

    // A layout rule for a control, by the kind used when the window's left,
    // right, top or bottom edge moves (ResizeKind). Options: bit 0 keeps the
    // control out of the background erase, bit 1 repaints it after a move.
    // Callers pass -1.0 for the values their kinds do not use. A second
    // rule for the same control replaces the first.
    void AddResizeRule(UINT nIDControl, int leftKind, int rightKind, int topKind, int bottomKind,
                       int options = 0, double h1 = -1.0, double h2 = -1.0, double v1 = -1.0,
                       double v2 = -1.0);

    IDialogViewHost* GetMainWnd() const { return m_pMainWnd; }
    const CDialogLayout& GetLayout() const { return m_layout; }
    CSize GetInitialWindowSize() const { return CSize(m_nInitialWidth, m_nInitialHeight); }
    CToolTipCtrl& GetToolTip() { return m_toolTip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    // Enter: closes only when the data is valid (the failed check has
    // already shown its message).
    void OnOK() override;
    // Escape does not close a view.
    void OnCancel() override;

protected:
    void PostNcDestroy() override;

    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnViewUpdateData(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSizingEdge(WPARAM wParam, LPARAM lParam);
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Mouse moves go to the tooltip for the view itself, not for the child
    // under the cursor.
    bool m_bNoRetarget;
    // Another window this view owns; destroyed with the view.
    CWnd* m_pExtraWnd;

private:
    typedef void (*SlotClearer)(void* slot);
    template <class T>
    static void ClearSlot(void* slot)
    {
        *static_cast<T**>(slot) = nullptr;
    }
    BOOL CreateViewCommon(UINT nIDTemplate, LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd, void* pSlot,
                          SlotClearer clear, bool bShow);
    void ClearOwnerSlot();
    CController* GetController() const;

    IDialogViewHost* m_pMainWnd;
    void* m_pOwnerSlot;
    SlotClearer m_pfnClearSlot;
    CToolTipCtrl m_toolTip;
    CDialogLayout m_layout;
    int m_nInitialWidth;
    int m_nInitialHeight;
    bool m_bCreating;  // inside CreateView: a lost window must not delete the object yet
};

#endif  // _WIN32
