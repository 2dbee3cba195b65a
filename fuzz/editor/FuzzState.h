#pragma once
// One editor state for a whole fuzz run. Creating a state allocates and
// zeroes every store (two pictures, the element arrays, the undo ring, the
// work areas: well over 100 MB), which costs far more than an input; so the
// state is made once and each input starts from a copy of its first-start
// fields, with every store zero again. Only the part of a store the previous
// input can have changed is cleared: the pictures as far as their columns in
// use (core/CellExtent.h), the arrays up to their run of zeros at the end.
// The undo ring needs no clearing: no input reads a slot it did not write.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/CellExtent.h"
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

// Zeroes a store of n entries as far as it can hold anything but zeros.
template <class T>
inline void ZeroStore(T* a, size_t n) {
  size_t used = a[n - 1] == 0 ? dw::UniformTailStart(a, n) : n;
  std::memset(a, 0, used * sizeof(T));
}

// The state as CreateEditorState leaves it, the do-nothing services
// installed. `keepCells`: the input sets every cell itself before reading
// any (the start-up does), so the pictures need no clearing; their contents
// then never depend on an earlier input.
inline dw::EditorState& FreshState(bool keepCells = false) {
  using namespace dw;
  if (!PristineState()) {
    CreateEditorState();
    PristineState() = new EditorState(*g_ed);  // the same stores
  } else {
    EditorState& st = *g_ed;
    int32_t columns[2], rows[2];
    uint32_t rest[2];
    for (int s = 0; s < 2; ++s) {
      if (!keepCells) FillAllCells(st.set[s], 0);
      columns[s] = st.set[s].cellColumnsUsed;
      rows[s] = st.set[s].cellRowsUsed;
      rest[s] = st.set[s].cellRest;
    }
    st = *PristineState();
    for (int s = 0; s < 2; ++s) {
      st.set[s].cellColumnsUsed = columns[s];
      st.set[s].cellRowsUsed = rows[s];
      st.set[s].cellRest = rest[s];
    }
    for (int k = 0; k < 4; ++k) ZeroStore(st.elementStore + static_cast<size_t>(k) * kMaxElements, kMaxElements);
    for (int k = 0; k < 2; ++k) ZeroStore(st.charStore + static_cast<size_t>(k) * kMaxElements, kMaxElements);
    std::memset(st.paletteStore, 0, sizeof(uint32_t) * 2 * static_cast<size_t>(kMaxPaletteEntries));
    for (int k = 0; k < 6; ++k) ZeroStore(st.codePageStore + static_cast<size_t>(k) * kCodePageEntries, kCodePageEntries);
    std::memset(st.lineBuffer, 0, sizeof(uint32_t) * kMaxPictureWidth);
    // As CreateEditorState: the tools' own state goes with the old state.
    ResetMouseTools();
    ResetElementTools();
    ResetFontViewFont();
  }
  InstallServices(Services());
  return *g_ed;
}

// The pictures' bookkeeping proved by reading both whole stores, for one
// input in 64 (chosen by the input's bytes, so a failure repeats when
// the input is run alone): a writer that skipped it aborts here.
inline void CheckCellBookkeeping(const uint8_t* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  if (hash % 64 != 0 || !dw::g_ed) return;
  for (const dw::DataSet& s : dw::g_ed->set) {
    if (dw::CellExtentHolds(s)) continue;
    std::fprintf(stderr, "cell store written past column %d without notice\n", static_cast<int>(s.cellColumnsUsed));
    std::abort();
  }
}

}  // namespace dwfuzz
