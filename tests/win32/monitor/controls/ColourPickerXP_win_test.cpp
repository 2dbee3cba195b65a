// The colour button on a dialog's push button: the colour it draws, a click
// through a scripted chooser (chosen, cancelled) and through the system's
// own chooser answered by a watcher thread.
#include <windows.h>

#include <string.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CColourPickerXP.h"
#include "framework/afx.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

const UINT kBoundByDdx = 1411;
const UINT kBoundBySubclass = 1412;
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kAutomaticRed = 0xFF000000 | kRed;  // a flag byte above the colour

class CPickerHostDlg : public CDialog {
public:
  CColourPickerXP kmlColour;
  CColourPickerXP other;
  std::vector<COLORREF> clicksSeen;  // the picker's colour when the parent heard the click

protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kBoundByDdx, kmlColour); }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    other.SubclassDlgItem(kBoundBySubclass, this);
    return TRUE;
  }
  afx_msg void OnColourClicked() { clicksSeen.push_back(kmlColour.GetColor()); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPickerHostDlg, CDialog)
  ON_BN_CLICKED(kBoundByDdx, &CPickerHostDlg::OnColourClicked)
END_MESSAGE_MAP()

// What the scripted chooser was asked, and its answer.
struct ChooserScript {
  HWND owner = nullptr;
  COLORREF initial = 0;
  int calls = 0;
  BOOL answer = FALSE;
  COLORREF chosen = 0;
};
ChooserScript* g_script = nullptr;

BOOL ScriptedChooser(HWND hOwner, COLORREF crInitial, COLORREF* pChosen) {
  ++g_script->calls;
  g_script->owner = hOwner;
  g_script->initial = crInitial;
  if (g_script->answer) *pChosen = g_script->chosen;
  return g_script->answer;
}

class ColourPickerXP : public ::testing::Test {
protected:
  void SetUp() override {
    tmpl.Item(DialogTemplate::Button, kBoundByDdx, BS_PUSHBUTTON | WS_TABSTOP, "", 5, 5, 30, 14)
        .Item(DialogTemplate::Button, kBoundBySubclass, BS_PUSHBUTTON | WS_TABSTOP, "", 40, 5, 30, 14);
    ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get()));
  }
  void TearDown() override {
    if (::IsWindow(dlg.m_hWnd)) dlg.DestroyWindow();
  }

  // The button drawn by its parent's WM_DRAWITEM into a bitmap; the colour
  // at the middle of its face.
  COLORREF FaceColour(CColourPickerXP& picker, UINT state) {
    const int cx = 40, cy = 24;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(picker.GetDlgCtrlID());
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = picker.m_hWnd;
    dis.hDC = mem;
    dis.rcItem = {0, 0, cx, cy};
    dlg.SendMessage(WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    COLORREF c = ::GetPixel(mem, cx / 2, cy / 2);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return c;
  }

  DialogTemplate tmpl{"Colours", WS_POPUP | WS_CAPTION | WS_SYSMENU, 120, 40};
  CPickerHostDlg dlg;
};

TEST_F(ColourPickerXP, BoundButtonsAreOwnerDrawnWithTheirColour) {
  for (CColourPickerXP* p : {&dlg.kmlColour, &dlg.other}) {
    ASSERT_NE(nullptr, p->m_hWnd);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), p->GetStyle() & BS_TYPEMASK);
  }
  EXPECT_EQ(RGB(0, 0, 0), dlg.kmlColour.GetColor());

  struct Case {
    COLORREF set;
    UINT state;
    COLORREF face;
  };
  const Case cases[] = {
      {RGB(0, 128, 255), 0, RGB(0, 128, 255)},
      {RGB(10, 200, 30), ODS_SELECTED | ODS_FOCUS, RGB(10, 200, 30)},
      {kAutomaticRed, 0, kRed},  // the flag byte is not drawn
      {RGB(0, 128, 255), ODS_DISABLED, ::GetSysColor(COLOR_BTNFACE)},
  };
  for (const Case& c : cases) {
    dlg.other.SetColor(c.set);
    EXPECT_EQ(c.set, dlg.other.GetColor());
    EXPECT_EQ(c.face, FaceColour(dlg.other, c.state)) << std::hex << c.set << " state " << c.state;
  }
}

TEST_F(ColourPickerXP, ClickAsksTheChooserAndKeepsWhatWasChosen) {
  ChooserScript script;
  g_script = &script;
  CColourPickerXP::ColourChooser previous = CColourPickerXP::SetChooser(&ScriptedChooser);
  dlg.kmlColour.SetColor(kRed);

  script.answer = TRUE;
  script.chosen = RGB(1, 2, 3);
  dlg.kmlColour.SendMessage(BM_CLICK);
  EXPECT_EQ(1, script.calls);
  EXPECT_EQ(dlg.m_hWnd, script.owner);
  EXPECT_EQ(kRed, script.initial);
  EXPECT_EQ(RGB(1, 2, 3), dlg.kmlColour.GetColor());

  script.answer = FALSE;  // cancelled: the colour stays
  script.chosen = RGB(9, 9, 9);
  dlg.kmlColour.SendMessage(BM_CLICK);
  EXPECT_EQ(2, script.calls);
  EXPECT_EQ(RGB(1, 2, 3), script.initial);
  EXPECT_EQ(RGB(1, 2, 3), dlg.kmlColour.GetColor());

  // The parent heard both clicks, each after the choice was in place.
  EXPECT_EQ((std::vector<COLORREF>{RGB(1, 2, 3), RGB(1, 2, 3)}), dlg.clicksSeen);
  EXPECT_EQ(RGB(0, 0, 0), dlg.other.GetColor());  // the other button is untouched

  CColourPickerXP::SetChooser(previous);
  g_script = nullptr;
}

// The system chooser's red, green and blue fields.
const int kChooserRed = 706, kChooserGreen = 707, kChooserBlue = 708;

struct FindChooser {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND h, LPARAM lParam) {
  FindChooser* f = reinterpret_cast<FindChooser*>(lParam);
  char cls[16] = {};
  ::GetClassNameA(h, cls, sizeof cls);
  if (::GetWindow(h, GW_OWNER) == f->owner && strcmp(cls, "#32770") == 0 && ::IsWindowVisible(h)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

TEST_F(ColourPickerXP, ClickOpensTheSystemChooserOwnedByTheDialog) {
  ASSERT_EQ(nullptr, CColourPickerXP::SetChooser(nullptr));  // the system's is in place
  dlg.kmlColour.SetColor(RGB(200, 100, 50));
  std::atomic<bool> answered{false};
  HWND owner = dlg.m_hWnd;
  // Answers the chooser as a user would: types a colour, presses OK.
  std::thread watcher([&] {
    for (int i = 0; i < 200 && !answered; ++i) {
      FindChooser f = {owner, nullptr};
      ::EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&f));
      if (f.found != nullptr) {
        ::SetDlgItemTextA(f.found, kChooserRed, "12");
        ::SetDlgItemTextA(f.found, kChooserGreen, "34");
        ::SetDlgItemTextA(f.found, kChooserBlue, "56");
        ::PostMessageA(f.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        answered = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  dlg.kmlColour.SendMessage(BM_CLICK);  // returns when the chooser has closed
  watcher.join();
  ASSERT_TRUE(answered);
  EXPECT_EQ(RGB(12, 34, 56), dlg.kmlColour.GetColor());
  EXPECT_TRUE(::IsWindowEnabled(dlg.m_hWnd));  // the owner is usable again
}

}  // namespace
