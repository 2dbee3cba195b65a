// The main window's balloons: a queued balloon appears on timer 30 with the
// requested size (x, y are width and height) centred on its window, its text
// centred only with bit 0 of the flags; the members close it again.
#include <windows.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "controls/BalloonGeometry.h"
#include "controls/CBalloonWindow.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const COLORREF kText = RGB(0, 100, 0);
const COLORREF kBack = RGB(255, 255, 225);
const int kTimeoutMs = 2000;

bool PumpUntilBalloon()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (GetActiveBalloon() == nullptr) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    PumpPending();  // its first paint
    return true;
}

class MainWndBalloonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CloseActiveBalloon();
        dlg.SetCommandLineFlag(true);  // leaves the settings alone when it goes
        ASSERT_TRUE(dlg.CreateFromTemplate(m_tmpl));
    }
    void TearDown() override
    {
        CloseActiveBalloon();
        if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
        PumpPending();
    }

    DialogTemplate m_tmpl{"Balloons", WS_POPUP | WS_BORDER, 300, 200};
    TestMainWnd dlg;
};

TEST_F(MainWndBalloonsTest, QueuedBalloonKeepsItsSizeAndAlignment)
{
    const struct {
        BYTE flags;
        UINT alignment;
    } cases[] = {{0, DT_LEFT}, {1, DT_CENTER}, {3, DT_CENTER}, {2, DT_LEFT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        CloseActiveBalloon();
        dlg.ShowBalloonMessage(&dlg, 300, 90, "Could not set receiver time!", 3, kText, kBack, c.flags);
        ASSERT_TRUE(PumpUntilBalloon());
        CBalloonWindow* balloon = GetActiveBalloon();
        CRect window, anchor;
        balloon->GetWindowRect(&window);
        dlg.GetWindowRect(&anchor);
        const int shift = BalloonCaptionShift(::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYFRAME));
        CRect want = BalloonRect(anchor.CenterPoint().x, anchor.CenterPoint().y, 300, 90);
        want.OffsetRect(0, shift);
        EXPECT_EQ(want, window);
        EXPECT_EQ(c.alignment, balloon->GetLastTextFormat() & (DT_LEFT | DT_CENTER));
    }
    dlg.CloseActiveBalloon();
    EXPECT_EQ(nullptr, GetActiveBalloon());
    EXPECT_FALSE(IsBalloonShown());
}

TEST_F(MainWndBalloonsTest, MembersShowOverTheirWindowAndClose)
{
    CBalloonWindow* before = nullptr;
    dlg.ShowBalloon("Plain", 200, 80, 5, kText, kBack);
    before = GetActiveBalloon();
    ASSERT_NE(nullptr, before);
    CRect window;
    before->GetWindowRect(&window);
    EXPECT_EQ(CSize(200, 80), window.Size());
    const HWND hBefore = before->m_hWnd;
    dlg.ShowBalloonOverWindow(nullptr, "Over the main window", 250, 100, 5, kText, kBack);
    EXPECT_FALSE(::IsWindow(hBefore));
    ASSERT_NE(nullptr, GetActiveBalloon());
    dlg.CloseActiveBalloon();
    EXPECT_EQ(nullptr, GetActiveBalloon());
}

}  // namespace
