// How the current data set is shown and what the mouse does on the work
// sheet: the four view modes, the cell sizes of the work sheet and the Pixel
// View, the drawing and element tools and the pens. Each routine stores its
// choice as the command id in the set, moves the menu check to it and
// presses the matching ToolBox button.
#ifndef DOTWERK_CORE_VIEWMODES_H
#define DOTWERK_CORE_VIEWMODES_H

#include <cstdint>

#include "core/EditorState.h"

namespace dw {

// View modes (the set's "ShowIconOrGroup").
enum : int32_t {
  kShowElement = 10096,
  kShowSingleIcon = 10097,
  kShowGroupAsIcon = 10098,
  kShowGroup = 10099,
};

// Work-sheet pixel-size commands: Auto, the fixed sizes of the menu (1..7
// screen pixels a cell) and, reached only by the steps, fixed sizes up to
// 256 pixels a cell; and the four steps.
enum : int32_t {
  kPixSizeAuto = 10200,
  kPixSizeMenuLast = 10207,
  kPixSizeLast = 10456,
  kPixSizePlus = 10235,
  kPixSizeMinus = 10236,
  kPixSizeDouble = 10680,
  kPixSizeHalf = 10681,
};

// Pixel View size commands: 10086 + screen pixels a cell, within the
// settings row's range; the menu has the first three; and the four steps.
enum : int32_t {
  kViewPixBase = 10086,
  kViewPixFirst = 10087,
  kViewPixMenuLast = 10089,
  kViewPixLast = 10150,
  kViewPixPlus = 10233,
  kViewPixMinus = 10234,
  kViewPixDouble = 10682,
  kViewPixHalf = 10683,
};

// Pens ("Color").
enum : int32_t { kPenBlack = 10019, kPenWhite = 10020, kPenToggle = 10078 };

// Tools the routines treat apart.
enum : int32_t {
  kToolPutPixel = 10079,
  kToolEditFrame = 10120,
  kToolDeleteElement = 10352,
  kToolCodePageByMouse = 10356,
  kToolSymbolLine = 10501,
  kCodePageFromText = 10651,  // the ToolBox's "indexes from a text file"
};

// Mouse modes the routines look at.
enum : int32_t { kMouseTyping = 104, kMouseEditFrame = 105 };

// Cursors and buttons outside the tool table.
constexpr int32_t kArrowCursor = 0;
constexpr int32_t kTypingCursor = 195;
constexpr int32_t kSymbolLineFontViewCursor = 1504;

// One tool: the ToolBox button that shows it, the mouse mode it sets and the
// work-sheet cursor.
struct ToolRow {
  int32_t capture;
  int32_t button;     // kKeepButton: the button the set kept for it
  int32_t mouseMode;
  int32_t cursor;     // kDeleteMethodCursor: the delete method's cursor
};
constexpr int32_t kKeepButton = -1;
constexpr int32_t kDeleteMethodCursor = -1;

// The row of a tool command; null for any other id.
const ToolRow* FindTool(int32_t capture);
// The work-sheet cursor of a tool row (the delete tool's follows the method).
int32_t ToolCursor(const ToolRow& row, int32_t deleteMethod);
// The cursor of an element delete method (10503..10505); the first for others.
int32_t DeleteMethodCursor(int32_t method);
// The ToolBox button of a pen (8 Black, 9 Toggle, 10 White); -1 for others.
int32_t PenButton(int32_t pen);
// The work-sheet cursor a set's tool shows (typing: the text cursor).
int32_t WorkSheetCursor(const DataSet& s);

// A size after a step. beep: the step was refused or corrected.
struct SizeStep {
  int32_t value;
  bool beep;
};
// The work-sheet pixel-size command after command id applied to current.
// autoCell is the cell size Auto chose (it stands for Auto before a step);
// minimumCell the least cell size. A step past 256 pixels changes nothing;
// one below the least size gives the least size.
SizeStep StepWorkSheetPixelSize(int32_t current, int32_t id, int32_t autoCell, int32_t minimumCell);
// The Pixel View size command after command id; a step out of the settings
// row's range changes nothing.
SizeStep StepPixelViewSize(int32_t current, int32_t id);
// Pixel View cells of a size command at the LCD aspect ratio: for a ratio
// above 1 the width is the size and the height follows, else the height is
// the size and the width follows (rounded).
void PixelViewCells(int32_t command, double aspect, int32_t* width, int32_t* height);

// The Pixel View size command of a set. Set 0's is kept as
// "PixelViewPixSize", set 1's as "SwapViewPixSize".
int32_t& PixelViewCommand(int set);
// Both sets' Pixel View cells from their commands at the present LCD shape.
void ApplyPixelViewCells();

// The command routines, on the current set.
void SetViewMode(int32_t id);             // 10096..10099
void SetWorkSheetPixelSize(int32_t id);   // 10200..10207, 10235, 10236, 10680, 10681
void SetPixelViewSize(int32_t id);        // 10087..10089, 10233, 10234, 10682, 10683
void SelectTool(int32_t id);              // the ids of the tool table
void SelectPen(int32_t id);               // 10019, 10020, 10078
void ToggleGrid();                        // 10118
// A re-sent font command: its check, button and cursor only.
void RestoreToolMarks();

// While alive, the commands ActivateDataSet sends (view mode, pixel size,
// capture tool, pen) restore checks, buttons and cursors only: a set switch,
// Undo and Redo must not end a toggling tool or refit the picture.
class ResendScope {
 public:
  ResendScope();
  ~ResendScope();
  ResendScope(const ResendScope&) = delete;
  ResendScope& operator=(const ResendScope&) = delete;
};
bool Resending();

}  // namespace dw

#endif
