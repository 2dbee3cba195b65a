// Twist and turn: the pure mapping, the dialog's model, and whole runs of
// the dialog scripted through the hook (OK keeps one edit, Cancel leaves no
// trace).
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "Fakes.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/StateDigest.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "core/Undo.h"

namespace dwtest {
namespace {

TEST(TwistSourceTest, AmountZeroMapsEveryCellToItself) {
  for (int mode = 0; mode < kTwistModes; ++mode) {
    for (int32_t x = 0; x < 7; ++x) {
      for (int32_t y = 0; y < 5; ++y) {
        int32_t sx = -1, sy = -1;
        ASSERT_TRUE(TwistSource(mode, 0.0, x, y, 7, 5, &sx, &sy)) << mode;
        EXPECT_EQ(sx, x) << mode;
        EXPECT_EQ(sy, y) << mode;
      }
    }
  }
}

TEST(TwistSourceTest, SqueezeAtTheTopKeepsTheTopRows) {
  // Mode 4 with the bar at its top (v = 64): row y shows row trunc(y / 0.36).
  const int32_t expected[] = {0, 2, 5, 8, 11, 13, 16, 19};
  for (int32_t y = 0; y < 20; ++y) {
    int32_t sx = -1, sy = -1;
    bool inside = TwistSource(4, 64.0, 3, y, 10, 20, &sx, &sy);
    if (y < 8) {
      ASSERT_TRUE(inside) << y;
      EXPECT_EQ(sy, expected[y]) << y;
      EXPECT_EQ(sx, 3);
    } else {
      EXPECT_FALSE(inside) << y;
    }
  }
}

TEST(TwistSourceTest, TurnAboutTheCentre) {
  int32_t sx = -1, sy = -1;
  ASSERT_TRUE(TwistSource(6, 90.0, 20, 10, 32, 32, &sx, &sy));
  EXPECT_EQ(sx, 22);
  EXPECT_EQ(sy, 20);
  EXPECT_FALSE(TwistSource(6, 90.0, 16, 0, 32, 32, &sx, &sy));
  ASSERT_TRUE(TwistSource(7, 90.0, 20, 10, 32, 32, &sx, &sy));  // 7 turns as 6 does
  EXPECT_EQ(sx, 22);

  // Tilting the top with a negative amount lowers the top edge toward the
  // right: the left column keeps its rows, the right one loses its top.
  ASSERT_TRUE(TwistSource(0, -50.0, 0, 0, 10, 10, &sx, &sy));
  EXPECT_EQ(sy, 0);
  EXPECT_FALSE(TwistSource(0, -50.0, 9, 0, 10, 10, &sx, &sy));
}

TEST(TwistSourceTest, AnyAmountGivesACellInsideOrNone) {
  const double inf = std::numeric_limits<double>::infinity();
  const double amounts[] = {150.0, -150.0, 100.0, -100.0, 200.0, 1e308, -1e308, 1e-308, inf, -inf,
                            std::numeric_limits<double>::quiet_NaN(), 64.0, -63.5};
  for (int mode = -1; mode <= kTwistModes; ++mode) {
    for (double v : amounts) {
      for (int32_t x = 0; x < 9; ++x) {
        for (int32_t y = 0; y < 6; ++y) {
          int32_t sx = -1, sy = -1;
          if (TwistSource(mode, v, x, y, 9, 6, &sx, &sy)) {
            EXPECT_TRUE(sx >= 0 && sx < 9 && sy >= 0 && sy < 6) << mode << " " << v;
          }
        }
      }
    }
  }
  int32_t sx, sy;
  EXPECT_FALSE(TwistSource(0, 10.0, 0, 0, 0, 5, &sx, &sy));  // an empty picture has no cells
}

TEST(TwistModelTest, ScrollBarAndTypedAmounts) {
  TwistModel m(3);
  EXPECT_EQ(m.Mode(), 3);
  EXPECT_EQ(m.Choice(), 1813);
  EXPECT_EQ(m.Level(), 128);
  EXPECT_EQ(m.ScrollPosition(), 127);
  EXPECT_EQ(m.AmountText(), " 0.00");

  struct Step {
    int code, position;
    int level;
    double amount;
  };
  const Step steps[] = {
      {TWIST_LINE_UP, 0, 129, 1.0},     {TWIST_PAGE_UP, 0, 145, 9.0},  {TWIST_TOP, 0, 255, 64.0},
      {TWIST_LINE_UP, 0, 255, 64.0},    {TWIST_PAGE_DOWN, 0, 239, 56.0}, {TWIST_THUMB_TRACK, 200, 55, -36.0},
      {TWIST_BOTTOM, 0, 0, -63.5},      {TWIST_LINE_DOWN, 0, 0, -63.5}, {TWIST_THUMB_POSITION, 0, 255, 64.0},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(m.Scroll(s.code, s.position));
    EXPECT_EQ(m.Level(), s.level) << s.code;
    EXPECT_EQ(m.Amount(), s.amount) << s.code;
    EXPECT_EQ(m.ScrollPosition(), 255 - s.level);
  }
  EXPECT_FALSE(m.Scroll(8, 0));  // SB_ENDSCROLL asks for nothing

  struct Typed {
    const char* text;
    bool used;
    double amount;
    int level;
    const char* shown;
  };
  const Typed typed[] = {
      {"90", true, 90.0, 255, "90.00"},
      {"-3", true, -3.0, 121, "-3.00"},
      {"nan", false, -3.0, 121, "-3.00"},
      {"inf", false, -3.0, 121, "-3.00"},
      {"x12", false, -3.0, 121, "-3.00"},
      {"", false, -3.0, 121, "-3.00"},
      {"150", true, 150.0, 255, "150.00"},
      {"-1e308", true, -1e308, 0, nullptr},
      {"  12.5abc", true, 12.5, 152, "12.50"},
  };
  for (const Typed& t : typed) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(m.Apply(t.text), t.used);
    EXPECT_EQ(m.Amount(), t.amount);
    EXPECT_EQ(m.Level(), t.level);
    if (t.shown) {
      EXPECT_EQ(m.AmountText(), t.shown);
    }
  }
  // Only the first 125 characters are read.
  EXPECT_FALSE(m.Apply((std::string(125, ' ') + "7").c_str()));
  EXPECT_FALSE(m.Apply(nullptr));

  // Each mode keeps its own values while the dialog is open.
  EXPECT_TRUE(m.SelectMode(6));
  EXPECT_EQ(m.Amount(), 0.0);
  EXPECT_EQ(m.Choice(), 1816);
  EXPECT_TRUE(m.SelectMode(3));
  EXPECT_EQ(m.Amount(), 12.5);
  EXPECT_FALSE(m.SelectMode(8));
  EXPECT_EQ(TwistModel(99).Mode(), 7);
}

// A whole dialog run through the hook.
std::function<int(TwistSession&)> g_script;
int ScriptedDialog(TwistSession& session) { return g_script(session); }

class TwistRunTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    HandleCreate();
    st().clientWidth = 640;
    st().workSheetHeight = 480;
    cur().colorMode = 10665;
    cur().viewMode = 10097;
    SetTwistDialogHook(ScriptedDialog);
    prompter.beeps = 0;
  }
  void TearDown() override {
    SetTwistDialogHook(nullptr);
    g_script = nullptr;
    EditorTest::TearDown();
  }
  // A picture whose cell (x, y) holds 2 + x + 100 y, so a cell tells where it came from.
  void Numbered(int32_t w, int32_t h) {
    cur().pictureWidth = w;
    cur().pictureHeight = h;
    UpdateWorkSheetGeometry();
    for (int32_t x = 0; x < w; ++x)
      for (int32_t y = 0; y < h; ++y) *CellPtr(st(), 0, x, y) = Origin(x, y);
  }
  static uint32_t Origin(int32_t x, int32_t y) { return static_cast<uint32_t>(2 + x + 100 * y); }
  uint32_t At(int32_t x, int32_t y) { return *CellPtr(st(), 0, x, y); }
  void Run(int mode, std::function<int(TwistSession&)> script) {
    st().twistTool = mode;
    g_script = std::move(script);
    RunTwistAndTurn();
  }
  uint64_t Full() { return DigestDataSet(st(), 0); }
  uint64_t Content() { return DigestDataSetContent(st(), 0); }
};

TEST_F(TwistRunTest, OkAtZeroChangesNoCellAndIsOneEdit) {
  Numbered(12, 9);
  for (int mode = 0; mode < kTwistModes; ++mode) {
    SCOPED_TRACE(mode);
    uint64_t before = Content();
    int32_t depth = cur().undoDepth;
    Run(mode, [](TwistSession& s) {
      s.Recompute();
      return 1;
    });
    EXPECT_EQ(Content(), before);
    EXPECT_EQ(cur().undoDepth, std::min(depth + 1, kUndoSlots));
    EXPECT_TRUE(cur().modified);
  }
  EXPECT_FALSE(TwistDialogRunning());
}

TEST_F(TwistRunTest, SqueezeAndTurnWriteTheInversePensBackground) {
  struct Case {
    const char* what;
    int32_t colorMode, colorKind, pen;
    uint32_t background;
  };
  const Case cases[] = {
      {"Black pen", 10665, 10667, 10019, 0},
      {"White pen", 10665, 10667, 10020, 1},
      {"Toggle pen", 10665, 10667, 10078, 0},
      {"palette", 10666, 10668, 10019, 77},
      {"RGB", 10666, 10667, 10019, 0x00ABCDEF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cur().colorMode = c.colorMode;
    cur().colorKind = c.colorKind;
    cur().penColor = c.pen;
    cur().backgroundColorIndex = 77;
    cur().rgbBackgroundColor = 0x00ABCDEF;

    Numbered(10, 20);
    Run(4, [](TwistSession& s) {
      s.Scroll(TWIST_TOP, 0);
      return 1;
    });
    const int32_t from[] = {0, 2, 5, 8, 11, 13, 16, 19};
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(At(x, y), y < 8 ? Origin(x, from[y]) : c.background) << x << "," << y;

    Numbered(32, 32);
    Run(6, [](TwistSession& s) {
      s.Apply("90");
      return 1;
    });
    EXPECT_EQ(At(20, 10), Origin(22, 20));
    EXPECT_EQ(At(16, 0), c.background);
  }
}

TEST_F(TwistRunTest, CancelLeavesNoTrace) {
  Numbered(16, 16);
  PushUndo();  // edit A
  *CellPtr(st(), 0, 3, 3) = 1;
  uint64_t afterA = Content();
  uint64_t full = Full();
  for (int mode = 0; mode < kTwistModes; ++mode) {
    Run(mode, [mode](TwistSession& s) {
      s.Apply("150");
      s.Apply("nan");
      s.Apply("1e308");
      s.Scroll(TWIST_PAGE_DOWN, 0);
      s.SelectMode((mode + 3) % kTwistModes);
      s.Apply("-37.5");
      return 0;
    });
    EXPECT_EQ(Full(), full) << mode;
  }
  UndoEdit();
  EXPECT_NE(Content(), afterA);
  RedoEdit();
  EXPECT_EQ(Content(), afterA);
}

TEST_F(TwistRunTest, HugeAmountsAreHarmless) {
  for (const char* text : {"150", "-150", "100", "nan", "1e308", "-1e308", "1e-320"}) {
    for (int mode = 0; mode < kTwistModes; ++mode) {
      Numbered(9, 7);
      Run(mode, [text](TwistSession& s) {
        s.Apply(text);
        return 1;
      });
      for (int32_t x = 0; x < 9; ++x) {
        for (int32_t y = 0; y < 7; ++y) {
          uint32_t v = At(x, y);
          bool fromPicture = v >= 2 && (v - 2) % 100 < 9 && (v - 2) / 100 < 7;
          ASSERT_TRUE(fromPicture || v == 0) << text << " mode " << mode;
        }
      }
    }
  }
}

TEST_F(TwistRunTest, NothingElseReshapesThePictureWhileTheDialogIsOpen) {
  Numbered(8, 8);
  Run(2, [this](TwistSession& s) {
    uint64_t during = Full();
    int beeps = prompter.beeps;
    RunPictureCommand(10071);  // Double
    RunTwistAndTurn();         // a second twist button
    EXPECT_EQ(prompter.beeps, beeps + 2);
    EXPECT_EQ(Full(), during);
    EXPECT_TRUE(TwistDialogRunning());
    s.Apply("30");
    return 0;
  });
  EXPECT_FALSE(TwistDialogRunning());
  RunPictureCommand(10071);
  EXPECT_EQ(cur().pictureWidth, 16);
}

TEST_F(TwistRunTest, ModeAndChoiceFollowTheDialog) {
  Numbered(8, 8);
  Run(42, [this](TwistSession& s) {
    EXPECT_EQ(st().twistTool, 7);
    EXPECT_EQ(st().twistDialogChoice, 1817);
    s.SelectMode(1);
    EXPECT_EQ(st().twistTool, 1);
    EXPECT_EQ(st().twistDialogChoice, 1811);
    return 1;
  });
}

}  // namespace
}  // namespace dwtest
