// Clipboard paste, copy and delete: the resampling and colour matching on
// their own, the paste sizes by action and view, the paste command with and
// without the CLIPSIZE dialog (scripted), and the refusals that must leave
// no trace.
#include <functional>
#include <random>
#include <vector>

#include "Fakes.h"
#include "core/ClipSize.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/MouseTools.h"
#include "core/Paste.h"
#include "core/PasteConvert.h"
#include "core/StateDigest.h"
#include "core/Undo.h"
#include "views/ColorModel.h"

namespace dwtest {
namespace {

constexpr int32_t kBlackWhite = 10665;
constexpr int32_t kColour = 10666;
constexpr int32_t kRgbKind = 10667;
constexpr int32_t kPaletteKind = 10668;
constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t Gray(int v) { return static_cast<uint32_t>(v) * 0x010101u; }

// ---------------------------------------------------------------------------
// Resampling.

struct ResampleCase {
  const char* name;
  Interpolation how;
  int32_t x, y;
  uint32_t expected;
};

TEST(ConvertPictureSize, TwoByTwoToFourByFourSamplesAsTheSettingsSay) {
  // Gray rows (0, 100) and (200, 40).
  const std::vector<uint32_t> source = {Gray(0), Gray(100), Gray(200), Gray(40)};
  Interpolation twoBoth{true, kInterpolate2Pixel, kDirectionBoth};
  Interpolation twoVertical{true, kInterpolate2Pixel, kDirectionVertical};
  Interpolation twoHorizontal{true, kInterpolate2Pixel, kDirectionHorizontal};
  Interpolation off{false, kInterpolate2Pixel, kDirectionBoth};
  // "No" with interpolation on counts as off: truncated positions.
  Interpolation no{true, kInterpolateNo, kDirectionBoth};
  const ResampleCase cases[] = {
      {"2 Pixel Both", twoBoth, 1, 0, Gray(50)},
      {"2 Pixel Both", twoBoth, 0, 1, Gray(100)},
      {"2 Pixel Both", twoBoth, 1, 1, Gray(85)},
      {"2 Pixel Both", twoBoth, 2, 1, Gray(70)},
      {"2 Pixel Both", twoBoth, 3, 3, Gray(40)},
      {"2 Pixel Both", twoBoth, 0, 0, Gray(0)},
      // Vertical: above and below in the centre column round(1 x 2 / 4) = 1.
      {"2 Pixel Vertical", twoVertical, 1, 1, Gray(70)},
      // Horizontal: left and right in the centre row round(1 x 2 / 4) = 1.
      {"2 Pixel Horizontal", twoHorizontal, 1, 1, Gray(120)},
      // Off: the single pixel at the truncated position.
      {"off", off, 1, 1, Gray(0)},
      {"off", off, 2, 3, Gray(40)},
      {"No", no, 3, 1, Gray(100)},
  };
  for (const ResampleCase& c : cases) {
    std::vector<uint32_t> target(16, 0xDEADBEEF);
    EXPECT_EQ(ConvertPictureSize(target.data(), 0, 0, 4, 4, source.data(), 2, 2, c.how), 16) << c.name;
    EXPECT_EQ(target[c.y * 4 + c.x], c.expected) << c.name << " at " << c.x << "," << c.y;
  }
}

TEST(ConvertPictureSize, ThreePixelsAverageTheCentreWithItsNeighbours) {
  // 3 x 1 source to the same size: columns round(x - 1), round(x), round(x + 1).
  const std::vector<uint32_t> source = {0x000000, 0x0030C0, 0x00F060};
  std::vector<uint32_t> target(3);
  ConvertPictureSize(target.data(), 0, 0, 3, 1, source.data(), 3, 1,
                     Interpolation{true, kInterpolate3Pixel, kDirectionHorizontal});
  EXPECT_EQ(target[1], 0x006060u);  // red (0 + 0xC0 + 0x60) / 3, green (0 + 0x30 + 0xF0) / 3
  // Both: the centre counts twice among six; a single row repeats itself vertically.
  ConvertPictureSize(target.data(), 0, 0, 3, 1, source.data(), 3, 1,
                     Interpolation{true, kInterpolate3Pixel, kDirectionBoth});
  EXPECT_EQ(target[1], 0x004890u);  // red (4 x 0xC0 + 0x60) / 6, green (4 x 0x30 + 0xF0) / 6
  EXPECT_EQ(target[0], 0x000820u);  // the left column clamps to 0: red 0xC0 / 6, green 0x30 / 6
}

TEST(ConvertPictureSize, StaysInsideTheSourceWhateverTheSizes) {
  // Extreme ratios both ways with every setting: the sanitizers watch the reads.
  const Interpolation settings[] = {
      {false, kInterpolateNo, kDirectionBoth},      {true, kInterpolate2Pixel, kDirectionBoth},
      {true, kInterpolate3Pixel, kDirectionBoth},   {true, kInterpolate2Pixel, kDirectionVertical},
      {true, kInterpolate3Pixel, kDirectionHorizontal}, {true, kInterpolate2Pixel, 4711},
  };
  const int32_t sizes[][4] = {{1, 1, 300, 2}, {300, 2, 1, 1}, {7, 3, 5, 11}, {2000, 1, 3, 1}};
  for (const Interpolation& how : settings) {
    for (const auto& z : sizes) {
      std::vector<uint32_t> source(static_cast<size_t>(z[0]) * z[1], 0x00123456);
      std::vector<uint32_t> target(static_cast<size_t>(z[2]) * z[3], 0);
      EXPECT_EQ(ConvertPictureSize(target.data(), 0, 0, z[2], z[3], source.data(), z[0], z[1], how), z[2] * z[3]);
      for (uint32_t p : target) ASSERT_EQ(p, 0x00123456u);
    }
  }
}

TEST(ConvertPictureSize, FillsOnlyFromTheStartAndRefusesEmptySizes) {
  const std::vector<uint32_t> source = {1, 2, 3, 4};
  std::vector<uint32_t> target(16, 9);
  EXPECT_EQ(ConvertPictureSize(target.data(), 2, 3, 4, 4, source.data(), 2, 2, Interpolation()), 2);
  EXPECT_EQ(target[3 * 4 + 2], 4u);
  EXPECT_EQ(target[3 * 4 + 1], 9u);
  EXPECT_EQ(target[2 * 4 + 3], 9u);
  EXPECT_EQ(ConvertPictureSize(target.data(), 0, 0, 0, 4, source.data(), 2, 2, Interpolation()), 0);
  EXPECT_EQ(ConvertPictureSize(target.data(), 0, 0, 4, 4, source.data(), 0, 2, Interpolation()), 0);
}

// ---------------------------------------------------------------------------
// Colour matching.

TEST(PasteColours, BrightnessAndTheBlackAndWhiteThreshold) {
  struct {
    uint32_t color;
    int32_t mGray;
    uint32_t cell;
  } bw[] = {
      {Gray(127), 127, 1}, {Gray(128), 127, 0}, {Gray(0), 0, 1}, {Gray(1), 0, 0}, {Gray(255), 255, 1},
      // r² + g² + b² against 3 mGray²: 200² + 0 + 0 = 40000 <= 3 x 116² = 40368.
      {0x0000C8, 116, 1}, {0x0000C8, 115, 0},
  };
  for (const auto& c : bw) EXPECT_EQ(BlackWhiteCell(c.color, c.mGray), c.cell) << std::hex << c.color << " " << c.mGray;

  struct {
    uint32_t color;
    int32_t mGray;
    uint32_t shifted;
  } shift[] = {
      {0x80 | 0x0A << 8 | 0xC8 << 16, 255, 0xFF | 0x89 << 8 | 0xFF << 16},  // (200, 10, 128) -> (255, 137, 255) as BGR
      {Gray(100), 128, Gray(100)},
      {Gray(100), 0, Gray(0)},
      {0x00102030, 127, 0x000F1F2F},
  };
  for (const auto& c : shift) EXPECT_EQ(ShiftBrightness(c.color, c.mGray), c.shifted) << std::hex << c.color;
}

class PasteTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    HandleCreate();
    ResetMouseTools();
    ResetPasteState();
    SetClipSizeHook(nullptr);
    prompter.prompts.clear();
    prompter.beeps = 0;
  }
  void TearDown() override {
    SetClipSizeHook(nullptr);
    Script() = nullptr;
    ResetMouseTools();
    EditorTest::TearDown();
  }

  uint32_t Cell(int32_t x, int32_t y) { return *CellPtr(st(), st().currentDataSet, x, y); }
  void SetCell(int32_t x, int32_t y, uint32_t v) { *CellPtr(st(), st().currentDataSet, x, y) = v; }
  void BlackAndWhite() {
    cur().colorMode = kBlackWhite;
    for (int32_t x = 0; x < kMaxPictureWidth; ++x)
      for (int32_t y = 0; y < kMaxPictureHeight; ++y) SetCell(x, y, 0);
  }
  void Picture(int32_t w, int32_t h) {
    cur().pictureWidth = w;
    cur().pictureHeight = h;
    UpdateWorkSheetGeometry();
  }
  // Show Group, elements of 8 x 8, 4 a row, element n current.
  void Group(int32_t n) {
    cur().viewMode = 10099;
    cur().elementWidth = cur().elementHeight = 8;
    cur().elementCountX = 4;
    cur().elementCount = 16;
    cur().currentElement = n;
    Picture(32, 32);
  }
  // Counts the cells of value v in [x0, x1) x [y0, y1).
  int Count(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t v) {
    int n = 0;
    for (int32_t x = x0; x < x1; ++x)
      for (int32_t y = y0; y < y1; ++y) n += Cell(x, y) == v;
    return n;
  }
  uint64_t Full() { return DigestDataSet(st(), st().currentDataSet); }

  // The dialog's script for the next paste.
  static std::function<int(ClipSizeDialog&, bool*)>& Script() {
    static std::function<int(ClipSizeDialog&, bool*)> script;
    return script;
  }
  static int RunScript(ClipSizeDialog& d, bool* dontShow) { return Script()(d, dontShow); }
  void UseDialog(std::function<int(ClipSizeDialog&, bool*)> script) {
    st().cfg.disablePasteDlg = 0;
    Script() = std::move(script);
    SetClipSizeHook(RunScript);
  }
};

TEST_F(PasteTest, PaletteMatchIsTheNearestEntryFirstBestWinning) {
  DataSet& s = cur();
  std::mt19937 rng(7);
  // Duplicates and near neighbours test the order among equals.
  for (int i = 0; i < 256; ++i) s.palette[i] = rng() & 0xFFFFFF;
  s.palette[3] = s.palette[7] = 0x00405060;
  s.palette[9] = 0x00405061;
  // Equally far from 0x000020 on both sides: the lower index wins.
  s.palette[11] = 0x000010;
  s.palette[10] = 0x000030;
  int32_t candidates = st().paletteColumns * st().paletteRows;
  PaletteMatcher matcher(s, candidates);
  for (int i = 0; i < 3000; ++i) {
    const uint32_t chosen[] = {0x00405060u, 0x00405062u, 0u, 0x000020u};
    uint32_t c = i < 4 ? chosen[i] : (rng() & 0xFFFFFF);
    ASSERT_EQ(matcher.Nearest(c), FindNearestPaletteIndex(c)) << std::hex << c;
    ASSERT_EQ(matcher.Nearest(c), FindNearestPaletteIndex(c)) << "cached " << std::hex << c;
  }
  EXPECT_EQ(matcher.Nearest(0x00405060), 3);
  EXPECT_EQ(matcher.Nearest(0x000020), 10);
}

// ---------------------------------------------------------------------------
// Paste sizes.

TEST_F(PasteTest, PasteSizeFollowsActionAndView) {
  struct Case {
    int32_t action, view;
    bool variable;
    int32_t requestW, requestH, clipW, clipH;
    int32_t w, h, pictureW, pictureH;
  } cases[] = {
      {kPasteCopyPixel, 10097, false, 32, 32, 40, 20, 32, 20, 32, 32},
      {kPasteCopyPixel, 10099, false, 32, 32, 40, 20, 8, 8, 32, 32},
      {kPasteCopyPixel, 10096, false, 32, 32, 5, 3, 5, 3, 32, 32},
      {kPasteFitClipboard, 10097, false, 50, 7, 40, 20, 50, 7, 32, 32},
      {kPasteFitClipboard, 10098, false, 50, 7, 40, 20, 50, 7, 32, 32},
      {kPasteFitClipboard, 10099, false, 50, 7, 40, 20, 8, 7, 32, 32},
      {kPasteFitPicture, 10097, false, 1, 1, 100, 50, 100, 50, 100, 50},
      {kPasteFitPicture, 10099, false, 1, 1, 100, 5, 8, 5, 32, 32},
      // Variable element sizes: the element's own size, whatever the action.
      {kPasteCopyPixel, 10099, true, 32, 32, 40, 20, 3, 6, 32, 32},
      {kPasteFitPicture, 10096, true, 32, 32, 40, 20, 3, 6, 32, 32},
  };
  for (const Case& c : cases) {
    cur().pictureWidth = cur().pictureHeight = 32;
    cur().viewMode = c.view;
    cur().elementWidth = cur().elementHeight = 8;
    cur().variableElementSizes = c.variable;
    cur().currentElement = 2;
    cur().elementWidths[2] = 3;
    cur().elementHeights[2] = 6;
    st().cfg.clipAction = c.action;
    CurrentPaste().clipWidth = c.clipW;
    CurrentPaste().clipHeight = c.clipH;
    ComputePasteSize(c.requestW, c.requestH);
    EXPECT_EQ(CurrentPaste().width, c.w) << c.action << " " << c.view << " " << c.variable;
    EXPECT_EQ(CurrentPaste().height, c.h) << c.action << " " << c.view << " " << c.variable;
    EXPECT_EQ(cur().pictureWidth, c.pictureW) << c.action << " " << c.view;
    EXPECT_EQ(cur().pictureHeight, c.pictureH) << c.action << " " << c.view;
  }
  // The frame tool without a frame drawn sizes as the view does.
  cur().mouseMode = 105;
  cur().variableElementSizes = false;
  ComputePasteSize(100, 100);
  EXPECT_EQ(CurrentPaste().width, 8);
}

// ---------------------------------------------------------------------------
// The paste command without the dialog.

TEST_F(PasteTest, CopyPixelToPixelInSingleIconCutsToTheRequest) {
  BlackAndWhite();
  Picture(32, 32);
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteCopyPixel;
  clipboard.PutBitmap(40, 20, 0);  // black
  CommandPaste();
  EXPECT_EQ(clipboard.reads, 1);
  EXPECT_EQ(CurrentPaste().width, 32);
  EXPECT_EQ(CurrentPaste().height, 20);
  EXPECT_EQ(Count(0, 0, 32, 20, 1), 32 * 20);
  EXPECT_EQ(Count(0, 20, 40, 32, 1), 0);
  EXPECT_EQ(Count(32, 0, 40, 20, 1), 0);
  EXPECT_EQ(st().statusText, "Conversion Finished");
  EXPECT_FALSE(CurrentPaste().busy);
  EXPECT_TRUE(cur().modified);
  EXPECT_EQ(cur().undoDepth, 2);
  EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(PasteTest, FitPictureToClipboardResizesThePicture) {
  BlackAndWhite();
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteFitPicture;
  clipboard.PutBitmap(100, 50, 0);
  CommandPaste();
  EXPECT_EQ(cur().pictureWidth, 100);
  EXPECT_EQ(cur().pictureHeight, 50);
  EXPECT_EQ(cur().activeRight, 100);
  EXPECT_EQ(Count(0, 0, 100, 50, 1), 100 * 50);
  EXPECT_EQ(Count(100, 0, 101, 50, 1) + Count(0, 50, 100, 51, 1), 0);
}

TEST_F(PasteTest, ABitmapLargerThanTheStoreIsCutWithBothMessages) {
  BlackAndWhite();
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteFitPicture;
  clipboard.PutBitmap(2000, 1500, 0);
  CommandPaste();
  EXPECT_EQ(cur().pictureWidth, 1600);
  EXPECT_EQ(cur().pictureHeight, 1200);
  ASSERT_EQ(prompter.prompts.size(), 2u);
  EXPECT_EQ(prompter.prompts[0].text, "Picture X Size is 2000\nMaximum allowed LCD X Screensize is 1600, have to reduce Icon");
  EXPECT_EQ(prompter.prompts[1].text, "Picture Y Size is 1500\nMaximum allowed LCD Y Screensize is 1200, have to reduce Icon");
  EXPECT_EQ(prompter.prompts[0].caption, "Size of Icon");
  EXPECT_EQ(prompter.prompts[1].caption, "Size of Icon");
  EXPECT_EQ(Cell(0, 0), 1u);
  EXPECT_EQ(Cell(1599, 1199), 1u);
  EXPECT_EQ(st().set[1].pictureWidth, 32);  // the other set's store is untouched
}

TEST_F(PasteTest, FitClipboardScalesAndMatchesColours) {
  // RGB kind, brightness raised to the top: every channel + 127, held at 255.
  cur().colorMode = kColour;
  cur().colorKind = kRgbKind;
  Picture(32, 32);
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteFitClipboard;
  st().cfg.mGray = 255;
  clipboard.PutBitmap(2, 1, 0);
  clipboard.bitmap.pixels = {0x80 | 0x0A << 8 | 0xC8 << 16, 0x000000};
  CommandPaste();
  EXPECT_EQ(Cell(0, 0), static_cast<uint32_t>(0xFF | 0x89 << 8 | 0xFF << 16));
  EXPECT_EQ(Cell(15, 31), static_cast<uint32_t>(0xFF | 0x89 << 8 | 0xFF << 16));
  EXPECT_EQ(Cell(16, 0), Gray(127));
  EXPECT_EQ(Cell(31, 31), Gray(127));

  // Palette kind: the nearest entry.
  cur().colorKind = kPaletteKind;
  st().cfg.mGray = 128;
  cur().palette[5] = 0x000000FF;
  clipboard.PutBitmap(1, 1, 0x000000FE);
  CommandPaste();
  EXPECT_EQ(Cell(0, 0), 5u);
  EXPECT_EQ(Cell(31, 31), 5u);
}

TEST_F(PasteTest, ShowGroupPastesIntoTheClearedCurrentElement) {
  BlackAndWhite();
  Group(5);  // element 5 is at (8, 8)
  for (int32_t x = 0; x < 32; ++x)
    for (int32_t y = 0; y < 32; ++y) SetCell(x, y, 1);
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteCopyPixel;
  clipboard.PutBitmap(3, 2, 0);  // black
  CommandPaste();
  EXPECT_EQ(Count(8, 8, 11, 10, 1), 6);
  EXPECT_EQ(Count(8, 8, 16, 16, 1), 6);  // the rest of the element was cleared
  EXPECT_EQ(Count(0, 0, 32, 32, 1), 32 * 32 - 64 + 6);
  EXPECT_EQ(cur().activeLeft, 0);  // the whole picture is active again
}

TEST_F(PasteTest, TheEditFrameTakesThePasteAndPaste1018GoesPastIt) {
  BlackAndWhite();
  Group(5);
  // A frame over cells (2, 3)..(9, 7) of the picture, dragged with the frame tool.
  constexpr int32_t kTop = 44, kCell = 4;
  st().workSheetTop = kTop;
  st().clientWidth = 640;
  st().workSheetHeight = 400;
  cur().mainGroupPixSize = 10200 + kCell;
  UpdateWorkSheetGeometry();
  cur().mouseMode = 105;
  cur().currentTool = 10120;
  auto at = [&](int32_t x, int32_t y) { return MousePosition(x * kCell + 1, kTop + y * kCell + 1); };
  HandleLButtonDown(MKEY_LBUTTON, at(2, 3));
  HandleMouseMove(MKEY_LBUTTON, at(9, 7));
  HandleLButtonUp(0, at(9, 7));
  ASSERT_TRUE(EditFrameExists());

  // Pixel to pixel fills the frame, not the element, and asks nothing of the size.
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteCopyPixel;
  clipboard.PutBitmap(40, 20, 0);
  CommandPaste();
  EXPECT_EQ(Count(2, 3, 10, 8, 1), 8 * 5);
  EXPECT_EQ(Count(0, 0, 32, 32, 1), 8 * 5);
  EXPECT_EQ(cur().activeLeft, 0);  // the narrowing is given back

  // Full size from the frame's corner, cut at the store's edge only.
  BlackAndWhite();
  cur().mouseMode = 105;
  UseDialog([](ClipSizeDialog& d, bool*) {
    d.Command(IDC_CLIP_FIT_PICTURE);
    d.Repaste();
    EXPECT_EQ(d.ActionText(IDC_CLIP_FIT_PICTURE), "Paste Full Size Even Outside Frame");
    EXPECT_EQ(d.SizeGroupText(), "Paste Size in Frame");
    return 1;
  });
  clipboard.PutBitmap(12, 6, 0);
  CommandPaste();
  EXPECT_EQ(Count(2, 3, 14, 9, 1), 12 * 6);
  EXPECT_EQ(Count(0, 0, 32, 32, 1), 12 * 6);
}

TEST_F(PasteTest, ARunningPasteIgnoresASecondOne) {
  BlackAndWhite();
  uint64_t before = Full();
  CurrentPaste().busy = true;
  clipboard.PutBitmap(4, 4, 0);
  CommandPaste();
  PasteClipboardBitmap(clipboard.bitmap);
  EXPECT_EQ(Full(), before);
  EXPECT_EQ(clipboard.reads, 0);
}

// ---------------------------------------------------------------------------
// Refusals leave nothing behind, ring included.

TEST_F(PasteTest, NoBitmapShowsOneMessageAndChangesNothing) {
  struct {
    bool text;
    const char* message;
  } cases[] = {{false, kClipboardUnsupported}, {true, kClipboardHoldsText}};
  EXPECT_STREQ(kClipboardUnsupported, "Unsupported ClipBoard format.\nPlease run ClipBook Viewer to check.");
  EXPECT_STREQ(kClipboardHoldsText, "Unsupported ClipBoard format.\nClipboard contains text");
  for (bool dialog : {false, true}) {
    for (const auto& c : cases) {
      st().cfg.disablePasteDlg = dialog ? 0 : 1;
      clipboard.hasBitmap = false;
      clipboard.hasText = c.text;
      clipboard.reads = 0;
      prompter.prompts.clear();
      st().pressedToolbarButton = 6;
      uint64_t before = Full(), other = DigestDataSet(st(), 1);
      CommandPaste();
      ASSERT_EQ(prompter.prompts.size(), 1u);
      EXPECT_EQ(prompter.prompts[0].text, c.message);
      EXPECT_EQ(prompter.prompts[0].caption, kProgramTitle);
      EXPECT_EQ(prompter.prompts[0].flags, static_cast<unsigned>(MBX_OK | MBX_ICONHAND));
      EXPECT_EQ(Full(), before);
      EXPECT_EQ(DigestDataSet(st(), 1), other);
      EXPECT_EQ(clipboard.reads, 1);
      EXPECT_FALSE(CurrentPaste().busy);
      EXPECT_EQ(st().pressedToolbarButton, -1);
    }
  }
}

// Edit A, refused B, Undo gives the state before A, Redo the state after A.
TEST_F(PasteTest, RefusedAndCancelledPastesKeepTheHistory) {
  BlackAndWhite();
  cur().modified = false;
  std::function<void()> refusals[] = {
      [&] { clipboard.hasBitmap = false; CommandPaste(); },
      [&] {
        clipboard.PutBitmap(10, 10, 0);
        UseDialog([](ClipSizeDialog& d, bool*) {
          d.Command(IDC_CLIP_FIT_PICTURE);
          d.Scroll(CLIP_SB_TOP, 0);
          d.Repaste();
          return 0;
        });
        CommandPaste();
      },
  };
  for (auto& refuse : refusals) {
    uint64_t beforeA = DigestDataSetContent(st(), 0);
    PushUndo();
    SetCell(3, 4, 1 - Cell(3, 4));
    uint64_t afterA = Full(), afterAContent = DigestDataSetContent(st(), 0);
    int32_t clipAction = st().cfg.clipAction, mGray = st().cfg.mGray;
    refuse();
    EXPECT_EQ(Full(), afterA);
    EXPECT_EQ(st().cfg.clipAction, clipAction);
    EXPECT_EQ(st().cfg.mGray, mGray);
    UndoEdit();
    EXPECT_EQ(DigestDataSetContent(st(), 0), beforeA);
    RedoEdit();
    EXPECT_EQ(DigestDataSetContent(st(), 0), afterAContent);
  }
}

// ---------------------------------------------------------------------------
// The dialog, scripted.

TEST_F(PasteTest, DialogCancelGivesBackEverythingAndTheFlag) {
  BlackAndWhite();
  Group(2);
  cur().variableElementSizes = true;
  for (int i = 0; i < 16; ++i) cur().elementWidths[i] = cur().elementHeights[i] = 8;
  for (int32_t x = 0; x < 32; ++x) SetCell(x, x, 1);
  cur().modified = false;
  uint64_t before = Full();
  PasteState paste = CurrentPaste();
  GlobalSettings cfg = st().cfg;
  clipboard.PutBitmap(40, 20, 0);
  bool sawPaste = false;
  UseDialog([&](ClipSizeDialog& d, bool*) {
    d.Command(IDC_CLIP_FIT_PICTURE);
    d.Command(IDC_CLIP_INTERPOLATE_3);
    d.Command(IDC_CLIP_HORIZONTAL);
    d.Scroll(CLIP_SB_PAGEDOWN, 0);
    d.Repaste();
    sawPaste = Count(16, 0, 24, 8, 1) == 64;  // element 2 filled black
    return 0;
  });
  cfg.disablePasteDlg = 0;
  CommandPaste();
  EXPECT_TRUE(sawPaste);
  EXPECT_EQ(Full(), before);
  EXPECT_FALSE(cur().modified);
  EXPECT_EQ(st().cfg.clipAction, cfg.clipAction);
  EXPECT_EQ(st().cfg.mGray, cfg.mGray);
  EXPECT_EQ(st().cfg.interpolatePaste, cfg.interpolatePaste);
  EXPECT_EQ(st().cfg.interpolateNumberOfPixels, cfg.interpolateNumberOfPixels);
  EXPECT_EQ(CurrentPaste().direction, paste.direction);
  EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(PasteTest, DialogOkSwitchingItselfOffPastesOnce) {
  BlackAndWhite();
  Picture(32, 32);
  st().cfg.clipAction = kPasteFitClipboard;
  clipboard.PutBitmap(8, 8, 0);
  UseDialog([](ClipSizeDialog& d, bool* dontShow) {
    bool rewrite = true;
    EXPECT_EQ(d.FieldChanged(IDC_CLIP_WIDTH, "4", &rewrite), 4);
    EXPECT_FALSE(rewrite);
    d.Repaste();
    d.Scroll(CLIP_SB_THUMBTRACK, 255 - 100);
    *dontShow = true;
    return 1;
  });
  CommandPaste();
  EXPECT_EQ(st().cfg.disablePasteDlg, 1);
  EXPECT_TRUE(menu.Checked(kCmdDisablePasteDialog));
  // Only the dialog's 4 columns: a second paste would have covered 32.
  EXPECT_EQ(Count(0, 0, 32, 32, 1), 4 * 32);
  EXPECT_EQ(st().cfg.mGray, 100);
  EXPECT_EQ(st().cfg.rGray, 100);
  EXPECT_EQ(st().cfg.gGray, 128);
  EXPECT_EQ(cur().undoDepth, 2);
}

TEST_F(PasteTest, DialogValuesTextsAndCorrections) {
  BlackAndWhite();
  Picture(32, 32);
  st().cfg.mGray = 127;
  clipboard.PutBitmap(40, 20, 0);
  ClipSizeDialog d(nullptr);
  ASSERT_TRUE(d.Open());
  EXPECT_EQ(clipboard.reads, 1);
  EXPECT_EQ(d.ClipText(), "Clip 40 x 20");
  EXPECT_EQ(d.ActionText(IDC_CLIP_FIT_PICTURE), "Fit Icon to Clipboard");
  EXPECT_EQ(d.SizeGroupText(), "Paste Size");
  EXPECT_EQ(d.Width(), 32);
  EXPECT_EQ(d.BrightnessText(), "-1");
  EXPECT_EQ(d.BarPosition(), 128);
  EXPECT_FALSE(d.ApplyEnabled());

  // "-" from 1 gives 0, then 1 again.
  bool rewrite = false;
  d.FieldChanged(IDC_CLIP_WIDTH, "1", &rewrite);
  d.Command(IDC_CLIP_WIDTH_MINUS);
  EXPECT_EQ(d.Width(), 0);
  d.Command(IDC_CLIP_WIDTH_MINUS);
  EXPECT_EQ(d.Width(), 1);

  struct {
    int id;
    const char* text;
    int32_t value;
    bool rewrite;
  } fields[] = {
      {IDC_CLIP_WIDTH, "-5", 1, true},         {IDC_CLIP_WIDTH, "99999", 1600, true},
      {IDC_CLIP_WIDTH, "99999999999999", 1600, true}, {IDC_CLIP_HEIGHT, "1201", 1200, true},
      {IDC_CLIP_HEIGHT, "12", 12, false},      {IDC_CLIP_HEIGHT, "", 0, false},
      {IDC_CLIP_HEIGHT, "x", 0, false},
  };
  for (const auto& f : fields) {
    EXPECT_EQ(d.FieldChanged(f.id, f.text, &rewrite), f.value) << f.text;
    EXPECT_EQ(rewrite, f.rewrite) << f.text;
  }

  d.Command(IDC_CLIP_FIT_PICTURE);
  EXPECT_EQ(d.Width(), 40);
  EXPECT_EQ(d.Height(), 20);
  d.Command(IDC_CLIP_COPY_PIXEL);
  EXPECT_EQ(d.Width(), 32);
  EXPECT_EQ(d.Height(), 32);
  // The paste corrects the size and the fields follow: 40 x 20 cut to 32 x 20.
  EXPECT_TRUE(d.Repaste());
  EXPECT_EQ(d.Height(), 20);
  EXPECT_FALSE(d.Repaste());  // nothing changed since

  // Brightness bar: value = 255 - position, steps of 1 and 16, ends held.
  struct {
    int code;
    int32_t position, value;
  } bar[] = {{CLIP_SB_LINEUP, 0, 128},   {CLIP_SB_PAGEUP, 0, 144},    {CLIP_SB_THUMBTRACK, 5, 250},
             {CLIP_SB_PAGEUP, 0, 255},   {CLIP_SB_LINEUP, 0, 255},    {CLIP_SB_BOTTOM, 0, 0},
             {CLIP_SB_PAGEDOWN, 0, 0},   {CLIP_SB_THUMBPOSITION, 300, 0}, {CLIP_SB_TOP, 0, 255}};
  for (const auto& b : bar) {
    d.Scroll(b.code, b.position);
    EXPECT_EQ(d.Brightness(), b.value) << b.code;
  }
  d.Command(IDC_CLIP_ZERO);
  EXPECT_EQ(d.BrightnessText(), "0");
  d.Cancel();
}

TEST_F(PasteTest, DialogLimitsAndTextsFollowTheTarget) {
  BlackAndWhite();
  // Show Element on an element starting at column 1000: at most 600 wide.
  cur().viewMode = 10096;
  cur().elementWidth = 100;
  cur().elementHeight = 10;
  cur().elementCountX = 16;
  cur().elementCount = 64;
  cur().currentElement = 26;  // column 10, row 1
  cur().useHexInCodePage = 1;
  Picture(1600, 40);
  clipboard.PutBitmap(40, 20, 0);
  ClipSizeDialog d(nullptr);
  ASSERT_TRUE(d.Open());
  EXPECT_EQ(cur().activeLeft, 1000);
  EXPECT_EQ(d.Limit(IDC_CLIP_WIDTH), 600);
  bool rewrite = false;
  EXPECT_EQ(d.FieldChanged(IDC_CLIP_WIDTH, "601", &rewrite), 600);
  for (int i = 0; i < 3; ++i) d.Command(IDC_CLIP_WIDTH_PLUS);
  EXPECT_EQ(d.Width(), 600);
  EXPECT_EQ(d.ActionText(IDC_CLIP_FIT_PICTURE), "Fit Element to Clipboard if Possible");
  EXPECT_EQ(d.SizeGroupText(), "Paste Size in Element Number 0x1A");
  cur().useHexInCodePage = 0;
  EXPECT_EQ(d.SizeGroupText(), "Paste Size in Element Number 26");
  EXPECT_FALSE(d.ApplyEnabled());  // one element of 100 x 10 cells
  d.Cancel();

  // More than 65000 cells: the brightness bar waits for "Apply".
  cur().viewMode = 10097;
  Picture(1600, 41);
  ClipSizeDialog large(nullptr);
  ASSERT_TRUE(large.Open());
  EXPECT_TRUE(large.ApplyEnabled());
  EXPECT_FALSE(large.PastesAtOnce());
  large.Cancel();
}

TEST_F(PasteTest, DialogWithoutABitmapTellsOnceAndCancels) {
  clipboard.PutText();
  uint64_t before = Full();
  EXPECT_EQ(RunClipSizeDialog(nullptr), 0);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, kClipboardHoldsText);
  EXPECT_EQ(Full(), before);
}

// ---------------------------------------------------------------------------
// Copy and Delete.

TEST_F(PasteTest, CopyWritesTheActiveAreaOnePixelACell) {
  BlackAndWhite();
  Picture(5, 3);
  SetCell(0, 0, 1);
  SetCell(4, 2, 1);
  CommandCopy();
  ASSERT_TRUE(clipboard.hasBitmap);
  ASSERT_EQ(clipboard.bitmap.width, 5);
  ASSERT_EQ(clipboard.bitmap.height, 3);
  EXPECT_EQ(clipboard.bitmap.At(0, 0), 0u);
  EXPECT_EQ(clipboard.bitmap.At(4, 2), 0u);
  EXPECT_EQ(clipboard.bitmap.At(1, 0), kWhite);
  EXPECT_EQ(prompter.beeps, 1);

  // Show Group: the current element; palette kind gives the palette colours.
  Group(5);
  cur().colorMode = kColour;
  cur().colorKind = kPaletteKind;
  cur().palette[9] = 0x00123456;
  SetCell(9, 8, 9);
  CommandCopy();
  ASSERT_EQ(clipboard.bitmap.width, 8);
  EXPECT_EQ(clipboard.bitmap.At(1, 0), 0x00123456u);
  EXPECT_EQ(cur().activeLeft, 0);
  EXPECT_EQ(cur().activeRight, 32);

  // Copy then paste pixel to pixel gives the same cells back.
  uint64_t content = DigestDataSetContent(st(), 0);
  st().cfg.disablePasteDlg = 1;
  st().cfg.clipAction = kPasteCopyPixel;
  st().cfg.mGray = 128;
  CommandPaste();
  EXPECT_EQ(DigestDataSetContent(st(), 0), content);
}

TEST_F(PasteTest, DeleteClearsTheActiveAreaToTheBackground) {
  BlackAndWhite();
  Group(1);
  for (int32_t x = 0; x < 32; ++x)
    for (int32_t y = 0; y < 32; ++y) SetCell(x, y, 1);
  uint64_t before = DigestDataSetContent(st(), 0);
  CommandDelete();
  EXPECT_EQ(Count(8, 0, 16, 8, 0), 64);
  EXPECT_EQ(Count(0, 0, 32, 32, 1), 32 * 32 - 64);
  UndoEdit();
  EXPECT_EQ(DigestDataSetContent(st(), 0), before);

  // Whole picture in palette kind: the background index.
  cur().viewMode = 10097;
  cur().colorMode = kColour;
  cur().colorKind = kPaletteKind;
  cur().backgroundColorIndex = 7;
  Picture(10, 4);
  CommandDelete();
  EXPECT_EQ(Count(0, 0, 10, 4, 7), 40);
  EXPECT_EQ(Cell(10, 0), 1u);
}

}  // namespace
}  // namespace dwtest
