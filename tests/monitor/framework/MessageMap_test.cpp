// Message maps dispatch without any window: the tables and their lookup are
// portable, so their routing is tested here; the Windows tests cover real
// windows feeding them.
#include "framework/CCmdTarget.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const UINT kPing = WM_APP + 1;
const UINT kPong = WM_APP + 2;

class CBaseTarget : public CCmdTarget {
public:
  std::vector<std::string> calls;

protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) { calls.push_back("base timer " + std::to_string(nIDEvent)); }
  afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
    calls.push_back("ping");
    return static_cast<LRESULT>(wParam) + lParam;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
  ON_WM_TIMER()
  ON_MESSAGE(kPing, &CBaseTarget::OnPing)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) { calls.push_back("derived timer " + std::to_string(nIDEvent)); }
  afx_msg LRESULT OnPong(WPARAM, LPARAM lParam) {
    calls.push_back("pong");
    return -lParam;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
  ON_WM_TIMER()
  ON_MESSAGE(kPong, &CDerivedTarget::OnPong)
END_MESSAGE_MAP()

// A class with a map of its own but no entries still reaches its bases'.
class CEmptyMapTarget : public CDerivedTarget {
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CEmptyMapTarget, CDerivedTarget)
END_MESSAGE_MAP()

TEST(FrameworkMessageMap, RoutesToTheMostDerivedHandler) {
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool handled;
    LRESULT result;
    const char* call;  // nullptr: nothing called
  };
  const Case derivedCases[] = {
      {WM_TIMER, 15, 0, true, 0, "derived timer 15"},
      {kPing, 2, 3, true, 5, "ping"},  // inherited from the base map
      {kPong, 0, 9, true, -9, "pong"},
      {WM_APP + 3, 0, 0, false, 77, nullptr},
  };
  const Case baseCases[] = {
      {WM_TIMER, 29, 0, true, 0, "base timer 29"},
      {kPong, 0, 9, false, 77, nullptr},  // only the derived class maps it
  };
  auto run = [](CBaseTarget& target, const Case* cases, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      const Case& c = cases[i];
      target.calls.clear();
      LRESULT result = 77;
      EXPECT_EQ(c.handled, target.DispatchMappedMessage(c.message, c.wParam, c.lParam, &result));
      EXPECT_EQ(c.result, result);
      if (c.call) {
        EXPECT_EQ(std::vector<std::string>{c.call}, target.calls);
      } else {
        EXPECT_TRUE(target.calls.empty());
      }
    }
  };
  CDerivedTarget derived;
  run(derived, derivedCases, sizeof derivedCases / sizeof derivedCases[0]);
  CEmptyMapTarget empty;
  run(empty, derivedCases, sizeof derivedCases / sizeof derivedCases[0]);
  CBaseTarget base;
  run(base, baseCases, sizeof baseCases / sizeof baseCases[0]);
  // Through a base pointer the object's own map still decides.
  CBaseTarget* asBase = &derived;
  derived.calls.clear();
  EXPECT_TRUE(asBase->DispatchMappedMessage(WM_TIMER, 1, 0, nullptr));
  EXPECT_EQ(std::vector<std::string>{"derived timer 1"}, derived.calls);
  EXPECT_EQ(nullptr, CCmdTarget().FindMessageEntry(WM_TIMER));
}

}  // namespace
