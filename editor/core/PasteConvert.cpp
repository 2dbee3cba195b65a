#include "core/PasteConvert.h"

#include <algorithm>
#include <cstddef>

#include "views/ColorModel.h"

namespace dw {

namespace {

constexpr int32_t kChannelMax = 255;
constexpr int32_t kNeutralGray = 128;
constexpr int32_t kColourMode = 10666;
constexpr int32_t kPaletteKind = 10668;

int32_t Red(uint32_t c) { return static_cast<int32_t>(c & 0xFF); }
int32_t Green(uint32_t c) { return static_cast<int32_t>((c >> 8) & 0xFF); }
int32_t Blue(uint32_t c) { return static_cast<int32_t>((c >> 16) & 0xFF); }
uint32_t Rgb(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}

int32_t ClampTo(int64_t v, int32_t last) {
  if (v < 0) return 0;
  return v > last ? last : static_cast<int32_t>(v);
}

// Source position of target position t, scaled by source/target, for
// t + halves / 2 (halves -2, -1, 0, 1, 2), rounded (+ 0.5, truncated) or
// truncated; worked out exactly in integers so both builds agree.
int64_t RoundedPosition(int32_t t, int32_t halves, int32_t source, int32_t target) {
  int64_t numerator = (2 * static_cast<int64_t>(t) + halves) * source + target;
  return numerator / (2 * static_cast<int64_t>(target));  // truncates toward zero, as the rounding does
}
int64_t TruncatedPosition(int32_t t, int32_t source, int32_t target) {
  return static_cast<int64_t>(t) * source / target;
}

// Per-channel sums of a few pixels, averaged with truncation.
struct ChannelSum {
  int32_t r = 0, g = 0, b = 0;
  void Add(uint32_t c, int32_t times = 1) {
    r += Red(c) * times;
    g += Green(c) * times;
    b += Blue(c) * times;
  }
  uint32_t Average(int32_t n) const { return Rgb(r / n, g / n, b / n); }
};

}  // namespace

bool PictureResampler::Init(int32_t width, int32_t height, int32_t sourceWidth, int32_t sourceHeight,
                            const Interpolation& how, int32_t usedWidth, int32_t usedHeight) {
  centreX_.clear();
  leftX_.clear();
  rightX_.clear();
  centreY_.clear();
  upperY_.clear();
  lowerY_.clear();
  if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1) return false;
  kind_ = kSingle;
  if (how.on && how.pixels == kInterpolate2Pixel) kind_ = kTwoPixel;
  if (how.on && how.pixels == kInterpolate3Pixel) kind_ = kThreePixel;
  horizontal_ = kind_ != kSingle && (how.direction == kDirectionHorizontal || how.direction == kDirectionBoth);
  vertical_ = kind_ != kSingle && (how.direction == kDirectionVertical || how.direction == kDirectionBoth);
  sourceWidth_ = sourceWidth;

  // Two pixels sample half a target pixel to each side, three pixels a whole one.
  int32_t reach = kind_ == kTwoPixel ? 1 : 2;
  auto positions = [&](int32_t target, int32_t used, int32_t source, std::vector<int32_t>* centre,
                       std::vector<int32_t>* before, std::vector<int32_t>* after) {
    int32_t count = used < 0 || used > target ? target : used;
    centre->resize(count);
    before->resize(count);
    after->resize(count);
    int32_t last = source - 1;
    for (int32_t t = 0; t < count; ++t) {
      int64_t c = kind_ == kSingle ? TruncatedPosition(t, source, target) : RoundedPosition(t, 0, source, target);
      (*centre)[t] = ClampTo(c, last);
      (*before)[t] = ClampTo(RoundedPosition(t, -reach, source, target), last);
      (*after)[t] = ClampTo(RoundedPosition(t, reach, source, target), last);
    }
  };
  positions(width, usedWidth, sourceWidth, &centreX_, &leftX_, &rightX_);
  std::vector<int32_t> c, u, l;
  positions(height, usedHeight, sourceHeight, &c, &u, &l);
  // Rows are kept as offsets into the source so a sample is one addition.
  auto offsets = [&](const std::vector<int32_t>& rows, std::vector<int64_t>* out) {
    out->resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) (*out)[i] = static_cast<int64_t>(rows[i]) * sourceWidth;
  };
  offsets(c, &centreY_);
  offsets(u, &upperY_);
  offsets(l, &lowerY_);
  return true;
}

uint32_t PictureResampler::Pixel(const uint32_t* source, int32_t x, int32_t y) const {
  auto at = [source](int64_t row, int32_t column) { return source[row + column] & 0xFFFFFF; };
  int64_t cy = centreY_[y];
  int32_t cx = centreX_[x];
  if (kind_ == kSingle || (!horizontal_ && !vertical_)) return at(cy, cx);
  ChannelSum sum;
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
  int32_t n = 0;
  if (vertical_) {
    sum.Add(at(upperY_[y], cx));
    sum.Add(at(cy, cx));
    sum.Add(at(lowerY_[y], cx));
    n += 3;
  }
  if (horizontal_) {
    sum.Add(at(cy, leftX_[x]));
    sum.Add(at(cy, cx));
    sum.Add(at(cy, rightX_[x]));
    n += 3;
  }
  return sum.Average(n);
}

int32_t ConvertPictureSize(uint32_t* target, int32_t xFrom, int32_t yFrom, int32_t width, int32_t height,
                           const uint32_t* source, int32_t sourceWidth, int32_t sourceHeight,
                           const Interpolation& how) {
  if (!target || !source) return 0;
  PictureResampler resampler;
  if (!resampler.Init(width, height, sourceWidth, sourceHeight, how)) return 0;
  xFrom = std::max(xFrom, 0);
  yFrom = std::max(yFrom, 0);
  int32_t written = 0;
  for (int32_t y = yFrom; y < height; ++y) {
    uint32_t* row = target + static_cast<size_t>(y) * width;
    for (int32_t x = xFrom; x < width; ++x) row[x] = resampler.Pixel(source, x, y);
    if (width > xFrom) written += width - xFrom;
  }
  return written;
}

uint32_t ShiftBrightness(uint32_t color, int32_t mGray) {
  int32_t shift = mGray - kNeutralGray;
  auto channel = [shift](int32_t v) { return ClampTo(static_cast<int64_t>(v) + shift, kChannelMax); };
  return Rgb(channel(Red(color)), channel(Green(color)), channel(Blue(color)));
}

uint32_t BlackWhiteCell(uint32_t color, int32_t mGray) {
  int64_t r = Red(color), g = Green(color), b = Blue(color);
  int64_t threshold = 3 * static_cast<int64_t>(mGray) * mGray;
  return r * r + g * g + b * b <= threshold ? 1u : 0u;
}

PaletteMatcher::PaletteMatcher(const DataSet& set, int32_t candidates)
    : cacheColor_(size_t(1) << kCacheBits, 0xFFFFFFFFu), cacheIndex_(size_t(1) << kCacheBits, 0) {
  if (candidates > kMaxPaletteEntries) candidates = kMaxPaletteEntries;
  if (!set.palette || candidates < 0) candidates = 0;
  byRed_.reserve(candidates);
  for (int32_t i = 0; i < candidates; ++i) {
    uint32_t p = set.palette[i];
    byRed_.push_back(Entry{Red(p), Green(p), Blue(p), i});
  }
  std::sort(byRed_.begin(), byRed_.end(), [](const Entry& a, const Entry& b) {
    return a.red != b.red ? a.red < b.red : a.index < b.index;
  });
}

// Walks outward from the colour's red in the sorted candidates; a side stops
// once its red distance alone exceeds the best, since nothing beyond can win.
int32_t PaletteMatcher::Search(uint32_t color) const {
  int32_t r = Red(color), g = Green(color), b = Blue(color);
  int64_t bestDist = INT64_MAX;
  int32_t best = 0;
  auto consider = [&](const Entry& e) {
    int64_t dr = r - e.red, dg = g - e.green, db = b - e.blue;
    int64_t d = dr * dr + dg * dg + db * db;
    if (d < bestDist || (d == bestDist && e.index < best)) {
      bestDist = d;
      best = e.index;
    }
  };
  auto split = std::lower_bound(byRed_.begin(), byRed_.end(), r,
                                [](const Entry& e, int32_t red) { return e.red < red; });
  std::ptrdiff_t up = split - byRed_.begin(), down = up - 1;
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(byRed_.size());
  while (up < n || down >= 0) {
    if (up < n) {
      int64_t dr = byRed_[up].red - r;
      if (dr * dr > bestDist) {
        up = n;
      } else {
        consider(byRed_[up++]);
      }
    }
    if (down >= 0) {
      int64_t dr = r - byRed_[down].red;
      if (dr * dr > bestDist) {
        down = -1;
      } else {
        consider(byRed_[down--]);
      }
    }
  }
  return best;
}

int32_t PaletteMatcher::Nearest(uint32_t color) {
  color &= 0xFFFFFF;
  uint32_t slot = (color * 2654435761u) >> (32 - kCacheBits);
  if (cacheColor_[slot] != color) {
    cacheColor_[slot] = color;
    cacheIndex_[slot] = Search(color);
  }
  return cacheIndex_[slot];
}

ColorMatcher::ColorMatcher(const DataSet& set, int32_t mGray, int32_t paletteCandidates)
    : blackWhite_(set.colorMode != kColourMode),
      palette_(set.colorKind == kPaletteKind),
      mGray_(mGray),
      matcher_(set, blackWhite_ || !palette_ ? 0 : paletteCandidates) {}

uint32_t ColorMatcher::Cell(uint32_t color) {
  if (blackWhite_) return BlackWhiteCell(color, mGray_);
  uint32_t shifted = ShiftBrightness(color, mGray_);
  if (palette_) return static_cast<uint32_t>(matcher_.Nearest(shifted));
  return QuantizeColor(shifted);
}

}  // namespace dw
