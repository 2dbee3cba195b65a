// The settings pages' bubble help: inside the modal sheet's loop, mouse
// moves over a page reach its tooltip only while the main window's
// "OptsWndBubbleHelp" setting is on.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/CPropPageBubbleHelp.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

const UINT kEdit = 310;
const UINT_PTR kDriveTimer = 78;
const UINT kDriveMs = 30;

class FakeHost : public IDialogViewHost {
public:
  bool bubbleHelp = true;
  CWnd* GetViewHostWnd() override { return nullptr; }
  CController* GetViewController() override { return nullptr; }
  bool IsWindowBubbleHelpOn() override { return bubbleHelp; }
  bool IsBalloonTipsOn() override { return false; }
};

// Counts the relayed mouse moves the tooltip receives.
int g_relayed = 0;
WNDPROC g_tipProc = nullptr;
LRESULT CALLBACK CountingTipProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_RELAYEVENT) ++g_relayed;
  return ::CallWindowProcA(g_tipProc, hWnd, message, wParam, lParam);
}

class CHelpPage : public CPropPageBubbleHelp {
public:
  CHelpPage(IDialogViewHost* host, const DialogTemplate& t) : CPropPageBubbleHelp(host, 0) {
    InitPageIndirect(t.Get());
  }
  BOOL OnInitDialog() override {
    CPropPageBubbleHelp::OnInitDialog();
    AddBubbleHelp(kEdit, "Some help");
    HWND tip = GetToolTip().GetSafeHwnd();
    if (tip != nullptr)
      g_tipProc = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingTipProc)));
    return TRUE;
  }
};

// Moves the mouse over the page's edit a few times, then closes the sheet.
class CMovingSheet : public CPropertySheet {
public:
  CMovingSheet() : CPropertySheet("Bubble help") {}
  int ticks = 0;

  static CMovingSheet* s_running;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    CMovingSheet* self = s_running;
    if (self == nullptr) return;
    CPropertyPage* page = self->GetActivePage();
    if (++self->ticks > 3 || page == nullptr) {
      self->EndDialog(IDCANCEL);
      return;
    }
    ::PostMessageA(::GetDlgItem(page->m_hWnd, kEdit), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  }

protected:
  BOOL OnInitDialog() override {
    s_running = this;
    ::SetTimer(m_hWnd, kDriveTimer, kDriveMs, &CMovingSheet::Tick);
    return CPropertySheet::OnInitDialog();
  }
};
CMovingSheet* CMovingSheet::s_running = nullptr;

int RelayedMoves(bool bubbleHelpOn) {
  DialogTemplate t("General", WS_CHILD | WS_CAPTION | DS_CONTROL, 200, 100);
  t.Item(DialogTemplate::Edit, kEdit, WS_BORDER | WS_TABSTOP, "", 10, 10, 80, 12);
  FakeHost host;
  host.bubbleHelp = bubbleHelpOn;
  CHelpPage page(&host, t);
  CMovingSheet sheet;
  sheet.AddPage(&page);
  g_relayed = 0;
  g_tipProc = nullptr;
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_NE(nullptr, g_tipProc);  // the tooltip was made
  CMovingSheet::s_running = nullptr;
  return g_relayed;
}

TEST(PropPageBubbleHelp, RelaysMouseMovesOnlyWithTheSettingOn) {
  EXPECT_GE(RelayedMoves(true), 3);  // the system may add a move of its own
  EXPECT_EQ(0, RelayedMoves(false));
}

}  // namespace
