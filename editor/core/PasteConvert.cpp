#include "core/PasteConvert.h"

#include <algorithm>


namespace dw {

namespace {

constexpr int32_t kChannelMax = 255;
constexpr int32_t kNeutralGray = 128;
constexpr int32_t kColourMode = 10666;
constexpr int32_t kPaletteKind = 10668;

int32_t Red(uint32_t c) { return static_cast<int32_t>(c & 0xFF); }
int32_t Green(uint32_t c) { return static_cast<int32_t>((c >> 8) & 0xFF); }
int32_t Blue(uint32_t c) { return static_cast<int32_t>((c >> 16) & 0xFF); }
uint32_t Gray(int32_t v) { return static_cast<uint32_t>(v) * 0x010101u; }
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
  // A colour that comes again can never win over its first index.
  std::vector<std::pair<uint32_t, int32_t>> colours;
  colours.reserve(candidates);
  for (int32_t i = 0; i < candidates; ++i) colours.emplace_back(set.palette[i] & 0xFFFFFF, i);
  std::sort(colours.begin(), colours.end());
  for (size_t k = 0; k < colours.size(); ++k) {
    if (k > 0 && colours[k].first == colours[k - 1].first) continue;
    uint32_t p = colours[k].first;
    entries_.push_back(Entry{Red(p), Green(p), Blue(p), colours[k].second});
  }
  size_t boxes = size_t(1) << (3 * (8 - kBoxBits));
  boxFirst_.assign(boxes, -1);
  boxCount_.assign(boxes, 0);
}

// An entry can be nearest to some colour of the box only when its least
// distance to the box is within the smallest greatest distance of any entry;
// equal distances stay in, so the first best still wins.
void PaletteMatcher::FillBox(uint32_t box) {
  constexpr int32_t kSide = 1 << kBoxBits;
  constexpr uint32_t kMask = (1u << (8 - kBoxBits)) - 1;
  int32_t lo[3] = {static_cast<int32_t>(box & kMask) * kSide,
                   static_cast<int32_t>(box >> (8 - kBoxBits) & kMask) * kSide,
                   static_cast<int32_t>(box >> (2 * (8 - kBoxBits)) & kMask) * kSide};
  auto axis = [&](int32_t v, int k, int64_t* least, int64_t* most) {
    int32_t a = lo[k], b = lo[k] + kSide - 1;
    int64_t d = v < a ? a - v : v > b ? v - b : 0;
    int64_t f = std::max(v - a, b - v);
    *least += d * d;
    *most += f * f;
  };
  std::vector<int64_t> least(entries_.size());
  int64_t bound = INT64_MAX;
  for (size_t i = 0; i < entries_.size(); ++i) {
    int64_t l = 0, m = 0;
    axis(entries_[i].red, 0, &l, &m);
    axis(entries_[i].green, 1, &l, &m);
    axis(entries_[i].blue, 2, &l, &m);
    least[i] = l;
    bound = std::min(bound, m);
  }
  size_t first = boxEntries_.size();
  for (size_t i = 0; i < entries_.size(); ++i)
    if (least[i] <= bound) boxEntries_.push_back(Candidate{least[i], static_cast<int32_t>(i)});
  // Nearest to the box first, so a search stops early.
  std::sort(boxEntries_.begin() + first, boxEntries_.end(), [](const Candidate& a, const Candidate& b) {
    return a.least != b.least ? a.least < b.least : a.entry < b.entry;
  });
  boxFirst_[box] = static_cast<int32_t>(first);
  boxCount_[box] = static_cast<int32_t>(boxEntries_.size() - first);
}

int32_t PaletteMatcher::Search(uint32_t color) {
  int32_t r = Red(color), g = Green(color), b = Blue(color);
  uint32_t box = static_cast<uint32_t>(r >> kBoxBits) | static_cast<uint32_t>(g >> kBoxBits) << (8 - kBoxBits) |
                 static_cast<uint32_t>(b >> kBoxBits) << (2 * (8 - kBoxBits));
  if (boxFirst_[box] < 0) FillBox(box);
  int64_t bestDist = INT64_MAX;
  int32_t best = 0;
  const Candidate* c = boxEntries_.data() + boxFirst_[box];
  for (int32_t k = 0; k < boxCount_[box]; ++k) {
    // No later candidate is nearer than its distance to the box.
    if (c[k].least > bestDist) break;
    const Entry& e = entries_[c[k].entry];
    int64_t dr = r - e.red, dg = g - e.green, db = b - e.blue;
    int64_t d = dr * dr + dg * dg + db * db;
    if (d < bestDist || (d == bestDist && e.index < best)) {
      bestDist = d;
      best = e.index;
    }
  }
  return best;
}

ColorMatcher::ColorMatcher(const DataSet& set, int32_t mGray, int32_t paletteCandidates)
    : blackWhite_(set.colorMode != kColourMode),
      palette_(set.colorKind == kPaletteKind),
      threshold_(3 * static_cast<int64_t>(mGray) * mGray),
      matcher_(set, blackWhite_ || !palette_ ? 0 : paletteCandidates) {
  for (int32_t v = 0; v < 256; ++v) shift_[v] = static_cast<uint8_t>(Red(ShiftBrightness(Gray(v), mGray)));
}

}  // namespace dw
