#include "core/Undo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "views/ColorModel.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

const char kEndOfUndo[] = "\nSorry...\n\nEnd of undo buffer\n";
const char kEndOfRedo[] = "\nSorry...\n\nEnd of redo buffer\n";

// An end-of-history message is open: a key held down repeats the command
// while the box waits, and each repeat only beeps.
bool g_stepMessageOpen = false;

int32_t Wrap(int32_t position) {
  int32_t p = position % kUndoSlots;
  return p < 0 ? p + kUndoSlots : p;
}

UndoSlot* SlotAt(EditorState& st, int set, int32_t position) {
  if (!st.undoSlots) return nullptr;
  return &st.undoSlots[static_cast<size_t>(set & 1) * kUndoSlots + Wrap(position)];
}

// The direction of a transfer between the live set and a slot. The large
// stores go as far as they are in use (core/CellExtent.h).
struct IntoSlot {
  template <class T>
  static void Value(T& live, T& kept) { kept = live; }
  template <class T>
  static void Block(T* live, T* kept, size_t n) { std::memcpy(kept, live, n * sizeof(T)); }
  template <class T>
  static void Store(T* live, T* kept, size_t n, StoreExtent& e) { e = SaveArray(live, kept, n); }
  static void Cells(DataSet& d, UndoSlot& u) { u.cellsKept = SaveAllCells(d, u.cells, true); }
};
struct OutOfSlot {
  template <class T>
  static void Value(T& live, T& kept) { live = kept; }
  template <class T>
  static void Block(T* live, T* kept, size_t n) { std::memcpy(live, kept, n * sizeof(T)); }
  template <class T>
  static void Store(T* live, T* kept, size_t n, StoreExtent& e) { RestoreArray(live, kept, n, e); }
  static void Cells(DataSet& d, UndoSlot& u) { RestoreAllCells(d, u.cells, u.cellsKept); }
};

// Every field a snapshot holds, in one list for both directions.
template <class Dir>
void Transfer(DataSet& d, UndoSlot& u) {
  Dir::Cells(d, u);

  Dir::Value(d.mainCellWidth, u.mainCellWidth);
  Dir::Value(d.mainCellHeight, u.mainCellHeight);
  Dir::Value(d.elementCellWidth, u.elementCellWidth);
  Dir::Value(d.elementCellHeight, u.elementCellHeight);
  Dir::Value(d.pictureWidth, u.pictureWidth);
  Dir::Value(d.pictureHeight, u.pictureHeight);
  Dir::Value(d.activeLeft, u.activeLeft);
  Dir::Value(d.activeTop, u.activeTop);
  Dir::Value(d.activeRight, u.activeRight);
  Dir::Value(d.activeBottom, u.activeBottom);

  Dir::Value(d.elementCount, u.elementCount);
  Dir::Value(d.elementCountX, u.elementCountX);
  Dir::Value(d.elementWidth, u.elementWidth);
  Dir::Value(d.elementHeight, u.elementHeight);
  Dir::Value(d.variableElementSizes, u.variableElementSizes);
  Dir::Store(d.elementWidths, u.elementWidths, kMaxElements, u.widthsKept);
  Dir::Store(d.elementHeights, u.elementHeights, kMaxElements, u.heightsKept);
  Dir::Store(d.elementChars, u.elementChars, kMaxElements, u.charsKept);

  Dir::Value(d.viewMode, u.viewMode);
  Dir::Value(d.currentElement, u.currentElement);
  Dir::Value(d.mouseMode, u.mouseMode);
  Dir::Value(d.currentTool, u.currentTool);
  Dir::Value(d.textCursorX, u.textCursorX);
  Dir::Value(d.textCursorY, u.textCursorY);

  Dir::Block(d.symbolPath, u.symbolPath, kPathSlot);
  Dir::Block(d.symbolTitle, u.symbolTitle, kPathSlot);
  Dir::Value(d.elementChar, u.elementChar);

  Dir::Value(d.colorMode, u.colorMode);
  Dir::Value(d.colorKind, u.colorKind);
  Dir::Value(d.paletteSizeCommand, u.paletteSizeCommand);
  Dir::Value(d.paletteSize, u.paletteSize);
  Dir::Value(d.kelvorBitPerPixel, u.kelvorBitPerPixel);
  Dir::Value(d.redBits, u.redBits);
  Dir::Value(d.greenBits, u.greenBits);
  Dir::Value(d.blueBits, u.blueBits);
  Dir::Value(d.grayBits, u.grayBits);
  Dir::Value(d.redMax, u.redMax);
  Dir::Value(d.greenMax, u.greenMax);
  Dir::Value(d.blueMax, u.blueMax);
  Dir::Value(d.grayMax, u.grayMax);
  Dir::Value(d.rainbowHorzScrollVariable, u.rainbowHorzScrollVariable);
  Dir::Value(d.grayFlag, u.grayFlag);
  Dir::Value(d.saturation, u.saturation);
  Dir::Value(d.toolColorIndex, u.toolColorIndex);
  Dir::Value(d.backgroundColorIndex, u.backgroundColorIndex);
  Dir::Value(d.rgbToolColor, u.rgbToolColor);
  Dir::Value(d.rgbBackgroundColor, u.rgbBackgroundColor);
  Dir::Block(d.palette, u.palette, kMaxPaletteEntries);
  Dir::Block(d.grayTable, u.grayTable, 16);

  Dir::Value(d.useCodePage, u.useCodePage);
  Dir::Value(d.codePageRangeCount, u.codePageRangeCount);
  Dir::Value(d.codePageDefaultChar, u.codePageDefaultChar);
  Dir::Value(d.codePageModeFlag, u.codePageModeFlag);
  Dir::Store(d.codePageBase, u.codePageBase, kCodePageEntries, u.cpBaseKept);
  Dir::Store(d.codePageStart, u.codePageStart, kCodePageEntries, u.cpStartKept);
  Dir::Store(d.codePageEnd, u.codePageEnd, kCodePageEntries, u.cpEndKept);
}

// The toolbar's undo/redo button is held while the box is up; its release
// never reaches the toolbar, so it is let go here.
void ReleaseToolbarButton() {
  g_ed->pressedToolbarButton = -1;
  Svc().windows->Invalidate(WIN_MAIN, false);
}

// The end of the history: a beep, one message at a time, nothing changed.
void RefuseStep(const char* text) {
  IPrompter& p = *Svc().prompter;
  p.Beep(MBX_ICONHAND);
  if (!g_stepMessageOpen) {
    g_stepMessageOpen = true;
    p.Ask(text, kProgramTitle, MBX_OK | MBX_ICONHAND);
    g_stepMessageOpen = false;
    Svc().windows->Invalidate(WIN_MAIN, true);
    Svc().windows->Invalidate(WIN_PIXELVIEW, true);
  }
  ReleaseToolbarButton();
}

// After a restore: the geometry, the windows, the menus and the Palette
// follow the state the set has now.
void ShowRestoredState() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
  UpdateCodePageViewScrollBars();
  for (WindowId id : {WIN_MAIN, WIN_PIXELVIEW, WIN_SWAPVIEW, WIN_TOOLBOX, WIN_PALETTE, WIN_RAINBOW, WIN_CODEPAGE})
    w.Invalidate(id, true);
  ActivateDataSet(st.currentDataSet);
  ApplyPaletteSize();
  w.Resize(WIN_PALETTE, st.paletteOuterWidth, st.paletteOuterHeight);
  char title[kPathSlot + 40];
  std::snprintf(title, sizeof title, "%s - Palette Size %d", s.paletteTitle, static_cast<int>(s.paletteSize));
  w.SetTitle(WIN_PALETTE, title);
}

}  // namespace

void AllocateUndoSlots(EditorState* st) {
  FreeUndoSlots(st);
  // Zeroed pages come from the system on first touch, so the ring costs
  // address space, not time, until snapshots are taken.
  void* p = std::calloc(static_cast<size_t>(2) * kUndoSlots, sizeof(UndoSlot));
  if (!p) throw std::bad_alloc();
  st->undoSlots = static_cast<UndoSlot*>(p);
}

void FreeUndoSlots(EditorState* st) {
  std::free(st->undoSlots);
  st->undoSlots = nullptr;
}

void SaveUndoEntry() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  UndoSlot* slot = SlotAt(st, st.currentDataSet, s.undoPosition);
  if (slot) Transfer<IntoSlot>(s, *slot);
}

void RestoreUndoEntry() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  UndoSlot* slot = SlotAt(st, st.currentDataSet, s.undoPosition);
  if (slot) Transfer<OutOfSlot>(s, *slot);
}

void PushUndo() {
  EditorState& st = *g_ed;
  if (st.undoSuspended) return;
  DataSet& s = st.Cur();
  SaveUndoEntry();
  s.undoPosition = Wrap(s.undoPosition + 1);
  if (s.undoDepth < kUndoSlots) ++s.undoDepth;
  // Whatever was undone before this edit belongs to no present history.
  s.redoCount = 0;
  s.modified = true;
}

void UndoEdit() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.undoDepth < 2) {
    RefuseStep(kEndOfUndo);
    return;
  }
  // The present state goes into the slot at the position, for redo.
  SaveUndoEntry();
  s.undoPosition = Wrap(s.undoPosition - 1);
  DeactivateDataSet(st.currentDataSet);
  RestoreUndoEntry();
  --s.undoDepth;
  if (s.redoCount < kUndoSlots) ++s.redoCount;
  ShowRestoredState();
  s.modified = true;
}

void RedoEdit() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (s.redoCount < 1) {
    RefuseStep(kEndOfRedo);
    return;
  }
  DeactivateDataSet(st.currentDataSet);
  s.undoPosition = Wrap(s.undoPosition + 1);
  RestoreUndoEntry();
  --s.redoCount;
  if (s.undoDepth < kUndoSlots) ++s.undoDepth;
  ShowRestoredState();
  s.modified = true;
}

UndoMark MarkUndo() {
  const DataSet& s = g_ed->Cur();
  UndoMark m;
  m.position = s.undoPosition;
  m.depth = s.undoDepth;
  m.redo = s.redoCount;
  m.modified = s.modified;
  return m;
}

// The slot a snapshot wrote since the mark is either the one the next
// snapshot would have written anyway or holds the state the set still has,
// so putting the counters back restores the ring exactly.
void DropUndoSince(const UndoMark& mark) {
  DataSet& s = g_ed->Cur();
  s.undoPosition = Wrap(mark.position);
  s.undoDepth = mark.depth;
  s.redoCount = mark.redo;
  s.modified = mark.modified;
}

}  // namespace dw
