#include "core/CellExtent.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace dw {

namespace {

int32_t ClampColumns(int64_t v) {
  return v < 0 ? 0 : v > kMaxPictureWidth ? kMaxPictureWidth : static_cast<int32_t>(v);
}

// n copies of v: a first run written one by one, then doubled by block
// copies (the library's copy is far quicker than a loop over the cells).
template <class T>
void FillRun(T* p, size_t n, T v) {
  if (n == 0) return;
  if (v == 0) {
    std::memset(p, 0, n * sizeof(T));
    return;
  }
  constexpr size_t kFirstRun = 1024;
  size_t done = std::min(n, kFirstRun);
  for (size_t i = 0; i < done; ++i) p[i] = v;
  while (done < n) {
    size_t k = std::min(done, n - done);
    std::memcpy(p + done, p, k * sizeof(T));
    done += k;
  }
}

void FillColumns(DataSet& s, int32_t from, int32_t to, uint32_t v) {
  if (from >= to) return;
  FillRun(s.cells + static_cast<size_t>(from) * kColumnStride, static_cast<size_t>(to - from) * kColumnStride, v);
}

template <class T>
size_t TailStart(const T* a, size_t n) {
  if (n < 2) return 0;
  // a[end .. n) hold one value; compared a block at a time from the back,
  // and the block where the run starts again in smaller blocks.
  size_t end = n - 1;
  for (size_t block : {size_t{4096}, size_t{64}}) {
    while (end > 0) {
      size_t start = end > block ? end - block : 0;
      if (std::memcmp(a + start, a + start + 1, (end - start) * sizeof(T)) != 0) break;
      end = start;
    }
  }
  while (end > 0 && a[end - 1] == a[end]) --end;
  return end;
}

template <class T>
StoreExtent SaveRun(const T* a, T* to, size_t n) {
  StoreExtent e;
  if (n == 0) return e;
  size_t used = TailStart(a, n);
  if (used) std::memcpy(to, a, used * sizeof(T));
  e.used = static_cast<int32_t>(used);
  e.rest = static_cast<uint32_t>(a[n - 1]);
  return e;
}

template <class T>
void RestoreRun(T* a, const T* from, size_t n, StoreExtent saved) {
  if (n == 0) return;
  size_t live = TailStart(a, n);
  T liveRest = a[n - 1];
  T rest = static_cast<T>(saved.rest);
  size_t used = std::min(static_cast<size_t>(std::max(saved.used, 0)), n);
  if (used) std::memcpy(a, from, used * sizeof(T));
  // Past both runs every entry already holds the saved value when the
  // array's own tail value is the same.
  size_t fillTo = liveRest == rest ? std::max(live, used) : n;
  if (fillTo > used) FillRun(a + used, fillTo - used, rest);
}

template <class T>
StoreExtent KeepRun(const T* a, size_t n, std::vector<T>* kept) {
  StoreExtent e;
  kept->clear();
  if (n == 0) return e;
  size_t used = TailStart(a, n);
  kept->assign(a, a + used);
  e.used = static_cast<int32_t>(used);
  e.rest = static_cast<uint32_t>(a[n - 1]);
  return e;
}

}  // namespace

int32_t CellColumnsInUse(DataSet& s) {
  if (!s.cells) return 0;
  int32_t u = ClampColumns(s.cellColumnsUsed);
  u = std::max({u, ClampColumns(s.pictureWidth), ClampColumns(s.activeRight)});
  if (u < kMaxPictureWidth) {
    const uint32_t* next = s.cells + static_cast<size_t>(u) * kColumnStride;
    if (s.cells[kCellsPerSet - 1] != s.cellRest || next[0] != s.cellRest || next[kColumnStride - 1] != s.cellRest)
      u = kMaxPictureWidth;
  }
  s.cellColumnsUsed = u;
#ifndef NDEBUG
  // Debug builds prove the writers' bookkeeping each time it is relied on.
  if (!CellExtentHolds(s)) {
    std::fprintf(stderr, "cell store written past column %d without notice\n", static_cast<int>(u));
    std::abort();
  }
#endif
  return u;
}

bool CellExtentHolds(const DataSet& s) {
  if (!s.cells) return true;
  uint32_t column[kColumnStride];
  std::fill(column, column + kColumnStride, s.cellRest);
  for (int32_t x = ClampColumns(s.cellColumnsUsed); x < kMaxPictureWidth; ++x)
    if (std::memcmp(s.cells + static_cast<size_t>(x) * kColumnStride, column, sizeof column) != 0) return false;
  return true;
}

void FillAllCells(DataSet& s, uint32_t v) {
  if (!s.cells) return;
  int32_t used = CellColumnsInUse(s);
  FillColumns(s, 0, v == s.cellRest ? used : kMaxPictureWidth, v);
  s.cellColumnsUsed = 0;
  s.cellRest = v;
}

void SetCellRest(DataSet& s, uint32_t v) {
  if (!s.cells) return;
  int32_t used = CellColumnsInUse(s);
  if (v != s.cellRest) FillColumns(s, used, kMaxPictureWidth, v);
  s.cellRest = v;
}

StoreExtent SaveAllCells(DataSet& s, uint32_t* to) {
  StoreExtent e;
  if (!s.cells) return e;
  e.used = CellColumnsInUse(s);
  e.rest = s.cellRest;
  if (e.used) std::memcpy(to, s.cells, sizeof(uint32_t) * static_cast<size_t>(e.used) * kColumnStride);
  return e;
}

void RestoreAllCells(DataSet& s, const uint32_t* from, StoreExtent saved) {
  if (!s.cells) return;
  int32_t live = CellColumnsInUse(s);
  int32_t used = ClampColumns(saved.used);
  if (used) std::memcpy(s.cells, from, sizeof(uint32_t) * static_cast<size_t>(used) * kColumnStride);
  // Past both the saved and the live columns in use the store already holds
  // the saved rest value when the live rest value is the same.
  FillColumns(s, used, s.cellRest == saved.rest ? std::max(live, used) : kMaxPictureWidth, saved.rest);
  s.cellColumnsUsed = used;
  s.cellRest = saved.rest;
}

StoreExtent SaveArray(const int32_t* a, int32_t* to, size_t n) { return SaveRun(a, to, n); }
void RestoreArray(int32_t* a, const int32_t* from, size_t n, StoreExtent saved) { RestoreRun(a, from, n, saved); }
StoreExtent SaveArray(const uint8_t* a, uint8_t* to, size_t n) { return SaveRun(a, to, n); }
void RestoreArray(uint8_t* a, const uint8_t* from, size_t n, StoreExtent saved) { RestoreRun(a, from, n, saved); }

StoreExtent KeepArray(const int32_t* a, size_t n, std::vector<int32_t>* kept) { return KeepRun(a, n, kept); }
StoreExtent KeepArray(const uint8_t* a, size_t n, std::vector<uint8_t>* kept) { return KeepRun(a, n, kept); }

size_t UniformTailStart(const int32_t* a, size_t n) { return TailStart(a, n); }
size_t UniformTailStart(const uint8_t* a, size_t n) { return TailStart(a, n); }
size_t UniformTailStart(const uint32_t* a, size_t n) { return TailStart(a, n); }

void FillArray(int32_t* a, size_t n, int32_t v) { FillRun(a, n, v); }

}  // namespace dw
