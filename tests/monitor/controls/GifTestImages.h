// Small GIFs made in the tests themselves: a two-colour global table and
// images whose LZW data is written as plain literal codes (a clear code
// every two pixels keeps the code width at 3 bits), which every decoder
// reads. Shared by the host tests and the Windows picture tests.
#pragma once

#include <stdint.h>

#include <vector>

namespace giftest {

struct Frame {
  int left = 0;
  int top = 0;
  int width = 2;
  int height = 2;
  bool control = true;  // write a graphic control extension
  int delay = 10;       // hundredths
  uint8_t packed = 0;   // the extension's packed byte (disposal in bits 2-4)
  uint8_t colour = 0;   // palette index for every pixel
  bool localTable = false;
};

inline void Put16(std::vector<uint8_t>& v, int w) {
  v.push_back(static_cast<uint8_t>(w));
  v.push_back(static_cast<uint8_t>(w >> 8));
}

// LZW with minimum code size 2: clear = 4, end = 5, 3-bit codes.
inline std::vector<uint8_t> LiteralLzw(int pixels, uint8_t colour) {
  std::vector<int> codes;
  for (int i = 0; i < pixels; ++i) {
    if (i % 2 == 0) codes.push_back(4);
    codes.push_back(colour & 3);
  }
  codes.push_back(5);
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int bits = 0;
  for (int c : codes) {
    acc |= static_cast<uint32_t>(c) << bits;
    bits += 3;
    while (bits >= 8) {
      bytes.push_back(static_cast<uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) bytes.push_back(static_cast<uint8_t>(acc));
  return bytes;
}

inline void PutImage(std::vector<uint8_t>& g, const Frame& f) {
  g.push_back(0x2C);
  Put16(g, f.left), Put16(g, f.top), Put16(g, f.width), Put16(g, f.height);
  if (f.localTable) {
    g.push_back(0x81);  // four entries
    const uint8_t table[12] = {0, 0, 255, 255, 255, 0, 0, 128, 0, 64, 64, 64};
    g.insert(g.end(), table, table + 12);
  } else {
    g.push_back(0x00);
  }
  g.push_back(2);  // LZW minimum code size
  std::vector<uint8_t> lzw = LiteralLzw(f.width * f.height, f.colour);
  for (size_t at = 0; at < lzw.size(); at += 255) {
    size_t n = lzw.size() - at < 255 ? lzw.size() - at : 255;
    g.push_back(static_cast<uint8_t>(n));
    g.insert(g.end(), lzw.begin() + at, lzw.begin() + at + n);
  }
  g.push_back(0);
}

inline void PutControl(std::vector<uint8_t>& g, uint8_t packed, int delay) {
  g.push_back(0x21), g.push_back(0xF9), g.push_back(4);
  g.push_back(packed);
  Put16(g, delay);
  g.push_back(0);  // transparent index
  g.push_back(0);
}

inline std::vector<uint8_t> Header(int width, int height) {
  std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(g, width), Put16(g, height);
  g.push_back(0x91);  // global table of 4 entries, 2-bit colour resolution
  g.push_back(0), g.push_back(0);
  const uint8_t table[12] = {255, 0, 0, 0, 0, 255, 0, 160, 0, 240, 240, 240};
  g.insert(g.end(), table, table + 12);
  return g;
}

inline std::vector<uint8_t> MakeGif(int width, int height, const std::vector<Frame>& frames) {
  std::vector<uint8_t> g = Header(width, height);
  for (const Frame& f : frames) {
    if (f.control) PutControl(g, f.packed, f.delay);
    PutImage(g, f);
  }
  g.push_back(0x3B);
  return g;
}

}  // namespace giftest
