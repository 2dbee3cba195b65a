// The paste size dialog CLIPSIZE ("Paste Clipboard to Icon Size"): a model
// that holds the values, texts and corrections and pastes live into the
// picture, so the work sheet shows each choice; OK keeps the paste, Cancel
// gives back everything as the dialog found it. The window procedure
// (ClipSize_win.cpp) only copies between the model and the controls.
#ifndef DOTWERK_CORE_CLIPSIZE_H
#define DOTWERK_CORE_CLIPSIZE_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "core/Paste.h"
#include "core/Services.h"

namespace dw {

// Control ids of the template.
enum : int {
  IDC_CLIP_WIDTH = 1000,
  IDC_CLIP_HEIGHT = 1001,
  IDC_CLIP_COPY_PIXEL = 1016,
  IDC_CLIP_FIT_CLIPBOARD = 1017,
  IDC_CLIP_FIT_PICTURE = 1018,
  IDC_CLIP_BRIGHTNESS_BAR = 1046,
  IDC_CLIP_PREVIEW = 1057,
  IDC_CLIP_SIZE_TEXT = 1060,
  IDC_CLIP_SIZE_GROUP = 1061,
  IDC_CLIP_INTERPOLATE_NO = 1083,
  IDC_CLIP_DONT_SHOW = 1221,
  IDC_CLIP_WIDTH_PLUS = 1944,
  IDC_CLIP_WIDTH_MINUS = 1945,
  IDC_CLIP_HEIGHT_PLUS = 1946,
  IDC_CLIP_HEIGHT_MINUS = 1947,
  IDC_CLIP_ZERO = 1960,
  IDC_CLIP_APPLY = 1961,
  IDC_CLIP_BRIGHTNESS = 1962,
  IDC_CLIP_INTERPOLATE_2 = 1990,
  IDC_CLIP_INTERPOLATE_3 = 1991,
  IDC_CLIP_VERTICAL = 1995,
  IDC_CLIP_HORIZONTAL = 1996,
  IDC_CLIP_BOTH = 1997,
};

// Scroll codes of the brightness bar, with the platform's values.
enum : int {
  CLIP_SB_LINEUP = 0,
  CLIP_SB_LINEDOWN = 1,
  CLIP_SB_PAGEUP = 2,
  CLIP_SB_PAGEDOWN = 3,
  CLIP_SB_THUMBPOSITION = 4,
  CLIP_SB_THUMBTRACK = 5,
  CLIP_SB_TOP = 6,
  CLIP_SB_BOTTOM = 7,
};

class ClipSizeDialog {
 public:
  // The bitmap the paste command read; null lets the dialog read the
  // clipboard itself, once.
  explicit ClipSizeDialog(const ClipBitmap* bitmap);

  // WM_INITDIALOG. False when there is no bitmap: the user has been told
  // once and the dialog ends as Cancel, having changed nothing.
  bool Open();

  // A button or radio: true when the values changed and a repaste is due.
  bool Command(int id);
  // A size field's text as the user left it; returns the value in force and
  // sets *rewrite when the text must be replaced by it.
  int32_t FieldChanged(int id, const char* text, bool* rewrite);
  // The brightness bar; true when the value changed.
  bool Scroll(int code, int32_t position);

  // WM_USER: paste again with the present values (only when something
  // changed since the last paste). True when the paste size was corrected
  // and the fields must show it.
  bool Repaste();
  // True when a change should paste at once; for large pictures the
  // brightness bar waits for "Apply".
  bool PastesAtOnce() const { return !large_; }

  // OK (returns 1) and Cancel (returns 0).
  int Ok(bool dontShowAgain);
  int Cancel();

  // Values and texts the controls show.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Action() const { return action_; }
  bool InterpolationOn() const { return interpolation_.on; }
  int32_t InterpolationPixels() const { return interpolation_.pixels; }
  int32_t Direction() const { return interpolation_.direction; }
  int32_t Brightness() const { return brightness_[0]; }
  int32_t BarPosition() const { return kBrightnessMax - brightness_[0]; }
  bool ApplyEnabled() const { return large_; }
  bool Dirty() const { return dirty_; }
  std::string ClipText() const;        // "Clip %d x %d"
  std::string BrightnessText() const;  // the offset from neutral, "%d"
  std::string ActionText(int id) const;
  std::string SizeGroupText() const;
  const ClipBitmap& Bitmap() const { return bitmap_ ? *bitmap_ : own_; }
  // The most a size field takes, so the paste stays inside the store.
  int32_t Limit(int id) const;

  static constexpr int32_t kBrightnessMax = 255;

 private:
  void SetSize(int32_t width, int32_t height);
  void RestoreSavedPicture();

  const ClipBitmap* bitmap_;
  ClipBitmap own_;
  int32_t width_ = 0, height_ = 0;
  int32_t initialWidth_ = 0, initialHeight_ = 0;
  int32_t action_ = kPasteFitClipboard;
  Interpolation interpolation_;
  int32_t brightness_[4] = {127, 128, 128, 128};
  bool large_ = false, dirty_ = false;
  bool elementView_ = false, frameMode_ = false;
  int32_t originX_ = 0, originY_ = 0;

  // What Cancel gives back (the cells themselves go to EditorState::backupCells).
  DataSet savedSet_;
  std::vector<int32_t> savedWidths_, savedHeights_;
  StoreExtent savedCellsKept_, savedWidthsKept_, savedHeightsKept_;  // core/CellExtent.h
  int32_t savedClipAction_ = 0, savedMGray_ = 0;
  int32_t savedInterpolatePaste_ = 0, savedInterpolatePixels_ = 0, savedDirection_ = 0;
  PasteState savedPaste_;
};

// Runs CLIPSIZE over the main window: 1 when the paste was kept, 0 after
// Cancel (everything as before) or when there was no bitmap.
int RunClipSizeDialog(const ClipBitmap* bitmap);

// A script of the dialog for tests: gets the opened dialog (its first paste
// done), may change it as a user would (each change followed by Repaste, as
// the dialog does) and answers 1 for OK or 0 for Cancel; *dontShowAgain is
// the "Don't Show This Dialogbox Until Asked" box.
typedef int (*ClipSizeHook)(ClipSizeDialog& dialog, bool* dontShowAgain);
void SetClipSizeHook(ClipSizeHook hook);

#ifdef _WIN32
// The real dialog on its template (ClipSize_win.cpp); the dialog must be open.
int RunClipSizeDialogWindow(ClipSizeDialog& dialog);
#endif

}  // namespace dw

#endif
