// Undo ring of the data sets: five snapshots per set of everything an edit
// can change (picture, geometry, element layout and characters, colours,
// code page), so that undo also takes back size, palette and layout changes.
#ifndef DOTWERK_CORE_UNDO_H
#define DOTWERK_CORE_UNDO_H

#include <cstdint>

#include "core/CellExtent.h"
#include "core/EditorState.h"

namespace dw {

// One snapshot of a data set. The stores are kept as core/CellExtent.h keeps
// them: the part in use, and the one value of the rest (a zeroed slot is a
// snapshot of zeroed stores).
struct UndoSlot {
  uint32_t cells[kCellsPerSet];
  StoreExtent cellsKept, widthsKept, heightsKept, charsKept, cpBaseKept, cpStartKept, cpEndKept;

  // Geometry.
  int32_t mainCellWidth, mainCellHeight, elementCellWidth, elementCellHeight;
  int32_t pictureWidth, pictureHeight;
  int32_t activeLeft, activeTop, activeRight, activeBottom;

  // Element grid, its own sizes and the characters beside the elements.
  int32_t elementCount, elementCountX, elementWidth, elementHeight;
  bool variableElementSizes;
  int32_t elementWidths[kMaxElements];
  int32_t elementHeights[kMaxElements];
  uint8_t elementChars[kMaxElements];

  // View and tools.
  int32_t viewMode, currentElement, mouseMode, currentTool;
  int32_t textCursorX, textCursorY;

  // The symbol file and the picture's character.
  char symbolPath[kPathSlot], symbolTitle[kPathSlot];
  int32_t elementChar;

  // Data format and palette.
  int32_t colorMode, colorKind, paletteSizeCommand, paletteSize, kelvorBitPerPixel;
  int32_t redBits, greenBits, blueBits, grayBits;
  int32_t redMax, greenMax, blueMax, grayMax;
  int32_t rainbowHorzScrollVariable;
  bool grayFlag;
  double saturation;
  int32_t toolColorIndex, backgroundColorIndex;
  uint32_t rgbToolColor, rgbBackgroundColor;
  uint32_t palette[kMaxPaletteEntries];
  uint32_t grayTable[16];

  // Code page.
  int32_t useCodePage, codePageRangeCount, codePageDefaultChar;
  bool codePageModeFlag;
  int32_t codePageBase[kCodePageEntries];
  int32_t codePageStart[kCodePageEntries];
  int32_t codePageEnd[kCodePageEntries];
};

// The ring's slots are allocated once with the state (both sets, five each)
// and freed with it.
void AllocateUndoSlots(EditorState* st);
void FreeUndoSlots(EditorState* st);

// Copies the current set into the slot at its ring position, and back.
void SaveUndoEntry();
void RestoreUndoEntry();

// Takes a snapshot before an edit (nothing while snapshots are suspended).
// A new edit starts a new history: nothing is left to redo.
void PushUndo();

// Ctrl+Z and Ctrl+A. At the end of the history both beep and say so; a
// refused step changes nothing, not even the modified flag.
void UndoEdit();
void RedoEdit();

// The ring's counters and the modified flag, so an edit that took its
// snapshot and was then cancelled can give the snapshot back: after
// DropUndoSince(mark) the ring and the flag are as MarkUndo found them.
struct UndoMark {
  int32_t position = 0, depth = 0, redo = 0;
  bool modified = false;
};
UndoMark MarkUndo();
void DropUndoSince(const UndoMark& mark);

}  // namespace dw

#endif
