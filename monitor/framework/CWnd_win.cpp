#include "framework/CWnd.h"

#include <mutex>
#include <unordered_map>

namespace {

const char kHiddenClassName[] = "MonitorFrameworkWnd";

// Windows bound to a CWnd, for every thread (posted and sent messages may
// look windows up from worker threads).
std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*>* map = new std::unordered_map<HWND, CWnd*>();
  return *map;
}

// Wrappers made by FromHandle for windows no CWnd owns; one map per thread.
thread_local std::unordered_map<HWND, CWnd*>* t_tempMap = nullptr;

// The CWnd being created on this thread: the first message of its window
// arrives before CreateWindowEx returns the handle.
thread_local CWnd* t_pWndInit = nullptr;

// The message being dispatched on this thread, for CWnd::Default.
struct CurrentMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
thread_local CurrentMessage t_current = {0, 0, 0};

}  // namespace

LRESULT CALLBACK AfxWndProcBase(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

struct CWndAccess {
  static void Bind(CWnd* pWnd, HWND hWnd) {
    pWnd->m_hWnd = hWnd;
    std::lock_guard<std::mutex> lock(g_mapLock);
    PermanentMap()[hWnd] = pWnd;
  }
  static void Unbind(CWnd* pWnd) {
    if (pWnd->m_hWnd == nullptr) return;
    {
      std::lock_guard<std::mutex> lock(g_mapLock);
      auto it = PermanentMap().find(pWnd->m_hWnd);
      if (it != PermanentMap().end() && it->second == pWnd) PermanentMap().erase(it);
    }
    pWnd->m_hWnd = nullptr;
    pWnd->m_pfnSuper = nullptr;
  }
  static LRESULT Call(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage saved = t_current;
    t_current = {message, wParam, lParam};
    LRESULT r = pWnd->WindowProc(message, wParam, lParam);
    t_current = saved;
    if (message == WM_NCDESTROY) {
      Unbind(pWnd);
      pWnd->m_bMessageOnly = false;
      pWnd->PostNcDestroy();  // may delete pWnd
    }
    return r;
  }
};

LRESULT CALLBACK AfxWndProcBase(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr && t_pWndInit != nullptr) {
    pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    CWndAccess::Bind(pWnd, hWnd);
  }
  if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  return CWndAccess::Call(pWnd, message, wParam, lParam);
}

namespace {

// Registered once per process; later windows of any thread share it.
const char* HiddenWindowClass() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AfxWndProcBase;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kHiddenClassName;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered ? kHiddenClassName : nullptr;
}

}  // namespace

CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  if (FromHandlePermanent(m_hWnd) == this && ::DestroyWindow(m_hWnd)) return;
  // Not destroyable from here (another thread owns it): at least make sure
  // no message reaches this object again.
  if (m_pfnSuper != nullptr)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  CWndAccess::Unbind(this);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
  if (m_hWnd != nullptr) return FALSE;
  const bool ownClass = lpszClassName == nullptr || *lpszClassName == '\0';
  const char* cls = ownClass ? HiddenWindowClass() : lpszClassName;
  if (cls == nullptr) return FALSE;
  HINSTANCE hInst = ::GetModuleHandleA(nullptr);

  auto create = [&](DWORD style, HWND parent) -> HWND {
    t_pWndInit = ownClass ? this : nullptr;
    HWND h = ::CreateWindowExA(dwExStyle, cls, lpszWindowName, style, x, y, nWidth, nHeight,
                               parent, nIDorHMenu, hInst, lpParam);
    t_pWndInit = nullptr;
    return h;
  };

  HWND hWnd = create(dwStyle, hWndParent);
  bool messageOnly = hWnd != nullptr && hWndParent == HWND_MESSAGE;
  if (hWnd == nullptr && hWndParent == nullptr && (dwStyle & WS_CHILD) != 0) {
    // A child needs a parent; message-only windows are the system's own
    // parent for windows that are never shown.
    hWnd = create(dwStyle & ~(WS_POPUP | WS_VISIBLE), HWND_MESSAGE);
    messageOnly = hWnd != nullptr;
  }
  if (hWnd == nullptr) return FALSE;
  m_bMessageOnly = messageOnly;
  if (!ownClass) {
    // A class with its own procedure: route its messages through the maps
    // and hand the rest to that procedure.
    CWndAccess::Bind(this, hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProcBase)));
  }
  return m_hWnd == hWnd ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top,
                  pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  if (FromHandlePermanent(m_hWnd) != this) {
    // A temporary wrapper: destroy the window, then forget the handle.
    BOOL ok = ::DestroyWindow(m_hWnd);
    if (ok) m_hWnd = nullptr;
    return ok;
  }
  return ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(g_mapLock);
  auto it = PermanentMap().find(hWnd);
  return it != PermanentMap().end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (pWnd != nullptr) return pWnd;
  if (t_tempMap == nullptr) t_tempMap = new std::unordered_map<HWND, CWnd*>();
  CWnd*& slot = (*t_tempMap)[hWnd];
  if (slot == nullptr) {
    slot = new CWnd();
    slot->m_hWnd = hWnd;
  }
  return slot;
}

void CWnd::DeleteTempMap() {
  if (t_tempMap == nullptr) return;
  for (auto& kv : *t_tempMap) {
    kv.second->m_hWnd = nullptr;  // the window is not the wrapper's to destroy
    delete kv.second;
  }
  delete t_tempMap;
  t_tempMap = nullptr;
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (m_hWnd != nullptr || hWndNew == nullptr || FromHandlePermanent(hWndNew) != nullptr)
    return FALSE;
  CWndAccess::Bind(this, hWndNew);
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr && FromHandlePermanent(hWnd) == this) {
    if (m_pfnSuper != nullptr)
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    CWndAccess::Unbind(this);
  }
  m_hWnd = nullptr;
  m_bMessageOnly = false;
  return hWnd;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse,
                        void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD)) {
  if (m_hWnd == nullptr) return 0;
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
  if (m_hWnd == nullptr) return FALSE;
  return ::KillTimer(m_hWnd, nIDEvent);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hWnd == nullptr) return FALSE;
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hWnd == nullptr) return 0;
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return DispatchMappedMessage(message, wParam, lParam, pResult) ? TRUE : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnTimer(UINT_PTR) { Default(); }
