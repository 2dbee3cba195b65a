// Dialogs with list boxes and date-time pickers, menu tracking, and float
// fields: a user's selection and date change reach the mapped handlers, the
// pickers hold what is set, and a float field is checked as the integer
// ones are. Message boxes go to a scripted prompter.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/afx.h"
#include "DialogTemplate.h"

namespace {

const UINT kList = 1708;
const UINT kStartDate = 1020;
const UINT kStartTime = 1019;
const UINT kFloatEdit = 1500;
const UINT kMenuItem = 32964;
const float kMaxSplit = 100000.0f;

const DWORD kDateStyle = DTS_SHORTDATEFORMAT | WS_TABSTOP;
const DWORD kTimeStyle = DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP;

class CPickerDlg : public CDialog {
public:
  CDateTimeCtrl startDate;
  CDateTimeCtrl startTime;
  CListBox ports;
  float split = 2.5f;
  std::vector<std::string> log;
  struct MenuSelect {
    UINT item, flags;
    HMENU menu;
  };
  std::vector<MenuSelect> menuSelects;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kStartDate, startDate);
    DDX_Control(pDX, kStartTime, startTime);
    DDX_Control(pDX, kList, ports);
    DDX_Text(pDX, kFloatEdit, split);
    DDV_MinMaxFloat(pDX, split, 0.0f, kMaxSplit);
  }

protected:
  afx_msg void OnPortChange() { log.push_back("port " + std::to_string(ports.GetCurSel())); }
  afx_msg void OnStartDateChange(NMHDR* pNMHDR, LRESULT* pResult) {
    log.push_back("date change from " + std::to_string(pNMHDR->idFrom));
    *pResult = 0;
  }
  afx_msg void OnStartTimeChange(NMHDR* pNMHDR, LRESULT* pResult) {
    const NMDATETIMECHANGE* change = reinterpret_cast<const NMDATETIMECHANGE*>(pNMHDR);
    log.push_back("time change to " + std::to_string(change->st.wHour) + ":" +
                  std::to_string(change->st.wMinute));
    *pResult = 0;
  }
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
    menuSelects.push_back({nItemID, nFlags, hSysMenu});
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPickerDlg, CDialog)
  ON_LBN_SELCHANGE(kList, &CPickerDlg::OnPortChange)
  ON_NOTIFY(DTN_DATETIMECHANGE, kStartDate, &CPickerDlg::OnStartDateChange)
  ON_NOTIFY(DTN_DATETIMECHANGE, kStartTime, &CPickerDlg::OnStartTimeChange)
  ON_WM_MENUSELECT()
END_MESSAGE_MAP()

// A dialog that does not map WM_MENUSELECT: default handling only.
class CPlainDlg : public CDialog {};

DialogTemplate PickerTemplate() {
  DialogTemplate t("Pickers", WS_POPUP | WS_CAPTION | WS_SYSMENU, 220, 140);
  t.Item(DialogTemplate::ListBox, kList, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, "", 5, 5, 60, 60)
      .Item(DATETIMEPICK_CLASSA, kStartDate, kDateStyle, "", 80, 5, 80, 14)
      .Item(DATETIMEPICK_CLASSA, kStartTime, kTimeStyle, "", 80, 25, 80, 14)
      .Item(DialogTemplate::Edit, kFloatEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 80, 45, 60, 12);
  return t;
}

SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME st = {};
  st.wYear = year, st.wMonth = month, st.wDay = day;
  st.wHour = hour, st.wMinute = minute, st.wSecond = second;
  return st;
}

// Opens the dialog from its template, as the program's dialogs are.
class FrameworkPickers : public ::testing::Test {
protected:
  void SetUp() override {
    // Left hidden: showing a window costs seconds under a virtual display.
    ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get()));
  }
  void TearDown() override {
    if (::IsWindow(dlg.m_hWnd)) dlg.DestroyWindow();
  }
  ScriptedPrompter prompter;
  CPrompterScope scope{&prompter};
  DialogTemplate tmpl = PickerTemplate();
  CPickerDlg dlg;
};

TEST_F(FrameworkPickers, ListSelectionByTheUserReachesOnLbnSelChange) {
  ASSERT_NE(nullptr, dlg.ports.m_hWnd);  // bound through DDX_Control
  for (const char* port : {"Playback", "COM 5", "COM 6"}) dlg.ports.AddString(port);
  EXPECT_EQ(3, dlg.ports.GetCount());
  EXPECT_EQ(LB_ERR, dlg.ports.GetCurSel());
  dlg.ports.SetCurSel(0);  // set by the program: no notification
  EXPECT_TRUE(dlg.log.empty());

  // The user moves the selection down twice with the keyboard.
  dlg.ports.SetFocus();
  dlg.ports.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  dlg.ports.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ((std::vector<std::string>{"port 1", "port 2"}), dlg.log);
  CString text;
  EXPECT_EQ(5, dlg.ports.GetText(2, text));
  EXPECT_EQ(CString("COM 6"), text);
  EXPECT_EQ(2, dlg.ports.FindStringExact(-1, "com 6"));  // the system's rule: any case

  // Another control's selection code does not reach the handler.
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kFloatEdit, LBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(kFloatEdit)->m_hWnd));
  EXPECT_EQ(2u, dlg.log.size());
}

TEST_F(FrameworkPickers, DateTimeChangesReachTheHandlerOfTheirPicker) {
  ASSERT_NE(nullptr, dlg.startDate.m_hWnd);
  ASSERT_NE(nullptr, dlg.startTime.m_hWnd);
  EXPECT_TRUE(dlg.startDate.IsKindOf(RUNTIME_CLASS(CDateTimeCtrl)));
  SYSTEMTIME st = MakeTime(2024, 3, 15, 13, 45, 30);
  ASSERT_TRUE(dlg.startTime.SetTime(&st));  // set by the program: no notification
  ASSERT_TRUE(dlg.startDate.SetTime(&st));
  EXPECT_TRUE(dlg.log.empty());

  // The user steps the time picker's up-down control: the change carries
  // the time the picker then holds.
  dlg.startTime.SetFocus();
  dlg.startTime.SendMessage(WM_KEYDOWN, VK_UP, 0);
  ASSERT_EQ(1u, dlg.log.size());
  SYSTEMTIME now = {};
  ASSERT_TRUE(dlg.startTime.GetTime(&now));
  EXPECT_EQ("time change to " + std::to_string(now.wHour) + ":" + std::to_string(now.wMinute), dlg.log[0]);

  // A change of the other picker, in the shape the control sends it.
  NMDATETIMECHANGE change = {};
  change.nmhdr.hwndFrom = dlg.startDate.m_hWnd;
  change.nmhdr.idFrom = kStartDate;
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.st = st;
  dlg.SendMessage(WM_NOTIFY, kStartDate, reinterpret_cast<LPARAM>(&change));
  ASSERT_EQ(2u, dlg.log.size());
  EXPECT_EQ("date change from " + std::to_string(kStartDate), dlg.log[1]);
}

TEST_F(FrameworkPickers, PickersHoldWhatIsSetAsSystemTimeOrCTime) {
  SYSTEMTIME st = MakeTime(2031, 12, 31, 23, 59, 58);
  ASSERT_TRUE(dlg.startTime.SetTime(&st));
  SYSTEMTIME got = {};
  ASSERT_TRUE(dlg.startTime.GetTime(&got));
  EXPECT_EQ(2031, got.wYear);
  EXPECT_EQ(12, got.wMonth);
  EXPECT_EQ(31, got.wDay);
  EXPECT_EQ(23, got.wHour);
  EXPECT_EQ(59, got.wMinute);
  EXPECT_EQ(58, got.wSecond);
  EXPECT_FALSE(dlg.startTime.GetTime(static_cast<SYSTEMTIME*>(nullptr)));

  // Local times, one of them past 2038 (CTime is 64-bit in every build).
  const CTime times[] = {CTime(2024, 7, 1, 0, 0, 1), CTime(2024, 1, 31, 12, 30, 0),
                         CTime(2040, 2, 29, 6, 7, 8)};
  for (const CTime& t : times) {
    ASSERT_TRUE(dlg.startDate.SetTime(t)) << t.GetTime();
    CTime back;
    ASSERT_TRUE(dlg.startDate.GetTime(back)) << t.GetTime();
    EXPECT_EQ(t, back) << t.GetTime();
  }

  // No such date: refused, the control keeps its time.
  SYSTEMTIME bad = MakeTime(2023, 2, 30, 0, 0, 0);
  EXPECT_FALSE(dlg.startDate.SetTime(&bad));
  CTime kept;
  ASSERT_TRUE(dlg.startDate.GetTime(kept));
  EXPECT_EQ(times[2], kept);
}

TEST(FrameworkPickersCreated, ShowNonePickerMadeWithCreateCanHoldNoTime) {
  DialogTemplate tmpl("Host", WS_POPUP | WS_CAPTION, 120, 60);
  CDialog host;
  ASSERT_TRUE(host.CreateIndirect(tmpl.Get()));
  CDateTimeCtrl picker;
  ASSERT_TRUE(picker.Create(WS_CHILD | WS_VISIBLE | DTS_SHORTDATEFORMAT | DTS_SHOWNONE,
                            CRect(5, 5, 120, 25), &host, 77));
  char cls[32] = {};
  ::GetClassNameA(picker.m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(DATETIMEPICK_CLASSA, cls);
  SYSTEMTIME st = MakeTime(2025, 5, 6, 7, 8, 9);
  ASSERT_TRUE(picker.SetTime(&st));
  SYSTEMTIME got = {};
  EXPECT_TRUE(picker.GetTime(&got));
  EXPECT_TRUE(picker.SetTime(static_cast<const SYSTEMTIME*>(nullptr)));  // cleared
  EXPECT_FALSE(picker.GetTime(&got));
  CTime t(123);
  EXPECT_FALSE(picker.GetTime(t));
  EXPECT_EQ(123, t.GetTime());  // left alone
  host.DestroyWindow();
}

TEST_F(FrameworkPickers, MenuSelectionReachesOnMenuSelect) {
  HMENU menu = ::CreatePopupMenu();
  ASSERT_NE(nullptr, menu);
  ::AppendMenuA(menu, MF_STRING, kMenuItem, "&Convert...");
  dlg.SendMessage(WM_MENUSELECT, MAKEWPARAM(kMenuItem, MF_HILITE | MF_MOUSESELECT),
                  reinterpret_cast<LPARAM>(menu));
  dlg.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);  // the menu closed
  ASSERT_EQ(2u, dlg.menuSelects.size());
  EXPECT_EQ(kMenuItem, dlg.menuSelects[0].item);
  EXPECT_EQ(static_cast<UINT>(MF_HILITE | MF_MOUSESELECT), dlg.menuSelects[0].flags);
  EXPECT_EQ(menu, dlg.menuSelects[0].menu);
  EXPECT_EQ(0u, dlg.menuSelects[1].item);
  EXPECT_EQ(0xFFFFu, dlg.menuSelects[1].flags);
  EXPECT_EQ(nullptr, dlg.menuSelects[1].menu);
  ::DestroyMenu(menu);

  // Without the entry the message gets the default handling.
  DialogTemplate plainTmpl("Plain", WS_POPUP | WS_CAPTION, 60, 40);
  CPlainDlg plain;
  ASSERT_TRUE(plain.CreateIndirect(plainTmpl.Get()));
  EXPECT_EQ(0, plain.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0));
  plain.DestroyWindow();
}

TEST_F(FrameworkPickers, FloatFieldsAreWrittenReadAndChecked) {
  // Written with a float's digits when the dialog opened.
  EXPECT_EQ(CString("2.5"), [&] { CString s; dlg.GetDlgItemText(kFloatEdit, s); return s; }());
  struct Shown {
    float value;
    const char* text;
  };
  const Shown shown[] = {{0.1f, "0.1"}, {12345.678f, "12345.7"}, {100000.0f, "100000"}, {0.0f, "0"},
                         {-1.5e-7f, "-1.5e-07"}};
  for (const Shown& s : shown) {
    dlg.split = s.value;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    CString text;
    dlg.GetDlgItemText(kFloatEdit, text);
    EXPECT_EQ(CString(s.text), text) << s.text;
  }

  struct Read {
    const char* text;
    float value;          // when accepted
    const char* message;  // nullptr: accepted
  };
  const Read reads[] = {
      {" 10.25 ", 10.25f, nullptr},
      {"100000", kMaxSplit, nullptr},
      {"0", 0.0f, nullptr},
      {"1e3", 1000.0f, nullptr},
      {"abc", 0, "Please enter a number."},
      {"", 0, "Please enter a number."},
      {"3.5x", 0, "Please enter a number."},
      {"1e39", 0, "Please enter a number."},  // beyond a float
      {"inf", 0, "Please enter a number."},
      {"nan", 0, "Please enter a number."},
      {"100000.5", 0, "Please enter a number between 0 and 100000."},
      {"-0.01", 0, "Please enter a number between 0 and 100000."},
  };
  for (const Read& r : reads) {
    prompter.boxes.clear();
    dlg.split = -7.0f;
    dlg.SetDlgItemText(kFloatEdit, r.text);
    BOOL ok = dlg.UpdateData(TRUE);
    EXPECT_EQ(r.message == nullptr, ok != FALSE) << r.text;
    if (r.message == nullptr) {
      EXPECT_EQ(r.value, dlg.split) << r.text;
      EXPECT_TRUE(prompter.boxes.empty()) << r.text;
    } else {
      ASSERT_EQ(1u, prompter.boxes.size()) << r.text;
      EXPECT_EQ(r.message, prompter.boxes[0].text);
      EXPECT_EQ(dlg.GetDlgItem(kFloatEdit)->m_hWnd, ::GetFocus()) << r.text;  // back on the field
    }
  }
}

}  // namespace
