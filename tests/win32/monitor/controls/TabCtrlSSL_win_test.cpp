// The tab control of the tabbed tool windows in a host dialog built in
// memory: the first page shows and later ones stay hidden, pages sit beside
// the tabs (at the bottom too), the user's tab changes call the hiding and
// shown hooks in that order while the program's own do not, the focus comes
// back to the control that had it, what a page sends its parent reaches the
// host, destruction closes the pages last to first, Enter and Escape in a
// page close nothing, and bad indexes and null pages are refused.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CTabCtrlSSL.h"
#include "controls/TabLayout.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const UINT kTabs = 200;
const UINT kFirstEdit = 301, kSecondEdit = 302;
const UINT kHostButton = 400;
const UINT kRelayedCommand = 4321;
const int kPageIds[] = {11, 22, 33};
const char* const kTitles[] = {"First", "Second", "Third"};

class CHostDlg : public CDialog {
public:
  int okCount = 0, cancelCount = 0;
  std::vector<std::pair<WPARAM, LPARAM>> commands;
  std::vector<UINT> notifyCodes;

  void OnOK() override { ++okCount; }
  void OnCancel() override { ++cancelCount; }

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == kRelayedCommand) {
      commands.emplace_back(wParam, lParam);
      return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
  }
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr->idFrom == kFirstEdit) {
      notifyCodes.push_back(hdr->code);
      *pResult = 5;
      return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
  }
};

class CLoggingTabs : public CTabCtrlSSL {
public:
  std::vector<std::string> log;

protected:
  // The defaults of the shown and hiding hooks lead here.
  void OnActivatePage(int nIndex, int nPageID) override { Log("shown", nIndex, nPageID); }
  void OnLeavePage(int nIndex, int nPageID) override { Log("hiding", nIndex, nPageID); }
  void OnPageClosing(int nIndex, int nPageID) override {
    Log("closing", nIndex, nPageID);
    // The page still exists while it is being closed.
    if (GetPage(nIndex) == nullptr || GetPage(nIndex)->GetSafeHwnd() == nullptr) log.push_back("gone");
  }

private:
  void Log(const char* what, int nIndex, int nPageID) {
    log.push_back(std::string(what) + " " + std::to_string(nIndex) + " " + std::to_string(nPageID));
  }
};

DialogTemplate HostTemplate() {
  // No caption: Wine waits for a window manager when a captioned window closes.
  DialogTemplate t("Tabs host", WS_POPUP | WS_BORDER | WS_VISIBLE, 260, 180);
  t.Item(DialogTemplate::Button, kHostButton, BS_PUSHBUTTON | WS_TABSTOP, "Host", 200, 160, 50, 14);
  return t;
}

// A child page with two edits, hidden until the tab control shows it.
DialogTemplate PageTemplate() {
  DialogTemplate t("", WS_CHILD | DS_CONTROL, 150, 100);
  t.Item(DialogTemplate::Edit, kFirstEdit, WS_BORDER | WS_TABSTOP, "", 5, 5, 60, 12)
      .Item(DialogTemplate::Edit, kSecondEdit, WS_BORDER | WS_TABSTOP, "", 5, 25, 60, 12);
  return t;
}

class TabCtrlSSLTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(host.CreateIndirect(hostTemplate.Get())); }
  void TearDown() override {
    if (tabs.GetSafeHwnd() != nullptr) tabs.DestroyWindow();
    if (host.GetSafeHwnd() != nullptr) host.DestroyWindow();
    PumpPending();
  }

  void MakeTabs(DWORD style, int pages) {
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, CRect(5, 5, 305, 205), &host, kTabs));
    tabs.SetFont(host.GetFont());
    for (int i = 0; i < pages; ++i) {
      auto page = std::make_unique<CTabPageSSL>(0u);
      ASSERT_TRUE(page->CreateIndirect(pageTemplate.Get(), &host));
      ASSERT_EQ(i, tabs.AddPage(kTitles[i], kPageIds[i], page.get()));
      this->pages.push_back(std::move(page));
    }
    PumpPending();
  }
  HWND Edit(int page, UINT id) { return ::GetDlgItem(pages[page]->m_hWnd, static_cast<int>(id)); }
  bool Visible(int page) { return ::IsWindowVisible(pages[page]->m_hWnd) != FALSE; }

  // The user clicks a tab.
  void ClickTab(int index) {
    CRect item;
    ASSERT_TRUE(tabs.GetItemRect(index, &item));
    const CPoint centre = item.CenterPoint();
    tabs.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    tabs.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    PumpPending();
  }

  // The page's place in the tab control's client area.
  CRect PagePlace(int page) {
    CRect r;
    ::GetWindowRect(pages[page]->m_hWnd, &r);
    tabs.ScreenToClient(&r);
    return r;
  }

  DialogTemplate hostTemplate = HostTemplate();
  DialogTemplate pageTemplate = PageTemplate();
  CHostDlg host;
  CLoggingTabs tabs;
  std::vector<std::unique_ptr<CTabPageSSL>> pages;
};

TEST_F(TabCtrlSSLTest, FirstPageShowsLaterPagesStayHiddenBesideTheTabs) {
  MakeTabs(0, 3);
  EXPECT_EQ(3, tabs.GetPageCount());
  EXPECT_EQ(0, tabs.GetActivePageIndex());
  EXPECT_EQ(pages[0].get(), tabs.GetActivePage());
  EXPECT_TRUE(Visible(0));
  EXPECT_FALSE(Visible(1));
  EXPECT_FALSE(Visible(2));
  EXPECT_EQ(tabs.m_hWnd, ::GetParent(pages[1]->m_hWnd));
  CRect item;
  tabs.GetItemRect(0, &item);
  const int band = tabs.GetRowCount() * item.Height();
  EXPECT_EQ(CRect(4, band + 4, 300 - 4, 200 - 4), PagePlace(0));
  EXPECT_TRUE(tabs.log.empty());
}

TEST_F(TabCtrlSSLTest, TabsAtTheBottomLeaveThePageFourPixelsBelowTheTop) {
  MakeTabs(TCS_BOTTOM, 2);
  const CRect place = PagePlace(0);
  EXPECT_EQ(4, place.top);
  EXPECT_EQ(4, place.left);
  CRect item;
  tabs.GetItemRect(0, &item);
  EXPECT_EQ(200 - 4 - tabs.GetRowCount() * item.Height(), place.bottom);
}

TEST_F(TabCtrlSSLTest, UsersTabChangeCallsHidingThenShownTheProgramsChangeNeither) {
  MakeTabs(0, 3);
  ClickTab(2);
  EXPECT_EQ((std::vector<std::string>{"hiding 0 11", "shown 2 33"}), tabs.log);
  EXPECT_EQ(2, tabs.GetActivePageIndex());
  EXPECT_FALSE(Visible(0));
  EXPECT_TRUE(Visible(2));
  EXPECT_EQ(PagePlace(0), PagePlace(2));  // sized like the first

  tabs.log.clear();
  EXPECT_TRUE(tabs.ActivatePage(1));
  EXPECT_TRUE(tabs.log.empty());
  EXPECT_EQ(1, tabs.GetActivePageIndex());
  EXPECT_TRUE(Visible(1));
  EXPECT_FALSE(Visible(2));
}

TEST_F(TabCtrlSSLTest, ActivatingTheSelectedTabChangesNothing) {
  MakeTabs(0, 2);
  ::SetFocus(Edit(0, kSecondEdit));
  EXPECT_TRUE(tabs.ActivatePage(0));
  EXPECT_TRUE(Visible(0));
  EXPECT_FALSE(Visible(1));
  EXPECT_EQ(Edit(0, kSecondEdit), ::GetFocus());
  EXPECT_TRUE(tabs.log.empty());
}

TEST_F(TabCtrlSSLTest, FocusComesBackToTheControlThatHadItOnThePage) {
  MakeTabs(0, 2);
  ::SetFocus(Edit(0, kSecondEdit));
  ClickTab(1);
  // A page not yet visited starts at its first control.
  EXPECT_EQ(Edit(1, kFirstEdit), ::GetFocus());
  ::SetFocus(Edit(1, kSecondEdit));
  ClickTab(0);
  EXPECT_EQ(Edit(0, kSecondEdit), ::GetFocus());
  // The program's own change remembers and restores the same way.
  EXPECT_TRUE(tabs.ActivatePage(1));
  EXPECT_EQ(Edit(1, kSecondEdit), ::GetFocus());
  // The focus on the host's button is not the page's: the page keeps its own.
  ::SetFocus(::GetDlgItem(host.m_hWnd, kHostButton));
  EXPECT_TRUE(tabs.ActivatePage(0));
  EXPECT_TRUE(tabs.ActivatePage(1));
  EXPECT_EQ(Edit(1, kSecondEdit), ::GetFocus());
}

TEST_F(TabCtrlSSLTest, WhatAPageSendsItsParentReachesTheHostUnchanged) {
  MakeTabs(0, 1);
  const HWND parent = ::GetParent(pages[0]->m_hWnd);
  ASSERT_EQ(tabs.m_hWnd, parent);
  const WPARAM w = MAKEWPARAM(kRelayedCommand, BN_CLICKED);
  const LPARAM l = reinterpret_cast<LPARAM>(Edit(0, kFirstEdit));
  ::SendMessageA(parent, WM_COMMAND, w, l);
  ASSERT_EQ(1u, host.commands.size());
  EXPECT_EQ(w, host.commands[0].first);
  EXPECT_EQ(l, host.commands[0].second);

  NMHDR hdr = {Edit(0, kFirstEdit), kFirstEdit, NM_CLICK};
  EXPECT_EQ(5, ::SendMessageA(parent, WM_NOTIFY, kFirstEdit, reinterpret_cast<LPARAM>(&hdr)));
  EXPECT_EQ(std::vector<UINT>{static_cast<UINT>(NM_CLICK)}, host.notifyCodes);
}

TEST_F(TabCtrlSSLTest, DestroyingTheControlClosesThePagesLastToFirst) {
  MakeTabs(0, 3);
  tabs.DestroyWindow();
  EXPECT_EQ((std::vector<std::string>{"closing 2 33", "closing 1 22", "closing 0 11"}), tabs.log);
  for (const auto& page : pages) EXPECT_EQ(nullptr, page->GetSafeHwnd());
}

TEST_F(TabCtrlSSLTest, EnterAndEscapeInAPageCloseNothing) {
  MakeTabs(0, 1);
  const HWND edit = Edit(0, kFirstEdit);
  ::SetFocus(edit);
  for (WPARAM key : {static_cast<WPARAM>(VK_ESCAPE), static_cast<WPARAM>(VK_RETURN)}) {
    ::PostMessageA(edit, WM_KEYDOWN, key, 0);
    ::PostMessageA(edit, WM_KEYUP, key, 0);
  }
  PumpPending();
  EXPECT_EQ(0, host.okCount);
  EXPECT_EQ(0, host.cancelCount);
  EXPECT_TRUE(::IsWindow(host.m_hWnd));
  EXPECT_TRUE(Visible(0));
}

TEST_F(TabCtrlSSLTest, BadIndexesAreRefused) {
  MakeTabs(0, 2);
  CString title("unchanged");
  for (int bad : {-1, 2, 99}) {
    EXPECT_EQ(nullptr, tabs.GetPage(bad)) << bad;
    EXPECT_FALSE(tabs.GetPageTitle(bad, title)) << bad;
    EXPECT_FALSE(tabs.ActivatePage(bad)) << bad;
  }
  EXPECT_EQ(-1, tabs.FindPageById(99));
  EXPECT_EQ(1, tabs.FindPageById(22));
  EXPECT_TRUE(tabs.GetPageTitle(1, title));
  EXPECT_STREQ("Second", title);
  tabs.SizePage(-1, 300, 200);  // nothing to place
  EXPECT_EQ(0, tabs.GetActivePageIndex());
}

TEST_F(TabCtrlSSLTest, NullPageIsRefusedAndLeavesTheTablesAsTheyWere) {
  MakeTabs(0, 2);
  EXPECT_EQ(-1, tabs.AddPage("Nothing", 77, nullptr));
  EXPECT_EQ(2, tabs.GetPageCount());
  EXPECT_EQ(-1, tabs.FindPageById(77));
  EXPECT_EQ(nullptr, tabs.GetPage(2));
  // The next page takes the index the refused one would have had.
  auto page = std::make_unique<CTabPageSSL>(0u);
  ASSERT_TRUE(page->CreateIndirect(pageTemplate.Get(), &host));
  EXPECT_EQ(2, tabs.AddPage("Third", kPageIds[2], page.get()));
  EXPECT_EQ(2, tabs.FindPageById(kPageIds[2]));
  EXPECT_EQ(page.get(), tabs.GetPage(2));
  pages.push_back(std::move(page));
}

TEST_F(TabCtrlSSLTest, NoTabsNoActivePage) {
  MakeTabs(0, 0);
  EXPECT_EQ(-1, tabs.GetActivePageIndex());
  EXPECT_EQ(nullptr, tabs.GetActivePage());
  EXPECT_EQ(-1, tabs.FindPageById(11));
  EXPECT_FALSE(tabs.ActivatePage(0));
}

}  // namespace
