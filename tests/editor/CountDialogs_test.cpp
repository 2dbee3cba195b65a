// The count dialogs' models: field texts, the corrections of typed counts,
// the ranges OK applies, and the hooks the callers' tests script.
#include "Fakes.h"
#include "core/CountDialogs.h"

namespace dwtest {
namespace {

class CountDialogsTest : public EditorTest {};

TEST_F(CountDialogsTest, PixelSizeShowsTheStoredGeometry) {
  PixelSizeModel m;
  m.Load(st().cfg);
  EXPECT_EQ(m.FieldText(IDC_LCD_COUNT_X), "128");
  EXPECT_EQ(m.FieldText(IDC_LCD_COUNT_Y), "128");
  EXPECT_EQ(m.FieldText(IDC_LCD_SIZE_X), "0.50");
  EXPECT_EQ(m.FieldText(IDC_LCD_SIZE_Y), "0.50");
  EXPECT_EQ(m.FieldText(IDC_LCD_SPACING_X), "0.10");
  EXPECT_EQ(m.FieldText(IDC_LCD_SPACING_Y), "0.10");
  EXPECT_EQ(m.shape, IDC_KEEP_ASPECT);
  m.sizeX = 12.345;
  EXPECT_EQ(m.FieldText(IDC_LCD_SIZE_X), "12.35");
}

// Typed text and what OK stores from it: the settings rows' ranges, and
// text that is no finite number leaves a millimetre value as it was.
TEST_F(CountDialogsTest, PixelSizeOkKeepsEveryValueInItsRange) {
  struct Case {
    int field;
    const char* text;
    double stored;
  };
  const Case cases[] = {
      {IDC_LCD_COUNT_X, "240", 240},      {IDC_LCD_COUNT_X, "0", 1},         {IDC_LCD_COUNT_Y, "-5", 1},
      {IDC_LCD_COUNT_Y, "70000", 65535},  {IDC_LCD_COUNT_X, "x", 1},         {IDC_LCD_SIZE_X, "0.75", 0.75},
      {IDC_LCD_SIZE_X, "0", 0.01},        {IDC_LCD_SIZE_Y, "-2", 0.01},      {IDC_LCD_SIZE_Y, "1e308", 1000},
      {IDC_LCD_SIZE_X, "nan", 0.5},       {IDC_LCD_SIZE_X, "inf", 0.5},      {IDC_LCD_SIZE_Y, "abc", 0.5},
      {IDC_LCD_SPACING_X, "0", 0},        {IDC_LCD_SPACING_X, "-1", 0},      {IDC_LCD_SPACING_Y, "0.25mm", 0.25},
      {IDC_LCD_SPACING_Y, "-nan", 0.1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.field) + " " + c.text);
    GlobalSettings cfg;
    PixelSizeModel m;
    m.Load(cfg);
    m.FieldEdited(c.field, c.text);
    m.Store(cfg);
    double got = c.field == IDC_LCD_COUNT_X     ? cfg.lcdCountX
                 : c.field == IDC_LCD_COUNT_Y   ? cfg.lcdCountY
                 : c.field == IDC_LCD_SIZE_X    ? cfg.pixelSizeXmm
                 : c.field == IDC_LCD_SIZE_Y    ? cfg.pixelSizeYmm
                 : c.field == IDC_LCD_SPACING_X ? cfg.spacingXmm
                                                : cfg.spacingYmm;
    EXPECT_DOUBLE_EQ(got, c.stored);
  }
  GlobalSettings cfg;
  PixelSizeModel m;
  m.Load(cfg);
  m.ChooseShape(IDC_FIT_TO_WINDOW);
  m.ChooseShape(1019);  // not a shape
  m.Store(cfg);
  EXPECT_EQ(cfg.screenFixedAspectRatio, IDC_FIT_TO_WINDOW);
}

TEST_F(CountDialogsTest, TypedRepeatCountsAreCorrected) {
  struct Case {
    const char* text;
    int32_t count;
    bool rewritten;
  };
  const Case cases[] = {{"1500", 1199, true}, {"1200", 1200, false}, {"1201", 1199, true}, {"1601", 1199, true},
                        {"-3", 0, true},      {"7", 7, false},       {"", 0, false},       {"-", 0, false},
                        {"99999999999", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RepeatCountModel m;
    EXPECT_EQ(m.Typed(c.text), c.rewritten);
    EXPECT_EQ(m.count, c.count);
    EXPECT_EQ(m.Text(), std::to_string(c.count));
  }
}

// "-" twice from 1 shows -1 as it is; OK hands on 0, so nothing repeats.
TEST_F(CountDialogsTest, StepsAreUnlimitedButOkNeverGoesBelowZero) {
  RepeatCountModel m;
  EXPECT_EQ(m.Text(), "1");
  m.Minus();
  EXPECT_EQ(m.Text(), "0");
  m.Minus();
  EXPECT_EQ(m.Text(), "-1");
  EXPECT_EQ(m.Result(), 0);
  m.count = 1200;
  m.Plus();
  EXPECT_EQ(m.Result(), 1201);
  m.count = INT32_MIN;
  m.Minus();
  EXPECT_EQ(m.count, INT32_MIN);
}

TEST_F(CountDialogsTest, AddRemoveCornerFollowsTheMode) {
  GlobalSettings cfg;
  cfg.addRowFromCornerPixel = 1;
  cfg.addColumnFromCornerPixel = 0;
  struct Case {
    int mode;
    bool enabled, corner;
    const char* text;
  };
  const Case cases[] = {{0, false, false, nullptr},
                        {1, true, true, "Fill Row From Left-Bottom Corner"},
                        {2, true, false, "Fill Column From Right-Top Corner"},
                        {7, false, false, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    AddRemoveModel m;
    m.Load(cfg, c.mode);
    EXPECT_EQ(m.count, 1);
    EXPECT_EQ(m.CornerEnabled(), c.enabled);
    EXPECT_EQ(m.corner, c.corner);
    if (c.text) EXPECT_STREQ(m.CornerText(), c.text);
    else EXPECT_EQ(m.CornerText(), nullptr);
  }
  // OK stores the box into the mode's own setting only.
  AddRemoveModel m;
  m.Load(cfg, 2);
  m.corner = true;
  m.Store(cfg);
  EXPECT_EQ(cfg.addColumnFromCornerPixel, 1);
  EXPECT_EQ(cfg.addRowFromCornerPixel, 1);
  m.Load(cfg, 0);
  m.corner = true;
  m.Store(cfg);
  EXPECT_EQ(cfg.addRowFromCornerPixel, 1);
}

TEST_F(CountDialogsTest, ElementCountsStayWithin0To65535) {
  ElementCountModel m;
  m.Load(true, 70000, 0x41, false);
  EXPECT_EQ(m.CountText(), "65535");
  m.Plus("65534");
  EXPECT_EQ(m.count, 65535);
  m.hex = true;
  m.Plus(m.CountText().c_str());
  EXPECT_EQ(m.CountText(), "0xFFFF");
  m.Minus("0");
  EXPECT_EQ(m.CountText(), "0x0000");
  m.Ok("4294967295");
  EXPECT_EQ(m.count, 65535);
  m.Ok("0x20");
  EXPECT_EQ(m.count, 32);
  m.Load(false, -4, 0, false);
  EXPECT_EQ(m.count, 0);
}

TEST_F(CountDialogsTest, HexadecimalSwitchShowsBothNumbersInTheNewBase) {
  ElementCountModel m;
  m.Load(true, 1, 0x41, false);
  EXPECT_EQ(m.StartText(), "65");
  m.ToggleHex("16");  // the count as typed
  EXPECT_EQ(m.CountText(), "0x0010");
  EXPECT_EQ(m.StartText(), "0x0041");
  m.StartEdited("0x20");
  m.ToggleHex(m.CountText().c_str());
  EXPECT_EQ(m.CountText(), "16");
  EXPECT_EQ(m.StartText(), "32");
  m.StartEdited("99999999999");  // wraps in the parser, kept non-negative
  EXPECT_GE(m.start, 0);
}

TEST_F(CountDialogsTest, DeleteMethodFollowsTheCheckBox) {
  ElementCountModel m;
  m.Load(false, 1, 0, false);
  EXPECT_EQ(m.DeleteMethod(), 10505);
  m.oneAClick = true;
  EXPECT_EQ(m.DeleteMethod(), 10503);
}

// Without a window system every dialog is cancelled and changes nothing;
// a hook answers in its place.
TEST_F(CountDialogsTest, RunAnswersCancelOrTheHook) {
  int32_t count = 5, first = 7;
  GlobalSettings before = st().cfg;
  EXPECT_EQ(RunPixelSizeDialog(), 0);
  EXPECT_EQ(RunAddRemoveColumnRowDialog(1, &count), 0);
  EXPECT_EQ(count, 0);
  count = 5;
  EXPECT_EQ(RunPixelScrollDialog(&count), 0);
  EXPECT_EQ(count, 0);
  count = 5;
  EXPECT_EQ(RunElementInsertDialog(&count, &first), 0);
  EXPECT_EQ(RunElementDeleteDialog(&count), 0);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(st().cfg.elementDeleteMethod, before.elementDeleteMethod);
  EXPECT_EQ(st().cfg.addRowFromCornerPixel, before.addRowFromCornerPixel);

  int seenMode = -1;
  SetAddRemoveColumnRowHook([&](int mode, int32_t* c) {
    seenMode = mode;
    *c = 3;
    return 1;
  });
  SetElementInsertHook([](int32_t* c, int32_t* f) {
    *c = 2;
    *f = 0x30;
    return 1;
  });
  EXPECT_EQ(RunAddRemoveColumnRowDialog(2, &count), 1);
  EXPECT_EQ(seenMode, 2);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(RunElementInsertDialog(&count, &first), 1);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(first, 0x30);
  SetAddRemoveColumnRowHook(nullptr);
  SetElementInsertHook(nullptr);
  EXPECT_EQ(RunElementInsertDialog(&count, &first), 0);
}

}  // namespace
}  // namespace dwtest
