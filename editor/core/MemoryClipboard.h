// A clipboard held in memory: at most one bitmap or a text. The host tests and
// the fuzzer bind it where the program binds the platform's clipboard.
#ifndef DOTWERK_CORE_MEMORYCLIPBOARD_H
#define DOTWERK_CORE_MEMORYCLIPBOARD_H

#include "core/Services.h"

namespace dw {

struct MemoryClipboard : IClipboard {
  bool hasBitmap = false, hasText = false;
  ClipBitmap bitmap;
  bool ReadBitmap(ClipBitmap* out) override {
    if (!hasBitmap) {
      *out = ClipBitmap();
      return false;
    }
    *out = bitmap;
    return true;
  }
  bool HasText() override { return hasText; }
  bool WriteBitmap(const ClipBitmap& b) override {
    bitmap = b;
    hasBitmap = true;
    hasText = false;
    return true;
  }
};

}  // namespace dw

#endif
