#include "core/Elements.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/CountDialogs.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "views/CodePage.h"
#include "views/FontRender.h"
#include "views/StatusLine.h"

namespace dw {
namespace {

enum : int32_t {
  kViewShowGroup = 10099,
  kToolEmptyElement = 10350,
  kToolCopyElement = 10351,
  kToolDeleteElement = 10352,
  kToolClearElement = 10353,
  kToolSymbolLine = 10501,
  kDeleteOne = 10503,
  kDeleteFromTo = 10504,
  kDeleteDialog = 10505,
  kFontTrueType = 10418,
};

// Cursors by resource id.
enum : int {
  kCursorArrow = 0,
  kCursorDeleteFrom = 1512,
  kCursorDeleteTo = 1513,
  kCursorSymbolFrom = 1504,
};

// The Font View's From/To selection.
enum : int32_t { kSymbolChooseFrom = 301, kSymbolChosen = 303 };

constexpr int32_t kLastElementNumber = kMaxElements - 1;

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int64_t GridRows(int64_t count, int32_t countX) { return countX < 1 ? 0 : (count + countX - 1) / countX; }

// Top-left cell of element n's place under countX, when the whole block of
// the common element size lies inside the store.
bool ElementPlace(const DataSet& s, int32_t n, int32_t countX, int32_t* x, int32_t* y) {
  if (n < 0 || n > kLastElementNumber || countX < 1) return false;
  int32_t w = s.elementWidth, h = s.elementHeight;
  if (w < 1 || h < 1) return false;
  int64_t x0 = static_cast<int64_t>(n % countX) * w;
  int64_t y0 = static_cast<int64_t>(n / countX) * h;
  if (x0 + w > kMaxPictureWidth || y0 + h > kMaxPictureHeight) return false;
  *x = static_cast<int32_t>(x0);
  *y = static_cast<int32_t>(y0);
  return true;
}

// True when the places of elements first..last (inclusive) all lie in the
// store, so no move of the operation can be refused halfway.
bool PlacesFit(const DataSet& s, int32_t first, int32_t last, int32_t countX) {
  int32_t x = 0, y = 0;
  for (int32_t n = first; n <= last; ++n)
    if (!ElementPlace(s, n, countX, &x, &y)) return false;
  return true;
}

// A private copy of the current code page: element shifts run on it first,
// so a shift that does not fit is refused before anything else changed.
class ScratchCodePage {
 public:
  explicit ScratchCodePage(const CodePageTable& t)
      : base_(t.symbolBase, t.symbolBase + kCodePageEntries),
        start_(t.startChar, t.startChar + kCodePageEntries),
        end_(t.endChar, t.endChar + kCodePageEntries),
        count_(*t.count),
        defaultChar_(*t.defaultChar) {}
  CodePageTable Table() {
    CodePageTable t;
    t.symbolBase = base_.data();
    t.startChar = start_.data();
    t.endChar = end_.data();
    t.count = &count_;
    t.defaultChar = &defaultChar_;
    return t;
  }
  void CommitTo(const CodePageTable& t) const {
    std::memcpy(t.symbolBase, base_.data(), sizeof(int32_t) * kCodePageEntries);
    std::memcpy(t.startChar, start_.data(), sizeof(int32_t) * kCodePageEntries);
    std::memcpy(t.endChar, end_.data(), sizeof(int32_t) * kCodePageEntries);
    *t.count = count_;
  }

 private:
  std::vector<int32_t> base_, start_, end_;
  int32_t count_, defaultChar_;
};

// The From -> To delete waits for its second click between two calls.
struct DeleteRange {
  const EditorState* owner = nullptr;
  int set = 0;
  bool waitingForSecond = false;
  int32_t first = 0;
};

DeleteRange& PendingDelete() {
  static DeleteRange range;
  if (range.owner != g_ed) range = DeleteRange{g_ed};
  return range;
}

// Undo snapshots stay off while the symbols are drawn and are resumed on
// every way out, together with the closing of the TrueType box, the end of
// the Font View's whole-font mode and its page as the user left it.
class DrawingScope {
 public:
  explicit DrawingScope(bool trueTypeBox) : box_(trueTypeBox), page_(TheFontViewFont().unicodePage) {
    g_ed->undoSuspended = true;
    TheFontViewFont().wholeFontMode = true;
    if (box_) OpenMakingTTFont("Making TrueType Font");
  }
  ~DrawingScope() {
    g_ed->undoSuspended = false;
    FontViewFont& f = TheFontViewFont();
    f.wholeFontMode = false;
    f.unicodePage = page_;
    if (box_) CloseMakingTTFont();
  }
  DrawingScope(const DrawingScope&) = delete;
  DrawingScope& operator=(const DrawingScope&) = delete;

 private:
  bool box_;
  int32_t page_;
};

void Beep() { Svc().prompter->Beep(MBX_ICONHAND); }


// An insertion may only add elements whose rows still fit in 1200 cells:
// cuts n to what the grid of countX columns holds, with the user told.
void CutToRoom(const DataSet& s, int32_t countX, int32_t* n) {
  int64_t capacity = static_cast<int64_t>(countX) * (kMaxPictureHeight / s.elementHeight);
  if (s.elementCount + static_cast<int64_t>(*n) <= capacity) return;
  *n = Saturate(capacity - s.elementCount);
  char text[80];
  std::snprintf(text, sizeof text, "Sorry - Only room for %d more characters", static_cast<int>(std::max(*n, 0)));
  Svc().prompter->Ask(text, "Memory Limit", MBX_OK | MBX_ICONEXCLAMATION);
}

// The count never reaches 65536: the cut is silent.
void CutToElementLimit(const DataSet& s, int32_t* n) {
  int32_t left = kLastElementNumber - s.elementCount;
  if (*n > left) *n = left;
}

// Elements target..count-1 move up by n (the last first), each source
// cleared with its size reset after its copy ran.
void ShiftElementsUp(int32_t target, int32_t n, int32_t count, int32_t countX) {
  for (int32_t k = count - 1; k >= target; --k) MoveElement(k, k + n, countX, countX, true);
}

void SetPictureToGrid(DataSet& s) {
  int32_t countX = std::max(s.elementCountX, 1);
  s.pictureWidth = Saturate(static_cast<int64_t>(s.elementWidth) * std::min(countX, s.elementCount));
  s.pictureHeight = Saturate(static_cast<int64_t>(s.elementHeight) * GridRows(s.elementCount, countX));
}

void FinishElementOperation() {
  DataSet& s = g_ed->Cur();
  if (s.currentElement >= s.elementCount) s.currentElement = std::max(s.elementCount - 1, 0);
  SetPictureToGrid(s);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  ShowStatus(1);
  IWindowOps& w = *Svc().windows;
  w.InvalidateWorkSheet(true);
  w.Invalidate(WIN_PIXELVIEW, true);
  w.Invalidate(WIN_CODEPAGE, true);
  UpdateCodePageViewScrollBars();
}

// Shifts the code page for n elements inserted at target on a scratch copy;
// false (beep) when the table cannot take it. On success the snapshot is
// taken and the shifted table becomes the set's.
bool ShiftCodePageAndSnapshotForInsert(int32_t target, int32_t n, int32_t firstChar) {
  const DataSet& s = g_ed->Cur();
  CodePageTable live = CurrentCodePage();
  if (!live.Valid()) return false;
  ScratchCodePage scratch(live);
  if (ShiftCodePageForInsertIn(scratch.Table(), s.elementCount, target, n, firstChar) < 0) {
    Beep();
    return false;
  }
  PushUndo();
  scratch.CommitTo(live);
  return true;
}

bool ShiftCodePageAndSnapshotForDelete(int32_t target, int32_t n) {
  CodePageTable live = CurrentCodePage();
  if (!live.Valid()) return false;
  ScratchCodePage scratch(live);
  for (int32_t i = 0; i < n; ++i) {
    if (ShiftCodePageForDeleteIn(scratch.Table(), target) < 0) {
      Beep();
      return false;
    }
  }
  PushUndo();
  scratch.CommitTo(live);
  return true;
}

// 10350 and 10351: n elements (asked) before the target.
void InsertElements(int32_t target, bool copies) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  if (!RunElementInsertDialog(&st.elementOperationCount, &st.elementInsertFirstChar)) return;
  int32_t n = st.elementOperationCount;
  int32_t firstChar = st.elementInsertFirstChar;
  int32_t count = s.elementCount, countX = s.elementCountX;
  CutToElementLimit(s, &n);
  if (n < 1) return;
  CutToRoom(s, countX, &n);
  if (n < 1) return;
  if (!PlacesFit(s, target, count + n - 1, countX)) {
    Beep();
    return;
  }
  if (!ShiftCodePageAndSnapshotForInsert(target, n, firstChar)) return;
  if (copies) {
    for (int32_t k = count - 1; k >= target; --k) CopyElementCells(k, k + n, countX, countX);
  } else {
    ShiftElementsUp(target, n, count, countX);
  }
  // Empty places are background; copies keep their cells, except places
  // past the old end, which held no element.
  for (int32_t i = 0; i < n; ++i)
    if (!copies || target + i >= count) ClearElement(target + i, countX, true);
  s.elementCount = count + n;
  FinishElementOperation();
}

// The number of elements a delete click removes, or 0 when it only began a
// From -> To range (or the dialog was cancelled). *target may move to the
// smaller end of a range.
int32_t DeleteCount(int32_t* target) {
  EditorState& st = *g_ed;
  int32_t method = st.cfg.elementDeleteMethod;
  if (method == kDeleteFromTo) {
    DeleteRange& range = PendingDelete();
    if (!range.waitingForSecond || range.set != st.currentDataSet) {
      range.waitingForSecond = true;
      range.set = st.currentDataSet;
      range.first = *target;
      Svc().windows->SetClassCursor(WIN_MAIN, kCursorDeleteTo);
      return 0;
    }
    range.waitingForSecond = false;
    Svc().windows->SetClassCursor(WIN_MAIN, kCursorDeleteFrom);
    int32_t n = std::abs(*target - range.first) + 1;
    *target = std::min(*target, range.first);
    return n;
  }
  if (method == kDeleteDialog) {
    int answer = RunElementDeleteDialog(&st.elementOperationCount);
    if (st.cfg.elementDeleteMethod != kDeleteDialog) {
      Svc().menu->Check(kDeleteDialog, false);
      Svc().menu->Check(kDeleteOne, true);
    }
    return answer ? st.elementOperationCount : 0;
  }
  return 1;
}

// 10352: the clicked element (or range) leaves; later elements close up.
void DeleteElements(int32_t target) {
  DataSet& s = g_ed->Cur();
  int32_t n = DeleteCount(&target);
  int32_t count = s.elementCount, countX = s.elementCountX;
  // Nothing past the last element can go, and never all of them.
  n = std::min(n, count - target);
  if (n < 1 || count <= n) return;
  if (!PlacesFit(s, target, count - 1, countX)) {
    Beep();
    return;
  }
  if (!ShiftCodePageAndSnapshotForDelete(target, n)) return;
  for (int32_t k = target; k + n < count; ++k) MoveElement(k + n, k, countX, countX, true);
  for (int32_t k = std::max(count - n, target); k < count; ++k) ClearElement(k, countX, true);
  s.elementCount = count - n;
  FinishElementOperation();
}

// 10353: the clicked element becomes background.
void ClearClickedElement(int32_t target) {
  DataSet& s = g_ed->Cur();
  const int32_t n = 1;
  if (s.elementCount <= n) return;
  int32_t x = 0, y = 0;
  if (!ElementPlace(s, target, s.elementCountX, &x, &y)) {
    Beep();
    return;
  }
  PushUndo();
  ClearElement(target, s.elementCountX, true);
  FinishElementOperation();
}

void ResetSymbolSelection() {
  EditorState& st = *g_ed;
  st.symbolSelectState = kSymbolChooseFrom;
  Svc().windows->SetClassCursor(WIN_FONTVIEW, kCursorSymbolFrom);
  Svc().windows->SetClassCursor(WIN_MAIN, kCursorArrow);
}

// The count X the line of symbols needs: the present one while the rows fit,
// else as many columns as 1600 cells hold.
int32_t SymbolLineCountX(const DataSet& s, int32_t n) {
  int64_t newCount = static_cast<int64_t>(s.elementCount) + n;
  if (GridRows(newCount, s.elementCountX) * s.elementHeight <= kMaxPictureHeight) return s.elementCountX;
  return std::max(kMaxPictureWidth / s.elementWidth, 1);
}

// Draws characters first..first+n-1 into elements target..target+n-1.
void DrawSymbols(int32_t target, int32_t first, int32_t n) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  bool trueType = st.cfg.fontType == kFontTrueType;
  bool unicode = st.cfg.fontTypeUnicode != 0;
  DrawingScope scope(trueType);
  for (int32_t i = 0; i < n; ++i) {
    int32_t c = first + i, e = target + i;
    int32_t x0, y0, x1, y1;
    ElementRect(s, e, &x0, &y0, &x1, &y1);
    s.textCursorX = x0;
    s.textCursorY = y0;
    s.activeLeft = x0;
    s.activeTop = y0;
    s.activeRight = x1;
    s.activeBottom = y1;
    s.workElement = e;
    if (unicode) {
      // The Font View shows the character's page; its low byte is drawn.
      TheFontViewFont().unicodePage = (c >> 8) & 0xFF;
      if (trueType) {
        char title[40];
        std::snprintf(title, sizeof title, "Unicode 0x%02X%02X", static_cast<unsigned>((c >> 8) & 0xFF),
                      static_cast<unsigned>(c & 0xFF));
        SetMakingTTFontTitle(title);
      }
      RenderFontCharacter(c & 0xFF);
    } else {
      RenderFontCharacter(c);
    }
    s.elementChars[e & kLastElementNumber] = static_cast<uint8_t>(e & 0xFF);
  }
}

// 10501: one element for each character of the Font View's range.
void DrawLineOfSymbols(int32_t target) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int64_t wanted = static_cast<int64_t>(st.symbolTo) - st.symbolFrom + 1;
  if (wanted < 0) {
    ResetSymbolSelection();
    char text[60];
    std::snprintf(text, sizeof text, "Error: Cannot insert %d symbols", static_cast<int>(Saturate(wanted)));
    st.statusText = text;
    ShowStatus(0);
    Beep();
    return;
  }
  if (wanted < 1) return;
  if (st.symbolSelectState != kSymbolChosen) {
    Beep();
    return;
  }
  int32_t first = st.symbolFrom;
  // The code page numbers the characters across the Unicode planes.
  int64_t planeBase = st.cfg.fontTypeUnicode ? static_cast<int64_t>(TheFontViewFont().unicodePlane) << 16 : 0;
  int32_t n = Saturate(wanted);
  int32_t count = s.elementCount, oldCountX = s.elementCountX;
  CutToElementLimit(s, &n);
  if (n < 1) return;
  int32_t countX = SymbolLineCountX(s, n);
  CutToRoom(s, countX, &n);
  if (n < 1) return;
  bool relayout = countX != oldCountX;
  if (!PlacesFit(s, relayout ? 0 : target, count + n - 1, countX)) {
    Beep();
    return;
  }
  if (!ShiftCodePageAndSnapshotForInsert(target, n, Saturate(planeBase + first))) return;
  st.symbolTo = first + n - 1;
  st.symbolInsertCount = n;
  if (relayout) {
    RelayoutElements(oldCountX, countX);
    s.elementCountX = countX;
  }
  ShiftElementsUp(target, n, count, countX);
  for (int32_t i = 0; i < n; ++i) ClearElement(target + i, countX, true);
  s.elementCount = count + n;
  SetPictureToGrid(s);
  DrawSymbols(target, first, n);
  UpdateWorkSheetGeometry();
  ResetSymbolSelection();
  FinishElementOperation();
}

}  // namespace

bool CopyElementCells(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo) {
  if (!g_ed) return false;
  EditorState& st = *g_ed;
  int set = st.currentDataSet & 1;
  DataSet& s = st.set[set];
  int32_t fx = 0, fy = 0, tx = 0, ty = 0;
  if (!ElementPlace(s, from, countXFrom, &fx, &fy) || !ElementPlace(s, to, countXTo, &tx, &ty)) return false;
  const size_t column = static_cast<size_t>(s.elementHeight) * sizeof(uint32_t);
  for (int32_t i = 0; i < s.elementWidth; ++i) {
    // ElementPlace proved both blocks inside the store, columns included.
    uint32_t* src = CellPtr(st, set, fx + i, fy);
    uint32_t* dst = CellPtr(st, set, tx + i, ty);
    std::memmove(dst, src, column);
  }
  bool pastTheEnd = to >= s.elementCount;
  s.elementWidths[to] = pastTheEnd ? s.elementWidth : s.elementWidths[from];
  s.elementHeights[to] = pastTheEnd ? s.elementHeight : s.elementHeights[from];
  return true;
}

bool ClearElement(int32_t n, int32_t countX, bool resetSize) {
  if (!g_ed) return false;
  EditorState& st = *g_ed;
  int set = st.currentDataSet & 1;
  DataSet& s = st.set[set];
  int32_t x = 0, y = 0;
  if (!ElementPlace(s, n, countX, &x, &y)) return false;
  uint32_t background = InitialCellValue(s);
  for (int32_t i = 0; i < s.elementWidth; ++i) {
    uint32_t* column = CellPtr(st, set, x + i, y);
    std::fill(column, column + s.elementHeight, background);
  }
  if (resetSize) {
    s.elementWidths[n] = s.elementWidth;
    s.elementHeights[n] = s.elementHeight;
  }
  return true;
}

bool MoveElement(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo, bool resetSize) {
  if (!CopyElementCells(from, to, countXFrom, countXTo)) return false;
  const DataSet& s = g_ed->Cur();
  int32_t fx = 0, fy = 0, tx = 0, ty = 0;
  // Both places exist: the copy ran.
  ElementPlace(s, from, countXFrom, &fx, &fy);
  ElementPlace(s, to, countXTo, &tx, &ty);
  if (fx == tx && fy == ty) return true;  // moved onto itself: nothing to clear
  return ClearElement(from, countXFrom, resetSize);
}

void RelayoutElements(int32_t oldCountX, int32_t newCountX) {
  if (!g_ed || oldCountX < 1 || newCountX < 1 || oldCountX == newCountX) return;
  int32_t count = std::min(std::max(g_ed->Cur().elementCount, 0), kMaxElements);
  // Growing, every element lands on a place already vacated or new when
  // taken in rising order; shrinking, in falling order. Elements below the
  // smaller count X keep their places.
  if (newCountX > oldCountX) {
    for (int32_t n = oldCountX; n < count; ++n) MoveElement(n, n, oldCountX, newCountX, false);
  } else {
    for (int32_t n = count - 1; n >= newCountX; --n) MoveElement(n, n, oldCountX, newCountX, false);
  }
}

void ResetElementTools() { PendingDelete() = DeleteRange{g_ed}; }

void ElementToolLButtonDown(int32_t cellX, int32_t cellY) {
  if (!g_ed) return;
  DataSet& s = g_ed->Cur();
  if (s.viewMode != kViewShowGroup) return;
  int32_t w = s.elementWidth, h = s.elementHeight, countX = s.elementCountX, count = s.elementCount;
  if (w < 1 || h < 1 || countX < 1 || count < 1 || count > kMaxElements) return;
  if (cellX < 0 || cellY < 0) return;
  if (cellX >= static_cast<int64_t>(countX) * w || cellY >= GridRows(count, countX) * h) return;
  int64_t rowStart = static_cast<int64_t>(cellY / h) * countX;
  // Insertions go to the nearest element boundary (at most the end);
  // delete and clear take the element clicked.
  int32_t boundary = Saturate(std::min<int64_t>(rowStart + (cellX + w / 2) / w, count));
  int64_t clicked = rowStart + cellX / w;
  switch (s.currentTool) {
    case kToolEmptyElement:
      InsertElements(boundary, false);
      break;
    case kToolCopyElement:
      InsertElements(boundary, true);
      break;
    case kToolSymbolLine:
      DrawLineOfSymbols(boundary);
      break;
    case kToolDeleteElement:
      if (clicked < count) DeleteElements(static_cast<int32_t>(clicked));
      break;
    case kToolClearElement:
      if (clicked < count) ClearClickedElement(static_cast<int32_t>(clicked));
      break;
    default:
      break;
  }
}

}  // namespace dw
