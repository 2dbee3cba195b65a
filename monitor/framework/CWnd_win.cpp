#include "framework/CWnd.h"

#include "framework/CDialog.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "framework/MessagePrompter.h"

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
  static void SetSuper(CWnd* pWnd, WNDPROC pfn) { pWnd->m_pfnSuper = pfn; }
  static void PreSubclass(CWnd* pWnd) { pWnd->PreSubclassWindow(); }
  static LRESULT Call(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage saved = t_current;
    t_current = {message, wParam, lParam};
    LRESULT r = pWnd->WindowProc(message, wParam, lParam);
    t_current = saved;
    if (message == WM_NCDESTROY) {
      // The application's main window going away ends the message loop; a
      // secondary top-level window does not.
      CWinApp* pApp = AfxGetApp();
      if (pApp != nullptr && pApp->m_pMainWnd == pWnd) {
        pApp->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
      }
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

// Binds the window being created to t_pWndInit before its first message
// (WM_GETMINMAXINFO / WM_NCCREATE), so WM_CREATE and everything after it
// reach the maps whatever the window's class.
thread_local HHOOK t_hHookCreate = nullptr;

LRESULT CALLBACK CreateHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && t_pWndInit != nullptr) {
    CWnd* pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    CWndAccess::Bind(pWnd, hWnd);
    WNDPROC old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (old != AfxWndProcBase) {
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProcBase));
      CWndAccess::SetSuper(pWnd, old);
    }
    CWndAccess::PreSubclass(pWnd);
  }
  return ::CallNextHookEx(t_hHookCreate, nCode, wParam, lParam);
}

}  // namespace

void AfxHookWindowCreate(CWnd* pWnd) {
  if (t_hHookCreate == nullptr)
    t_hHookCreate = ::SetWindowsHookExA(WH_CBT, CreateHookProc, nullptr, ::GetCurrentThreadId());
  t_pWndInit = pWnd;
}

bool AfxUnhookWindowCreate() {
  bool bound = t_pWndInit == nullptr;
  t_pWndInit = nullptr;
  if (t_hHookCreate != nullptr) {
    ::UnhookWindowsHookEx(t_hHookCreate);
    t_hHookCreate = nullptr;
  }
  return bound;
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

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
    AfxHookWindowCreate(this);
    HWND h = ::CreateWindowExA(dwExStyle, cls, lpszWindowName, style, x, y, nWidth, nHeight,
                               parent, nIDorHMenu, hInst, lpParam);
    AfxUnhookWindowCreate();
    if (h == nullptr && m_hWnd != nullptr) CWndAccess::Unbind(this);  // refused in WM_(NC)CREATE
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
  LRESULT r = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    if (pResult != nullptr) *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr) return FALSE;
    if (!OnNotify(wParam, lParam, &r)) return FALSE;
    if (pResult != nullptr) *pResult = r;
    return TRUE;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    AFX_CTLCOLOR ctl = {reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                        message - WM_CTLCOLORMSGBOX};
    if (!DispatchEntries(AFX_WM_CTLCOLOR, 0, 0, wParam, reinterpret_cast<LPARAM>(&ctl), &r))
      return FALSE;
    if (pResult != nullptr) *pResult = r;
    return TRUE;
  }
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

// ---- Creation, binding ----------------------------------------------------

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
  CWndAccess::Bind(this, hWnd);
  PreSubclassWindow();
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProcBase)));
  m_pfnSuper = old != AfxWndProcBase ? old : nullptr;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (pParent == nullptr || pParent->m_hWnd == nullptr) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

// ---- Message routing -------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == nullptr) {
    nCode = CN_COMMAND;  // menu (0) or accelerator (1): both are plain commands
  } else {
    // The control sees its own notification first.
    if (ReflectLastMsg(hWndCtrl)) return TRUE;
  }
  return OnCmdMsg(nID, nCode, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  HWND hWndCtrl = pNMHDR->hwndFrom;
  // By the sender's control id (0 for a pop-up such as a tooltip), so a
  // range 0..0xFFFF catches tooltip requests whatever their idFrom.
  UINT nID = static_cast<UINT>(::GetDlgCtrlID(hWndCtrl));
  if (ReflectLastMsg(hWndCtrl, pResult)) return TRUE;
  AFX_NOTIFY notify = {pNMHDR, pResult};
  return DispatchEntries(WM_NOTIFY, pNMHDR->code, nID, nID, reinterpret_cast<LPARAM>(&notify), nullptr)
             ? TRUE
             : FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* pChild = FromHandlePermanent(hWndChild);
  if (pChild == nullptr) return FALSE;
  return pChild->OnChildNotify(t_current.message, t_current.wParam, t_current.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT r = 0;
  switch (message) {
    case WM_COMMAND:
      return DispatchEntries(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, 0, 0, nullptr);
    case WM_NOTIFY: {
      NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
      LRESULT local = 0;
      AFX_NOTIFY notify = {pNMHDR, pResult != nullptr ? pResult : &local};
      return DispatchEntries(WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0, 0,
                             reinterpret_cast<LPARAM>(&notify), nullptr);
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      if (!DispatchEntries(WM_REFLECT_BASE + message, 0, 0, wParam, lParam, &r)) return FALSE;
      if (pResult != nullptr) *pResult = r;
      return TRUE;
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        AFX_CTLCOLOR ctl = {m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
        if (!DispatchEntries(WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, wParam,
                             reinterpret_cast<LPARAM>(&ctl), &r))
          return FALSE;
        if (pResult != nullptr) *pResult = r;
        return TRUE;
      }
      return FALSE;
  }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
    // A top-level window is as far as a message's tree goes.
    if ((::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return FALSE;
}

// ---- Default handlers --------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT) {
  // The control may answer itself (ON_WM_CTLCOLOR_REFLECT).
  LRESULT r = 0;
  if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &r)) return reinterpret_cast<HBRUSH>(r);
  return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDIS) {
  if (lpDIS != nullptr && lpDIS->CtlType != ODT_MENU && ReflectLastMsg(lpDIS->hwndItem)) return;
  Default();
}
void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS) {
  // The message names only the control id; find the control among the
  // children (a combo box asks before its window handle is known to us).
  if (lpMIS != nullptr && lpMIS->CtlType != ODT_MENU) {
    HWND hCtl = ::GetDlgItem(m_hWnd, nIDCtl);
    if (hCtl != nullptr && ReflectLastMsg(hCtl)) return;
  }
  Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }

// ---- Window calls ------------------------------------------------------------

CWnd* CWnd::GetOwner() const {
  if (m_hWndOwner != nullptr) return FromHandle(m_hWndOwner);
  HWND h = ::GetWindow(m_hWnd, GW_OWNER);
  if (h == nullptr) h = ::GetParent(m_hWnd);
  return FromHandle(h);
}

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  while (h != nullptr && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) != 0) h = ::GetParent(h);
  return FromHandle(h);
}

void CWnd::GetWindowText(CString& rString) const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  char* buf = rString.GetBuffer(n + 1);
  int got = ::GetWindowTextA(m_hWnd, buf, n + 1);
  rString.ReleaseBuffer(got >= 0 ? got : 0);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND h = ::GetDlgItem(m_hWnd, nID);
  if (h == nullptr) return 0;
  int n = ::GetWindowTextLengthA(h);
  char* buf = rString.GetBuffer(n + 1);
  int got = ::GetWindowTextA(h, buf, n + 1);
  rString.ReleaseBuffer(got >= 0 ? got : 0);
  return rString.GetLength();
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  // The special z-order values (&CWnd::wndTopMost etc.) are passed as the
  // handle value itself.
  HWND after = pWndInsertAfter != nullptr ? pWndInsertAfter->m_hWnd : nullptr;
  return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, nFlags);
}

void CWnd::ScreenToClient(LPRECT r) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::ClientToScreen(LPRECT r) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

namespace {
BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, nIndex));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, nIndex, static_cast<LONG_PTR>(newStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu != nullptr ? pMenu->m_hMenu : nullptr); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  CRect rc, rcOwner;
  GetWindowRect(&rc);
  HWND hOwner = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  if ((GetStyle() & WS_CHILD) != 0) hOwner = ::GetParent(m_hWnd);
  if (hOwner != nullptr) {
    ::GetWindowRect(hOwner, &rcOwner);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcOwner, 0);
  }
  CPoint c = rcOwner.CenterPoint();
  int x = c.x - rc.Width() / 2, y = c.y - rc.Height() / 2;
  if ((GetStyle() & WS_CHILD) != 0) {
    POINT p = {x, y};
    ::ScreenToClient(hOwner, &p);
    x = p.x, y = p.y;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR, UINT nType) {
  // Through the prompter like every other box, so tests can answer it.
  return AfxMessageBox(lpszText, nType);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
    ::SendMessageA(h, message, wParam, lParam);
    if (bDeep && ::GetTopWindow(h) != nullptr) {
      CWnd tmp;
      tmp.m_hWnd = h;
      tmp.SendMessageToDescendants(message, wParam, lParam, TRUE);
      tmp.m_hWnd = nullptr;
    }
  }
}

// ---- Dialog data and command state -------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  if (m_hWnd == nullptr) return FALSE;
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CDataExchange::Failure&) {
    return FALSE;  // the check has shown its message and focused the control
  }
  return TRUE;
}

void CCmdUI::Enable(BOOL bOn) {
  m_bEnableChanged = TRUE;
  if (m_pOther == nullptr) return;
  HWND h = m_pOther->m_hWnd;
  // Never leave the focus on a control that is being disabled.
  if (!bOn && ::GetFocus() == h) ::SendMessageA(::GetParent(h), WM_NEXTDLGCTL, 0, FALSE);
  ::EnableWindow(h, bOn);
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pOther == nullptr) return;
  HWND h = m_pOther->m_hWnd;
  if ((::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0)
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (m_pOther != nullptr) ::SetWindowTextA(m_pOther->m_hWnd, lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0 || pTarget == nullptr) return TRUE;
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
  if (!handled && bDisableIfNoHndler && !m_bEnableChanged) {
    // Only push buttons stand for commands; other controls keep their state.
    bool isPush = false;
    if (m_pOther != nullptr) {
      LRESULT code = ::SendMessageA(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0);
      DWORD type = static_cast<DWORD>(::GetWindowLongPtrA(m_pOther->m_hWnd, GWL_STYLE)) & 0x0F;
      isPush = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 ||
               ((code & DLGC_BUTTON) != 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON));
    }
    if (isPush) Enable(FALSE);
  }
  return handled;
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  CCmdUI state;
  CWnd wndTemp;
  for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
    wndTemp.m_hWnd = h;
    state.m_nID = static_cast<UINT>(::GetDlgCtrlID(h));
    state.m_pOther = &wndTemp;
    // A bound control that is itself a command target (a control bar)
    // updates its own items.
    state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
  wndTemp.m_hWnd = nullptr;
}
