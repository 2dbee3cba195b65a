// The tool-window base with real windows under Wine: the main window it
// finds (icon, receiver events), Escape and Enter, the owner's pointer on
// close and on a failed creation, the launch pattern, and the layout pass
// driven by the user's sizing versus the program's.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CDialogView.h"
#include "framework/afx.h"
#include "link/CController.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const UINT kEdit = 200;
const UINT kList = 300;
const UINT kButton = 301;
const UINT kMissingTemplate = 0xFEED;

DialogTemplate ViewTemplate(DWORD extraStyle = 0)
{
    DialogTemplate t("View", WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle, 200, 120);
    t.Item(DialogTemplate::Edit, kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", 10, 10, 80, 14)
        .Item(DialogTemplate::Static, kList, SS_SUNKEN, "", 10, 30, 120, 60)
        .Item(DialogTemplate::Button, kButton, BS_PUSHBUTTON | WS_TABSTOP, "Go", 140, 90, 50, 14)
        .Item(DialogTemplate::Button, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 140, 10, 50, 14);
    return t;
}

// The main window of these tests: an icon, a link and the settings a view asks for.
class CFakeMainWnd : public CDialog, public IDialogViewHost {
public:
    CController controller;
    bool bubbleHelp = true;
    bool balloons = false;
    HICON icon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));

    bool Make(const DialogTemplate& t)
    {
        if (!CreateIndirect(t.Get())) return false;
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
        return true;
    }
    CWnd* GetViewHostWnd() override { return this; }
    CController* GetViewController() override { return &controller; }
    bool IsWindowBubbleHelpOn() override { return bubbleHelp; }
    bool IsBalloonTipsOn() override { return balloons; }
};

// The converter dialog's role: a window that hands views on to the main window.
class CFakeConverterDlg : public CDialog, public IDialogViewHostSource {
public:
    IDialogViewHost* host = nullptr;
    IDialogViewHost* GetDialogViewHost() override { return host; }
};

struct ViewRecord {
    bool deleted = false;
    std::vector<std::pair<WPARAM, LPARAM>> events;
    int value = 0;
};

class CTestView : public CDialogView {
public:
    CTestView(CWnd* pParent, ViewRecord* record) : CDialogView(0, pParent), m_record(record) {}
    ~CTestView() override { m_record->deleted = true; }
    LRESULT OnModelUpdate(WPARAM event, LPARAM param) override
    {
        m_record->events.emplace_back(event, param);
        return 7;
    }
    int m_value = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kEdit, m_value);
        m_record->value = m_value;
    }

private:
    ViewRecord* m_record;
};

struct Fixture {
    ScriptedPrompter prompter;
    CPrompterScope scope{&prompter};
    // Hidden: under Wine every shown top-level window costs seconds to take
    // down, and nothing here needs to see the main window.
    DialogTemplate mainTemplate{"Main", WS_POPUP | WS_CAPTION, 300, 200};
    DialogTemplate viewTemplate = ViewTemplate();
    CFakeMainWnd main;
};

TEST(CDialogViewWin, ViewOfTheMainWindowTakesItsIconAndItsEvents)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    ViewRecord rec;
    CTestView* view = new CTestView(&f.main, &rec);
    CTestView* slot = view;
    ASSERT_TRUE(view->CreateViewIndirect(f.viewTemplate.Get(), &f.main, &slot, true));
    ASSERT_EQ(view, slot);
    EXPECT_EQ(static_cast<IDialogViewHost*>(&f.main), view->GetMainWnd());
    EXPECT_TRUE(view->IsWindowVisible());
    EXPECT_EQ(f.main.icon, reinterpret_cast<HICON>(view->SendMessage(WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(1, f.main.controller.GetListenerCount());

    // Centred on the main window.
    CRect rm, rv;
    f.main.GetWindowRect(&rm);
    view->GetWindowRect(&rv);
    EXPECT_NEAR(rm.CenterPoint().x, rv.CenterPoint().x, 1);
    EXPECT_NEAR(rm.CenterPoint().y, rv.CenterPoint().y, 1);

    EXPECT_TRUE(f.main.controller.NotifyListeners(EV_FIX_MODE, 3, false));
    PumpPending();
    ASSERT_EQ(1u, rec.events.size());
    EXPECT_EQ(static_cast<WPARAM>(EV_FIX_MODE), rec.events[0].first);
    EXPECT_EQ(3, rec.events[0].second);
    EXPECT_EQ(7, view->SendMessage(WM_RECEIVER_EVENT, 9, 0x50001));

    // Closing stops the events, clears the owner's pointer and deletes the view.
    view->SendMessage(WM_CLOSE);
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(rec.deleted);
    EXPECT_EQ(0, f.main.controller.GetListenerCount());
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, ConverterDialogHandsViewsToItsMainWindow)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    CFakeConverterDlg converter;
    converter.host = &f.main;
    ASSERT_TRUE(converter.CreateIndirect(f.mainTemplate.Get()));
    ViewRecord rec;
    CTestView* slot = new CTestView(&converter, &rec);
    ASSERT_TRUE(slot->CreateViewIndirect(f.viewTemplate.Get(), &converter, &slot, false));
    EXPECT_EQ(static_cast<IDialogViewHost*>(&f.main), slot->GetMainWnd());
    EXPECT_EQ(1, f.main.controller.GetListenerCount());
    slot->CloseView();
    EXPECT_EQ(nullptr, slot);
    EXPECT_EQ(0, f.main.controller.GetListenerCount());
    converter.DestroyWindow();
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, ViewWithAForeignParentHasNoIconAndNoEvents)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    CDialog foreign;
    ASSERT_TRUE(foreign.CreateIndirect(f.mainTemplate.Get()));
    foreign.SetIcon(f.main.icon, TRUE);
    ViewRecord rec;
    CTestView* slot = new CTestView(&foreign, &rec);
    ASSERT_TRUE(slot->CreateViewIndirect(f.viewTemplate.Get(), &foreign, &slot, false));
    EXPECT_EQ(nullptr, slot->GetMainWnd());
    EXPECT_EQ(nullptr, reinterpret_cast<HICON>(slot->SendMessage(WM_GETICON, ICON_SMALL, 0)));
    EXPECT_EQ(0, f.main.controller.GetListenerCount());
    f.main.controller.NotifyListeners(EV_FIX_MODE, 0, false);
    PumpPending();
    EXPECT_TRUE(rec.events.empty());
    slot->SendMessage(WM_CLOSE);
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(rec.deleted);
    foreign.DestroyWindow();
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, EscapeDoesNothingAndEnterClosesOnlyWithValidData)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    ViewRecord rec;
    CTestView* slot = new CTestView(&f.main, &rec);
    CTestView* view = slot;
    ASSERT_TRUE(view->CreateViewIndirect(f.viewTemplate.Get(), &f.main, &slot, true));
    HWND hView = view->m_hWnd;
    HWND hEdit = ::GetDlgItem(hView, kEdit);
    ::SetFocus(hEdit);

    // Escape from the keyboard (through the dialog manager) and as a command.
    ::PostMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending();
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpPending();
    ASSERT_TRUE(::IsWindow(hView));
    EXPECT_EQ(view, slot);
    EXPECT_FALSE(rec.deleted);

    // Enter with a value that does not parse: the check's message, still open.
    ::SetWindowTextA(hEdit, "abc");
    ::PostMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    ASSERT_TRUE(::IsWindow(hView));
    EXPECT_EQ(view, slot);
    ASSERT_EQ(1u, f.prompter.boxes.size());
    EXPECT_EQ("Please enter an integer.", f.prompter.boxes[0].text);
    EXPECT_EQ(1, f.main.controller.GetListenerCount());

    // Enter with a valid value closes.
    ::SetWindowTextA(hEdit, "42");
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(::IsWindow(hView));
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(rec.deleted);
    EXPECT_EQ(42, rec.value);
    EXPECT_EQ(0, f.main.controller.GetListenerCount());
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, FailedCreateViewClearsTheOwnersPointerAndDeletesTheView)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    ViewRecord rec;
    CTestView* slot = new CTestView(&f.main, &rec);
    EXPECT_FALSE(slot->CreateView(kMissingTemplate, &f.main, &slot, true));
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(rec.deleted);
    ASSERT_EQ(1u, f.prompter.boxes.size());
    EXPECT_EQ("Failed to create a window!", f.prompter.boxes[0].text);
    EXPECT_EQ(0, f.main.controller.GetListenerCount());

    // Through the launch pattern: the slot ends empty, so the next launch tries anew.
    ViewRecord rec2;
    CTestView* launched = nullptr;
    EXPECT_FALSE(CDialogView::LaunchView(launched, kMissingTemplate, &f.main, &f.main, &rec2));
    EXPECT_EQ(nullptr, launched);
    EXPECT_TRUE(rec2.deleted);
    EXPECT_EQ(2u, f.prompter.boxes.size());

    // Without a slot the caller keeps the object.
    ViewRecord rec3;
    CTestView* kept = new CTestView(&f.main, &rec3);
    EXPECT_FALSE(kept->CreateView(kMissingTemplate, &f.main));
    EXPECT_FALSE(rec3.deleted);
    delete kept;
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, LaunchPatternFocusesAnOpenViewAndMakesANewOneAfterClose)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    // LaunchView creates from a resource id; the test's template lives in
    // memory, so the first object is made the way LaunchView makes it.
    ViewRecord rec;
    CTestView* slot = new CTestView(&f.main, &rec);
    ASSERT_TRUE(slot->CreateViewIndirect(f.viewTemplate.Get(), &f.main, &slot, true));
    CTestView* first = slot;
    ViewRecord unused;
    EXPECT_TRUE(CDialogView::LaunchView(slot, kMissingTemplate, &f.main, &f.main, &unused));
    EXPECT_EQ(first, slot);
    EXPECT_TRUE(f.prompter.boxes.empty());
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == first->m_hWnd || ::IsChild(first->m_hWnd, focus));
    slot->CloseView();
    EXPECT_EQ(nullptr, slot);
    EXPECT_TRUE(rec.deleted);
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, UserSizingMovesControlsAndProgrammaticSizingDoesNot)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    DialogTemplate sizable = ViewTemplate(WS_THICKFRAME);
    ViewRecord rec;
    CTestView* slot = new CTestView(&f.main, &rec);
    CTestView* view = slot;
    ASSERT_TRUE(view->CreateViewIndirect(sizable.Get(), &f.main, &slot, false));
    view->AddResizeRule(kList, 1, 1, 1, 1);
    view->AddResizeRule(kButton, 2, 2, 2, 2, RESIZE_OPT_REPAINT);
    view->AddResizeRule(kList, 1, 1, 1, 1);  // replaces, does not add
    EXPECT_EQ(2, view->GetLayout().GetRuleCount());

    auto controlRect = [&](UINT id) {
        CRect r;
        ::GetWindowRect(::GetDlgItem(view->m_hWnd, id), &r);
        view->ScreenToClient(&r);
        return r;
    };
    auto clientSize = [&]() {
        CRect c;
        view->GetClientRect(&c);
        return c.Size();
    };
    const CRect list0 = controlRect(kList), button0 = controlRect(kButton);
    const CSize client0 = clientSize();
    CRect outer;
    view->GetWindowRect(&outer);

    // The user drags the bottom-right corner: WM_SIZING, then the new size.
    CRect drag(outer.left, outer.top, outer.right + 40, outer.bottom + 30);
    view->SendMessage(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&drag));
    view->SetWindowPos(nullptr, drag.left, drag.top, drag.Width(), drag.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    const CSize client1 = clientSize();
    const int dw = client1.cx - client0.cx, dh = client1.cy - client0.cy;
    EXPECT_GT(dw, 0);
    EXPECT_TRUE(controlRect(kList) == CRect(list0.left, list0.top, list0.right + dw, list0.bottom + dh));
    EXPECT_TRUE(controlRect(kButton) == CRect(button0.left + dw, button0.top + dh, button0.right + dw, button0.bottom + dh));
    EXPECT_EQ(0, view->GetLayout().GetSizingEdge());

    // The program resizes: nothing moves.
    const CRect list1 = controlRect(kList);
    view->SetWindowPos(nullptr, 0, 0, outer.Width() + 90, outer.Height() + 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(controlRect(kList) == list1);

    // Back to the first size by the user: measured from the programmatic size.
    view->GetWindowRect(&drag);
    CRect back(drag.left, drag.top, drag.left + outer.Width(), drag.top + outer.Height());
    view->SendMessage(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&back));
    view->SetWindowPos(nullptr, back.left, back.top, back.Width(), back.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    const int dw2 = clientSize().cx - (client1.cx + 50), dh2 = clientSize().cy - (client1.cy + 30);
    EXPECT_TRUE(controlRect(kList) == CRect(list1.left, list1.top, list1.right + dw2, list1.bottom + dh2));

    view->CloseView();
    EXPECT_EQ(nullptr, slot);
    f.main.DestroyWindow();
}

TEST(CDialogViewWin, BubbleHelpAndUpdateDataMessage)
{
    Fixture f;
    ASSERT_TRUE(f.main.Make(f.mainTemplate));
    ViewRecord rec;
    CTestView* slot = new CTestView(&f.main, &rec);
    CTestView* view = slot;
    ASSERT_TRUE(view->CreateViewIndirect(f.viewTemplate.Get(), &f.main, &slot, false));
    EXPECT_FALSE(view->IsWindowVisible());  // not asked to show
    view->AddBubbleHelp(kEdit, "Type a number");
    view->AddBubbleHelp(kButton, "Starts it");
    CToolTipCtrl& tip = view->GetToolTip();
    ASSERT_NE(nullptr, tip.GetSafeHwnd());
    EXPECT_EQ(2, tip.GetToolCount());
    EXPECT_EQ(RGB(0, 0, 128), tip.GetTipTextColor());
    EXPECT_EQ(200, tip.GetMaxTipWidth());
    EXPECT_EQ(600, tip.GetDelayTime(TTDT_INITIAL));
    EXPECT_EQ(30000, tip.GetDelayTime(TTDT_AUTOPOP));
    EXPECT_EQ(0u, static_cast<DWORD>(::GetWindowLongPtrA(tip.m_hWnd, GWL_STYLE)) & TTS_BALLOON);

    // A mouse move over a control passes through the relay without harm.
    CRect r;
    ::GetWindowRect(::GetDlgItem(view->m_hWnd, kList), &r);
    MSG m = {view->m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {r.left + 2, r.top + 2}};
    view->PreTranslateMessage(&m);

    view->m_value = 17;
    EXPECT_EQ(0, view->SendMessage(WM_VIEW_UPDATEDATA, FALSE, 0));
    char text[16] = {};
    ::GetDlgItemTextA(view->m_hWnd, kEdit, text, sizeof text);
    EXPECT_STREQ("17", text);
    view->CloseView();
    f.main.DestroyWindow();
}

} // namespace
