// The menu bubble help on a window with a menu bar: the command string's
// description beside the highlighted item, the stand-in text for an item
// without one, and the tip gone for a popup and when the menu closes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "app/resource.h"
#include "controls/CMenuHelpTip.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

// A command without a string in the program's table.
const UINT kItemWithoutHelp = 0x7ABC;
const char kMissingHelp[] = "No help here.";

class MenuHelpTipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tmpl = DialogTemplate("Menu help", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 80);
        ASSERT_TRUE(m_dlg.CreateIndirect(m_tmpl.Get()));
        m_bar = ::CreateMenu();
        m_popup = ::CreatePopupMenu();
        ::AppendMenuA(m_popup, MF_STRING, ID_FILE_EXIT, "E&xit");
        ::AppendMenuA(m_bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_popup), "&File");
        ::AppendMenuA(m_bar, MF_STRING, ID_CONNECT, "&Connect");
        ::AppendMenuA(m_bar, MF_STRING, kItemWithoutHelp, "&Other");
        ASSERT_TRUE(::SetMenu(m_dlg.m_hWnd, m_bar));
        ::DrawMenuBar(m_dlg.m_hWnd);
        ASSERT_TRUE(m_tip.Create(&m_dlg, false, "Title", kMissingHelp));
    }
    void TearDown() override
    {
        if (m_dlg.GetSafeHwnd() != nullptr) m_dlg.DestroyWindow();  // the menu goes with it
    }

    void Select(UINT id, UINT flags) { m_tip.OnMenuSelect(id, flags, m_bar); }
    bool Shown() const { return ::IsWindowVisible(m_tip.GetSafeHwnd()) != FALSE; }
    std::string Text() const
    {
        char text[512] = {};
        TOOLINFOA ti = {};
        ti.cbSize = CToolTipCtrl::ToolInfoSize();
        ti.hwnd = m_dlg.m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(m_dlg.m_hWnd);
        ti.lpszText = text;
        ::SendMessageA(m_tip.GetSafeHwnd(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
        return text;
    }

    DialogTemplate m_tmpl{"", 0, 0, 0};
    CDialog m_dlg;
    HMENU m_bar = nullptr;
    HMENU m_popup = nullptr;
    CMenuHelpTip m_tip;
};

TEST_F(MenuHelpTipTest, ShowsTheItemsDescriptionBesideIt)
{
    EXPECT_FALSE(Shown());
    Select(ID_CONNECT, MF_HILITE | MF_MOUSESELECT);
    EXPECT_TRUE(Shown());
    // The string is "description\ntip": only the description is help.
    EXPECT_EQ(Text(), "Connect to a receiver on a COM port, or disconnect");
    RECT item = {};
    ASSERT_TRUE(::GetMenuItemRect(m_dlg.m_hWnd, m_bar, 1, &item));
    RECT tip = {};
    ::GetWindowRect(m_tip.GetSafeHwnd(), &tip);
    EXPECT_GE(tip.left, item.right);

    Select(kItemWithoutHelp, MF_HILITE);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Text(), kMissingHelp);
}

TEST_F(MenuHelpTipTest, APopupASeparatorOrTheMenuClosingHidesIt)
{
    struct Case {
        const char* what;
        UINT id;
        UINT flags;
        bool closed;
    } const cases[] = {
        {"a popup", 0, MF_HILITE | MF_POPUP, false},
        {"a separator", 0, MF_SEPARATOR, false},
        {"an item the menu does not hold", ID_FILE_EXIT, MF_HILITE, false},
        {"the menu closing", 0, 0xFFFF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select(ID_CONNECT, MF_HILITE);
        ASSERT_TRUE(Shown());
        if (c.closed)
            m_tip.OnMenuSelect(c.id, c.flags, nullptr);
        else
            Select(c.id, c.flags);
        EXPECT_FALSE(Shown());
    }
}

TEST(MenuHelpTip, DoesNothingBeforeItIsCreated)
{
    CMenuHelpTip tip;
    tip.OnMenuSelect(ID_CONNECT, MF_HILITE, nullptr);
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);
}

}  // namespace
