// The font commands of the main window: choosing, loading and measuring
// fonts, drawing a whole font, renumbering the element characters.
#ifndef DOTWERK_CORE_FONTCOMMANDS_H
#define DOTWERK_CORE_FONTCOMMANDS_H

#include <cstdint>
#include <string>

#include "core/EditorState.h"
#include "views/CodePage.h"

namespace dw {

// One font command (10405..10413, 10418, 10092, 10655, 10368, 10600..10616,
// 10103, 10650, 10912, 10284, 10285, 10123, 10914, 10121, 10210,
// 10223..10226, 10690..10693, 10082..10085, 10237, 10238, 10080).
void RunFontCommand(int id);

// ---- Measures (pure) -------------------------------------------------------

// The character cell of a font command: the built-in fonts' fixed sizes, the
// loaded font's symbol size, the chosen TrueType font's widest glyph and
// height less the squeezed rows. False when the font is not there (no font
// loaded, no TrueType font chosen) or the id is no font.
struct FontCell {
  int32_t width = 0, height = 0;
};
bool FontCellOf(int fontCommand, FontCell* cell);

// How many characters a code page's ranges hold (ranges with the end before
// the start hold none); at most kMaxElements + 1, so a caller sees "too many".
int32_t CodePageCharacterCount(const CodePageTable& t);

// The grid a whole font of `count` cells of cellWidth x cellHeight is drawn
// into: the set's count X, else the square root of the count, else as many
// as fit across; `fits` false when none of them fits 1600 x 1200 (width and
// height then give the last grid tried).
struct WholeFontFit {
  bool fits = false;
  int32_t countX = 1;
  int64_t width = 0, height = 0;
};
WholeFontFit FitWholeFont(int32_t count, int32_t countX, int32_t cellWidth, int32_t cellHeight);

// Fitting the element grid to the work sheet (10914): count X from the sheet
// width and cell width, within 1..1600 div element width; when the rows pass
// 1200, `tooHigh` and count X as the rows that fit need. `fits` false when
// the elements cannot be laid into 1600 x 1200 at all.
struct GridFit {
  bool fits = false;
  bool tooHigh = false;
  int32_t countX = 1;
  int64_t width = 0, height = 0;
};
GridFit FitElementGrid(int32_t count, int32_t elementWidth, int32_t elementHeight, int32_t sheetWidth,
                       int32_t cellWidth);

// Where a glyph lies inside an element's rectangle, measured against a
// reference colour: the columns (rows) at the left (top) wholly of the
// reference, and the right (bottom) edge of the last column (row) that is
// not, counted from the rectangle's left (top). An element wholly of the
// reference has margins of its full size and extents of 0.
struct GlyphBox {
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  bool empty = true;
};
// Cells outside the store count as the reference.
GlyphBox MeasureGlyphBox(const DataSet& s, int32_t x0, int32_t y0, int32_t width, int32_t height,
                         uint32_t reference);

// Convert to Proportional: an element's own width from its glyph box (the
// reference is the element's top-right cell).
int32_t ProportionalWidth(const GlyphBox& box, int32_t elementWidth);

// Get Biggest Char: each measure's value and the element giving it (the first
// on a tie), with that element's character when the set uses a code page.
struct BiggestMeasure {
  int32_t value = 0, element = 0, character = 0;
};
struct BiggestReport {
  BiggestMeasure width, height;             // the largest own sizes ("Whole Element")
  BiggestMeasure left, right, top, bottom;  // smallest margins, largest extents ("Glyph")
};
BiggestReport MeasureBiggestChars(const DataSet& s);
std::string FormatBiggestReport(const BiggestReport& r, bool hex, bool withCharacters);

// "New Numbers 0...%d  ( 0x00...0x%02X )" for count elements.
std::string RenumberText(int32_t elementCount);

// Squeeze steps 10690..10693 on the font cell height and the two cuts.
// False (nothing changed) when the step is not possible.
bool SqueezeFontCell(int id, int32_t* cellHeight, int32_t* squeezeTop, int32_t* squeezeBottom);

// The Font View size command after 10082..10085, 10237 (+1) or 10238 (-1,
// not below 10082: *refused set).
int32_t StepFontViewSize(int id, int32_t current, bool* refused);

// ---- Dialogs the font commands open ----------------------------------------

// The TrueType font chooser: in, the stored font; out on OK, the chosen one
// with its point size (tenths) and, measured with it, the text height and the
// widest glyph of characters 0..255.
struct TrueTypeChoice {
  int32_t pointSizeTenths = 0;
  int32_t textHeight = 0;
  int32_t widestGlyph = 0;
  int32_t weight = 400, italic = 0, charSet = 0, pitchAndFamily = 0;
  char faceName[kFaceNameSlot] = "";
};
// 1 OK, 0 Cancel.
typedef int (*TrueTypeChooserHook)(TrueTypeChoice* choice);
// LOADFONT: on OK the font file name (kFontTextSlot bytes, maybe empty) is
// stored and 1 returned; Cancel 0.
typedef int (*LoadFontDialogHook)(char* fontFileName);
// THICKNESSTT: on OK the threshold (0..254) is stored and 1 returned.
typedef int (*ThicknessDialogHook)(int32_t* trueTypeGrey);
// Hooks: tests script the answers; null answers Cancel.
void SetTrueTypeChooserHook(TrueTypeChooserHook hook);
void SetLoadFontDialogHook(LoadFontDialogHook hook);
void SetThicknessDialogHook(ThicknessDialogHook hook);

}  // namespace dw

#endif
