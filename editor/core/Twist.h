// Twist and turn: the live distortion of the whole picture behind the
// TWISTANDTURNDOTMAP dialog. The mapping from a destination cell to its
// source cell is pure; the model holds the dialog's values and answers; a
// session is one run of the dialog over the current set (snapshot and
// backup at opening, recomputation from the backup, OK or Cancel).
#ifndef DOTWERK_CORE_TWIST_H
#define DOTWERK_CORE_TWIST_H

#include <cstdint>
#include <string>

#include "core/CellExtent.h"
#include "core/Undo.h"

namespace dw {

constexpr int kTwistModes = 8;
constexpr int kTwistFirstChoice = 1810;  // command of mode 0; mode m is 1810 + m
constexpr int kTwistLevelMax = 255;      // scroll value s runs 0..255
constexpr int kTwistLevelStart = 128;
constexpr int kTwistAmountTextMax = 125;  // characters of the amount field parsed

// Source cell of destination (x, y) of a width x height picture, twisted in
// mode 0..7 by amount v (tilts and squeezes in percent, turns in degrees).
// False when the cell has no source inside the picture; it then takes the
// background. Any doubles are safe: a divisor of 0 or below, or a value
// that is not finite, gives no source.
bool TwistSource(int mode, double amount, int32_t x, int32_t y, int32_t width, int32_t height, int32_t* sx,
                 int32_t* sy);

// The scroll bar's requests (the platform's SB_ codes in their order).
enum TwistScroll {
  TWIST_LINE_UP = 0,
  TWIST_LINE_DOWN = 1,
  TWIST_PAGE_UP = 2,
  TWIST_PAGE_DOWN = 3,
  TWIST_THUMB_POSITION = 4,
  TWIST_THUMB_TRACK = 5,
  TWIST_TOP = 6,
  TWIST_BOTTOM = 7,
};

// The dialog's values: per mode the scroll value s and the amount v, both
// reset at every opening.
class TwistModel {
 public:
  explicit TwistModel(int mode);
  int Mode() const { return mode_; }
  int Choice() const { return kTwistFirstChoice + mode_; }
  int Level() const { return level_[mode_]; }
  // The bar's top means a large s.
  int ScrollPosition() const { return kTwistLevelMax - level_[mode_]; }
  double Amount() const { return amount_[mode_]; }
  // The amount as the field shows it ("%5.2lf").
  std::string AmountText() const;

  // Each returns true when the picture must be recomputed.
  bool SelectMode(int mode);
  bool Scroll(int code, int position);
  // The typed amount; text that does not parse or is not finite is ignored.
  bool Apply(const char* text);

 private:
  void SetLevel(int level);
  int mode_ = 0;
  int level_[kTwistModes];
  double amount_[kTwistModes];
};

// One run of the dialog over the current set. Opening takes one snapshot
// and copies the picture to the backup; OK keeps the result as one edit,
// Cancel puts the backup back and gives the snapshot back, so the ring and
// the modified flag are as before.
class TwistSession {
 public:
  explicit TwistSession(int mode);
  TwistModel& Model() { return model_; }

  // Dialog actions: change the model and recompute when it asks.
  void SelectMode(int mode);
  void Scroll(int code, int position);
  void Apply(const char* text);
  // Writes the picture from the backup by the model's mode and amount.
  void Recompute();
  // 1 OK, 0 Cancel; only the first call counts.
  void Finish(int result);
  bool Finished() const { return finished_; }

 private:
  TwistModel model_;
  int set_ = 0;  // the data set the dialog opened on
  UndoMark mark_;
  StoreExtent backupKept_;  // how much of EditorState::backupCells holds the picture
  bool finished_ = false;
};

// A dialog run: 1 OK, 0 Cancel (anything else counts as Cancel).
typedef int (*TwistDialogHook)(TwistSession& session);
// Tests script the dialog through the hook; null gives the real dialog back.
void SetTwistDialogHook(TwistDialogHook hook);
bool TwistDialogRunning();

// One run for g_twistTool (clamped to 0..7): the hook when one is set, else
// platformDialog (null: Cancel). A second run while one is open beeps.
// RunTwistAndTurn (core/Transform.h) passes the real dialog in the Windows
// build (core/Twist_win.cpp) and nothing on the host.
void RunTwistAndTurnWith(TwistDialogHook platformDialog);

}  // namespace dw

#endif
