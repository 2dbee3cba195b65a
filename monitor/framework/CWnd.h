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

#include "framework/CCmdTarget.h"

class CWnd : public CCmdTarget {
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

  HWND GetSafeHwnd() const { return m_hWnd; }
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

  HWND m_hWnd;

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

private:
  friend struct CWndAccess;  // the window procedure's side of the binding

  WNDPROC m_pfnSuper = nullptr;  // the class's own procedure when subclassed
  bool m_bMessageOnly = false;
};

#endif  // _WIN32
