#pragma once
// One editor state for a whole fuzz run. Creating a state allocates and
// zeroes every store (two pictures, the element arrays, the undo ring, the
// work areas: well over 100 MB), which costs far more than an input; so the
// state is made once and each input starts from a copy of its first-start
// fields, with the small stores cleared and, of the pictures, only the
// columns the caller says the previous input may have written.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/EditorState.h"
#include "core/Elements.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "views/FontRender.h"

namespace dwfuzz {

inline dw::EditorState*& PristineState() {
  static dw::EditorState* pristine = nullptr;
  return pristine;
}

// Clears columns [0, columns) of both pictures (every row).
inline void ClearPictureColumns(dw::EditorState& st, int32_t columns) {
  if (columns <= 0) return;
  if (columns > dw::kMaxPictureWidth) columns = dw::kMaxPictureWidth;
  for (int s = 0; s < 2; ++s)
    std::memset(st.set[s].cells, 0, sizeof(uint32_t) * static_cast<size_t>(columns) * dw::kColumnStride);
}

// The state as CreateEditorState leaves it, the do-nothing services
// installed. `dirtyColumns`: how many picture columns of either set the
// previous input may have changed (they are cleared again).
inline dw::EditorState& FreshState(int32_t dirtyColumns) {
  using namespace dw;
  if (!PristineState()) {
    CreateEditorState();
    PristineState() = new EditorState(*g_ed);  // the same stores
  } else {
    *g_ed = *PristineState();
    EditorState& st = *g_ed;
    std::memset(st.elementStore, 0, sizeof(int32_t) * 4 * static_cast<size_t>(kMaxElements));
    std::memset(st.charStore, 0, 2 * static_cast<size_t>(kMaxElements));
    std::memset(st.paletteStore, 0, sizeof(uint32_t) * 2 * static_cast<size_t>(kMaxPaletteEntries));
    std::memset(st.codePageStore, 0, sizeof(int32_t) * 6 * static_cast<size_t>(kCodePageEntries));
    std::memset(st.lineBuffer, 0, sizeof(uint32_t) * kMaxPictureWidth);
    ClearPictureColumns(st, dirtyColumns);
    // As CreateEditorState: the tools' own state goes with the old state.
    ResetMouseTools();
    ResetElementTools();
    ResetFontViewFont();
  }
  InstallServices(Services());
  return *g_ed;
}

// The widest picture either set has now (a bound for the next FreshState
// when pictures only ever grow to what the sets show at the end).
inline int32_t WidestPicture(const dw::EditorState& st) {
  int32_t w = 0;
  for (const dw::DataSet& s : st.set)
    if (s.pictureWidth > w) w = s.pictureWidth;
  return w;
}

}  // namespace dwfuzz
