// CWnd: a window object bound to a Win32 window, dispatching its messages
// through message maps (framework/CCmdTarget.h). Windows build only.
//
// So far it serves hidden windows that exist to receive timers and posted
// messages. CreateEx with no class name uses one window class registered by
// the layer, whose window procedure routes every message to the owning
// CWnd's WindowProc. Creating with another class subclasses the new window
// so its messages reach the maps as well.
//
// A window belongs to the thread that created it: its timers and sent
// messages are delivered while that thread pumps messages. PostMessage and
// SendMessage may be called from any thread.
#pragma once

#ifdef _WIN32

#include "framework/WinTypes.h"

#include <commctrl.h>  // after <windows.h>, which it needs

#include "framework/CCmdTarget.h"
#include "framework/CGdi.h"
#include "framework/CRect.h"
#include "framework/CString.h"

class CWnd;
class CDataExchange;

// The state of one command's user-interface element (a dialog control, a
// tool-bar button) asked for with CN_UPDATE_COMMAND_UI.
class CCmdUI {
public:
  virtual ~CCmdUI() {}
  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);
  virtual void SetText(LPCTSTR lpszText);
  // Asks pTarget; with no handler and bDisableIfNoHndler the element is
  // disabled. True when a handler answered.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CWnd* m_pOther = nullptr;  // the control, for dialog controls
  BOOL m_bEnableChanged = FALSE;
};

// Parameters of the packed messages, handed to the map thunks.
struct AFX_NOTIFY {
  NMHDR* pNMHDR;
  LRESULT* pResult;
};
struct AFX_CTLCOLOR {
  HWND hWnd;
  HDC hDC;
  UINT nCtlType;  // CTLCOLOR_*
};
// The one map key of the seven WM_CTLCOLOR* messages.
const UINT AFX_WM_CTLCOLOR = 0x0019;

// RepositionBars modes.
enum { reposDefault = 0, reposQuery = 1, reposExtra = 2 };

// A window object's identity for the control bars: the ids of the bars a
// frame or dialog lays out around its controls.
const UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
const UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
const UINT AFX_IDW_TOOLBAR = 0xE800;
const UINT AFX_IDW_STATUS_BAR = 0xE801;
const UINT AFX_IDW_PANE_FIRST = 0xE900;

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

public:
  CWnd();
  // Destroys a window that is still alive (call DestroyWindow first from the
  // owning thread; destruction from another thread is refused by Windows).
  ~CWnd() override;

  // Creates the window. With lpszClassName nullptr or "" the layer's own
  // class is used. A WS_CHILD window without a parent cannot be a real top-
  // level window; if Windows refuses one it is made a message-only window
  // (parent HWND_MESSAGE) instead, which keeps timers and posted messages.
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                        HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // A child window of a registered class (or the layer's own with nullptr).
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                      const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

  // Binds an existing control of this dialog to pWnd's object and routes
  // its messages through that object's map (PreSubclassWindow is called
  // first). False when there is no such control or it is already bound.
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  BOOL SubclassWindow(HWND hWnd);
  HWND UnsubclassWindow();
  // True when the window was made message-only (see CreateEx).
  bool IsMessageOnly() const { return m_bMessageOnly; }

  // The CWnd bound to hWnd. For a window no CWnd owns, a temporary wrapper is
  // made that lives until DeleteTempMap() on this thread (or the thread's end).
  static CWnd* FromHandle(HWND hWnd);
  // The CWnd bound to hWnd, or nullptr.
  static CWnd* FromHandlePermanent(HWND hWnd);
  static void DeleteTempMap();
  BOOL Attach(HWND hWndNew);
  HWND Detach();

  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse,
                    void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD) = nullptr);
  BOOL KillTimer(UINT_PTR nIDEvent);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // The usual window calls, as thin wrappers.
  CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID)); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent ? pWndNewParent->m_hWnd : nullptr)); }
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd != nullptr ? pOwnerWnd->m_hWnd : nullptr; }
  CWnd* GetTopLevelParent() const;
  CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious));
  }
  void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount); }
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
  void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
  UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
  }
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
  }
  CFont* GetFont() const { return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0))); }

  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
  }
  void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint);
  }
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgn = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgn, flags);
  }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
  void ScreenToClient(LPRECT r) const;
  void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
  void ClientToScreen(LPRECT r) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT r) const {
    ::MapWindowPoints(m_hWnd, pwndTo ? pwndTo->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(r), 2);
  }
  // The child containing pt (client coordinates), this window when none
  // does, nullptr outside it.
  CWnd* ChildWindowFromPoint(POINT pt) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, pt)); }
  CWnd* ChildWindowFromPoint(POINT pt, UINT nFlags) const { return FromHandle(::ChildWindowFromPointEx(m_hWnd, pt, nFlags)); }
  static CWnd* WindowFromPoint(POINT pt) { return FromHandle(::WindowFromPoint(pt)); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName) {
    return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
  }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
  }
  class CMenu* GetMenu() const;
  BOOL SetMenu(class CMenu* pMenu);
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  class CMenu* GetSystemMenu(BOOL bRevert) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* p) { return ::SetWindowPlacement(m_hWnd, p); }
  BOOL GetWindowPlacement(WINDOWPLACEMENT* p) const { return ::GetWindowPlacement(m_hWnd, p); }
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

  // Dialog data: fills the controls (FALSE) or reads and checks them
  // (TRUE) through DoDataExchange. A failed check shows its message, puts
  // the focus on the control and returns FALSE.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Lays out the control bars with ids nIDFirst..nIDLast along the client
  // area (top-aligned bars from the top, bottom-aligned from the bottom).
  // reposQuery only computes: lpRectParam receives the area left over.
  // Otherwise the bars are moved and the window nIDLeftOver (when it
  // exists) fills the rest.
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr,
                      BOOL bStretch = TRUE);
  // Asks pTarget, for every child control, whether its command is enabled
  // (ON_UPDATE_COMMAND_UI); with no handler and bDisableIfNoHndler a push
  // button is disabled.
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

  // The message pump calls it for every message of this window or its
  // children before dispatching; TRUE means the message was used up.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Walks from hWnd up to (and including) hWndStop asking each bound window.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  // Called for a parent's notification aimed at this control, before the
  // parent handles it; TRUE means the control used it up.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Sends the message being handled to the control hWndChild (reflection).
  static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);

  HWND m_hWnd;

protected:
  // Called before a window is bound by SubclassWindow/SubclassDlgItem or
  // created, with m_hWnd already set.
  virtual void PreSubclassWindow() {}
  virtual void DoDataExchange(CDataExchange* pDX) {}
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Defaults of the ON_WM_* handlers: the window's default processing.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, class CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, class CScrollBar* pScrollBar);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnNcDestroy();
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);

  HWND m_hWndOwner = nullptr;  // the owner that control bars forward to

protected:
  // Every message of the window arrives here. The default looks the message
  // up in the maps and falls back to DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Dispatches through the maps; false when no handler is mapped.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default handling of the message being dispatched now.
  LRESULT Default();
  // Called after the window is gone (WM_NCDESTROY); the CWnd is unbound.
  // Override to delete objects that own themselves.
  virtual void PostNcDestroy();

  afx_msg void OnTimer(UINT_PTR nIDEvent);

  DECLARE_MESSAGE_MAP()

private:
  friend struct CWndAccess;  // the window procedure's side of the binding

  WNDPROC m_pfnSuper = nullptr;  // the class's own procedure when subclassed
  bool m_bMessageOnly = false;
};

// ---- Message-map entries for windows -------------------------------------
// Each names the handler through ThisClass, so a handler of the wrong
// signature does not compile; a class that maps a message without declaring
// the handler gets CWnd's default one.

#define AFX_ENTRY(msg, code, id, lastId, sig, ...)                                 \
  {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id),          \
   static_cast<UINT>(lastId), sig,                                                  \
   [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT {               \
     ThisClass* pThis = static_cast<ThisClass*>(pTarget);                           \
     (void)pThis, (void)wParam, (void)lParam;                                       \
     __VA_ARGS__                                                                    \
   }},

#define AFX_VOID_CALL(call) \
  call;                     \
  return 0;

#define ON_WM_CREATE()                                                                   \
  AFX_ENTRY(WM_CREATE, 0, 0, 0, AfxSig_plain, {                                          \
    int (ThisClass::*pfn)(LPCREATESTRUCT) = &ThisClass::OnCreate;                        \
    return (pThis->*pfn)(reinterpret_cast<LPCREATESTRUCT>(lParam));                      \
  })
#define AFX_ON_VOID(msg, name)                                                     \
  AFX_ENTRY(msg, 0, 0, 0, AfxSig_plain, {                                          \
    void (ThisClass::*pfn)() = &ThisClass::name;                                   \
    AFX_VOID_CALL((pThis->*pfn)())                                                 \
  })
#define ON_WM_DESTROY() AFX_ON_VOID(WM_DESTROY, OnDestroy)
#define ON_WM_CLOSE() AFX_ON_VOID(WM_CLOSE, OnClose)
#define ON_WM_PAINT() AFX_ON_VOID(WM_PAINT, OnPaint)
#define ON_WM_NCDESTROY() AFX_ON_VOID(WM_NCDESTROY, OnNcDestroy)
#define ON_WM_SIZE()                                                                        \
  AFX_ENTRY(WM_SIZE, 0, 0, 0, AfxSig_plain, {                                               \
    void (ThisClass::*pfn)(UINT, int, int) = &ThisClass::OnSize;                            \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                                static_cast<short>(HIWORD(lParam))))                        \
  })
#define ON_WM_MOVE()                                                                        \
  AFX_ENTRY(WM_MOVE, 0, 0, 0, AfxSig_plain, {                                               \
    void (ThisClass::*pfn)(int, int) = &ThisClass::OnMove;                                  \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))) \
  })
#define ON_WM_ERASEBKGND()                                                                  \
  AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, AfxSig_plain, {                                         \
    BOOL (ThisClass::*pfn)(CDC*) = &ThisClass::OnEraseBkgnd;                                \
    return (pThis->*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));                  \
  })
// The seven WM_CTLCOLOR* messages arrive here with their CTLCOLOR_* kind.
#define ON_WM_CTLCOLOR()                                                                    \
  AFX_ENTRY(AFX_WM_CTLCOLOR, 0, 0, 0, AfxSig_plain, {                                       \
    HBRUSH (ThisClass::*pfn)(CDC*, CWnd*, UINT) = &ThisClass::OnCtlColor;                   \
    const AFX_CTLCOLOR* p = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);                  \
    return reinterpret_cast<LRESULT>(                                                       \
        (pThis->*pfn)(CDC::FromHandle(p->hDC), CWnd::FromHandle(p->hWnd), p->nCtlType));    \
  })
#define ON_WM_DRAWITEM()                                                                    \
  AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, AfxSig_plain, {                                           \
    void (ThisClass::*pfn)(int, LPDRAWITEMSTRUCT) = &ThisClass::OnDrawItem;                 \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam))) \
  })
#define ON_WM_MEASUREITEM()                                                                 \
  AFX_ENTRY(WM_MEASUREITEM, 0, 0, 0, AfxSig_plain, {                                        \
    void (ThisClass::*pfn)(int, LPMEASUREITEMSTRUCT) = &ThisClass::OnMeasureItem;           \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam))) \
  })
#define AFX_ON_MOUSE(msg, name)                                                              \
  AFX_ENTRY(msg, 0, 0, 0, AfxSig_plain, {                                                    \
    void (ThisClass::*pfn)(UINT, CPoint) = &ThisClass::name;                                 \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<UINT>(wParam), CPoint(static_cast<DWORD>(lParam)))) \
  })
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_ON_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() AFX_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_CONTEXTMENU()                                                                 \
  AFX_ENTRY(WM_CONTEXTMENU, 0, 0, 0, AfxSig_plain, {                                        \
    void (ThisClass::*pfn)(CWnd*, CPoint) = &ThisClass::OnContextMenu;                      \
    AFX_VOID_CALL((pThis->*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), CPoint(static_cast<DWORD>(lParam)))) \
  })
#define ON_WM_SYSCOMMAND()                                                                  \
  AFX_ENTRY(WM_SYSCOMMAND, 0, 0, 0, AfxSig_plain, {                                         \
    void (ThisClass::*pfn)(UINT, LPARAM) = &ThisClass::OnSysCommand;                        \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<UINT>(wParam), lParam))                         \
  })
#define ON_WM_GETMINMAXINFO()                                                               \
  AFX_ENTRY(WM_GETMINMAXINFO, 0, 0, 0, AfxSig_plain, {                                      \
    void (ThisClass::*pfn)(MINMAXINFO*) = &ThisClass::OnGetMinMaxInfo;                      \
    AFX_VOID_CALL((pThis->*pfn)(reinterpret_cast<MINMAXINFO*>(lParam)))                     \
  })
#define ON_WM_SHOWWINDOW()                                                                  \
  AFX_ENTRY(WM_SHOWWINDOW, 0, 0, 0, AfxSig_plain, {                                         \
    void (ThisClass::*pfn)(BOOL, UINT) = &ThisClass::OnShowWindow;                          \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))      \
  })
#define ON_WM_SETCURSOR()                                                                   \
  AFX_ENTRY(WM_SETCURSOR, 0, 0, 0, AfxSig_plain, {                                          \
    BOOL (ThisClass::*pfn)(CWnd*, UINT, UINT) = &ThisClass::OnSetCursor;                    \
    return (pThis->*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam)); \
  })
#define ON_WM_SETFOCUS()                                                                    \
  AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, AfxSig_plain, {                                           \
    void (ThisClass::*pfn)(CWnd*) = &ThisClass::OnSetFocus;                                 \
    AFX_VOID_CALL((pThis->*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))          \
  })
#define ON_WM_KILLFOCUS()                                                                   \
  AFX_ENTRY(WM_KILLFOCUS, 0, 0, 0, AfxSig_plain, {                                          \
    void (ThisClass::*pfn)(CWnd*) = &ThisClass::OnKillFocus;                                \
    AFX_VOID_CALL((pThis->*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))          \
  })
#define ON_WM_ACTIVATE()                                                                    \
  AFX_ENTRY(WM_ACTIVATE, 0, 0, 0, AfxSig_plain, {                                           \
    void (ThisClass::*pfn)(UINT, CWnd*, BOOL) = &ThisClass::OnActivate;                     \
    AFX_VOID_CALL((pThis->*pfn)(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam) != 0)) \
  })
#define ON_WM_KEYDOWN()                                                                     \
  AFX_ENTRY(WM_KEYDOWN, 0, 0, 0, AfxSig_plain, {                                            \
    void (ThisClass::*pfn)(UINT, UINT, UINT) = &ThisClass::OnKeyDown;                       \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam))) \
  })
#define AFX_ON_SCROLL(msg, name)                                                            \
  AFX_ENTRY(msg, 0, 0, 0, AfxSig_plain, {                                                   \
    void (ThisClass::*pfn)(UINT, UINT, class CScrollBar*) = &ThisClass::name;               \
    AFX_VOID_CALL((pThis->*pfn)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),        \
                                reinterpret_cast<class CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))) \
  })
#define ON_WM_HSCROLL() AFX_ON_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_ON_SCROLL(WM_VSCROLL, OnVScroll)
#define ON_WM_ENABLE()                                                                      \
  AFX_ENTRY(WM_ENABLE, 0, 0, 0, AfxSig_plain, {                                             \
    void (ThisClass::*pfn)(BOOL) = &ThisClass::OnEnable;                                    \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<BOOL>(wParam)))                                 \
  })
// The menu item under the cursor; nFlags 0xFFFF with no menu: the menu closed.
#define ON_WM_MENUSELECT()                                                                  \
  AFX_ENTRY(WM_MENUSELECT, 0, 0, 0, AfxSig_plain, {                                         \
    void (ThisClass::*pfn)(UINT, UINT, HMENU) = &ThisClass::OnMenuSelect;                   \
    AFX_VOID_CALL((pThis->*pfn)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam))) \
  })

// Commands (menus, accelerators, buttons: WM_COMMAND with code 0 or 1).
#define ON_COMMAND(id, memberFxn)                                    \
  AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_plain, {          \
    void (ThisClass::*pfn)() = memberFxn;                            \
    AFX_VOID_CALL((pThis->*pfn)())                                   \
  })
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                      \
  AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, AfxSig_plain, {      \
    void (ThisClass::*pfn)(UINT) = memberFxn;                        \
    AFX_VOID_CALL((pThis->*pfn)(static_cast<UINT>(wParam)))          \
  })
// BOOL handler(UINT id): FALSE passes the command on.
#define ON_COMMAND_EX(id, memberFxn)                                 \
  AFX_ENTRY(WM_COMMAND, CN_COMMAND, id, id, AfxSig_ex, {             \
    BOOL (ThisClass::*pfn)(UINT) = memberFxn;                        \
    return (pThis->*pfn)(static_cast<UINT>(wParam)) ? 1 : 0;         \
  })
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                     \
  AFX_ENTRY(WM_COMMAND, static_cast<UINT>(CN_UPDATE_COMMAND_UI), id, id, AfxSig_plain, { \
    void (ThisClass::*pfn)(CCmdUI*) = memberFxn;                                \
    AFX_VOID_CALL((pThis->*pfn)(reinterpret_cast<CCmdUI*>(lParam)))             \
  })
// A control's notification code for control id.
#define ON_CONTROL(code, id, memberFxn)                              \
  AFX_ENTRY(WM_COMMAND, code, id, id, AfxSig_plain, {                \
    void (ThisClass::*pfn)() = memberFxn;                            \
    AFX_VOID_CALL((pThis->*pfn)())                                   \
  })
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)

// WM_NOTIFY: void handler(NMHDR*, LRESULT*), by the sender's control id
// (date-time pickers: DTN_DATETIMECHANGE with an NMDATETIMECHANGE).
#define ON_NOTIFY(code, id, memberFxn)                                                  \
  AFX_ENTRY(WM_NOTIFY, code, id, id, AfxSig_plain, {                                    \
    void (ThisClass::*pfn)(NMHDR*, LRESULT*) = memberFxn;                               \
    const AFX_NOTIFY* n = reinterpret_cast<const AFX_NOTIFY*>(lParam);                  \
    AFX_VOID_CALL((pThis->*pfn)(n->pNMHDR, n->pResult))                                 \
  })
// BOOL handler(UINT id, NMHDR*, LRESULT*): FALSE passes the notification on.
#define ON_NOTIFY_EX(code, id, memberFxn) ON_NOTIFY_EX_RANGE(code, id, id, memberFxn)
#define ON_NOTIFY_EX_RANGE(code, id, idLast, memberFxn)                                 \
  AFX_ENTRY(WM_NOTIFY, code, id, idLast, AfxSig_ex, {                                   \
    BOOL (ThisClass::*pfn)(UINT, NMHDR*, LRESULT*) = memberFxn;                         \
    const AFX_NOTIFY* n = reinterpret_cast<const AFX_NOTIFY*>(lParam);                  \
    return (pThis->*pfn)(static_cast<UINT>(wParam), n->pNMHDR, n->pResult) ? 1 : 0;     \
  })

// Reflected notifications, handled by the control itself before its parent.
// ON_CONTROL_REFLECT uses the notification up; the _EX form's BOOL handler
// returns FALSE to let the parent have it too.
#define ON_CONTROL_REFLECT(code, memberFxn)                                 \
  AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, AfxSig_plain, {       \
    void (ThisClass::*pfn)() = memberFxn;                                   \
    AFX_VOID_CALL((pThis->*pfn)())                                          \
  })
#define ON_CONTROL_REFLECT_EX(code, memberFxn)                              \
  AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, AfxSig_ex, {          \
    BOOL (ThisClass::*pfn)() = memberFxn;                                   \
    return (pThis->*pfn)() ? 1 : 0;                                         \
  })
#define ON_NOTIFY_REFLECT(code, memberFxn)                                  \
  AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, AfxSig_plain, {        \
    void (ThisClass::*pfn)(NMHDR*, LRESULT*) = memberFxn;                   \
    const AFX_NOTIFY* n = reinterpret_cast<const AFX_NOTIFY*>(lParam);      \
    AFX_VOID_CALL((pThis->*pfn)(n->pNMHDR, n->pResult))                     \
  })
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                               \
  AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, AfxSig_ex, {           \
    BOOL (ThisClass::*pfn)(NMHDR*, LRESULT*) = memberFxn;                   \
    const AFX_NOTIFY* n = reinterpret_cast<const AFX_NOTIFY*>(lParam);      \
    return (pThis->*pfn)(n->pNMHDR, n->pResult) ? 1 : 0;                    \
  })
// HBRUSH CtlColor(CDC*, UINT nCtlColor): a null brush leaves the colours to
// the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                        \
  AFX_ENTRY(WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0, AfxSig_ex, {                    \
    HBRUSH (ThisClass::*pfn)(CDC*, UINT) = &ThisClass::CtlColor;                        \
    const AFX_CTLCOLOR* p = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);              \
    return reinterpret_cast<LRESULT>((pThis->*pfn)(CDC::FromHandle(p->hDC), p->nCtlType)); \
  })
// void DrawItem(LPDRAWITEMSTRUCT) / void MeasureItem(LPMEASUREITEMSTRUCT).
#define ON_WM_DRAWITEM_REFLECT()                                                        \
  AFX_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0, AfxSig_plain, {                     \
    void (ThisClass::*pfn)(LPDRAWITEMSTRUCT) = &ThisClass::DrawItem;                    \
    AFX_VOID_CALL((pThis->*pfn)(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))            \
  })
#define ON_WM_MEASUREITEM_REFLECT()                                                     \
  AFX_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0, AfxSig_plain, {                  \
    void (ThisClass::*pfn)(LPMEASUREITEMSTRUCT) = &ThisClass::MeasureItem;              \
    AFX_VOID_CALL((pThis->*pfn)(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)))         \
  })

#endif  // _WIN32
