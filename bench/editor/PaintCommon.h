// Shared set-up of the work-sheet paint benchmarks: a 1600 x 1200 picture
// filled with a colour ramp (RGB) or a checker (black and white), shown on a
// work sheet of 1600 x 1200 device pixels without the pixel grid.
#ifndef DOTWERK_BENCH_PAINTCOMMON_H
#define DOTWERK_BENCH_PAINTCOMMON_H

#include "core/EditorState.h"
#include "core/Services.h"

namespace dwbench {

inline void SetUpPicture(bool rgb, int cell) {
  using namespace dw;
  EditorState& st = *CreateEditorState();
  InstallServices(Services());
  DataSet& s = st.Cur();
  s.pictureWidth = kMaxPictureWidth;
  s.pictureHeight = kMaxPictureHeight;
  s.activeLeft = s.activeTop = 0;
  s.activeRight = s.pictureWidth;
  s.activeBottom = s.pictureHeight;
  s.viewMode = 10097;
  s.colorMode = rgb ? 10666 : 10665;
  s.colorKind = 10667;
  s.mainCellWidth = s.mainCellHeight = cell;
  for (int x = 0; x < kMaxPictureWidth; ++x) {
    for (int y = 0; y < kMaxPictureHeight; ++y) {
      // Runs of equal colours along a column, as drawings have them.
      uint32_t v = rgb ? static_cast<uint32_t>((x / 8) * 0x010203 + (y / 16) * 0x030201) & 0xFFFFFF
                       : static_cast<uint32_t>(((x / 4) + (y / 4)) & 1);
      s.cells[static_cast<size_t>(x) * kColumnStride + y] = v;
    }
  }
  st.clientWidth = 1600;
  st.workSheetHeight = 1200;
  st.workSheetTop = 0;
  st.pixelGridGap = 0;
}

}  // namespace dwbench

#endif
