// Arbitrary settings-file text through the reader, the main window's
// start-up, the work-sheet geometry and a paint of both data sets in every
// view mode (the visible part of a small window, and the copy bitmap of an
// active area of at most 16 x 16 cells). Every value read must lie in its
// row's range, and nothing may read outside the stores.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Geometry.h"
#include "core/MainInit.h"
#include "core/MemoryProfile.h"
#include "core/Paint.h"
#include "core/RecordingCanvas.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "FuzzState.h"

using namespace dw;

static void CheckRanges(EditorState& st) {
  for (const SettingRow& row : SettingsTable()) {
    if (row.access == SettingAccess::WriteOnly || row.kind == SettingKind::Text) continue;
    if (row.kind != SettingKind::Int || row.fix || row.dynCount) continue;
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      int n = row.count > 0 ? row.count : 1;
      for (int i = 0; i < n; ++i) {
        int32_t v = *static_cast<int32_t*>(row.bind(st, s, i));
        if (ApplyRange(row, st, s, v, RowDefault(row, st, s, i)) != v) std::abort();
      }
    }
  }
}

constexpr int32_t kClientWidth = 64, kSheetHeight = 48;
constexpr int32_t kViewWidth = 32, kViewHeight = 24;
constexpr int32_t kBitmapSide = 16;

// The current set's work sheet, its Pixel View picture and the copy bitmap
// of a corner of its active area.
static void PaintSet(EditorState& st) {
  UpdateWorkSheetGeometry();
  RecordingCanvas canvas(false);
  PaintMainWindowContent(canvas);
  DataSet& d = st.Cur();
  PaintViewPicture(canvas, d.viewCellWidth, d.viewCellHeight, kViewWidth, kViewHeight);
  HighlightActiveElement(canvas, 2, 2);
  const Rect active{d.activeLeft, d.activeTop, d.activeRight, d.activeBottom};
  if (d.activeRight - d.activeLeft > kBitmapSide) d.activeRight = d.activeLeft + kBitmapSide;
  if (d.activeBottom - d.activeTop > kBitmapSide) d.activeBottom = d.activeTop + kBitmapSide;
  RenderActiveAreaBitmap(canvas, 0xFFFFFF, 0);
  d.activeLeft = active.left;
  d.activeTop = active.top;
  d.activeRight = active.right;
  d.activeBottom = active.bottom;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The start-up fills both whole pictures itself, so no cell needs clearing.
  EditorState& st = dwfuzz::FreshState(true);
  MemoryProfile ini(std::string(reinterpret_cast<const char*>(data), size));
  // A small window: the paint covers what is visible, a few dozen cells.
  st.clientWidth = kClientWidth;
  st.workSheetHeight = kSheetHeight;
  ReadWindowSettings(ini);
  // The main window's start-up reads the settings, fills the pictures and
  // lays out the sheet.
  InitMainWindow(ini);
  CheckRanges(st);
  // Each set painted in one view mode, the input's hash choosing which:
  // over a run every set meets every mode.
  static const int kViews[] = {10096, 10097, 10098, 10099};
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  for (int s = 0; s < 2; ++s) {
    st.currentDataSet = s;
    st.Cur().viewMode = kViews[(hash >> (2 * s)) & 3];
    PaintSet(st);
  }
  dwfuzz::CheckCellBookkeeping(data, size);
  return 0;
}
