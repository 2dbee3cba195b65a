// The pixel work of a paste: resampling a clipboard bitmap to another size
// (with optional interpolation) and matching its colours to a data set. Pure:
// no clipboard, no windows, no editor state except where a set is passed.
#ifndef DOTWERK_CORE_PASTECONVERT_H
#define DOTWERK_CORE_PASTECONVERT_H

#include <cstdint>
#include <vector>

#include "core/EditorState.h"

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
// candidates as FindNearestPaletteIndex; remembers the colours it has seen so
// that a picture of few colours is matched at the cost of a lookup.
class PaletteMatcher {
 public:
  explicit PaletteMatcher(const DataSet& set, int32_t candidates);
  int32_t Nearest(uint32_t color);

 private:
  int32_t Search(uint32_t color) const;
  struct Entry {
    int32_t red, green, blue, index;
  };
  std::vector<Entry> byRed_;  // candidates sorted by red, then index
  static constexpr int kCacheBits = 14;
  std::vector<uint32_t> cacheColor_;
  std::vector<int32_t> cacheIndex_;
};

// Turns a clipboard colour into a cell value of the set: black and white by
// the mGray threshold; colour mode shifted by mGray, then quantised (RGB kind)
// or matched to the palette (palette kind).
class ColorMatcher {
 public:
  ColorMatcher(const DataSet& set, int32_t mGray, int32_t paletteCandidates);
  uint32_t Cell(uint32_t color);

 private:
  bool blackWhite_, palette_;
  int32_t mGray_;
  PaletteMatcher matcher_;
};

}  // namespace dw

#endif
