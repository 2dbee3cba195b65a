// CFrameWnd: a top-level window of a class the program registers itself
// (AfxRegisterWndClass), for pop-ups that are neither dialogs nor controls.
// Windows build only.
//
// Create fills a CREATESTRUCT and hands it to PreCreateWindow, so a derived
// frame can change the class, style or parent before the window exists. A
// frame is made with new and owns itself: when its window is gone,
// PostNcDestroy deletes the object. A failed Create leaves the object alive
// for its caller to delete.
#pragma once

#ifdef _WIN32

#include "framework/CWnd.h"

// The name of a window class with the given class style, cursor, background
// and icon, registered on first use; later calls with the same values give
// the same name. The window procedure is the system's default, so windows of
// the class are bound to their CWnd objects when created. Valid for the
// process's lifetime; nullptr when the class cannot be registered.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

class CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)

public:
  CFrameWnd();
  ~CFrameWnd() override;

  // lpszClassName nullptr: the layer's frame class (arrow cursor, window
  // background). The rectangle is in screen coordinates for a top-level
  // frame; pParentWnd becomes its owner.
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                      LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0);

  // Called with the creation parameters just before the window is made;
  // FALSE cancels the creation.
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);

  // The rectangle that lets the system choose position and size.
  static const RECT rectDefault;

protected:
  // Deletes the object (frames own themselves), except inside Create.
  void PostNcDestroy() override;

private:
  bool m_bCreating = false;
};

#endif  // _WIN32
