// A fingerprint of one data set: cells, geometry, element arrays and
// characters, palette and colour state, code page, file slots, the modified
// flag and the undo counters. Tests and the fuzzer compare fingerprints to
// prove that a refused edit changed nothing and that undo gives back exactly
// what it took.
#ifndef DOTWERK_CORE_STATEDIGEST_H
#define DOTWERK_CORE_STATEDIGEST_H

#include <cstdint>

#include "core/EditorState.h"

namespace dw {

// Which cells enter the fingerprint: the whole store of the set, or only the
// columns and rows up to the given bounds (cheap for small fuzz pictures).
struct DigestCells {
  int32_t columns = kMaxPictureWidth;
  int32_t rows = kMaxPictureHeight;
};

uint64_t DigestDataSet(const EditorState& st, int set, DigestCells cells = DigestCells());

// The same without the modified flag and the undo counters: the picture and
// settings alone (undo gives these back, while the counters move on).
uint64_t DigestDataSetContent(const EditorState& st, int set, DigestCells cells = DigestCells());

}  // namespace dw

#endif
