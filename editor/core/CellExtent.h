// Whole-store work limited to the part of a store in use.
//
// A set's cell store is 1600 x 1200 cells whatever the picture size, and the
// element and code-page arrays hold 65,536 and 16,385 entries whatever the
// counts. Snapshots, backups and clears used to copy all of it; they now copy
// the part that can differ from one value and record that value for the
// rest, which gives back exactly the same contents:
//   - cells: DataSet::cellColumnsUsed / cellRowsUsed / cellRest, kept up by
//     the writers (CellPtr, WidenCellColumns, WidenCells) and checked on
//     every use in debug builds;
//   - arrays: the uniform tail is found by comparison each time, so nothing
//     needs keeping up.
#ifndef DOTWERK_CORE_CELLEXTENT_H
#define DOTWERK_CORE_CELLEXTENT_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EditorState.h"

namespace dw {

// A copy of a whole store: `used` leading columns (or entries) stored, every
// later one equal to `rest`.
struct StoreExtent {
  int32_t used = 0;
  uint32_t rest = 0;
  // Cells only: the first `rows` cells of each column kept, `stride` apart.
  int32_t rows = 0;
  int32_t stride = 0;
};

// The columns of the set's store that can differ from its rest value (and,
// in DataSet::cellRowsUsed, the rows). Takes in the picture (cells written
// directly inside it) and a store filled whole behind the bookkeeping's back
// (then every cell counts).
int32_t CellColumnsInUse(DataSet& s);

// True when every cell past cellColumnsUsed or cellRowsUsed holds cellRest (reads the whole
// rest of the store: for tests, debug builds and the fuzzers).
bool CellExtentHolds(const DataSet& s);

// Every cell of the store set to v.
void FillAllCells(DataSet& s, uint32_t v);

// Every cell past the columns in use set to v (they all held the rest value).
void SetCellRest(DataSet& s, uint32_t v);

// Copies the whole store into `to` (room for kCellsPerSet cells; only the
// columns and rows in use are written) and back. Restoring gives the store
// exactly the contents it had when it was saved. The copy keeps the store's
// layout, so cell (x, y) of the part in use is to[x * kColumnStride + y];
// `packed` puts the columns kept one after the other instead (only
// RestoreAllCells reads them back).
StoreExtent SaveAllCells(DataSet& s, uint32_t* to, bool packed = false);
void RestoreAllCells(DataSet& s, const uint32_t* from, StoreExtent saved);

// The same for a fixed-size array of n entries (element sizes and
// characters, code-page ranges).
StoreExtent SaveArray(const int32_t* a, int32_t* to, size_t n);
void RestoreArray(int32_t* a, const int32_t* from, size_t n, StoreExtent saved);
StoreExtent SaveArray(const uint8_t* a, uint8_t* to, size_t n);
void RestoreArray(uint8_t* a, const uint8_t* from, size_t n, StoreExtent saved);

// The same into a vector that holds just the entries kept.
StoreExtent KeepArray(const int32_t* a, size_t n, std::vector<int32_t>* kept);
StoreExtent KeepArray(const uint8_t* a, size_t n, std::vector<uint8_t>* kept);

// The first entry of the run of equal entries that ends the array (0 for an
// array of one value; n - 1 when the last two differ).
size_t UniformTailStart(const int32_t* a, size_t n);
size_t UniformTailStart(const uint8_t* a, size_t n);
size_t UniformTailStart(const uint32_t* a, size_t n);

// Sets n entries to v.
void FillArray(int32_t* a, size_t n, int32_t v);

}  // namespace dw

#endif
