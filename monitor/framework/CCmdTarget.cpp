#include "framework/CCmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
      if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
        return e;
    }
  }
  return nullptr;
}

bool CCmdTarget::DispatchMappedMessage(UINT nMessage, WPARAM wParam, LPARAM lParam,
                                       LRESULT* pResult) {
  return DispatchEntries(nMessage, 0, 0, wParam, lParam, pResult);
}

bool CCmdTarget::DispatchEntries(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam,
                                 LPARAM lParam, LRESULT* pResult) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
      if (e->nMessage != nMessage || e->nCode != nCode || nID < e->nID || nID > e->nLastID)
        continue;
      LRESULT r = e->pfn(this, wParam, lParam);
      if (e->nSig == AfxSig_ex && r == 0) continue;  // declined: keep looking
      if (pResult != nullptr) *pResult = r;
      return true;
    }
  }
  return false;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  return DispatchEntries(AFX_WM_COMMAND, static_cast<UINT>(nCode), nID, nID,
                         reinterpret_cast<LPARAM>(pExtra), nullptr)
             ? TRUE
             : FALSE;
}
