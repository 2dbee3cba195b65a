// Code pages from untrusted bytes: the ".cp" reader, the text-import
// builder in its three encodings, and sequences of the table operations.
// Invariants: at most 16384 ranges, in start order, nothing written past
// the scratch entry (the Font View's table is separate heap arrays, so the
// sanitizer sees any overrun).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/CodePageFile.h"
#include "views/CodePage.h"

namespace {

struct Bytes : dw::IByteSource {
  const uint8_t* p;
  size_t n, pos = 0;
  Bytes(const uint8_t* d, size_t s) : p(d), n(s) {}
  int Next() override { return pos < n ? p[pos++] : -1; }
  void Unget() override {
    if (pos) --pos;
  }
};

void CheckTable(const dw::CodePageTable& t) {
  if (*t.count < 0 || *t.count > dw::kMaxCodePageRanges) std::abort();
  for (int32_t i = 1; i < *t.count; ++i)
    if (t.startChar[i - 1] > t.startChar[i]) std::abort();
}

int32_t Take(const uint8_t*& p, size_t& n) {
  int32_t v = 0;
  for (int k = 0; k < 4; ++k) {
    v = static_cast<int32_t>(static_cast<uint32_t>(v) << 8);
    if (n) {
      v |= *p++;
      --n;
    }
  }
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  dw::CodePageTable t = dw::CodePageSlot(dw::kFontCodePageSlot);
  dw::ClearCodePageRanges(t);
  uint8_t mode = data[0];
  const uint8_t* p = data + 1;
  size_t n = size - 1;
  switch (mode % 4) {
    case 0:
    case 1: {
      Bytes src(p, n);
      bool truncated = false;
      dw::ReadCodePageInto(src, t, (mode & 4) != 0, &truncated);
      break;
    }
    case 2: {
      bool full = false;
      dw::BuildCodePageFromText(p, n, 1941 + (mode >> 2) % 3, t, &full);
      break;
    }
    default: {
      int32_t elements = 1 + (Take(p, n) & 0xFFFF);
      while (n > 0) {
        uint8_t op = *p++;
        --n;
        int32_t a = Take(p, n), b = Take(p, n), c = Take(p, n);
        switch (op % 4) {
          case 0: dw::AddCodePageRange(t, a, b, c); break;
          case 1: dw::ShiftCodePageForInsertIn(t, elements, a % 70000, b & 0xFF, c); break;
          case 2: dw::ShiftCodePageForDeleteIn(t, a % 70000); break;
          default:
            dw::CharToElementIn(t, a);
            dw::ElementToCharIn(t, b);
            break;
        }
        CheckTable(t);
      }
      break;
    }
  }
  CheckTable(t);
  return 0;
}
