#include "framework/CFrameWnd.h"

#include <stdio.h>

#include <mutex>
#include <set>
#include <string>

namespace {

// Names of the classes registered so far; the strings live as long as the
// process, so the pointers handed out stay valid.
std::mutex g_classLock;
std::set<std::string>& RegisteredClassNames() {
  static std::set<std::string>* names = new std::set<std::string>();
  return *names;
}

}  // namespace

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  // The name encodes everything that differs between the classes, so equal
  // requests share one class and different ones never clash.
  char name[96];
  snprintf(name, sizeof name, "MonitorFrame:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
           static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  std::lock_guard<std::mutex> lock(g_classLock);
  auto found = RegisteredClassNames().find(name);
  if (found != RegisteredClassNames().end()) return found->c_str();
  WNDCLASSA wc = {};
  wc.style = nClassStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.hIcon = hIcon;
  wc.lpszClassName = name;
  if (::RegisterClassA(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return RegisteredClassNames().insert(name).first->c_str();
}

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

CFrameWnd::CFrameWnd() {}

CFrameWnd::~CFrameWnd() {}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle) {
  if (m_hWnd != nullptr) return FALSE;
  HINSTANCE hInst = ::GetModuleHandleA(nullptr);
  CREATESTRUCT cs = {};
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.dwExStyle = dwExStyle;
  cs.x = rect.left;
  cs.y = rect.top;
  // rectDefault leaves the size to the system as well.
  cs.cx = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
  cs.cy = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
  cs.hwndParent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
  cs.hInstance = hInst;
  if (lpszMenuName != nullptr) cs.hMenu = ::LoadMenuA(hInst, lpszMenuName);
  if (!PreCreateWindow(cs)) {
    if (cs.hMenu != nullptr) ::DestroyMenu(cs.hMenu);
    return FALSE;
  }
  if (cs.lpszClass == nullptr || *cs.lpszClass == '\0') {
    cs.lpszClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (cs.lpszClass == nullptr) return FALSE;
  }
  // A window refused in WM_CREATE goes through WM_NCDESTROY; the object must
  // outlive that so this call can report the failure.
  m_bCreating = true;
  BOOL ok = CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                     cs.hwndParent, cs.hMenu, cs.lpCreateParams);
  m_bCreating = false;
  if (!ok && cs.hMenu != nullptr && ::IsMenu(cs.hMenu)) ::DestroyMenu(cs.hMenu);
  return ok;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

void CFrameWnd::PostNcDestroy() {
  if (!m_bCreating) delete this;
}
