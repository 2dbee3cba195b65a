// The modeless dialog with tool and status bars: hiding and showing the
// tool bar puts every control and the window back, stretching panes, pane
// texts and controls, tool-bar combos within capacity, tooltips, and the
// dialog font.
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/resource.h"
#include "controls/CModelessDialog.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

const UINT kEdit = 100, kButton = 101, kLabel = 102;
const UINT kIndicators[] = {1001, 1002, 1003};
const int kWidths[] = {50, 0, 80};
const UINT kButtons[] = {2001, 2002, 0, 2003};

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

class ModelessDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_tmpl = DialogTemplate("Bars test", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_THICKFRAME, 220, 120);
    m_tmpl.Item(DialogTemplate::Edit, kEdit, WS_BORDER | WS_TABSTOP, "", 5, 5, 60, 12)
        .Item(DialogTemplate::Button, kButton, BS_PUSHBUTTON | WS_TABSTOP, "Go", 5, 30, 40, 14)
        .Item(DialogTemplate::Static, kLabel, SS_LEFT, "label", 100, 80, 60, 10);
    ASSERT_TRUE(dlg.CreateModelessIndirect(m_tmpl.Get(), nullptr, kIndicators, 3, kWidths, kButtons, 4, 0, 0, 0,
                                           0, 1, 0, 0));
    dlg.RecalcBarLayout();
    PumpPending();
  }
  void TearDown() override {
    if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
    PumpPending();
  }
  std::map<UINT, CRect> ControlRects() {
    std::map<UINT, CRect> rects;
    for (UINT id : {kEdit, kButton, kLabel}) {
      CRect rc;
      ::GetWindowRect(::GetDlgItem(dlg, id), &rc);
      dlg.ScreenToClient(&rc);
      rects[id] = rc;
    }
    return rects;
  }
  CSize WindowSize() {
    CRect rc;
    dlg.GetWindowRect(&rc);
    return rc.Size();
  }
  DialogTemplate m_tmpl{"", 0, 0, 0};
  CModelessDialog dlg;
};

TEST_F(ModelessDialogTest, ControlsSitBetweenTheBars) {
  ASSERT_TRUE(dlg.GetToolBar().IsWindowVisible());
  ASSERT_TRUE(dlg.GetStatusBar().IsWindowVisible());
  CRect bar, status, client;
  dlg.GetToolBar().GetWindowRect(&bar);
  dlg.GetStatusBar().GetWindowRect(&status);
  dlg.ScreenToClient(&bar);
  dlg.ScreenToClient(&status);
  dlg.GetClientRect(&client);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(status.bottom, client.bottom);
  EXPECT_EQ(dlg.GetBarOffset(), bar.Height());
  for (const auto& r : ControlRects()) {
    EXPECT_GE(r.second.top, bar.bottom) << r.first;
    EXPECT_LE(r.second.bottom, status.top) << r.first;
  }
  EXPECT_TRUE(dlg.GetStyle() & WS_THICKFRAME);  // put back after the status bar was made
}

TEST_F(ModelessDialogTest, HidingAndShowingTheToolBarRestoresEveryControlAndTheWindow) {
  std::map<UINT, CRect> before = ControlRects();
  CSize sizeBefore = WindowSize();
  CRect bar;
  dlg.GetToolBar().GetWindowRect(&bar);
  int barHeight = bar.Height();
  ASSERT_GT(barHeight, 0);

  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(AFX_IDW_TOOLBAR, 0), 0);
  EXPECT_FALSE(dlg.GetToolBar().IsWindowVisible());
  std::map<UINT, CRect> hidden = ControlRects();
  for (const auto& r : before) {
    SCOPED_TRACE(r.first);
    EXPECT_EQ(hidden[r.first].top, r.second.top - barHeight);
    EXPECT_EQ(hidden[r.first].left, r.second.left);
  }
  EXPECT_EQ(WindowSize(), CSize(sizeBefore.cx, sizeBefore.cy - barHeight));

  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(AFX_IDW_TOOLBAR, 0), 0);
  EXPECT_TRUE(dlg.GetToolBar().IsWindowVisible());
  EXPECT_EQ(ControlRects(), before);
  EXPECT_EQ(WindowSize(), sizeBefore);

  // Several rounds do not creep.
  for (int i = 0; i < 6; ++i) dlg.SendMessage(WM_COMMAND, MAKEWPARAM(AFX_IDW_TOOLBAR, 0), 0);
  EXPECT_EQ(ControlRects(), before);
  EXPECT_EQ(WindowSize(), sizeBefore);
}

TEST_F(ModelessDialogTest, WidthZeroPaneStretches) {
  CStatusBarEx& sb = dlg.GetStatusBar();
  CRect p0, p1, p2, bar;
  sb.GetItemRect(0, &p0);
  sb.GetItemRect(1, &p1);
  sb.GetItemRect(2, &p2);
  sb.GetClientRect(&bar);
  EXPECT_EQ(sb.GetPaneStyle(1) & SBPS_STRETCH, SBPS_STRETCH);
  EXPECT_EQ(sb.GetPaneStyle(0) & SBPS_STRETCH, 0u);
  EXPECT_GT(p1.Width(), bar.Width() - 50 - 80 - 40);

  // A wider window widens only the stretching pane.
  CSize size = WindowSize();
  dlg.SetWindowPos(nullptr, 0, 0, size.cx + 100, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  dlg.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
  CRect q0, q1, q2;
  sb.GetItemRect(0, &q0);
  sb.GetItemRect(1, &q1);
  sb.GetItemRect(2, &q2);
  EXPECT_EQ(q0.Width(), p0.Width());
  EXPECT_EQ(q2.Width(), p2.Width());
  EXPECT_EQ(q1.Width(), p1.Width() + 100);
}

TEST_F(ModelessDialogTest, PaneTextsAndPaneControls) {
  struct Case {
    int alignment;
    const char* want;
  };
  const Case cases[] = {{0, "\tIDLE"}, {1, "\t\tIDLE"}, {2, "IDLE"}};
  for (const Case& c : cases) {
    dlg.SetStatusPaneText(1003, "IDLE", c.alignment);
    EXPECT_STREQ(dlg.GetStatusBar().GetPaneText(2), c.want);
  }
  dlg.SetStatusPaneText(4242, "nowhere", 0);  // no such pane: nothing happens

  CStatic lamp;
  ASSERT_TRUE(dlg.AddStatusPaneControl(&lamp, "", 1001, 2, 0, 10, 0, SS_LEFT, 3001, FALSE));
  EXPECT_EQ(::GetParent(lamp), dlg.GetStatusBar().m_hWnd);
  EXPECT_TRUE(lamp.IsWindowVisible());
  CRect pane, rc;
  dlg.GetStatusBar().GetItemRect(0, &pane);
  lamp.GetWindowRect(&rc);
  dlg.GetStatusBar().ScreenToClient(&rc);
  EXPECT_EQ(rc.left, pane.left + 1 + 2);
  EXPECT_EQ(rc.Width(), 10 - 1);
  EXPECT_EQ(rc.top, pane.top + 1);
  EXPECT_EQ(rc.bottom, pane.bottom - 2);
  CStatic hidden;
  ASSERT_TRUE(dlg.AddStatusPaneControl(&hidden, "x", 1003, 0, 0, 0, 0, SS_LEFT, 3002, TRUE));
  EXPECT_FALSE(hidden.GetStyle() & WS_VISIBLE);
  CStatic none;
  EXPECT_FALSE(dlg.AddStatusPaneControl(&none, "x", 4242, 0, 0, 0, 0, SS_LEFT, 3003, FALSE));
}

TEST_F(ModelessDialogTest, ToolBarCombosWithinCapacity) {
  CComboBox* combo = dlg.AddToolBarCombo(2002, 120, 120);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(::GetParent(*combo), dlg.GetToolBar().m_hWnd);
  EXPECT_EQ(combo->GetDlgCtrlID(), 2002);
  EXPECT_TRUE(combo->IsWindowVisible());
  int index = dlg.GetToolBar().CommandToIndex(2002);
  EXPECT_EQ(dlg.GetToolBar().GetButtonStyle(index) & TBBS_SEPARATOR, TBBS_SEPARATOR);
  CRect item, rc;
  dlg.GetToolBar().GetItemRect(index, &item);
  combo->GetWindowRect(&rc);
  dlg.GetToolBar().ScreenToClient(&rc);
  EXPECT_EQ(rc.left, item.left + 2);
  EXPECT_EQ(rc.right, item.right - 2);
  EXPECT_EQ(rc.top, item.top + 2);
  // The capacity was one.
  EXPECT_EQ(dlg.AddToolBarCombo(2003, 80, 120), nullptr);
  EXPECT_EQ(dlg.AddToolBarCombo(9999, 80, 120), nullptr);
}

TEST_F(ModelessDialogTest, ToolTipRequestsAnswerWithTheTipPart) {
  // The program's string table is linked in: a button with a string gets the
  // part after its first newline, one without gets an empty tip, in both forms.
  struct Case {
    UINT id;
    const char* tip;
  };
  const Case cases[] = {{ID_SKY_PLOT, "Sky plot"}, {ID_LINK_COMBO, "Link"}, {2001, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    NMTTDISPINFOA a = {};
    a.hdr.hwndFrom = dlg.GetToolBar().m_hWnd;
    a.hdr.idFrom = c.id;
    a.hdr.code = TTN_NEEDTEXTA;
    strcpy(a.szText, "stale");
    dlg.SendMessage(WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&a));
    EXPECT_STREQ(a.szText, c.tip);
    NMTTDISPINFOW w = {};
    w.hdr.hwndFrom = dlg.GetToolBar().m_hWnd;
    w.hdr.idFrom = c.id;
    w.hdr.code = TTN_NEEDTEXTW;
    wcscpy(w.szText, L"stale");
    dlg.SendMessage(WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&w));
    char narrow[80] = {0};
    ::WideCharToMultiByte(CP_ACP, 0, w.szText, -1, narrow, sizeof narrow, nullptr, nullptr);
    EXPECT_STREQ(narrow, c.tip);
  }
}

TEST_F(ModelessDialogTest, DialogFontAndStatusTip) {
  HDC hDC = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(hDC, LOGPIXELSY);
  ::ReleaseDC(nullptr, hDC);
  LOGFONTA lf = {};
  ASSERT_GT(dlg.GetDialogFont().GetLogFont(&lf), 0);
  EXPECT_EQ(lf.lfHeight, -(7 * dpi / 72));
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_STREQ(lf.lfFaceName, "Small Fonts");
  CFont bold;
  ASSERT_TRUE(CreateDialogFont(bold, "Arial", 9, TRUE));
  ASSERT_GT(bold.GetLogFont(&lf), 0);
  EXPECT_EQ(lf.lfHeight, -(9 * dpi / 72));
  EXPECT_EQ(lf.lfWeight, 700);

  ASSERT_NE(dlg.GetStatusBar().GetBarFont().m_hObject, nullptr);
  ASSERT_TRUE(dlg.GetStatusBar().CreateToolTip(500, 5000, TRUE));
  EXPECT_EQ(dlg.GetStatusBar().GetToolTip().GetToolCount(), 1);
  EXPECT_EQ(dlg.GetStatusBar().GetToolTip().GetDelayTime(TTDT_RESHOW), 50);
  EXPECT_EQ(dlg.GetStatusBar().GetToolTip().GetMaxTipWidth(), 500);
  dlg.GetStatusBar().SetToolTipText("Monitoring SIM-1");
  CImageList list;
  EXPECT_FALSE(dlg.LoadButtonImageList(4321, list));  // no such bitmap
}

}  // namespace
