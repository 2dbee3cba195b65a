// The pixel work of a paste: resampling a clipboard bitmap to another size
// (with optional interpolation) and matching its colours to a data set. Pure:
// no clipboard, no windows, no editor state except where a set is passed.
#ifndef DOTWERK_CORE_PASTECONVERT_H
#define DOTWERK_CORE_PASTECONVERT_H

#include <cstdint>
#include <vector>

#include "core/EditorState.h"
#include "views/ColorModel.h"

namespace dw {

// Interpolation settings: number of pixels and direction commands.
enum : int32_t {
  kInterpolateNo = 1083,
  kInterpolate2Pixel = 1990,
  kInterpolate3Pixel = 1991,
  kDirectionVertical = 1995,
  kDirectionHorizontal = 1996,
  kDirectionBoth = 1997,
};

struct Interpolation {
  bool on = false;
  int32_t pixels = kInterpolateNo;
  int32_t direction = kDirectionBoth;
};

// Maps target pixels of a width x height picture to source pixels of a
// sourceWidth x sourceHeight bitmap. The sample positions of every column and
// row are worked out once, so a pixel costs a few loads and adds.
class PictureResampler {
 public:
  // False (and nothing to sample) when a size is below 1. Only target columns
  // below usedWidth and rows below usedHeight (when given) are prepared, so a
  // large target of which little is used costs little.
  bool Init(int32_t width, int32_t height, int32_t sourceWidth, int32_t sourceHeight, const Interpolation& how,
            int32_t usedWidth = -1, int32_t usedHeight = -1);
  // Target pixel (x, y), 0 <= x < used width, 0 <= y < used height, from a source of
  // sourceWidth x sourceHeight pixels (0x00BBGGRR, rows from the top).
  uint32_t Pixel(const uint32_t* source, int32_t x, int32_t y) const;

 private:
  enum Kind { kSingle, kTwoPixel, kThreePixel };
  Kind kind_ = kSingle;
  bool horizontal_ = false, vertical_ = false;
  int32_t sourceWidth_ = 0;
  // Per target column: centre, left and right source column; per row: centre,
  // upper and lower source row (already multiplied by the source width).
  std::vector<int32_t> centreX_, leftX_, rightX_;
  std::vector<int64_t> centreY_, upperY_, lowerY_;
};

// Per-channel sums of up to a few hundred pixels: red and blue share one
// word (16 bits each), green has its own; averages truncate.
struct PixelSum {
  uint32_t redBlue = 0, green = 0;
  void Add(uint32_t c) {
    redBlue += c & 0x00FF00FF;
    green += c & 0x0000FF00;
  }
  uint32_t Average(uint32_t n) const {
    return ((redBlue & 0xFFFF) / n) | ((green >> 8) / n) << 8 | ((redBlue >> 16) / n) << 16;
  }
};

// Inline: a paste calls it once a cell.
inline uint32_t PictureResampler::Pixel(const uint32_t* source, int32_t x, int32_t y) const {
  auto at = [source](int64_t row, int32_t column) { return source[row + column] & 0xFFFFFF; };
  int64_t cy = centreY_[y];
  int32_t cx = centreX_[x];
  if (kind_ == kSingle || (!horizontal_ && !vertical_)) return at(cy, cx);
  PixelSum sum;
  if (kind_ == kTwoPixel) {
    if (horizontal_ && vertical_) {
      sum.Add(at(upperY_[y], leftX_[x]));
      sum.Add(at(lowerY_[y], leftX_[x]));
      sum.Add(at(upperY_[y], rightX_[x]));
      sum.Add(at(lowerY_[y], rightX_[x]));
      return sum.Average(4);
    }
    if (vertical_) {
      sum.Add(at(upperY_[y], cx));
      sum.Add(at(lowerY_[y], cx));
    } else {
      sum.Add(at(cy, leftX_[x]));
      sum.Add(at(cy, rightX_[x]));
    }
    return sum.Average(2);
  }
  // Three pixels: the centre with its neighbours; with both directions the
  // centre counts twice among six samples.
  uint32_t centre = at(cy, cx);
  if (vertical_) {
    sum.Add(at(upperY_[y], cx));
    sum.Add(centre);
    sum.Add(at(lowerY_[y], cx));
  }
  if (horizontal_) {
    sum.Add(at(cy, leftX_[x]));
    sum.Add(centre);
    sum.Add(at(cy, rightX_[x]));
  }
  return vertical_ && horizontal_ ? sum.Average(6) : sum.Average(3);
}

// Fills target pixels xFrom..width-1 by yFrom..height-1 of a width x height
// target (rows from the top) from the source bitmap scaled to width x height.
// Returns the number of pixels written (0 when a size or the source is empty).
int32_t ConvertPictureSize(uint32_t* target, int32_t xFrom, int32_t yFrom, int32_t width, int32_t height,
                           const uint32_t* source, int32_t sourceWidth, int32_t sourceHeight,
                           const Interpolation& how);

// Every channel shifted by mGray - 128 and held in 0..255.
uint32_t ShiftBrightness(uint32_t color, int32_t mGray);
// Black and white: 1 (set) when r² + g² + b² <= 3 mGray², else 0.
uint32_t BlackWhiteCell(uint32_t color, int32_t mGray);

// The nearest palette index of a colour, first best wins, over the same
// candidates as FindNearestPaletteIndex. The colour cube is cut into boxes;
// a box keeps, once asked, the few entries that can be nearest to any colour
// inside it, and colours seen before are remembered, so a whole picture is
// matched at the cost of a few comparisons a cell.
class PaletteMatcher {
 public:
  explicit PaletteMatcher(const DataSet& set, int32_t candidates);
  int32_t Nearest(uint32_t color) {
    color &= 0xFFFFFF;
    uint32_t slot = (color * 2654435761u) >> (32 - kCacheBits);
    if (cacheColor_[slot] != color) {
      cacheColor_[slot] = color;
      cacheIndex_[slot] = Search(color);
    }
    return cacheIndex_[slot];
  }

 private:
  int32_t Search(uint32_t color);
  void FillBox(uint32_t box);
  struct Entry {
    int32_t red, green, blue, index;
  };
  std::vector<Entry> entries_;  // each colour once, with its first index
  static constexpr int kBoxBits = 4;  // boxes per channel: 256 >> kBoxBits
  std::vector<int32_t> boxFirst_, boxCount_;  // into boxEntries_; first -1 until filled
  struct Candidate {
    int64_t least;  // the entry's least squared distance to the box
    int32_t entry;  // into entries_
  };
  std::vector<Candidate> boxEntries_;  // per box nearest first
  static constexpr int kCacheBits = 15;
  std::vector<uint32_t> cacheColor_;
  std::vector<int32_t> cacheIndex_;
};

// Turns a clipboard colour into a cell value of the set: black and white by
// the mGray threshold; colour mode shifted by mGray, then quantised (RGB kind)
// or matched to the palette (palette kind).
class ColorMatcher {
 public:
  ColorMatcher(const DataSet& set, int32_t mGray, int32_t paletteCandidates);
  // Inline: a paste calls it once a cell.
  uint32_t Cell(uint32_t color) {
    if (blackWhite_) {
      int64_t r = color & 0xFF, g = color >> 8 & 0xFF, b = color >> 16 & 0xFF;
      return r * r + g * g + b * b <= threshold_ ? 1u : 0u;
    }
    uint32_t shifted = static_cast<uint32_t>(shift_[color & 0xFF]) | static_cast<uint32_t>(shift_[color >> 8 & 0xFF]) << 8 |
                       static_cast<uint32_t>(shift_[color >> 16 & 0xFF]) << 16;
    if (palette_) return static_cast<uint32_t>(matcher_.Nearest(shifted));
    return QuantizeColor(shifted);
  }

 private:
  bool blackWhite_, palette_;
  int64_t threshold_;     // 3 mGray²
  uint8_t shift_[256];    // a channel after the brightness shift
  PaletteMatcher matcher_;
};

}  // namespace dw

#endif
