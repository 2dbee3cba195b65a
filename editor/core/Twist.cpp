#include "core/Twist.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/EditorState.h"
#include "core/Services.h"
#include "core/Transform.h"
#include "core/TransformCells.h"

namespace dw {
namespace {

constexpr int kTurnModeFirst = 6;   // modes 6 and 7 turn about the centre
constexpr double kTurnPi = 3.1415;  // the program's own constant for degrees
constexpr double kDegreesHalfTurn = 180.0;
constexpr double kPercent = 100.0;
constexpr double kLevelCentre = 127.0;  // v = (s - 127) / 2
constexpr int kLineStep = 1;
constexpr int kPageStep = 16;
constexpr int32_t kTile = 64;  // cells a side of one recompute tile

// Tilts and squeezes move one coordinate u (of extent U) by a factor t. The
// tilts weigh t by the other coordinate's place; the squeezes use p itself.
struct TiltRule {
  bool rows;          // u is the row (y); else the column (x)
  bool byPlace;       // t follows the other coordinate's place
  bool offsetAtOrBelowZero;  // p <= 0: (U t + u) / (1 + t), else u / (1 + t)
  bool offsetAboveZero;      // p > 0: (u - t U) / (1 - t), else u / (1 - t)
};
constexpr TiltRule kTiltRules[kTurnModeFirst] = {
    {true, true, true, true},     // 0 tilt the top side
    {true, true, false, false},   // 1 tilt the bottom side
    {false, true, true, true},    // 2 tilt the left side
    {false, true, false, false},  // 3 tilt the right side
    {true, false, true, false},   // 4 squeeze or stretch vertically
    {false, false, true, false},  // 5 squeeze or stretch horizontally
};

// trunc toward zero of q, when that lands in 0..extent-1.
bool TruncInside(double q, int32_t extent, int32_t* out) {
  if (!(q > -1.0 && q < static_cast<double>(extent))) return false;  // also NaN
  *out = static_cast<int32_t>(q);
  return true;
}

// round(q) + offset (half away from zero), when that lands in
// 0..extent-1. Rounded by hand: the library call dominates a whole-picture
// turn otherwise.
inline bool RoundInside(double q, int32_t offset, int32_t extent, int32_t* out) {
  if (!(q > -1.0 - offset && q < static_cast<double>(extent - offset) + 1.0)) return false;  // also NaN
  int32_t r = static_cast<int32_t>(q);
  double rest = q - r;  // exact: q and r are close
  if (rest >= 0.5) ++r;
  else if (rest <= -0.5) --r;
  r += offset;
  if (r < 0 || r >= extent) return false;
  *out = r;
  return true;
}

bool TiltSource(const TiltRule& rule, double p, int32_t x, int32_t y, int32_t w, int32_t h, int32_t* sx,
                int32_t* sy) {
  double u = rule.rows ? y : x, extentU = rule.rows ? h : w;
  double other = rule.rows ? x : y, extentOther = rule.rows ? w : h;
  double t = p;
  if (rule.byPlace) t = (p <= 0 ? other / extentOther : (extentOther - other) / extentOther) * p;
  double numerator, divisor;
  if (p <= 0) {
    numerator = rule.offsetAtOrBelowZero ? extentU * t + u : u;
    divisor = 1 + t;
  } else {
    numerator = rule.offsetAboveZero ? u - t * extentU : u;
    divisor = 1 - t;
  }
  if (!(divisor > 0) || !std::isfinite(divisor)) return false;
  if (rule.rows) {
    *sx = x;
    return TruncInside(numerator / divisor, h, sy);
  }
  *sy = y;
  return TruncInside(numerator / divisor, w, sx);
}

// r cos(a + t) and r sin(a + t) of the offset (dx, dy) = r (cos a, sin a),
// expanded so the angle sums need no atan2 per cell.
inline bool TurnSource(double cosT, double sinT, int32_t x, int32_t y, int32_t w, int32_t h, int32_t* sx,
                int32_t* sy) {
  int32_t cx = w / 2, cy = h / 2;
  double dx = x - cx, dy = y - cy;
  double rx = dx * cosT - dy * sinT, ry = dy * cosT + dx * sinT;
  int32_t ox = 0, oy = 0;
  if (!RoundInside(rx, cx, w, &ox) || !RoundInside(ry, cy, h, &oy)) return false;
  *sx = ox;
  *sy = oy;
  return true;
}

bool TurnMode(int mode) { return mode >= kTurnModeFirst; }

double TurnAngle(double amount) { return amount * kTurnPi / kDegreesHalfTurn; }

TwistDialogHook g_hook = nullptr;
bool g_running = false;

}  // namespace

bool TwistSource(int mode, double amount, int32_t x, int32_t y, int32_t width, int32_t height, int32_t* sx,
                 int32_t* sy) {
  if (width <= 0 || height <= 0 || mode < 0 || mode >= kTwistModes || !std::isfinite(amount)) return false;
  if (TurnMode(mode)) {
    double t = TurnAngle(amount);
    return TurnSource(std::cos(t), std::sin(t), x, y, width, height, sx, sy);
  }
  return TiltSource(kTiltRules[mode], amount / kPercent, x, y, width, height, sx, sy);
}

TwistModel::TwistModel(int mode) {
  mode_ = std::clamp(mode, 0, kTwistModes - 1);
  std::fill(level_, level_ + kTwistModes, kTwistLevelStart);
  std::fill(amount_, amount_ + kTwistModes, 0.0);
}

std::string TwistModel::AmountText() const {
  char text[64];
  std::snprintf(text, sizeof text, "%5.2lf", amount_[mode_]);
  return text;
}

void TwistModel::SetLevel(int level) {
  level_[mode_] = std::clamp(level, 0, kTwistLevelMax);
  amount_[mode_] = (level_[mode_] - kLevelCentre) / 2;
}

bool TwistModel::SelectMode(int mode) {
  if (mode < 0 || mode >= kTwistModes) return false;
  mode_ = mode;
  return true;
}

bool TwistModel::Scroll(int code, int position) {
  int s = level_[mode_];
  switch (code) {
    case TWIST_LINE_UP: s += kLineStep; break;
    case TWIST_LINE_DOWN: s -= kLineStep; break;
    case TWIST_PAGE_UP: s += kPageStep; break;
    case TWIST_PAGE_DOWN: s -= kPageStep; break;
    case TWIST_THUMB_POSITION:
    case TWIST_THUMB_TRACK: s = kTwistLevelMax - position; break;
    case TWIST_TOP: s = kTwistLevelMax; break;
    case TWIST_BOTTOM: s = 0; break;
    default: return false;
  }
  SetLevel(s);
  return true;
}

bool TwistModel::Apply(const char* text) {
  if (!text) return false;
  char field[kTwistAmountTextMax + 1];
  std::strncpy(field, text, kTwistAmountTextMax);
  field[kTwistAmountTextMax] = '\0';
  double v = 0;
  if (std::sscanf(field, "%lf", &v) != 1 || !std::isfinite(v)) return false;
  amount_[mode_] = v;
  // The bar shows the nearest level it has; the amount stays as typed.
  double level = 2 * v + kLevelCentre;
  level_[mode_] = level >= kTwistLevelMax ? kTwistLevelMax : level <= 0 ? 0 : static_cast<int>(level);
  return true;
}

TwistSession::TwistSession(int mode) : model_(mode) {
  EditorState& st = *g_ed;
  set_ = st.currentDataSet & 1;
  mark_ = MarkUndo();
  PushUndo();
  backupKept_ = SaveAllCells(st.Cur(), st.backupCells);
  st.twistTool = model_.Mode();
  st.twistDialogChoice = model_.Choice();
}

void TwistSession::SelectMode(int mode) {
  if (!model_.SelectMode(mode)) return;
  g_ed->twistTool = model_.Mode();
  g_ed->twistDialogChoice = model_.Choice();
  Recompute();
}

void TwistSession::Scroll(int code, int position) {
  if (model_.Scroll(code, position)) Recompute();
}

void TwistSession::Apply(const char* text) {
  if (model_.Apply(text)) Recompute();
}

void TwistSession::Recompute() {
  if (finished_) return;
  EditorState& st = *g_ed;
  DataSet& s = st.set[set_];
  CellArea picture = PictureArea(s);
  int32_t w = picture.Width(), h = picture.Height();
  int mode = model_.Mode();
  double amount = model_.Amount();
  uint32_t background = BackgroundValue(s);
  const uint32_t* backup = st.backupCells;
  Svc().windows->WaitCursor(true);
  double t = TurnAngle(amount);
  double cosT = std::cos(t), sinT = std::sin(t);
  auto source = [&](int32_t x, int32_t y) {
    int32_t sx = 0, sy = 0;
    bool inside = TurnMode(mode) ? TurnSource(cosT, sinT, x, y, w, h, &sx, &sy)
                                 : TwistSource(mode, amount, x, y, w, h, &sx, &sy);
    return inside ? backup[static_cast<size_t>(sx) * kColumnStride + static_cast<size_t>(sy)] : background;
  };
  // In tiles, so the sources of neighbouring cells stay in the cache when
  // the picture turns.
  for (int32_t tx = 0; tx < w; tx += kTile) {
    for (int32_t ty = 0; ty < h; ty += kTile) {
      int32_t xEnd = std::min(w, tx + kTile), yEnd = std::min(h, ty + kTile);
      for (int32_t x = tx; x < xEnd; ++x) {
        uint32_t* col = CellPtr(st, set_, x, 0);
        if (!col) break;
        for (int32_t y = ty; y < yEnd; ++y) col[y] = source(x, y);
      }
    }
  }
  Svc().windows->Invalidate(WIN_PIXELVIEW, false);
  Svc().windows->InvalidateWorkSheet(false);
  Svc().windows->WaitCursor(false);
}

void TwistSession::Finish(int result) {
  if (finished_) return;
  finished_ = true;
  if (result == 1) return;
  EditorState& st = *g_ed;
  RestoreAllCells(st.set[set_], st.backupCells, backupKept_);
  // The snapshot belongs to the set the dialog opened on.
  int32_t current = st.currentDataSet;
  st.currentDataSet = set_;
  DropUndoSince(mark_);
  st.currentDataSet = current;
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
  Svc().windows->InvalidateWorkSheet(true);
}

void SetTwistDialogHook(TwistDialogHook hook) { g_hook = hook; }
bool TwistDialogRunning() { return g_running; }

void RunTwistAndTurnWith(TwistDialogHook platformDialog) {
  if (!g_ed) return;
  if (g_running) {
    Svc().prompter->Beep(MBX_OK);
    return;
  }
  g_running = true;
  TwistSession session(g_ed->twistTool);
  TwistDialogHook dialog = g_hook ? g_hook : platformDialog;
  int result = dialog ? dialog(session) : 0;
  session.Finish(result == 1 ? 1 : 0);
  g_running = false;
}

#ifndef _WIN32
// Without windows only a hook can answer; no answer is Cancel.
void RunTwistAndTurn() { RunTwistAndTurnWith(nullptr); }
#endif

}  // namespace dw
