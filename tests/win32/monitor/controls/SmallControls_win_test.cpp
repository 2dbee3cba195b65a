// The check combo, the checkable group box, the lamp and the drawn button in
// a test dialog built in memory: what the closed combo shows, toggling in
// the open list, enabling by box titles (nested too), one-shot blinking, and
// the button's click and style rules.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "controls/CBlinker.h"
#include "controls/CButtonST.h"
#include "controls/CCheckComboBox.h"
#include "controls/CCheckableGroupBox.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const UINT kCombo = 400;
const UINT kOuterBox = 500, kOuterEdit = 501, kOuterLabel = 502;
const UINT kInnerBox = 510, kInnerEdit = 511;
const UINT kOutsideEdit = 520;
const UINT kRadioA = 530, kRadioB = 531, kPlainBox = 532;
const UINT kLamp = 600;
const UINT kButton = 700, kDefButton = 701, kCheckButton = 702;

class CControlsDlg : public CDialog {
public:
  CCheckComboBox combo;
  CCheckableGroupBox outer, inner, radioA, radioB, plain;
  CBlinker lamp;
  CButtonST button, defButton, checkButton;
  int comboChanges = 0;
  int buttonClicks = 0;
  int outerClicks = 0;

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kOuterBox, outer);
    DDX_Control(pDX, kInnerBox, inner);
    DDX_Control(pDX, kRadioA, radioA);
    DDX_Control(pDX, kRadioB, radioB);
    DDX_Control(pDX, kPlainBox, plain);
    DDX_Control(pDX, kLamp, lamp);
    DDX_Control(pDX, kButton, button);
    DDX_Control(pDX, kDefButton, defButton);
    DDX_Control(pDX, kCheckButton, checkButton);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(250, 10, 350, 150), this, kCombo);
    combo.SetFont(GetFont());
    combo.AddString("Alpha");
    combo.AddString("Beta");
    combo.AddString("Gamma");
    outer.SetTitleStyle(BS_AUTOCHECKBOX);
    inner.SetTitleStyle(BS_AUTOCHECKBOX);
    radioA.SetTitleStyle(BS_AUTORADIOBUTTON);
    radioB.SetTitleStyle(BS_AUTORADIOBUTTON);
    radioA.SetGroupID(7);
    radioB.SetGroupID(7);
    return TRUE;
  }
  afx_msg void OnComboChange() { ++comboChanges; }
  afx_msg void OnButton() { ++buttonClicks; }
  afx_msg void OnOuter() { ++outerClicks; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
  ON_CBN_SELCHANGE(kCombo, &CControlsDlg::OnComboChange)
  ON_BN_CLICKED(kButton, &CControlsDlg::OnButton)
  ON_BN_CLICKED(kOuterBox, &CControlsDlg::OnOuter)
END_MESSAGE_MAP()

DialogTemplate ControlsTemplate() {
  DialogTemplate t("Controls test", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 260, 200);
  t.Item(DialogTemplate::Button, kOuterBox, BS_GROUPBOX, "Outer", 5, 5, 150, 95)
      .Item(DialogTemplate::Edit, kOuterEdit, WS_BORDER | WS_TABSTOP, "", 15, 20, 50, 12)
      .Item(DialogTemplate::Static, kOuterLabel, SS_LEFT, "label", 75, 20, 40, 10)
      .Item(DialogTemplate::Button, kInnerBox, BS_GROUPBOX, "Inner", 15, 40, 130, 50)
      .Item(DialogTemplate::Edit, kInnerEdit, WS_BORDER | WS_TABSTOP, "", 25, 60, 50, 12)
      .Item(DialogTemplate::Edit, kOutsideEdit, WS_BORDER | WS_TABSTOP, "", 165, 60, 30, 12)
      .Item(DialogTemplate::Button, kRadioA, BS_GROUPBOX, "Radio A", 5, 105, 60, 30)
      .Item(DialogTemplate::Button, kRadioB, BS_GROUPBOX, "Radio B", 70, 105, 60, 30)
      .Item(DialogTemplate::Button, kPlainBox, BS_GROUPBOX, "Plain", 135, 105, 60, 30)
      .Item(DialogTemplate::Static, kLamp, SS_LEFT, "", 165, 20, 10, 10)
      .Item(DialogTemplate::Button, kButton, BS_PUSHBUTTON | WS_TABSTOP, "Push", 5, 150, 50, 14)
      .Item(DialogTemplate::Button, kDefButton, BS_DEFPUSHBUTTON | WS_TABSTOP, "Default", 60, 150, 50, 14)
      .Item(DialogTemplate::Button, kCheckButton, BS_AUTOCHECKBOX | WS_TABSTOP, "Check", 115, 150, 50, 14);
  return t;
}

// Pumps until done() or the queue stays empty for a while; the counter
// bounds the wait by messages handled, not by time.
template <class Done>
void PumpUntil(Done done, int maxMessages = 2000) {
  for (int i = 0; i < maxMessages && !done(); ++i) {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
    HandleMessage(msg);
  }
}

class SmallControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_tmpl = ControlsTemplate();
    ASSERT_TRUE(dlg.CreateIndirect(m_tmpl.Get()));
    PumpPending();
  }
  void TearDown() override {
    if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
    PumpPending();
  }
  bool Enabled(UINT id) { return ::IsWindowEnabled(::GetDlgItem(dlg, id)) != FALSE; }
  CString Text(CWnd& w) {
    CString s;
    w.GetWindowText(s);
    return s;
  }
  DialogTemplate m_tmpl{"", 0, 0, 0};
  CControlsDlg dlg;
};

TEST_F(SmallControlsTest, CheckComboShowsCheckedItemsJoinedByTheLocaleSeparator) {
  char sep[11] = {0};
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, sep, sizeof sep);
  CString joiner(sep);
  joiner.TrimLeft();
  joiner.TrimRight();
  if (joiner.IsEmpty()) joiner = ";";
  joiner += " ";

  EXPECT_STREQ(Text(dlg.combo), "");
  EXPECT_EQ(dlg.combo.SendMessage(WM_GETTEXTLENGTH), 0);
  EXPECT_NE(dlg.combo.SetItemCheck(0, TRUE), CB_ERR);
  EXPECT_NE(dlg.combo.SetItemCheck(2, TRUE), CB_ERR);
  EXPECT_EQ(dlg.combo.SetItemCheck(5, TRUE), CB_ERR);
  CString want = CString("Alpha") + joiner + "Gamma";
  EXPECT_STREQ(Text(dlg.combo), want);
  EXPECT_EQ(dlg.combo.SendMessage(WM_GETTEXTLENGTH), want.GetLength());
  // A short buffer gets what fits.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(dlg.combo.SendMessage(WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 3);
  EXPECT_STREQ(small, "Alp");

  dlg.combo.SetDisplayText("chosen");
  EXPECT_STREQ(Text(dlg.combo), "chosen");
  dlg.combo.SetItemCheck(0, FALSE);  // the next change shows the summary again
  EXPECT_STREQ(Text(dlg.combo), "Gamma");
  dlg.UpdateWindow();
}

TEST_F(SmallControlsTest, ClickingAnItemOfTheOpenListTogglesItAndKeepsItOpen) {
  dlg.combo.ShowDropDown(TRUE);
  PumpPending();
  ASSERT_TRUE(dlg.combo.GetDroppedState());
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(dlg.combo, &info));
  HWND list = info.hwndList;
  EXPECT_EQ(dlg.combo.GetListHwnd(), list);
  RECT item = {};
  ASSERT_NE(::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);

  EXPECT_FALSE(dlg.combo.GetItemCheck(1));
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(list, WM_LBUTTONUP, 0, at);
  PumpPending();
  EXPECT_TRUE(dlg.combo.GetItemCheck(1));
  EXPECT_EQ(dlg.comboChanges, 1);
  EXPECT_TRUE(dlg.combo.GetDroppedState());
  EXPECT_STREQ(Text(dlg.combo), "Beta");
  // The list never reports a selection to the closed box.
  EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), -1);

  // A second click on the same item unchecks it.
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(list, WM_LBUTTONUP, 0, at);
  EXPECT_FALSE(dlg.combo.GetItemCheck(1));
  EXPECT_EQ(dlg.comboChanges, 2);
  EXPECT_TRUE(dlg.combo.GetDroppedState());
  dlg.combo.ShowDropDown(FALSE);
  PumpPending();
}

TEST_F(SmallControlsTest, GroupBoxTitlesEnableTheirContentsNestedBoxesFollowTheirOwn) {
  EXPECT_EQ(dlg.plain.GetCheck(), -1);  // no title button
  EXPECT_EQ(dlg.plain.SendMessage(BM_GETCHECK), -1);

  dlg.outer.SetCheck(BST_CHECKED);
  dlg.inner.SetCheck(BST_CHECKED);
  struct Step {
    const char* name;
    int outer;
    int inner;
    bool outerEdit, label, innerBox, innerEdit;
  };
  const Step steps[] = {
      {"both checked", BST_CHECKED, BST_CHECKED, true, true, true, true},
      {"outer unchecked", BST_UNCHECKED, BST_CHECKED, false, false, false, false},
      {"outer checked again: inner's contents follow inner", BST_CHECKED, BST_CHECKED, true, true, true, true},
      {"inner unchecked", BST_CHECKED, BST_UNCHECKED, true, true, true, false},
      {"outer off and on with inner unchecked", BST_UNCHECKED, BST_UNCHECKED, false, false, false, false},
      {"outer on, inner still off", BST_CHECKED, BST_UNCHECKED, true, true, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    dlg.inner.SendMessage(BM_SETCHECK, s.inner);
    dlg.outer.SendMessage(BM_SETCHECK, s.outer);
    EXPECT_EQ(dlg.outer.SendMessage(BM_GETCHECK), s.outer);
    EXPECT_EQ(Enabled(kOuterEdit), s.outerEdit);
    EXPECT_EQ(Enabled(kOuterLabel), s.label);
    EXPECT_EQ(Enabled(kInnerBox), s.innerBox);
    EXPECT_EQ(Enabled(kInnerEdit), s.innerEdit);
    EXPECT_TRUE(Enabled(kOutsideEdit));
    EXPECT_TRUE(Enabled(kOuterBox));
  }

  // Statics can be left alone.
  dlg.outer.SetTitleStyle(BS_AUTOCHECKBOX, TRUE);
  dlg.outer.SetCheck(BST_UNCHECKED);
  EXPECT_FALSE(Enabled(kOuterEdit));
  EXPECT_TRUE(Enabled(kOuterLabel));

  // Clicking the title toggles it, updates the contents and tells the parent.
  dlg.outer.GetTitle().SendMessage(BM_CLICK);
  EXPECT_EQ(dlg.outer.GetCheck(), BST_CHECKED);
  EXPECT_TRUE(Enabled(kOuterEdit));
  EXPECT_EQ(dlg.outerClicks, 1);
}

TEST_F(SmallControlsTest, RadioTitlesOfOneGroupExcludeEachOther) {
  dlg.radioA.GetTitle().SendMessage(BM_CLICK);
  EXPECT_EQ(dlg.radioA.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dlg.radioB.GetCheck(), BST_UNCHECKED);
  dlg.radioB.GetTitle().SendMessage(BM_CLICK);
  EXPECT_EQ(dlg.radioB.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dlg.radioA.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(dlg.outer.GetCheck(), BST_UNCHECKED);  // other boxes untouched
}

TEST_F(SmallControlsTest, LampBlinksOnceOrUntilStopped) {
  COLORREF first = 0, second = 0;
  dlg.lamp.SetColour(1, 1, true);
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), 0x009600u);
  dlg.lamp.SetColour(2, 2, true);
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), 0xFA0000u);
  dlg.lamp.SetColour(3, 0, true);
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), 0xFFFFFFu);
  dlg.lamp.SetColour(42, 1, true);  // unknown scheme: unchanged
  EXPECT_EQ(dlg.lamp.GetScheme(), 3);
  first = 0x00D2D2, second = 0x00FFFF;

  // Once: starts on the second shade, changes to the first, and stays.
  dlg.lamp.StartBlinking(10, true);
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), second);
  EXPECT_TRUE(dlg.lamp.IsBlinking());
  PumpUntil([&] { return !dlg.lamp.IsBlinking(); });
  EXPECT_FALSE(dlg.lamp.IsBlinking());
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), first);
  // Later timer ticks (if any were queued) change nothing.
  dlg.lamp.SendMessage(WM_TIMER, 1);
  PumpPending();
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), first);

  // Repeating: first shade, then the other, until stopped.
  dlg.lamp.StartBlinking(10, false);
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), first);
  PumpUntil([&] { return dlg.lamp.GetCurrentColour() == second; });
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), second);
  PumpUntil([&] { return dlg.lamp.GetCurrentColour() == first; });
  EXPECT_TRUE(dlg.lamp.IsBlinking());
  dlg.lamp.StopBlinking(true);
  EXPECT_FALSE(dlg.lamp.IsBlinking());
  EXPECT_EQ(dlg.lamp.GetCurrentColour(), second);
  dlg.lamp.UpdateWindow();
}

TEST_F(SmallControlsTest, DrawnButtonStylesChecksAndDoubleClicks) {
  // Every kind is drawn by the program now.
  EXPECT_EQ(dlg.button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_EQ(dlg.checkButton.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_FALSE(dlg.button.IsDefault());
  EXPECT_TRUE(dlg.defButton.IsDefault());
  EXPECT_TRUE(dlg.defButton.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
  EXPECT_TRUE(dlg.button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
  dlg.defButton.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_FALSE(dlg.defButton.IsDefault());
  EXPECT_EQ(dlg.defButton.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  dlg.defButton.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(dlg.defButton.IsDefault());

  // Pressed styles.
  EXPECT_EQ(dlg.button.SetPressedStyle(7), 6u);
  EXPECT_EQ(dlg.button.GetPressedOffset(), CSize(1, 1));
  EXPECT_EQ(dlg.button.SetPressedStyle(1), 0u);
  EXPECT_EQ(dlg.button.GetPressedOffset(), CSize(0, 2));
  EXPECT_EQ(dlg.button.SetPressedStyle(2), 6u);
  EXPECT_EQ(dlg.button.GetPressedOffset(), CSize(0, 2));
  EXPECT_EQ(dlg.button.SetPressedStyle(0), 0u);
  EXPECT_EQ(dlg.button.GetPressedOffset(), CSize(1, 1));

  // Check-box mode: clicks toggle, BM_SETCHECK 1 or 2 checks.
  EXPECT_TRUE(dlg.checkButton.IsCheckBox());
  EXPECT_FALSE(dlg.button.IsCheckBox());
  EXPECT_EQ(dlg.checkButton.SendMessage(BM_GETCHECK), 0);
  dlg.checkButton.SendMessage(BM_CLICK);
  EXPECT_EQ(dlg.checkButton.GetCheck(), 1);
  dlg.checkButton.SendMessage(BM_CLICK);
  EXPECT_EQ(dlg.checkButton.GetCheck(), 0);
  const int setChecks[][2] = {{BST_CHECKED, 1}, {BST_UNCHECKED, 0}, {BST_INDETERMINATE, 1}, {7, 0}};
  for (const auto& c : setChecks) {
    dlg.checkButton.SendMessage(BM_SETCHECK, c[0]);
    EXPECT_EQ(dlg.checkButton.SendMessage(BM_GETCHECK), c[1]) << c[0];
  }
  dlg.button.SetCheck(1);  // not a check box: no state
  EXPECT_EQ(dlg.button.GetCheck(), 0);

  // A double click, as the pump delivers it, is two clicks for the parent.
  dlg.buttonClicks = 0;
  LPARAM at = MAKELPARAM(5, 5);
  dlg.button.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  dlg.button.PostMessage(WM_LBUTTONUP, 0, at);
  dlg.button.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  dlg.button.PostMessage(WM_LBUTTONUP, 0, at);
  PumpPending();
  EXPECT_EQ(dlg.buttonClicks, 2);
  // And straight to the window, with no pump in between, the same.
  dlg.button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  dlg.button.SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_EQ(dlg.buttonClicks, 3);

  // Colours and the web link.
  COLORREF cr = 0;
  EXPECT_EQ(dlg.button.SetColor(CButtonST::BTNST_COLOR_BK_IN, RGB(1, 2, 3)), 0u);
  EXPECT_EQ(dlg.button.GetColor(CButtonST::BTNST_COLOR_BK_IN, &cr), 0u);
  EXPECT_EQ(cr, RGB(1, 2, 3));
  EXPECT_EQ(dlg.button.SetColor(6, RGB(1, 2, 3)), static_cast<DWORD>(CButtonST::BTNST_INVALIDINDEX));
  dlg.button.SetDefaultColors();
  dlg.button.GetColor(CButtonST::BTNST_COLOR_BK_IN, &cr);
  EXPECT_EQ(cr, ::GetSysColor(COLOR_BTNFACE));
  std::string longUrl(400, 'u');
  dlg.button.SetURL(longUrl.c_str());
  EXPECT_EQ(strlen(dlg.button.GetURL()), static_cast<size_t>(MAX_PATH));
  dlg.button.SetURL("");
  EXPECT_STREQ(dlg.button.GetURL(), "");
  dlg.UpdateWindow();
}

}  // namespace
