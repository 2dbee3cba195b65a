// The balloon pop-up: one at a time, placed over its window with the
// caption shift and a client area that is the whole window, one line or
// wrapped text, closed by its timer or a click inside its rounded shape
// while clicks beside its corners reach the window below, nothing left when
// its shape cannot be made, no windows left after many, and drop shadows
// only from Windows XP on.
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "controls/BalloonGeometry.h"
#include "controls/CBalloonWindow.h"
#include "framework/afx.h"
#include "model/WindowsVersion.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const COLORREF kText = RGB(0, 0, 200);
const COLORREF kFill = RGB(255, 255, 225);
const int kWidth = 360, kHeight = 170;
const int kLongSeconds = 60;
const CRect kAnchorRect(100, 100, 500, 300);

int CaptionShift() {
  return BalloonCaptionShift(::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYFRAME));
}

BOOL CALLBACK CountOwnWindow(HWND hWnd, LPARAM lParam) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid == ::GetCurrentProcessId()) ++*reinterpret_cast<int*>(lParam);
  return TRUE;
}

// The process's top-level windows, visible or not.
int CountProcessWindows() {
  int n = 0;
  ::EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Pumps until the condition holds or the time is up.
template <class Condition>
bool PumpUntil(Condition done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    PumpPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A plain window for the balloon to stand over; it counts the clicks it gets.
class CBelowWnd : public CWnd {
public:
  int clicks = 0;

protected:
  afx_msg void OnLButtonDown(UINT, CPoint) { ++clicks; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBelowWnd, CWnd)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class BalloonTest : public ::testing::Test {
protected:
  void SetUp() override {
    CloseActiveBalloon();
    // Shown without activation: Wine waits for a window manager when an
    // active window closes.
    ASSERT_TRUE(below.CreateEx(0, nullptr, "below", WS_POPUP, kAnchorRect, nullptr, 0));
    below.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    PumpPending();
  }
  void TearDown() override {
    CloseActiveBalloon();
    CBalloonWindow::SetRegionCopier(nullptr);
    SetInjectedWindowsVersion(nullptr);
    DetectWindowsVersion();
    below.DestroyWindow();
    PumpPending();
  }
  CBalloonWindow* Show(LPCTSTR text, int seconds = kLongSeconds, bool centred = true) {
    CBalloonWindow* b = ShowBalloonOverWindow(&below, kWidth, kHeight, text, seconds, kText, kFill, centred);
    PumpPending();
    return b;
  }
  // The rows of the text rectangle holding text-coloured pixels: first and last.
  std::pair<int, int> InkRows(CBalloonWindow* b) {
    b->RedrawWindow();
    const CRect r = b->GetTextRect();
    HDC dc = ::GetDC(b->m_hWnd);
    int first = -1, last = -1;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const COLORREF c = ::GetPixel(dc, x, y);
        if (c != CLR_INVALID && GetBValue(c) > 120 && GetRValue(c) < 120 && GetGValue(c) < 120) {
          if (first < 0) first = y;
          last = y;
          break;
        }
      }
    }
    ::ReleaseDC(b->m_hWnd, dc);
    return {first, last};
  }

  CBelowWnd below;
};

TEST_F(BalloonTest, SecondBalloonClosesTheFirst) {
  CBalloonWindow* first = Show("First");
  ASSERT_NE(nullptr, first);
  const HWND hFirst = first->m_hWnd;
  const int windows = CountProcessWindows();
  CBalloonWindow* second = Show("Second");
  ASSERT_NE(nullptr, second);
  EXPECT_FALSE(::IsWindow(hFirst));
  EXPECT_EQ(second, GetActiveBalloon());
  EXPECT_TRUE(IsBalloonShown());
  EXPECT_EQ(windows, CountProcessWindows());  // one balloon and its owner, never two
  const HWND hSecond = second->m_hWnd;
  CloseActiveBalloon();
  EXPECT_FALSE(::IsWindow(hSecond));
  EXPECT_EQ(nullptr, GetActiveBalloon());
  EXPECT_FALSE(IsBalloonShown());
}

TEST_F(BalloonTest, SitsOverItsWindowBelowTheCaptionShiftWithNoFrame) {
  CBalloonWindow* b = Show("Placed");
  ASSERT_NE(nullptr, b);
  const int shift = CaptionShift();
  CRect window, client;
  b->GetWindowRect(&window);
  b->GetClientRect(&client);
  EXPECT_EQ(CRect(120, 115 + shift, 480, 285 + shift), window);
  // The frame change took the caption and the borders away: the client area
  // is the whole window, and text and shape were measured on it.
  EXPECT_EQ(CRect(0, 0, kWidth, kHeight), client);
  EXPECT_EQ(CRect(18, 17, 342, 161), b->GetTextRect());
  EXPECT_EQ(0u, b->GetStyle() & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_NE(0u, b->GetExStyle() & WS_EX_TOPMOST);
  EXPECT_TRUE(b->IsWindowVisible());
  const HWND owner = ::GetWindow(b->m_hWnd, GW_OWNER);
  ASSERT_NE(nullptr, owner);
  EXPECT_FALSE(::IsWindowVisible(owner));
  EXPECT_NE(b->m_hWnd, ::GetActiveWindow());  // shown without taking the focus
}

TEST_F(BalloonTest, ShortTextOnOneCentredLineLongTextWraps) {
  CBalloonWindow* b = Show("Done!");
  ASSERT_NE(nullptr, b);
  const std::pair<int, int> one = InkRows(b);
  EXPECT_EQ(static_cast<UINT>(DT_SINGLELINE | DT_VCENTER | DT_CENTER), b->GetLastTextFormat());
  const CRect r = b->GetTextRect();
  ASSERT_GE(one.first, 0);
  // One line, about the middle of the text rectangle.
  EXPECT_LT(one.second - one.first, 30);
  EXPECT_NEAR((one.first + one.second) / 2, (r.top + r.bottom) / 2, 6);

  b = Show("This text is much wider than the balloon, so it has to be broken into several lines "
           "that start at the top of the text rectangle.",
           kLongSeconds, false);
  ASSERT_NE(nullptr, b);
  const std::pair<int, int> many = InkRows(b);
  EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK | DT_LEFT), b->GetLastTextFormat());
  ASSERT_GE(many.first, 0);
  EXPECT_GT(many.second - many.first, 30);  // several lines
  EXPECT_LT(many.first, r.top + 8);         // from the top, not centred
}

TEST_F(BalloonTest, ZeroSecondsClosesOnTheFirstTick) {
  CBalloonWindow* b = Show("Gone soon", 0);
  ASSERT_NE(nullptr, b);
  const HWND h = b->m_hWnd;
  EXPECT_TRUE(PumpUntil([] { return !IsBalloonShown(); }, 2000));
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(nullptr, GetActiveBalloon());
}

TEST_F(BalloonTest, ClickInsideClosesClickBesideACornerReachesTheWindowBelow) {
  CBalloonWindow* b = Show("Click me");
  ASSERT_NE(nullptr, b);
  const HWND h = b->m_hWnd;
  // The window below reaches under the whole balloon, which sits lower
  // than its anchor by the caption shift.
  below.SetWindowPos(nullptr, 50, 50, 600, 450, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpPending();
  CRect window;
  b->GetWindowRect(&window);
  // Just outside the rounded corners, still inside the window's rectangle.
  const CPoint corners[] = {{window.left + 1, window.top + 1},
                            {window.right - 2, window.top + 1},
                            {window.left + 1, window.bottom - 2},
                            {window.right - 2, window.bottom - 2}};
  for (const CPoint& pt : corners) {
    const HWND at = ::WindowFromPoint(pt);
    EXPECT_EQ(below.m_hWnd, at) << pt.x << "," << pt.y;
    ::PostMessageA(at, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  }
  PumpPending();
  EXPECT_EQ(4, below.clicks);
  EXPECT_TRUE(::IsWindow(h));
  // Inside the shape, near a corner and in the middle.
  const CPoint inside[] = {{window.left + 30, window.top + 40}, window.CenterPoint()};
  for (const CPoint& pt : inside) EXPECT_EQ(h, ::WindowFromPoint(pt)) << pt.x << "," << pt.y;
  CPoint client = window.CenterPoint();
  ::ScreenToClient(h, &client);
  ::PostMessageA(::WindowFromPoint(window.CenterPoint()), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(client.x, client.y));
  PumpPending();
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_FALSE(IsBalloonShown());
  EXPECT_EQ(nullptr, GetActiveBalloon());
  EXPECT_EQ(4, below.clicks);
}

TEST_F(BalloonTest, ShapeThatCannotBeMadeLeavesNothingBehind) {
  const int windows = CountProcessWindows();
  CBalloonWindow* before = Show("Before");
  ASSERT_NE(nullptr, before);
  const HWND hBefore = before->m_hWnd;
  CBalloonWindow::SetRegionCopier([](HRGN) -> HRGN { return nullptr; });
  EXPECT_EQ(nullptr, Show("Never shown"));
  EXPECT_FALSE(IsBalloonShown());
  EXPECT_EQ(nullptr, GetActiveBalloon());
  EXPECT_FALSE(::IsWindow(hBefore));          // the new balloon closed the old one first
  EXPECT_EQ(windows, CountProcessWindows());  // neither balloon nor owner is left
  CloseActiveBalloon();                       // finds nothing to close
  CBalloonWindow::SetRegionCopier(nullptr);
  EXPECT_NE(nullptr, Show("After"));
  EXPECT_TRUE(IsBalloonShown());
}

TEST_F(BalloonTest, ManyBalloonsLeaveTheWindowCountLevel) {
  const int windows = CountProcessWindows();
  for (int i = 0; i < 200; ++i) {
    ASSERT_NE(nullptr, ShowBalloon(300 + i, 300, 200, 80, "again", kLongSeconds, kText, kFill, i % 2 == 0)) << i;
    if (i % 10 == 0) PumpPending();
  }
  CloseActiveBalloon();
  PumpPending();
  EXPECT_EQ(windows, CountProcessWindows());
}

TEST_F(BalloonTest, DropShadowOnlyFromWindowsXpOn) {
  struct Case {
    WindowsVersionInfo info;
    int32_t code;
  };
  const Case cases[] = {
      {{4, 0, 950, 1}, WINVER_95},        {{4, 10, 1998, 1}, WINVER_98},  {{4, 90, 3000, 1}, WINVER_ME},
      {{5, 0, 2195, 2}, WINVER_2000},     {{4, 0, 1381, 2}, WINVER_NT4_OR_OLDER},
      {{5, 1, 2600, 2}, WINVER_XP},       {{6, 1, 7601, 2}, WINVER_LATER_NT}, {{0, 0, 0, 0}, WINVER_UNKNOWN},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.code, ClassifyWindowsVersion(c.info));
    SetInjectedWindowsVersion(&c.info);
    CBalloonWindow* b = Show("Shadow?");
    ASSERT_NE(nullptr, b) << c.code;
    const bool wantShadow = c.code == WINVER_XP || c.code == WINVER_LATER_NT;
    const ULONG_PTR style = ::GetClassLongPtrA(b->m_hWnd, GCL_STYLE);
    EXPECT_EQ(wantShadow, (style & CS_DROPSHADOW) != 0) << c.code;
    const HWND owner = ::GetWindow(b->m_hWnd, GW_OWNER);
    EXPECT_EQ(style, ::GetClassLongPtrA(owner, GCL_STYLE)) << c.code;  // one class for both
  }
}

}  // namespace
