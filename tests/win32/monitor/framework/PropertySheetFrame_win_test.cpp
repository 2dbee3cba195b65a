// The class layer's property sheet, frame window, registered window classes
// and the tab and slider wrappers: a modal sheet runs its pages'
// PreTranslateMessage in its own loop and answers OK or Cancel, has no Help
// button, shows its title; a frame is made in its rectangle, may be changed
// before creation, deletes itself after its window and survives a refused
// creation; equal class requests share one class.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const UINT kPageEdit = 300;
const UINT kHelpButton = 9;  // the sheet's Help button (IDHELP)
const UINT_PTR kDriveTimer = 77;
const UINT kDriveMs = 30;

DialogTemplate PageTemplate(const char* caption) {
  DialogTemplate t(caption, WS_CHILD | WS_CAPTION | DS_CONTROL, 200, 100);
  t.Item(DialogTemplate::Edit, kPageEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 10, 10, 80, 12);
  return t;
}

// A page that records what reaches it.
class CRecordingPage : public CPropertyPage {
public:
  explicit CRecordingPage(const DialogTemplate& t) : CPropertyPage(0) { InitPageIndirect(t.Get()); }
  int initCount = 0;
  int applyCount = 0;
  int resetCount = 0;
  int preTranslatedKeys = 0;
  bool refuseApply = false;

  BOOL OnInitDialog() override {
    ++initCount;
    return CPropertyPage::OnInitDialog();
  }
  BOOL OnApply() override {
    ++applyCount;
    return !refuseApply;
  }
  void OnReset() override { ++resetCount; }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F7) ++preTranslatedKeys;
    return CPropertyPage::PreTranslateMessage(pMsg);
  }
};

// What the test does while the sheet's modal loop runs: one step per timer
// tick, on the sheet's thread.
class CDrivenSheet : public CPropertySheet {
public:
  using Step = void (*)(CDrivenSheet&);
  explicit CDrivenSheet(const char* title) : CPropertySheet(title) {}
  std::vector<Step> steps;
  size_t next = 0;
  bool helpVisible = true;
  std::string caption;

  static CDrivenSheet* s_running;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    CDrivenSheet* self = s_running;
    if (self == nullptr || self->next >= self->steps.size()) return;
    self->steps[self->next++](*self);
  }

protected:
  BOOL OnInitDialog() override {
    s_running = this;
    ::SetTimer(m_hWnd, kDriveTimer, kDriveMs, &CDrivenSheet::Tick);
    return CPropertySheet::OnInitDialog();
  }
};
CDrivenSheet* CDrivenSheet::s_running = nullptr;

void Press(CDrivenSheet& sheet, UINT id) {
  ::PostMessageA(sheet.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(sheet.m_hWnd, static_cast<int>(id))));
}

void LookAtSheet(CDrivenSheet& sheet) {
  HWND help = ::GetDlgItem(sheet.m_hWnd, kHelpButton);
  sheet.helpVisible = help != nullptr && ::IsWindowVisible(help);
  char text[128] = {};
  ::GetWindowTextA(sheet.m_hWnd, text, sizeof text);
  sheet.caption = text;
}

void KeyToActivePageEdit(CDrivenSheet& sheet) {
  CPropertyPage* page = sheet.GetActivePage();
  if (page == nullptr) return;
  ::PostMessageA(::GetDlgItem(page->m_hWnd, kPageEdit), WM_KEYDOWN, VK_F7, 0);
}

TEST(FrameworkPropertySheet, ModalSheetRunsPagesPreTranslateAndEndsWithOk) {
  DialogTemplate t1 = PageTemplate("First"), t2 = PageTemplate("Second");
  CRecordingPage first(t1), second(t2);
  CDrivenSheet sheet("Settings");
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.steps = {&LookAtSheet, &KeyToActivePageEdit, [](CDrivenSheet& s) { Press(s, IDOK); }};

  EXPECT_EQ(IDOK, sheet.DoModal());
  EXPECT_EQ("Settings", sheet.caption);
  EXPECT_FALSE(sheet.helpVisible);
  EXPECT_EQ(1, first.initCount);
  EXPECT_EQ(1, first.preTranslatedKeys);  // inside the sheet's own loop
  EXPECT_EQ(1, first.applyCount);
  EXPECT_EQ(0, second.initCount);  // never shown, never made
  EXPECT_EQ(nullptr, sheet.m_hWnd);
  EXPECT_EQ(nullptr, first.m_hWnd);
}

TEST(FrameworkPropertySheet, CancelAndRefusedOkAnswerCancel) {
  DialogTemplate t1 = PageTemplate("Only");
  CRecordingPage page(t1);
  page.refuseApply = true;
  CDrivenSheet sheet("Refusing");
  sheet.AddPage(&page);
  // OK is refused by the page, so the sheet stays until Cancel.
  sheet.steps = {[](CDrivenSheet& s) { Press(s, IDOK); }, [](CDrivenSheet& s) { Press(s, IDCANCEL); }};
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_EQ(1, page.applyCount);
  EXPECT_EQ(1, page.resetCount);
}

TEST(FrameworkPropertySheet, SetActivePageBeforeDoModalOpensThatPage) {
  DialogTemplate t1 = PageTemplate("One"), t2 = PageTemplate("Two");
  CRecordingPage one(t1), two(t2);
  CDrivenSheet sheet("Start");
  sheet.AddPage(&one);
  sheet.AddPage(&two);
  EXPECT_TRUE(sheet.SetActivePage(1));
  EXPECT_FALSE(sheet.SetActivePage(2));
  static int s_activeIndex;
  s_activeIndex = -2;
  sheet.steps = {[](CDrivenSheet& s) { s_activeIndex = s.GetActiveIndex(); },
                 [](CDrivenSheet& s) { s.EndDialog(IDCANCEL); }};
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_EQ(1, s_activeIndex);
  EXPECT_EQ(0, one.initCount);
  EXPECT_EQ(1, two.initCount);
}

TEST(FrameworkPropertySheet, SheetWithoutPagesIsRefused) {
  CPropertySheet sheet("Empty");
  EXPECT_EQ(-1, sheet.DoModal());
}

// ---- CFrameWnd and AfxRegisterWndClass ----------------------------------------

class CTestFrame : public CFrameWnd {
public:
  explicit CTestFrame(bool* deleted) : m_deleted(deleted) {}
  ~CTestFrame() override { *m_deleted = true; }
  bool refuseCreate = false;
  DWORD removeStyle = 0;
  HWND owner = nullptr;
  int createCalls = 0;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override {
    cs.style &= ~removeStyle;
    if (owner != nullptr) cs.hwndParent = owner;
    return CFrameWnd::PreCreateWindow(cs);
  }

protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
    ++createCalls;
    if (refuseCreate) return -1;
    return CFrameWnd::OnCreate(lpCreateStruct);
  }
  DECLARE_MESSAGE_MAP()

private:
  bool* m_deleted;
};
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(FrameworkFrameWnd, CreatesInItsRectangleAndDeletesItselfAfterItsWindow) {
  bool deleted = false;
  CTestFrame* frame = new CTestFrame(&deleted);
  HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  frame->owner = owner;
  frame->removeStyle = WS_CAPTION | WS_THICKFRAME;
  ASSERT_TRUE(frame->Create(nullptr, "", WS_POPUP | WS_CAPTION | WS_THICKFRAME, CRect(40, 50, 240, 150)));
  HWND h = frame->m_hWnd;
  CRect r;
  ::GetWindowRect(h, &r);
  EXPECT_EQ(CRect(40, 50, 240, 150), r);
  EXPECT_EQ(0u, frame->GetStyle() & (WS_CAPTION | WS_THICKFRAME));  // PreCreateWindow's change
  EXPECT_EQ(owner, ::GetWindow(h, GW_OWNER));
  EXPECT_EQ(1, frame->createCalls);
  EXPECT_FALSE(deleted);
  ::DestroyWindow(h);
  EXPECT_TRUE(deleted);
  ::DestroyWindow(owner);
}

TEST(FrameworkFrameWnd, RefusedCreationLeavesTheObjectToTheCaller) {
  bool deleted = false;
  CTestFrame* frame = new CTestFrame(&deleted);
  frame->refuseCreate = true;
  EXPECT_FALSE(frame->Create(nullptr, "", WS_POPUP, CRect(0, 0, 50, 50)));
  EXPECT_FALSE(deleted);
  EXPECT_EQ(nullptr, frame->m_hWnd);
  EXPECT_EQ(1, frame->createCalls);
  delete frame;
  EXPECT_TRUE(deleted);
}

TEST(FrameworkFrameWnd, RegisteredClassesAreSharedByEqualRequests) {
  HCURSOR arrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  LPCTSTR plain = AfxRegisterWndClass(0, arrow);
  LPCTSTR again = AfxRegisterWndClass(0, arrow);
  LPCTSTR shadow = AfxRegisterWndClass(CS_DROPSHADOW, arrow);
  ASSERT_NE(nullptr, plain);
  ASSERT_NE(nullptr, shadow);
  EXPECT_EQ(plain, again);
  EXPECT_STRNE(plain, shadow);
  WNDCLASSA wc = {};
  ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), shadow, &wc));
  EXPECT_EQ(static_cast<UINT>(CS_DROPSHADOW), wc.style);
  EXPECT_EQ(arrow, wc.hCursor);
}

// ---- CTabCtrl and CSliderCtrl ---------------------------------------------------

TEST(FrameworkCommonControls, TabsAndSliderAnswerTheirCalls) {
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr));
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &host, 10));
  EXPECT_EQ(0, tabs.InsertItem(0, "Alpha"));
  EXPECT_EQ(1, tabs.InsertItem(1, "Beta"));
  EXPECT_EQ(2, tabs.GetItemCount());
  EXPECT_EQ(0, tabs.GetCurSel());
  EXPECT_EQ(0, tabs.SetCurSel(1));
  EXPECT_EQ(1, tabs.GetCurSel());
  EXPECT_EQ(1, tabs.GetRowCount());
  CRect item;
  EXPECT_TRUE(tabs.GetItemRect(0, &item));
  EXPECT_GT(item.Height(), 0);
  char text[16] = {};
  TCITEMA tci = {};
  tci.mask = TCIF_TEXT;
  tci.pszText = text;
  tci.cchTextMax = sizeof text;
  EXPECT_TRUE(tabs.GetItem(1, &tci));
  EXPECT_STREQ("Beta", text);
  EXPECT_TRUE(tabs.DeleteItem(0));
  EXPECT_EQ(1, tabs.GetItemCount());

  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, CRect(0, 210, 300, 240), &host, 11));
  slider.SetRange(1, 1000);
  EXPECT_EQ(1, slider.GetRangeMin());
  EXPECT_EQ(1000, slider.GetRangeMax());
  slider.SetPos(500);
  EXPECT_EQ(500, slider.GetPos());
  slider.SetPos(5000);  // clamped to the range
  EXPECT_EQ(1000, slider.GetPos());
  slider.SetPos(0);
  EXPECT_EQ(1, slider.GetPos());
  slider.SetTicFreq(500);
  const int sparse = slider.GetNumTics();
  slider.SetTicFreq(100);
  EXPECT_GT(slider.GetNumTics(), sparse);
  host.DestroyWindow();
}

}  // namespace
