// Arbitrary settings-file text through the reader, the work-sheet geometry
// and a full paint of both data sets in every view mode. Every value read
// must lie in its row's range, and nothing may read outside the stores.
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CreateEditorState();  // fresh state every run; the previous one is freed
  InstallServices(Services());
  MemoryProfile ini(std::string(reinterpret_cast<const char*>(data), size));
  EditorState& st = *g_ed;
  st.clientWidth = 320;
  st.workSheetHeight = 200;
  ReadWindowSettings(ini);
  ReadSettings(ini);
  CheckRanges(st);
  // The main window's own start-up fills the pictures and lays out the sheet.
  InitMainWindow(ini);
  CheckRanges(st);
  static const int kViews[] = {10096, 10097, 10098, 10099};
  for (int s = 0; s < 2; ++s) {
    st.currentDataSet = s;
    for (int view : kViews) {
      st.Cur().viewMode = view;
      UpdateWorkSheetGeometry();
      RecordingCanvas canvas(false);
      PaintMainWindowContent(canvas);
      PaintViewPicture(canvas, st.Cur().viewCellWidth, st.Cur().viewCellHeight, 160, 120);
      HighlightActiveElement(canvas, 2, 2);
      RenderActiveAreaBitmap(canvas, 0xFFFFFF, 0);
    }
  }
  return 0;
}
