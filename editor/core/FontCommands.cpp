#include "core/FontCommands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/CellExtent.h"
#include "core/Elements.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "files/OpenFile.h"
#include "views/FontFile.h"
#include "views/FontRender.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

// Font commands.
constexpr int kFontOem6x8 = 10405;
constexpr int kFontAnsi8x8Fat = 10411;
constexpr int kFontLoaded = 10413;
constexpr int kFontTrueType = 10418;
constexpr int kChooseTrueType = 10092;
constexpr int kImportFont = 10121;
constexpr int kUnicodeView = 10368;
constexpr int kFirstPlaneCommand = 10600;
constexpr int kFirstFontViewSize = 10082;
constexpr int kLastFontViewSize = 10085;
constexpr int kPaintBackground = 10080;
constexpr int kReloadFont = 10210;
constexpr int kShowGroup = 10099;
constexpr int kSymbolLineTool = 10501;

constexpr int kFontToolButton = 27;        // ToolBox button of the current font
constexpr int kPaintBackgroundButton = 82;  // ToolBox index beyond the button grid
constexpr int kTextCursor = 195;           // work-sheet cursor of the typing mode
constexpr int kTypingMode = 104;
constexpr int kFrameMode = 105;
constexpr int kSymbolSelectFrom = 301;
constexpr unsigned kDefaultBeep = MBX_ICONHAND;

constexpr int32_t kWholeFontCharacters = 256;
constexpr int32_t kMinimumFontSymbols = 3;
constexpr int32_t kWholeFontDefaultChar = 0x20;
// The characters drawn into a whole font start at 0, so the code page it gets
// starts there too: each character then names the element showing it.
constexpr int32_t kWholeFontFirstChar = 0;
constexpr int kStatusHoldTicks = 10;
constexpr int32_t kProportionalGapDivisor = 10;  // width div 10 more columns between glyphs
constexpr int32_t kBlankWidthDivisor = 3;        // an empty glyph is a third as wide

TrueTypeChooserHook g_chooserHook = nullptr;
LoadFontDialogHook g_loadFontHook = nullptr;
ThicknessDialogHook g_thicknessHook = nullptr;

int32_t Clamp(int64_t v, int32_t lo, int32_t hi) {
  if (v < lo) return lo;
  if (v > hi) return hi;
  return static_cast<int32_t>(v);
}

int32_t CeilDiv(int32_t a, int32_t b) { return b > 0 ? (a + b - 1) / b : a; }

int32_t IntegerSquareRoot(int32_t n) {
  int32_t r = 0;
  while (static_cast<int64_t>(r + 1) * (r + 1) <= n) ++r;
  return r;
}

struct BuiltinFont {
  int id;
  int32_t width, height;
};
constexpr BuiltinFont kBuiltinFonts[] = {
    {10405, 6, 8}, {10406, 8, 8}, {10407, 8, 8}, {10408, 8, 16},
    {10409, 6, 8}, {10410, 8, 8}, {10411, 8, 8}, {10412, 8, 16},
};

bool IsFontCommand(int id) { return (id >= kFontOem6x8 && id <= kFontLoaded) || id == kFontTrueType; }

void Message(const char* text, const char* caption, unsigned flags) { Svc().prompter->Ask(text, caption, flags); }
void Beep() { Svc().prompter->Beep(kDefaultBeep); }

void InvalidateFontView() { Svc().windows->Invalidate(WIN_FONTVIEW, false); }

void RequestRelayout() {
  TheFontViewFont().relayoutRequested = true;
  InvalidateFontView();
}

}  // namespace

void SetTrueTypeChooserHook(TrueTypeChooserHook hook) { g_chooserHook = hook; }
void SetLoadFontDialogHook(LoadFontDialogHook hook) { g_loadFontHook = hook; }
void SetThicknessDialogHook(ThicknessDialogHook hook) { g_thicknessHook = hook; }

// ---- Measures ---------------------------------------------------------------

bool FontCellOf(int fontCommand, FontCell* cell) {
  for (const BuiltinFont& f : kBuiltinFonts) {
    if (f.id != fontCommand) continue;
    cell->width = f.width;
    cell->height = f.height;
    return true;
  }
  if (fontCommand == kFontLoaded) {
    const LoadedFont& f = TheLoadedFont();
    if (!f.Loaded() || f.symbolHeight < 1) return false;
    cell->width = f.symbolWidth;
    cell->height = f.symbolHeight;
    return true;
  }
  if (fontCommand == kFontTrueType) {
    const GlobalSettings& c = g_ed->cfg;
    if (c.lfHeight == 0) return false;
    const FontViewFont& f = TheFontViewFont();
    int32_t width = f.trueTypeWidth > 0 ? f.trueTypeWidth : c.fontSizeX;
    int64_t height = static_cast<int64_t>(std::abs(c.lfHeight)) - f.squeezeTop - f.squeezeBottom;
    cell->width = Clamp(width, 1, kMaxPictureWidth);
    cell->height = Clamp(height, 1, kMaxPictureHeight);
    return true;
  }
  return false;
}

int32_t CodePageCharacterCount(const CodePageTable& t) {
  if (!t.Valid()) return 0;
  int32_t ranges = Clamp(*t.count, 0, kMaxCodePageRanges);
  int64_t total = 0;
  for (int32_t r = 0; r < ranges && total <= kMaxElements; ++r) {
    int64_t n = static_cast<int64_t>(t.endChar[r]) - t.startChar[r] + 1;
    if (n > 0) total += n;
  }
  return Clamp(total, 0, kMaxElements + 1);
}

WholeFontFit FitWholeFont(int32_t count, int32_t countX, int32_t cellWidth, int32_t cellHeight) {
  WholeFontFit fit;
  if (count < 1 || cellWidth < 1 || cellHeight < 1) return fit;
  auto attempt = [&](int64_t cx) {
    fit.countX = Clamp(cx, 1, kMaxElements);
    fit.width = static_cast<int64_t>(fit.countX) * cellWidth;
    fit.height = static_cast<int64_t>(CeilDiv(count, fit.countX)) * cellHeight;
    fit.fits = fit.width <= kMaxPictureWidth && fit.height <= kMaxPictureHeight;
    return fit.fits;
  };
  if (attempt(countX)) return fit;
  if (attempt(IntegerSquareRoot(count))) return fit;
  attempt(kMaxPictureWidth / cellWidth);
  return fit;
}

GridFit FitElementGrid(int32_t count, int32_t elementWidth, int32_t elementHeight, int32_t sheetWidth,
                       int32_t cellWidth) {
  GridFit fit;
  if (count < 1 || elementWidth < 1 || elementHeight < 1) return fit;
  int32_t mostAcross = kMaxPictureWidth / elementWidth;
  if (mostAcross < 1) mostAcross = 1;
  int64_t sheetCell = static_cast<int64_t>(elementWidth) * (cellWidth < 1 ? 1 : cellWidth);
  auto lay = [&](int64_t cx) {
    fit.countX = Clamp(cx, 1, mostAcross);
    fit.width = static_cast<int64_t>(fit.countX) * elementWidth;
    fit.height = static_cast<int64_t>(CeilDiv(count, fit.countX)) * elementHeight;
  };
  lay(sheetWidth / sheetCell);
  if (fit.height > kMaxPictureHeight) {
    fit.tooHigh = true;
    int32_t rows = kMaxPictureHeight / elementHeight;
    lay(rows > 0 ? CeilDiv(count, rows) : mostAcross);
  }
  fit.fits = fit.width <= kMaxPictureWidth && fit.height <= kMaxPictureHeight;
  return fit;
}

GlyphBox MeasureGlyphBox(const DataSet& s, int32_t x0, int32_t y0, int32_t width, int32_t height,
                         uint32_t reference) {
  GlyphBox box;
  // Only the part inside the store can differ from the reference.
  int64_t xFrom = x0 < 0 ? 0 : x0, yFrom = y0 < 0 ? 0 : y0;
  int64_t xTo = static_cast<int64_t>(x0) + width, yTo = static_cast<int64_t>(y0) + height;
  if (xTo > kMaxPictureWidth) xTo = kMaxPictureWidth;
  if (yTo > kMaxPictureHeight) yTo = kMaxPictureHeight;
  int64_t minX = INT64_MAX, maxX = -1, minY = INT64_MAX, maxY = -1;
  for (int64_t x = xFrom; x < xTo; ++x) {
    const uint32_t* column = s.cells + static_cast<size_t>(x) * kColumnStride;
    for (int64_t y = yFrom; y < yTo; ++y) {
      if (column[y] == reference) continue;
      if (x < minX) minX = x;
      if (x > maxX) maxX = x;
      if (y < minY) minY = y;
      if (y > maxY) maxY = y;
    }
  }
  if (maxX < 0) {
    box.left = width;
    box.top = height;
    return box;
  }
  box.empty = false;
  box.left = static_cast<int32_t>(minX - x0);
  box.right = static_cast<int32_t>(maxX - x0 + 1);
  box.top = static_cast<int32_t>(minY - y0);
  box.bottom = static_cast<int32_t>(maxY - y0 + 1);
  return box;
}

int32_t ProportionalWidth(const GlyphBox& box, int32_t elementWidth) {
  if (box.empty) return elementWidth / kBlankWidthDivisor;
  int32_t own = box.right + 1 + elementWidth / kProportionalGapDivisor;
  return own > elementWidth ? elementWidth : own;
}

BiggestReport MeasureBiggestChars(const DataSet& s) {
  BiggestReport r;
  int32_t count = Clamp(s.elementCount, 0, kMaxElements);
  for (int32_t e = 0; e < count; ++e) {
    int32_t x0, y0, x1, y1;
    ElementRect(s, e, &x0, &y0, &x1, &y1);
    int32_t w = x1 - x0, h = y1 - y0;
    GlyphBox box = MeasureGlyphBox(s, x0, y0, w, h, ReadCellForPaint(s, x0, y0));
    auto take = [e](BiggestMeasure& m, int32_t v, bool better) {
      if (e == 0 || better) m = BiggestMeasure{v, e, 0};
    };
    take(r.width, w, w > r.width.value);
    take(r.height, h, h > r.height.value);
    take(r.left, box.left, box.left < r.left.value);
    take(r.right, box.right, box.right > r.right.value);
    take(r.top, box.top, box.top < r.top.value);
    take(r.bottom, box.bottom, box.bottom > r.bottom.value);
  }
  return r;
}

std::string FormatBiggestReport(const BiggestReport& r, bool hex, bool withCharacters) {
  static const char* const kFormats[2][2] = {
      {"Whole Element:\n   X = %d in Element %d\n   Y = %d in Element %d\n\nGlyph:\n   Left = %d in Element %d\n"
       "   Right = %d in Element %d\n\n   Top = %d in Element %d\n   Bottom = %d in Element %d",
       "Whole Element:\n   X = %d in Element %d   Char%d\n   Y = %d in Element %d   Char%d\nGlyph:\n"
       "   Left = %d in Element %d   Char%d\n   Right = %d in Element %d   Char%d\n"
       "   Top = %d in Element %d   Char%d\n   Bottom = %d in Element %d   Char%d"},
      {"Whole Element:\n   X = %d in Element 0x%X\n   Y = %d in Element 0x%X\n\nGlyph:\n   Left = %d in Element 0x%X\n"
       "   Right = %d in Element 0x%X\n   Top = %d in Element 0x%X\n   Bottom = %d in Element 0x%X",
       "Whole Element:\n   X = %d in Element 0x%X Char 0x%X\n   Y = %d in Element 0x%X Char 0x%X\n\nGlyph:\n"
       "   Left = %d in Element 0x%X   Char 0x%X\n   Right = %d in Element 0x%X   Char 0x%X\n"
       "   Top = %d in Element 0x%X   Char 0x%X\n   Bottom = %d in Element 0x%X   Char 0x%X"},
  };
  const char* format = kFormats[hex ? 1 : 0][withCharacters ? 1 : 0];
  const BiggestMeasure* m[] = {&r.width, &r.height, &r.left, &r.right, &r.top, &r.bottom};
  char text[1024];
  if (withCharacters) {
    std::snprintf(text, sizeof text, format, m[0]->value, m[0]->element, m[0]->character, m[1]->value,
                  m[1]->element, m[1]->character, m[2]->value, m[2]->element, m[2]->character, m[3]->value,
                  m[3]->element, m[3]->character, m[4]->value, m[4]->element, m[4]->character, m[5]->value,
                  m[5]->element, m[5]->character);
  } else {
    std::snprintf(text, sizeof text, format, m[0]->value, m[0]->element, m[1]->value, m[1]->element, m[2]->value,
                  m[2]->element, m[3]->value, m[3]->element, m[4]->value, m[4]->element, m[5]->value,
                  m[5]->element);
  }
  return text;
}

std::string RenumberText(int32_t elementCount) {
  char text[80];
  int last = static_cast<int>(elementCount - 1);
  std::snprintf(text, sizeof text, "New Numbers 0...%d  ( 0x00...0x%02X )", last, static_cast<unsigned>(last));
  return text;
}

bool SqueezeFontCell(int id, int32_t* cellHeight, int32_t* squeezeTop, int32_t* squeezeBottom) {
  switch (id) {
    case 10690:
    case 10691:
      if (*cellHeight <= 1) return false;
      ++*(id == 10690 ? squeezeTop : squeezeBottom);
      --*cellHeight;
      return true;
    case 10692:
    case 10693: {
      int32_t* cut = id == 10692 ? squeezeTop : squeezeBottom;
      if (*cut <= 0) return false;
      --*cut;
      ++*cellHeight;
      return true;
    }
    default: return false;
  }
}

int32_t StepFontViewSize(int id, int32_t current, bool* refused) {
  *refused = false;
  if (id == 10237) return current < INT32_MAX ? current + 1 : current;
  if (id == 10238) {
    if (current - 1 < kFirstFontViewSize) {
      *refused = true;
      return kFirstFontViewSize;
    }
    return current - 1;
  }
  return id;
}

// ---- Commands -----------------------------------------------------------------

namespace {

// 10405..10413, 10418: the font for typing, which also starts typing mode.
void SelectFont(int id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  IMenu& m = *Svc().menu;
  FontViewFont& f = TheFontViewFont();
  if (id == kFontLoaded && !TheLoadedFont().Loaded()) {
    f.fontChanged = true;
    if (!st.cfg.fontFileName[0]) {
      w.PostCommand(kImportFont);
      return;
    }
    // A refused load has posted the OEM font instead.
    if (st.fontLoading || !LoadFontFile()) return;
  }
  if (id == kFontTrueType && st.cfg.lfHeight == 0) {
    w.PostCommand(kChooseTrueType);
    return;
  }
  FontCell cell;
  if (!FontCellOf(id, &cell)) return;

  if (s.mouseMode == kFrameMode) {
    DrawEditFrame(0);
    if (!st.pixelGridGap) w.InvalidateWorkSheet(true);
  }
  m.Check(st.cfg.fontType, false);
  Svc().toolbox->Button(s.capButton, -1, false);
  if (s.currentTool == kSymbolLineTool) {
    // Leaving the symbol line ends its From/To selection.
    st.symbolSelectState = kSymbolSelectFrom;
    w.SetClassCursor(WIN_FONTVIEW, 0);
    w.SetClassCursor(WIN_MAIN, 0);
  }
  st.cfg.fontType = id;
  s.currentTool = id;
  m.Check(id, true);
  s.capButton = kFontToolButton;
  Svc().toolbox->Button(kFontToolButton, kFontToolButton, false);
  if (s.mouseMode == kTypingMode) {
    w.HideCaret();
    w.DestroyCaret();
  }
  st.cfg.fontSizeX = cell.width;
  st.cfg.fontSizeY = cell.height;
  w.SetClassCursor(WIN_MAIN, kTextCursor);
  s.mouseMode = kTypingMode;
  // The geometry makes the caret of the font cell at the text cursor.
  UpdateWorkSheetGeometry();
  RequestRelayout();
}

void ChooseTrueType() {
  EditorState& st = *g_ed;
  GlobalSettings& c = st.cfg;
  DataSet& s = st.Cur();
  TrueTypeChoice choice;
  choice.pointSizeTenths = std::abs(c.lfHeight) * 10;
  choice.weight = c.lfWeight;
  choice.italic = c.lfItalic;
  choice.charSet = c.lfCharSet;
  choice.pitchAndFamily = c.lfPitchAndFamily;
  CopyText(choice.faceName, kFaceNameSlot, c.lfFaceName);
  int32_t mode = s.mouseMode;
  s.mouseMode = 0;  // no typing while the chooser runs
  int ok = g_chooserHook ? g_chooserHook(&choice) : 0;
  s.mouseMode = mode;
  if (!ok) {
    if (c.lfHeight == 0) Svc().windows->PostCommand(kFontAnsi8x8Fat);
    return;
  }
  FontViewFont& f = TheFontViewFont();
  f.fontChanged = true;
  f.squeezeTop = f.squeezeBottom = 0;
  int32_t height = choice.textHeight > 0 ? choice.textHeight : choice.pointSizeTenths / 10;
  c.lfHeight = Clamp(height, 1, kMaxPictureHeight);
  c.lfWeight = choice.weight;
  c.lfItalic = choice.italic;
  c.lfCharSet = choice.charSet;
  c.lfPitchAndFamily = choice.pitchAndFamily;
  CopyText(c.lfFaceName, kFaceNameSlot, choice.faceName);
  f.trueTypeWidth = Clamp(choice.widestGlyph, 1, kMaxPictureWidth);
  c.fontSizeX = f.trueTypeWidth;
  c.fontSizeY = c.lfHeight;
  f.columns = kFontTableColumns;
  f.rows = kFontTableRows;
  Svc().windows->PostCommand(kFontTrueType);
}

void ImportFont() {
  GlobalSettings& c = g_ed->cfg;
  int ok = g_loadFontHook ? g_loadFontHook(c.fontFileName) : 0;
  c.fontFileName[kFontTextSlot - 1] = '\0';
  if (ok && c.fontFileName[0]) {
    ClearFontView(0);
    Svc().windows->PostCommand(kFontLoaded);
  } else {
    Svc().windows->PostCommand(kFontOem6x8);
  }
}

void SetThickness() {
  GlobalSettings& c = g_ed->cfg;
  if (c.fontType != kFontTrueType) {
    Message("Error: Chosen Font is NOT a TrueType", "Thickness of TrueType", MBX_OK | MBX_ICONEXCLAMATION);
    return;
  }
  int32_t grey = c.trueTypeGrey;
  if (g_thicknessHook && g_thicknessHook(&grey)) c.trueTypeGrey = Clamp(grey, 0, 254);
}

// Everything Draw a Whole Font changes for its run only, given back on every
// way out.
class WholeFontRun {
 public:
  explicit WholeFontRun(bool codePageVariant) : plane_(TheFontViewFont().unicodePlane) {
    Svc().windows->WaitCursor(true);
    if (codePageVariant) TheFontViewFont().unicodePlane = 0;
  }
  ~WholeFontRun() {
    FontViewFont& f = TheFontViewFont();
    f.wholeFontMode = false;
    g_ed->undoSuspended = false;
    f.unicodePlane = plane_;
    CloseMakingTTFont();
    Svc().windows->WaitCursor(false);
  }

 private:
  int32_t plane_;
};

void GiveWholeFontCodePage(DataSet& s, int32_t count) {
  CodePageTable t = CurrentCodePage();
  ClearCodePageRanges(t);
  AddCodePageRange(t, kWholeFontFirstChar, kWholeFontFirstChar + count - 1, 0);
  s.codePageDefaultChar = kWholeFontDefaultChar;
  s.useCodePage = 1;
  s.codePageModeFlag = true;
  char path[kPathSlot], title[kPathSlot];
  if (MakePathWithExtension(s.symbolPath, "cp", path, title) > 0) {
    CopyText(s.codePagePath, kPathSlot, path);
    CopyText(s.codePageTitle, kPathSlot, title);
  }
  int set = g_ed->currentDataSet;
  DisableDataSetMenus(set);
  EnableDataSetMenus(set);
}

// 10103 and its code-page variant 10650: every character of the font into its
// own element. Every refusal is decided before anything changes.
void DrawWholeFont(bool codePageVariant) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  int font = st.cfg.fontType;
  FontCell cell;
  if (!IsFontCommand(font) || !FontCellOf(font, &cell)) {
    Beep();
    return;
  }
  int32_t count = kWholeFontCharacters;
  if (codePageVariant) {
    count = CodePageCharacterCount(CurrentCodePage());
    if (count < kMinimumFontSymbols) {
      char text[100];
      std::snprintf(text, sizeof text, "The Font contain only %d Symbols, but Minimum is 3", static_cast<int>(count));
      Message(text, "Font Creation Error", MBX_OK | MBX_ICONEXCLAMATION);
      return;
    }
  }
  WholeFontFit fit = FitWholeFont(count, s.elementCountX, cell.width, cell.height);
  if (count > kMaxElements || !fit.fits) {
    char text[120];
    std::snprintf(text, sizeof text, "Font needs %lld x %lld, and is too large to fit drawing area",
                  static_cast<long long>(fit.width), static_cast<long long>(fit.height));
    Message(text, "Draw Font Error", MBX_OK | MBX_ICONEXCLAMATION);
    return;
  }

  WholeFontRun run(codePageVariant);
  PushUndo();
  st.undoSuspended = true;
  bool trueType = font == kFontTrueType;
  if (trueType) OpenMakingTTFont("Making TrueType Font");
  bool typing = s.mouseMode == kTypingMode;
  if (!typing) SelectFont(font);

  s.elementWidth = cell.width;
  s.elementHeight = cell.height;
  s.elementCount = count;
  s.elementCountX = fit.countX;
  s.pictureWidth = static_cast<int32_t>(fit.width);
  s.pictureHeight = static_cast<int32_t>(fit.height);
  for (int32_t i = 0; i < count; ++i) {
    s.elementWidths[i] = cell.width;
    s.elementHeights[i] = cell.height;
  }
  w.Invalidate(WIN_PIXELVIEW, true);
  w.SendCommand(kShowGroup);
  UpdateWorkSheetGeometry();
  FillAllCells(s, InitialCellValue(s));
  if (!codePageVariant) GiveWholeFontCodePage(s, count);

  FontViewFont& f = TheFontViewFont();
  f.wholeFontMode = true;
  for (int32_t i = 0; i < count; ++i) {
    int32_t character = i;
    if (codePageVariant) {
      character = ElementToChar(i);
      if (character < 0) character = 0;
    }
    int32_t x0, y0, x1, y1;
    ElementRect(s, i, &x0, &y0, &x1, &y1);
    s.textCursorX = x0;
    s.textCursorY = y0;
    s.workElement = i;
    if (trueType) {
      char title[40];
      std::snprintf(title, sizeof title, "Unicode 0x%02X%02X", static_cast<unsigned>(f.unicodePlane),
                    static_cast<unsigned>(character));
      SetMakingTTFontTitle(title);
    }
    RenderFontCharacter(character);
    s.elementChars[i] = static_cast<uint8_t>(i & 0xFF);
  }
  f.wholeFontMode = false;

  if (!typing) w.DestroyCaret();
  w.Invalidate(WIN_MAIN, true);
  w.Invalidate(WIN_PIXELVIEW, true);
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
}

// 10284: element widths follow their glyphs (Show Group only).
void ConvertToProportional() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.viewMode != kShowGroup) {
    Beep();
    return;
  }
  PushUndo();
  int32_t count = Clamp(s.elementCount, 0, kMaxElements);
  int32_t ew = s.elementWidth, eh = s.elementHeight;
  int32_t countX = s.elementCountX > 0 ? s.elementCountX : 1;
  int32_t widest = 0, spaceTop = eh, spaceBottom = eh;
  for (int32_t e = 0; e < count; ++e) {
    int32_t x0 = (e % countX) * ew, y0 = (e / countX) * eh;
    uint32_t reference = ReadCellForPaint(s, x0 + ew - 1, y0);
    GlyphBox box = MeasureGlyphBox(s, x0, y0, ew, eh, reference);
    int32_t own = ProportionalWidth(box, ew);
    s.elementWidths[e] = own;
    s.elementHeights[e] = eh;
    if (own > widest) widest = own;
    if (box.top < spaceTop) spaceTop = box.top;
    int32_t below = box.empty ? eh : eh - box.bottom;
    if (below < spaceBottom) spaceBottom = below;
  }
  s.variableElementSizes = true;
  char text[120];
  std::snprintf(text, sizeof text, "Biggest Element X = %d  Space in Top %d & Bottom %d", static_cast<int>(widest),
                static_cast<int>(spaceTop), static_cast<int>(spaceBottom));
  st.statusText = text;
  st.statusHold = kStatusHoldTicks;
  ShowStatus(0);
  Svc().windows->InvalidateWorkSheet(true);
}

// 10285: every element back to the common size (Show Group only).
void ConvertToMonospace() {
  DataSet& s = g_ed->Cur();
  if (s.viewMode != kShowGroup) {
    Beep();
    return;
  }
  PushUndo();
  s.variableElementSizes = false;
  for (int32_t e = 0; e < kMaxElements; ++e) {
    s.elementWidths[e] = s.elementWidth;
    s.elementHeights[e] = s.elementHeight;
  }
  Svc().windows->InvalidateWorkSheet(true);
}

void GetBiggestChar() {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  BiggestReport r = MeasureBiggestChars(s);
  bool withCharacters = s.useCodePage != 0;
  if (withCharacters) {
    for (BiggestMeasure* m : {&r.width, &r.height, &r.left, &r.right, &r.top, &r.bottom})
      m->character = ElementToChar(m->element);
  }
  std::string text = FormatBiggestReport(r, s.useHexInCodePage != 0, withCharacters);
  st.statusHold = kStatusHoldTicks;
  Message(text.c_str(), "Biggest Element", MBX_OK | MBX_ICONINFORMATION);
}

void RenumberFont() {
  DataSet& s = g_ed->Cur();
  PushUndo();
  int32_t count = Clamp(s.elementCount, 1, kMaxElements);
  for (int32_t e = 0; e < count; ++e) s.elementChars[e] = static_cast<uint8_t>(e & 0xFF);
  Message(RenumberText(count).c_str(), "Renumber Elements", MBX_OK | MBX_ICONINFORMATION);
}

// 10914: the element grid as wide as the work sheet shows it.
void FitGridToWindow() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  GridFit fit = FitElementGrid(s.elementCount, s.elementWidth, s.elementHeight, st.clientWidth, s.mainCellWidth);
  if (fit.tooHigh || !fit.fits) Beep();
  if (!fit.fits) return;
  if (fit.countX == s.elementCountX && fit.width == s.pictureWidth && fit.height == s.pictureHeight) return;
  PushUndo();
  int32_t oldCountX = s.elementCountX;
  RelayoutElements(oldCountX, fit.countX);
  s.elementCountX = fit.countX;
  s.pictureWidth = static_cast<int32_t>(fit.width);
  s.pictureHeight = static_cast<int32_t>(fit.height);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
  Svc().windows->Invalidate(WIN_MAIN, true);
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
}

void TogglePaintBackground() {
  GlobalSettings& c = g_ed->cfg;
  if (!c.paintBack && c.fontType == kFontTrueType) {
    // TrueType glyphs never paint their background.
    Svc().prompter->Beep(MBX_ICONHAND);
  } else {
    c.paintBack = c.paintBack ? 0 : 1;
  }
  Svc().menu->Check(kPaintBackground, c.paintBack != 0);
  Svc().toolbox->Button(kPaintBackgroundButton, c.paintBack ? kPaintBackgroundButton : -1, false);
  InvalidateFontView();
}

void SetFontViewSize(int id) {
  GlobalSettings& c = g_ed->cfg;
  IMenu& m = *Svc().menu;
  auto listed = [](int32_t v) { return v >= kFirstFontViewSize && v <= kLastFontViewSize; };
  if (listed(c.fontViewSize)) m.Check(c.fontViewSize, false);
  bool refused = false;
  c.fontViewSize = StepFontViewSize(id, c.fontViewSize, &refused);
  if (refused) Beep();
  if (listed(c.fontViewSize)) m.Check(c.fontViewSize, true);
  RequestRelayout();
}

void Squeeze(int id) {
  FontViewFont& f = TheFontViewFont();
  if (!SqueezeFontCell(id, &g_ed->cfg.fontSizeY, &f.squeezeTop, &f.squeezeBottom)) {
    Beep();
    return;
  }
  RequestRelayout();
  Svc().windows->SetFocusMain();
}

void ToggleUnicode() {
  GlobalSettings& c = g_ed->cfg;
  c.fontTypeUnicode = c.fontTypeUnicode ? 0 : 1;
  Svc().menu->Check(kUnicodeView, c.fontTypeUnicode != 0);
  RequestRelayout();
}

void SetUnicodePlane(int id) {
  FontViewFont& f = TheFontViewFont();
  Svc().menu->Check(kFirstPlaneCommand + f.unicodePlane, false);
  f.unicodePlane = id - kFirstPlaneCommand;
  Svc().menu->Check(id, true);
  RequestRelayout();
}

}  // namespace

void RunFontCommand(int id) {
  if (!g_ed) return;
  if (IsFontCommand(id)) {
    SelectFont(id);
    return;
  }
  if (id >= kFirstPlaneCommand && id <= kFirstPlaneCommand + kHighestUnicodePlane) {
    SetUnicodePlane(id);
    return;
  }
  if (id >= kFirstFontViewSize && id <= kLastFontViewSize) {
    SetFontViewSize(id);
    return;
  }
  if (id >= 10690 && id <= 10693) {
    Squeeze(id);
    return;
  }
  if (id >= 10223 && id <= 10226) {
    // Unload Font 0..3.
    Beep();
    ClearFontView(1);
    return;
  }
  switch (id) {
    case kChooseTrueType: ChooseTrueType(); return;
    case 10655: SetThickness(); return;
    case kUnicodeView: ToggleUnicode(); return;
    case 10103: DrawWholeFont(false); return;
    case 10650: DrawWholeFont(true); return;
    case 10912: GetBiggestChar(); return;
    case 10284: ConvertToProportional(); return;
    case 10285: ConvertToMonospace(); return;
    case 10123: RenumberFont(); return;
    case 10914: FitGridToWindow(); return;
    case kImportFont: ImportFont(); return;
    case kReloadFont:
      g_ed->cfg.reloadFont = g_ed->cfg.reloadFont ? 0 : 1;
      Svc().menu->Check(kReloadFont, g_ed->cfg.reloadFont != 0);
      return;
    case 10237:
    case 10238: SetFontViewSize(id); return;
    case kPaintBackground: TogglePaintBackground(); return;
    default: return;
  }
}

}  // namespace dw
