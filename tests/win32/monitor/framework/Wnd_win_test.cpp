// Hidden windows, their timers and messages, routed through message maps.
// Every wait pumps this thread's messages, and is bounded only so that a
// broken build fails instead of hanging.
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CWnd.h"

namespace {

const UINT kPosted = WM_APP + 10;
const UINT kSent = WM_APP + 11;
const UINT kUnmapped = WM_APP + 12;

// Pumps until done() or the guard runs out.
template <class Pred>
bool PumpUntil(Pred done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return done();
}

void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class CTestWnd : public CWnd {
public:
  std::vector<UINT_PTR> timers;
  std::vector<std::pair<WPARAM, LPARAM>> posted;
  DWORD sentThread = 0;
  bool ncDestroyed = false;

protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) { timers.push_back(nIDEvent); }
  afx_msg LRESULT OnPosted(WPARAM wParam, LPARAM lParam) {
    posted.emplace_back(wParam, lParam);
    return 0;
  }
  afx_msg LRESULT OnSent(WPARAM wParam, LPARAM lParam) {
    sentThread = GetCurrentThreadId();
    return static_cast<LRESULT>(wParam * 100) + lParam;
  }
  void PostNcDestroy() override { ncDestroyed = true; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CWnd)
  ON_WM_TIMER()
  ON_MESSAGE(kPosted, &CTestWnd::OnPosted)
  ON_MESSAGE(kSent, &CTestWnd::OnSent)
END_MESSAGE_MAP()

bool CreateHidden(CWnd& wnd) {
  return wnd.CreateEx(0, nullptr, "hidden", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) != FALSE;
}

TEST(FrameworkWnd, HiddenWindowIsCreatedBoundAndDestroyed) {
  CTestWnd wnd;
  EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
  ASSERT_TRUE(CreateHidden(wnd));
  HWND h = wnd.GetSafeHwnd();
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(h, wnd.m_hWnd);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsWindowVisible(h));
  // Which kind the system gave: a hidden top-level window or a message-only one.
  RecordProperty("message_only", wnd.IsMessageOnly() ? "yes" : "no");
  printf("hidden window kind: %s\n", wnd.IsMessageOnly() ? "message-only (HWND_MESSAGE)" : "WS_POPUP|WS_CHILD top-level");
  EXPECT_EQ(&wnd, CWnd::FromHandle(h));
  EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(h));
  EXPECT_FALSE(CreateHidden(wnd));  // one window per object

  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_TRUE(wnd.ncDestroyed);
  EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
  EXPECT_FALSE(wnd.DestroyWindow());
  EXPECT_FALSE(wnd.PostMessage(kPosted));
  EXPECT_EQ(0u, wnd.SetTimer(1, 10));
}

TEST(FrameworkWnd, DestructorDestroysTheWindow) {
  HWND h;
  {
    CTestWnd wnd;
    ASSERT_TRUE(CreateHidden(wnd));
    h = wnd.GetSafeHwnd();
  }
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

TEST(FrameworkWnd, TimersReachOnTimerThroughTheMap) {
  // WS_CHILD alone without a parent is refused by the system, so that
  // window becomes message-only; timers must work in both kinds.
  const DWORD styles[] = {WS_POPUP | WS_CHILD, WS_CHILD};
  for (DWORD style : styles) {
    CTestWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "timers", style, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(style == WS_CHILD, wnd.IsMessageOnly());
    const UINT_PTR ids[] = {15, 29, 100};
    for (UINT_PTR id : ids) EXPECT_EQ(id, wnd.SetTimer(id, 10));
    auto seen = [&](UINT_PTR id) {
      for (UINT_PTR t : wnd.timers)
        if (t == id) return true;
      return false;
    };
    EXPECT_TRUE(PumpUntil([&] { return seen(15) && seen(29) && seen(100); }));
    for (UINT_PTR id : ids) EXPECT_TRUE(wnd.KillTimer(id));
    // Once killed and drained, no timer message comes before a later marker.
    PumpPending();
    wnd.timers.clear();
    ASSERT_TRUE(wnd.PostMessage(kPosted, 1, 2));
    EXPECT_TRUE(PumpUntil([&] { return !wnd.posted.empty(); }));
    EXPECT_TRUE(wnd.timers.empty());
    EXPECT_FALSE(wnd.KillTimer(15));
    EXPECT_TRUE(wnd.DestroyWindow());
  }
}

TEST(FrameworkWnd, PostedAndSentMessagesReachOnMessageHandlers) {
  CTestWnd wnd;
  ASSERT_TRUE(CreateHidden(wnd));
  // Sent on the owning thread: a direct call with the handler's result.
  EXPECT_EQ(705, wnd.SendMessage(kSent, 7, 5));
  EXPECT_EQ(GetCurrentThreadId(), wnd.sentThread);
  // A message nobody maps gets the default handling.
  EXPECT_EQ(0, wnd.SendMessage(kUnmapped, 1, 1));

  // Posted from this thread and from a worker, in order per sender.
  EXPECT_TRUE(wnd.PostMessage(kPosted, 1, -1));
  std::thread worker([&] {
    for (int i = 2; i <= 4; ++i) PostMessageA(wnd.GetSafeHwnd(), kPosted, i, -i);
  });
  worker.join();
  EXPECT_TRUE(PumpUntil([&] { return wnd.posted.size() == 4; }));
  std::vector<std::pair<WPARAM, LPARAM>> expected = {{1, -1}, {2, -2}, {3, -3}, {4, -4}};
  EXPECT_EQ(expected, wnd.posted);

  // Sent from a worker: handled on the window's thread while it pumps.
  std::atomic<LRESULT> result{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    result = wnd.SendMessage(kSent, 3, 4);
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
  sender.join();
  EXPECT_EQ(304, result.load());
  EXPECT_EQ(GetCurrentThreadId(), wnd.sentThread);
  wnd.DestroyWindow();
}

TEST(FrameworkWnd, FromHandleWrapsForeignWindowsTemporarily) {
  HWND foreign = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, foreign);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(foreign));
  CWnd* temp = CWnd::FromHandle(foreign);
  ASSERT_NE(nullptr, temp);
  EXPECT_EQ(foreign, temp->GetSafeHwnd());
  EXPECT_EQ(temp, CWnd::FromHandle(foreign));  // the same wrapper until cleared
  EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
  CWnd::DeleteTempMap();
  EXPECT_TRUE(IsWindow(foreign));  // the wrapper never owned the window
  DestroyWindow(foreign);
}

TEST(FrameworkWnd, OtherWindowClassesAreSubclassedIntoTheMap) {
  CTestWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "label", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.GetSafeHwnd()));
  EXPECT_EQ(102, wnd.SendMessage(kSent, 1, 2));
  // The class's own procedure still answers what the map does not.
  char text[16] = {};
  EXPECT_EQ(5, wnd.SendMessage(WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ("label", text);
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_TRUE(wnd.ncDestroyed);
}

}  // namespace
