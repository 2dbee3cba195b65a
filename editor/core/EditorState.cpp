#include "core/EditorState.h"

#include <cstring>
#include <new>

#include "core/Elements.h"
#include "core/MouseTools.h"
#include "core/Paste.h"
#include "core/Undo.h"
#include "views/FontRender.h"

namespace dw {

const char kProgramTitle[] = "Color Dotwerk Editor  5.3.61";
const char kSettingsFile[] = "dotwerk5.ini";

EditorState* g_ed = nullptr;

void CopyText(char* dst, size_t slot, const char* src) {
  if (slot == 0) return;
  if (!src) src = "";
  size_t n = std::strlen(src);
  if (n >= slot) n = slot - 1;
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

void ResetFileSlots(DataSet& s) {
  CopyText(s.symbolPath, kPathSlot, "New.sym");
  CopyText(s.symbolTitle, kPathSlot, "New.sym");
  CopyText(s.extraPath, kPathSlot, "New.h");
  CopyText(s.extraTitle, kPathSlot, "New.h");
  CopyText(s.textPath, kPathSlot, "New.txt");
  CopyText(s.textTitle, kPathSlot, "New.txt");
  CopyText(s.initialDir, kPathSlot, "c:\\");
  CopyText(s.palettePath, kPathSlot, "New.pal");
  CopyText(s.paletteTitle, kPathSlot, "New.pal");
  CopyText(s.systemPalettePath, kPathSlot, "New.spl");
  CopyText(s.systemPaletteTitle, kPathSlot, "New.spl");
  CopyText(s.codePagePath, kPathSlot, "New.cp");
  CopyText(s.codePageTitle, kPathSlot, "New.cp");
  CopyText(s.headerText, kHeaderTextSlot, " .dw");
}

static void FreeStores(EditorState* st) {
  delete[] st->pictureStore;
  delete[] st->elementStore;
  delete[] st->charStore;
  delete[] st->paletteStore;
  delete[] st->codePageStore;
  delete[] st->lineBuffer;
  delete[] st->backupCells;
  delete[] st->fillWork;
  FreeUndoSlots(st);
}

EditorState* CreateEditorState() {
  DestroyEditorState();
  EditorState* st = new EditorState();
  // Zeroed like the static arrays of a freshly loaded program.
  st->pictureStore = new uint32_t[2 * static_cast<size_t>(kCellsPerSet)]();
  st->elementStore = new int32_t[4 * static_cast<size_t>(kMaxElements)]();
  st->charStore = new uint8_t[2 * static_cast<size_t>(kMaxElements)]();
  st->paletteStore = new uint32_t[2 * static_cast<size_t>(kMaxPaletteEntries)]();
  st->codePageStore = new int32_t[6 * static_cast<size_t>(kCodePageEntries)]();
  st->lineBuffer = new uint32_t[kMaxPictureWidth]();
  st->backupCells = new uint32_t[kCellsPerSet];
  st->fillWork = new int32_t[kCellsPerSet];
  AllocateUndoSlots(st);
  for (int s = 0; s < 2; ++s) {
    DataSet& d = st->set[s];
    d.cells = st->pictureStore + static_cast<size_t>(s) * kCellsPerSet;
    d.elementWidths = st->elementStore + static_cast<size_t>(2 * s) * kMaxElements;
    d.elementHeights = st->elementStore + static_cast<size_t>(2 * s + 1) * kMaxElements;
    d.elementChars = st->charStore + static_cast<size_t>(s) * kMaxElements;
    d.palette = st->paletteStore + static_cast<size_t>(s) * kMaxPaletteEntries;
    d.codePageBase = st->codePageStore + static_cast<size_t>(3 * s) * kCodePageEntries;
    d.codePageStart = st->codePageStore + static_cast<size_t>(3 * s + 1) * kCodePageEntries;
    d.codePageEnd = st->codePageStore + static_cast<size_t>(3 * s + 2) * kCodePageEntries;
    ResetFileSlots(d);
  }
  g_ed = st;
  // The tools' own state (a drag, a frame, a half-done From -> To delete,
  // the Font View's font) belongs to the state it was made on.
  ResetMouseTools();
  ResetElementTools();
  ResetFontViewFont();
  ResetPasteState();
  return st;
}

void DestroyEditorState() {
  if (!g_ed) return;
  FreeStores(g_ed);
  delete g_ed;
  g_ed = nullptr;
}

uint32_t InitialCellValue(const DataSet& s) {
  if (s.colorMode != 10666) return 0;
  if (s.colorKind == 10668) return static_cast<uint32_t>(s.backgroundColorIndex);
  return s.rgbBackgroundColor;
}

uint32_t ReadCellForPaint(const DataSet& s, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= kMaxPictureWidth || y >= kMaxPictureHeight) return InitialCellValue(s);
  return s.cells[static_cast<size_t>(x) * kColumnStride + y];
}

void ElementRect(const DataSet& s, int32_t n, int32_t* xFrom, int32_t* yFrom, int32_t* xTo,
                 int32_t* yTo) {
  int32_t countX = s.elementCountX > 0 ? s.elementCountX : 1;
  int64_t x0 = static_cast<int64_t>(n % countX) * s.elementWidth;
  int64_t y0 = static_cast<int64_t>(n / countX) * s.elementHeight;
  int32_t w = s.elementWidth, h = s.elementHeight;
  if (s.variableElementSizes && n >= 0 && n < kMaxElements) {
    w = s.elementWidths[n];
    h = s.elementHeights[n];
  }
  // Element positions stay within int32 for every value the reader accepts;
  // saturate anyway so an odd grid never overflows.
  auto sat = [](int64_t v) -> int32_t {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
  };
  *xFrom = sat(x0);
  *yFrom = sat(y0);
  *xTo = sat(x0 + w);
  *yTo = sat(y0 + h);
}

}  // namespace dw
