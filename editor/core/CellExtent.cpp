#include "core/CellExtent.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DW_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DW_ASAN 1
#endif
#endif
#ifdef DW_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace dw {

namespace {

int32_t ClampColumns(int64_t v) {
  return v < 0 ? 0 : v > kMaxPictureWidth ? kMaxPictureWidth : static_cast<int32_t>(v);
}

int32_t ClampRows(int64_t v) {
  return v < 0 ? 0 : v > kMaxPictureHeight ? kMaxPictureHeight : static_cast<int32_t>(v);
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

// Rows [top, bottom) of columns [from, to) set to v.
void FillBlock(DataSet& s, int32_t from, int32_t to, int32_t top, int32_t bottom, uint32_t v) {
  if (from >= to || top >= bottom) return;
  if (top == 0 && bottom == kColumnStride) {
    FillColumns(s, from, to, v);
    return;
  }
  for (int32_t x = from; x < to; ++x)
    FillRun(s.cells + static_cast<size_t>(x) * kColumnStride + top, static_cast<size_t>(bottom - top), v);
}

// The first `rows` cells of `columns` columns, from one column layout to
// another (one block copy when both are whole and dense).
void CopyBlock(uint32_t* to, int32_t toStride, const uint32_t* from, int32_t fromStride, int32_t columns, int32_t rows) {
  if (columns <= 0 || rows <= 0) return;
  if (rows == toStride && rows == fromStride) {
    std::memcpy(to, from, sizeof(uint32_t) * static_cast<size_t>(columns) * static_cast<size_t>(rows));
    return;
  }
  for (int32_t x = 0; x < columns; ++x)
    std::memcpy(to + static_cast<size_t>(x) * static_cast<size_t>(toStride), from + static_cast<size_t>(x) * static_cast<size_t>(fromStride),
                sizeof(uint32_t) * static_cast<size_t>(rows));
}

// The scans below have no branches worth a fuzzer's coverage feedback, and
// they run over whole arrays many times an input.
#if defined(__clang__)
#define DW_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define DW_NO_COVERAGE
#endif

#ifdef DW_ASAN
// The sanitizers' per-entry checks would slow the scan to one entry at a
// time; the whole range is checked once instead (an access to its first
// bad byte reports as any bad access does), and the loop is plain index
// arithmetic inside it.
#define DW_RANGE_CHECKED __attribute__((no_sanitize("address", "undefined")))
template <class T>
void CheckRange(const T* a, size_t n) {
  if (const void* bad = __asan_region_is_poisoned(const_cast<T*>(a), n * sizeof(T)))
    (void)*static_cast<const volatile char*>(bad);
}
#else
#define DW_RANGE_CHECKED
template <class T>
void CheckRange(const T*, size_t) {}
#endif

// True when a[0 .. n) all equal v: one pass, 64 bytes at a time where the
// processor compares 16 at once, no early exit. The caller checks the range.
template <class T>
DW_NO_COVERAGE DW_RANGE_CHECKED bool AllEqual(const T* a, size_t n, T v) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(a);
  const size_t bytes = n * sizeof(T);
  size_t i = 0;
  bool equal = true;
#if defined(__SSE2__)
  static_assert(16 % sizeof(T) == 0, "entries must tile a vector");
  alignas(16) T lanes[16 / sizeof(T)];
  for (T& lane : lanes) lane = v;
  const __m128i pattern = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
  __m128i d0 = _mm_setzero_si128(), d1 = d0, d2 = d0, d3 = d0;
  for (; i + 64 <= bytes; i += 64) {
    d0 = _mm_or_si128(d0, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)), pattern));
    d1 = _mm_or_si128(d1, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 16)), pattern));
    d2 = _mm_or_si128(d2, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 32)), pattern));
    d3 = _mm_or_si128(d3, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 48)), pattern));
  }
  const __m128i d = _mm_or_si128(_mm_or_si128(d0, d1), _mm_or_si128(d2, d3));
  equal = _mm_movemask_epi8(_mm_cmpeq_epi8(d, _mm_setzero_si128())) == 0xFFFF;
#endif
  T diff = 0;
  for (size_t k = i / sizeof(T); k < n; ++k) diff |= static_cast<T>(a[k] ^ v);
  return equal && diff == 0;
}

template <class T>
DW_NO_COVERAGE DW_RANGE_CHECKED size_t TailStart(const T* a, size_t n) {
  if (n < 2) return 0;
  // a[end .. n) hold the last entry's value; checked a block at a time from
  // the back, the block where the run starts in smaller blocks, and the
  // last of those entry by entry.
  CheckRange(a, n);
  const T v = a[n - 1];
  size_t end = n - 1;
  for (size_t block : {size_t{1024}, size_t{64}}) {
    while (end > 0) {
      size_t start = end > block ? end - block : 0;
      if (!AllEqual(a + start, end - start, v)) break;
      end = start;
    }
  }
  while (end > 0 && a[end - 1] == v) --end;
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
  int32_t r = ClampRows(s.cellRowsUsed);
  r = std::max({r, ClampRows(s.pictureHeight), ClampRows(s.activeBottom)});
  // A store filled whole behind the bookkeeping's back shows at its ends.
  if (s.cells[kCellsPerSet - 1] != s.cellRest) {
    u = kMaxPictureWidth;
    r = kMaxPictureHeight;
  }
  if (u < kMaxPictureWidth) {
    const uint32_t* next = s.cells + static_cast<size_t>(u) * kColumnStride;
    if (next[0] != s.cellRest || next[kColumnStride - 1] != s.cellRest) {
      u = kMaxPictureWidth;
      r = kMaxPictureHeight;
    }
  }
  if (r < kMaxPictureHeight && s.cells[r] != s.cellRest) r = kMaxPictureHeight;
  s.cellColumnsUsed = u;
  s.cellRowsUsed = r;
#ifndef NDEBUG
  // Debug builds prove the writers' bookkeeping each time it is relied on.
  if (!CellExtentHolds(s)) {
    std::fprintf(stderr, "cell store written past column %d or row %d without notice\n", static_cast<int>(u),
                 static_cast<int>(r));
    std::abort();
  }
#endif
  return u;
}

bool CellExtentHolds(const DataSet& s) {
  if (!s.cells) return true;
  uint32_t column[kColumnStride];
  std::fill(column, column + kColumnStride, s.cellRest);
  const int32_t used = ClampColumns(s.cellColumnsUsed), rows = ClampRows(s.cellRowsUsed);
  for (int32_t x = 0; x < kMaxPictureWidth; ++x) {
    const int32_t from = x < used ? rows : 0;
    const uint32_t* p = s.cells + static_cast<size_t>(x) * kColumnStride + from;
    if (std::memcmp(p, column, sizeof(uint32_t) * static_cast<size_t>(kColumnStride - from)) != 0) return false;
  }
  return true;
}

void FillAllCells(DataSet& s, uint32_t v) {
  if (!s.cells) return;
  int32_t used = CellColumnsInUse(s);
  if (v == s.cellRest)
    FillBlock(s, 0, used, 0, s.cellRowsUsed, v);
  else
    FillColumns(s, 0, kMaxPictureWidth, v);
  s.cellColumnsUsed = 0;
  s.cellRowsUsed = 0;
  s.cellRest = v;
}

void SetCellRest(DataSet& s, uint32_t v) {
  if (!s.cells) return;
  int32_t used = CellColumnsInUse(s);
  if (v != s.cellRest) {
    FillBlock(s, 0, used, s.cellRowsUsed, kMaxPictureHeight, v);
    FillColumns(s, used, kMaxPictureWidth, v);
  }
  s.cellRest = v;
}

StoreExtent SaveAllCells(DataSet& s, uint32_t* to, bool packed) {
  StoreExtent e;
  if (!s.cells) return e;
  e.used = CellColumnsInUse(s);
  e.rows = s.cellRowsUsed;
  e.stride = packed ? e.rows : kColumnStride;
  e.rest = s.cellRest;
  CopyBlock(to, e.stride, s.cells, kColumnStride, e.used, e.rows);
  return e;
}

void RestoreAllCells(DataSet& s, const uint32_t* from, StoreExtent saved) {
  if (!s.cells) return;
  const int32_t live = CellColumnsInUse(s);
  const int32_t liveRows = s.cellRowsUsed;
  const int32_t used = ClampColumns(saved.used);
  const int32_t rows = ClampRows(saved.rows);
  CopyBlock(s.cells, kColumnStride, from, saved.stride, used, rows);
  // Past both the saved and the live part in use the store already holds
  // the saved rest value when the live rest value is the same.
  if (s.cellRest == saved.rest) {
    FillBlock(s, 0, used, rows, std::max(liveRows, rows), saved.rest);
    FillBlock(s, used, std::max(live, used), 0, liveRows, saved.rest);
  } else {
    FillBlock(s, 0, used, rows, kMaxPictureHeight, saved.rest);
    FillColumns(s, used, kMaxPictureWidth, saved.rest);
  }
  s.cellColumnsUsed = used;
  s.cellRowsUsed = rows;
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
