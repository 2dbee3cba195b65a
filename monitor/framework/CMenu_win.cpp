#include "framework/CMenu.h"

#include <unordered_map>

#include "framework/CWnd.h"

namespace {
thread_local std::unordered_map<HMENU, CMenu*>* t_tempMenus = nullptr;
}  // namespace

void AfxDeleteTempMenus() {
  if (t_tempMenus == nullptr) return;
  for (auto& kv : *t_tempMenus) {
    kv.second->Detach();
    delete kv.second;
  }
  delete t_tempMenus;
  t_tempMenus = nullptr;
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (hMenu == nullptr) return nullptr;
  if (t_tempMenus == nullptr) t_tempMenus = new std::unordered_map<HMENU, CMenu*>();
  CMenu*& slot = (*t_tempMenus)[hMenu];
  if (slot == nullptr) {
    slot = new CMenu();
    slot->m_hMenu = hMenu;
  }
  return slot;
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (hMenu == nullptr || m_hMenu != nullptr) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
  return Attach(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (n <= 0) {
    rString.Empty();
    return 0;
  }
  char* buf = rString.GetBuffer(n + 1);
  n = ::GetMenuStringA(m_hMenu, nIDItem, buf, n + 1, nFlags);
  rString.ReleaseBuffer(n > 0 ? n : 0);
  return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd != nullptr ? pWnd->m_hWnd : nullptr, lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm) {
  return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, pWnd != nullptr ? pWnd->m_hWnd : nullptr, lptpm);
}
