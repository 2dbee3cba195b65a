#pragma once
// Shared by the editor's structured fuzz targets: an invariant check that
// aborts with its line, and a reader that turns the fuzz input into choices.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

static inline void CheckAt(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "invariant failed at line %d\n", line);
  std::abort();
}
#define Check(ok) CheckAt((ok), __LINE__)

// The input read front to back; past its end every byte reads as 0.
struct FuzzInput {
  const uint8_t* p;
  size_t n;
  uint32_t Take(int bytes) {
    uint32_t v = 0;
    for (int k = 0; k < bytes; ++k) {
      v <<= 8;
      if (n) {
        v |= *p++;
        --n;
      }
    }
    return v;
  }
};
