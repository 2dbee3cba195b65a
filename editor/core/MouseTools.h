// Work-sheet mouse tools: the toolbar strip's buttons and, below it, the
// tool the current set's mouse mode selects (pens, shapes, column and row
// tools, typing, edit frame, flood fill, element and code-page tools).
#ifndef DOTWERK_CORE_MOUSETOOLS_H
#define DOTWERK_CORE_MOUSETOOLS_H

#include <cstdint>

#include "core/Canvas.h"
#include "core/EditorState.h"

namespace dw {

// Key-state flags of the mouse messages, with the platform's values.
enum : uintptr_t { MKEY_LBUTTON = 0x0001, MKEY_RBUTTON = 0x0002, MKEY_SHIFT = 0x0004, MKEY_CONTROL = 0x0008 };

// The mouse messages of the main window; wParam and lParam as the window
// message carries them (key flags; x in the low and y in the high 16 bits,
// both signed, in client coordinates).
void HandleLButtonDown(uintptr_t wParam, intptr_t lParam);
void HandleLButtonUp(uintptr_t wParam, intptr_t lParam);
void HandleMouseMove(uintptr_t wParam, intptr_t lParam);
void HandleRButtonDown(uintptr_t wParam, intptr_t lParam);
void HandleRButtonUp(uintptr_t wParam, intptr_t lParam);

// lParam of a mouse message at client position (x, y).
intptr_t MousePosition(int32_t x, int32_t y);

// 1 when the position lies on the picture (in Show Element view on the
// element; in Show Group view on an element), else 0 with the status text
// "%d,%d  Outside Picture" (kept while a drag runs).
int ShowCursorPosition(uintptr_t keys, intptr_t position, int32_t cellWidth, int32_t cellHeight);

// The pens: set picture cell (x, y) of the current set and paint it on the
// work sheet and the Pixel View. In Put Pixel mode a pen call for the cell of
// the previous call does nothing.
void DrawPixelWithPen(int32_t x, int32_t y);
void DrawPixelWithInversePen(int32_t x, int32_t y);
// While a preview surface is set, the pens draw a black 3 x 3 dot at
// (3x, 3y) into it instead of changing the picture (null ends it).
void SetPenPreviewSurface(ICanvas* surface);
// While suspended the pens change cells without painting them (a batch
// that repaints once at its end).
void SetPenPaintingSuspended(bool suspended);

// The edit frame (mouse mode 105). DrawEditFrame draws it, or the frame
// being dragged, blue when active and gray when not. ToggleEditFrame(1)
// narrows the active area to the frame (the frame's cells on the element or
// picture it was drawn on, inside the picture), ToggleEditFrame(0) gives back
// the area it saved.
void DrawEditFrame(int active);
void ToggleEditFrame(int narrow);
// Draws an existing frame into a work-sheet paint (mode 105 only).
void PaintEditFrame(ICanvas& dc);
bool EditFrameExists();
// The frame in cells, relative to the element origin in Show Element view;
// false when there is none.
bool GetEditFrame(Rect* cells);
// Forgets the frame (the view-mode and tool routines; they draw it inactive
// first), giving back a narrowed active area.
void ClearEditFrame();

// Flood fill from picture cell (x, y) of the current set inside its active
// area; one snapshot when any cell changes.
void FloodFill(int32_t x, int32_t y);

// "Make CodePage Indexes with the Mouse": the tool starts waiting for the
// first element of a range (the tool routine calls it when it is chosen).
void StartCodePageIndexTool();
// Asks the start character of the range being added (EDITINDEXSTART); 1 on
// OK with *startChar set, 0 on Cancel. Tests script it; the program installs
// the real dialog. Without a hook the answer is Cancel.
typedef int (*EditIndexStartHook)(int32_t* startChar);
void SetEditIndexStartHook(EditIndexStartHook hook);

// Drops every drag, frame, stroke and tool state (a fresh editor state).
void ResetMouseTools();

}  // namespace dw

#endif
