// The twist-and-turn dialog on its real template, and the ToolBox's
// buttons: left-click commands, the twist sequence and the count right
// clicks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fakes.h"
#include "core/CountDialogs.h"
#include "core/Geometry.h"
#include "core/StateDigest.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "core/Twist_win.h"
#include "core/Win32Host.h"

namespace dwtest {
namespace {

void Pump() {
  MSG msg;
  for (int i = 0; i < 200 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

uint32_t Origin(int32_t x, int32_t y) { return static_cast<uint32_t>(2 + x + 100 * y); }

class TwistWinTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    cur().colorMode = 10665;
    cur().penColor = 10020;  // background cells become 1
    cur().viewMode = 10097;
    st().clientWidth = 640;
    st().workSheetHeight = 480;
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    Pump();
    EditorTest::TearDown();
  }
  void Numbered(int32_t w, int32_t h) {
    cur().pictureWidth = w;
    cur().pictureHeight = h;
    UpdateWorkSheetGeometry();
    for (int32_t x = 0; x < w; ++x)
      for (int32_t y = 0; y < h; ++y) *CellPtr(st(), 0, x, y) = Origin(x, y);
  }
  uint32_t At(int32_t x, int32_t y) { return *CellPtr(st(), 0, x, y); }
  // The dialog on its template, modeless so the test can drive it.
  HWND Open(TwistSession& session) {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "TWISTANDTURNDOTMAP", nullptr, TwistAndTurnDotMapDlgProc,
                                 reinterpret_cast<LPARAM>(&session));
    Pump();
    return dialog_;
  }
  std::string Field() {
    char text[64] = "";
    GetDlgItemTextA(dialog_, IDC_TWIST_AMOUNT, text, sizeof text);
    return text;
  }
  void Type(const char* text) {
    SetDlgItemTextA(dialog_, IDC_TWIST_AMOUNT, text);
    Click(IDC_TWIST_APPLY);
  }
  void Click(int id) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
    Pump();
  }
  void Bar(int code, int position = 0) {
    SendMessageA(dialog_, WM_VSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDC_TWIST_BAR)));
    Pump();
  }
  int BarPosition() { return GetScrollPos(GetDlgItem(dialog_, IDC_TWIST_BAR), SB_CTL); }
  HWND dialog_ = nullptr;
};

TEST_F(TwistWinTest, OkAtZeroChangesNothing) {
  Numbered(12, 9);
  uint64_t before = DigestDataSetContent(st(), 0);
  TwistSession session(3);
  ASSERT_TRUE(Open(session));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 1813), BST_CHECKED);
  EXPECT_EQ(Field(), " 0.00");
  EXPECT_EQ(BarPosition(), 127);
  Click(IDOK);
  EXPECT_TRUE(session.Finished());
  EXPECT_EQ(DigestDataSetContent(st(), 0), before);
}

TEST_F(TwistWinTest, BarAtTheTopSqueezesIntoTheTopRows) {
  Numbered(10, 20);
  TwistSession session(4);
  ASSERT_TRUE(Open(session));
  Bar(SB_TOP);
  EXPECT_EQ(BarPosition(), 0);
  EXPECT_EQ(Field(), "64.00");
  const int32_t from[] = {0, 2, 5, 8, 11, 13, 16, 19};
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(At(x, y), y < 8 ? Origin(x, from[y]) : 1u) << x << "," << y;
  Bar(SB_LINEDOWN);
  EXPECT_EQ(Field(), "63.50");
  Click(IDOK);
}

TEST_F(TwistWinTest, TypedTurnAndHarmlessTexts) {
  Numbered(32, 32);
  TwistSession session(6);
  ASSERT_TRUE(Open(session));
  Type("90");
  EXPECT_EQ(Field(), "90.00");
  EXPECT_EQ(BarPosition(), 0);
  EXPECT_EQ(At(20, 10), Origin(22, 20));
  EXPECT_EQ(At(16, 0), 1u);
  Type("nan");  // ignored: the amount and the picture stay
  EXPECT_EQ(Field(), "90.00");
  EXPECT_EQ(At(20, 10), Origin(22, 20));
  for (const char* text : {"150", "1e308", "-1e308", "inf"}) {
    Type(text);
    for (int32_t x = 0; x < 32; ++x) {
      for (int32_t y = 0; y < 32; ++y) {
        uint32_t v = At(x, y);
        ASSERT_TRUE(v == 1u || ((v - 2) % 100 < 32 && (v - 2) / 100 < 32)) << text;
      }
    }
  }
  // Another mode from its radio button starts at its own amount.
  Click(1814);
  EXPECT_EQ(st().twistTool, 4);
  EXPECT_EQ(st().twistDialogChoice, 1814);
  EXPECT_EQ(Field(), " 0.00");
  Click(IDOK);
}

TEST_F(TwistWinTest, CancelRestoresThePictureAndTheHistory) {
  Numbered(16, 16);
  uint64_t before = DigestDataSet(st(), 0);
  TwistSession session(0);
  ASSERT_TRUE(Open(session));
  Type("-40");
  Bar(SB_PAGEUP);
  Click(1816);
  Type("33");
  EXPECT_NE(DigestDataSet(st(), 0), before);
  Click(IDCANCEL);
  EXPECT_TRUE(session.Finished());
  EXPECT_EQ(DigestDataSet(st(), 0), before);
}

// The real modal run: a timer answers the dialog from inside its loop.
VOID CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowA(nullptr, "Twist and Turn Picture");
  if (!dlg) return;
  KillTimer(nullptr, id);
  SetDlgItemTextA(dlg, IDC_TWIST_AMOUNT, "90");
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_TWIST_APPLY, BN_CLICKED), 0);
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(TwistWinTest, ModalRunKeepsTheResultAsOneEdit) {
  Numbered(32, 32);
  int32_t depth = cur().undoDepth;
  st().twistTool = 6;
  SetTimer(nullptr, 0, 50, AnswerDialog);
  RunTwistAndTurn();
  EXPECT_FALSE(TwistDialogRunning());
  EXPECT_EQ(At(20, 10), Origin(22, 20));
  EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots));
  EXPECT_TRUE(cur().modified);
}

// ---- ToolBox ---------------------------------------------------------------

std::vector<int> g_commands;  // WM_COMMAND ids the stand-in main window got

LRESULT CALLBACK RecordingMain(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    g_commands.push_back(LOWORD(wParam));
    return 0;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

struct TwistSeen {
  int32_t mouseMode = 0, tool = -1, choice = 0, cursor = 0;
  int runs = 0;
};
TwistSeen g_seen;
FakeWindows* g_fakeWindows = nullptr;

int SeeTwist(TwistSession&) {
  g_seen.mouseMode = g_ed->Cur().mouseMode;
  g_seen.tool = g_ed->twistTool;
  g_seen.choice = g_ed->twistDialogChoice;
  g_seen.cursor = g_fakeWindows->classCursor[WIN_MAIN];
  ++g_seen.runs;
  return 1;
}

class ToolBoxWinTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingMain;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwistTestMain";
    RegisterClassA(&wc);
    wc.lpfnWndProc = ToolBoxWndProc;
    wc.lpszClassName = "TwistTestToolBox";
    RegisterClassA(&wc);
    g_hwnd[WIN_MAIN] = CreateWindowA("TwistTestMain", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
    toolBox_ = CreateWindowA("TwistTestToolBox", "ToolBox", WS_POPUP, 0, 0, 320, 300, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    g_hwnd[WIN_TOOLBOX] = toolBox_;
    g_commands.clear();
    g_seen = TwistSeen();
    g_fakeWindows = &windows;
    SetTwistDialogHook(SeeTwist);
    cur().viewMode = 10099;
    cur().mouseMode = 103;
    w_ = GetSystemMetrics(SM_CXICON);
    h_ = GetSystemMetrics(SM_CYICON);
  }
  void TearDown() override {
    SetTwistDialogHook(nullptr);
    DestroyWindow(toolBox_);
    DestroyWindow(g_hwnd[WIN_MAIN]);
    g_hwnd[WIN_MAIN] = g_hwnd[WIN_TOOLBOX] = nullptr;
    Pump();
    EditorTest::TearDown();
  }
  // The centre of button b (8 columns, a wider gap after column 3).
  LPARAM Centre(int b) {
    int c = b % 8, r = b / 8;
    int x = c * (w_ + 4) + 4 + (c > 3 ? 8 : 0) + w_ / 2;
    int y = r * (h_ + 4) + 4 + h_ / 2;
    return MAKELPARAM(x, y);
  }
  std::vector<int> LeftClick(LPARAM at) {
    g_commands.clear();
    SendMessageA(toolBox_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(toolBox_, WM_LBUTTONUP, 0, at);
    Pump();
    return g_commands;
  }
  HWND toolBox_ = nullptr;
  int w_ = 32, h_ = 32;
};

TEST_F(ToolBoxWinTest, LeftClicksPostTheirCommands) {
  struct Case {
    int button, command;
  };
  const Case cases[] = {{0, 57635},  {3, 57643},  {6, 10099},  {9, 10078},  {12, 10025}, {15, 10028},
                        {19, 10282}, {23, 10048}, {28, 10043}, {31, 10072}, {36, 10073}, {39, 10076},
                        {43, 10352}, {48, 10356}, {51, 10361}};
  for (const Case& c : cases) EXPECT_EQ(LeftClick(Centre(c.button)), std::vector<int>{c.command}) << c.button;
  st().cfg.fontType = 10408;
  EXPECT_EQ(LeftClick(Centre(27)), std::vector<int>{10408});
  // Gaps send nothing: between rows, and between columns 3 and 4.
  EXPECT_TRUE(LeftClick(MAKELPARAM(4 * (w_ + 4) + 6, h_ / 2 + 4)).empty());
  EXPECT_TRUE(LeftClick(MAKELPARAM(w_ / 2 + 4, h_ + 6)).empty());
  // In Show Single Icon view the view buttons send nothing.
  cur().viewMode = 10097;
  EXPECT_TRUE(LeftClick(Centre(6)).empty());
  EXPECT_EQ(LeftClick(Centre(8)), std::vector<int>{10019});
}

TEST_F(ToolBoxWinTest, GreyedButtonsOnlyBeep) {
  SendMessageA(toolBox_, WM_USER, 20, -2);
  int beeps = prompter.beeps;
  EXPECT_TRUE(LeftClick(Centre(20)).empty());
  EXPECT_EQ(prompter.beeps, beeps + 1);
  SendMessageA(toolBox_, WM_USER, 20, -3);
  EXPECT_EQ(LeftClick(Centre(20)), std::vector<int>{10039});
  SendMessageA(toolBox_, WM_USER, 999, -2);  // out of range: ignored
  EXPECT_EQ(LeftClick(Centre(21)), std::vector<int>{10042});
}

TEST_F(ToolBoxWinTest, TwistButtonsRunTheDialogInTheirMode) {
  struct Case {
    int button, mode;
  };
  const Case cases[] = {{44, 0}, {47, 3}, {52, 4}, {54, 6}, {55, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    g_seen = TwistSeen();
    EXPECT_TRUE(LeftClick(Centre(c.button)).empty());
    EXPECT_EQ(g_seen.runs, 1);
    EXPECT_EQ(g_seen.mouseMode, 110);
    EXPECT_EQ(g_seen.tool, c.mode);
    EXPECT_EQ(g_seen.choice, 1810 + c.mode);
    EXPECT_EQ(g_seen.cursor, 1832);
    EXPECT_EQ(cur().mouseMode, 103) << "the mode comes back";
  }
  EXPECT_FALSE(TwistDialogRunning());
}

TEST_F(ToolBoxWinTest, CountRightClicksSendTheirCommandOnceWhenACountWasGiven) {
  // The count dialogs are scripted: first Cancel (count 0), then OK with 3.
  int32_t answer = 0;
  SetPixelScrollHook([&](int32_t* count) {
    *count = answer;
    return answer != 0 ? 1 : 0;
  });
  SetAddRemoveColumnRowHook([&](int, int32_t* count) {
    *count = answer;
    return answer != 0 ? 1 : 0;
  });
  for (int32_t given : {0, 3}) {
    answer = given;
    for (int b : {12, 15, 36, 39}) {
      g_commands.clear();
      st().scrollRepeat = st().addRemoveRepeat = 0;
      SendMessageA(toolBox_, WM_RBUTTONDOWN, MK_RBUTTON, Centre(b));
      SendMessageA(toolBox_, WM_RBUTTONUP, 0, Centre(b));
      Pump();
      if (given == 0) {
        EXPECT_TRUE(g_commands.empty()) << b;
      } else {
        int expected = b < 16 ? 10025 + (b - 12) : 10073 + (b - 36);
        EXPECT_EQ(g_commands, std::vector<int>{expected}) << b;
        EXPECT_EQ(b < 16 ? st().scrollRepeat : st().addRemoveRepeat, 3) << b;
      }
    }
  }
  SetPixelScrollHook(nullptr);
  SetAddRemoveColumnRowHook(nullptr);
}

}  // namespace
}  // namespace dwtest
