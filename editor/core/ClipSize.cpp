#include "core/ClipSize.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Elements.h"
#include "core/Geometry.h"

namespace dw {

namespace {

constexpr int32_t kNeutralBrightness = 128;
constexpr int32_t kBrightnessPage = 16;
// Above this many cells a repaste is slow enough that the brightness bar
// waits for "Apply".
constexpr int64_t kLargePictureCells = 65000;
constexpr int kPasteToolbarButton = 6;

ClipSizeHook g_hook = nullptr;

bool IsLarge(int64_t w, int64_t h) { return w * h > kLargePictureCells; }

}  // namespace

void SetClipSizeHook(ClipSizeHook hook) { g_hook = hook; }

ClipSizeDialog::ClipSizeDialog(const ClipBitmap* bitmap) : bitmap_(bitmap) {}

bool ClipSizeDialog::Open() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  // The bitmap is read once; without one the user hears why, once.
  if (!bitmap_) {
    Svc().clipboard->ReadBitmap(&own_);
  }
  if (!IsUsableClipBitmap(Bitmap())) {
    const char* text = Svc().clipboard->HasText() ? kClipboardHoldsText : kClipboardUnsupported;
    Svc().prompter->Ask(text, kProgramTitle, MBX_OK | MBX_ICONHAND);
    return false;
  }
  PasteState& paste = CurrentPaste();
  paste.clipWidth = Bitmap().width;
  paste.clipHeight = Bitmap().height;
  elementView_ = IsElementView(s);
  frameMode_ = InEditFrameMode(s);

  // 1. Size and action; what Cancel gives back.
  NarrowToEditFrame(true);
  int32_t areaWidth = s.activeRight - s.activeLeft, areaHeight = s.activeBottom - s.activeTop;
  PasteOrigin(&originX_, &originY_);
  NarrowToEditFrame(false);
  width_ = paste.width < 2 ? areaWidth : paste.width;
  height_ = paste.height < 2 ? areaHeight : paste.height;
  action_ = st.cfg.clipAction;
  if (action_ != kPasteCopyPixel && action_ != kPasteFitPicture) action_ = kPasteFitClipboard;
  interpolation_ = PasteInterpolation();
  savedCellsKept_ = SaveAllCells(s, st.backupCells);
  savedSet_ = s;
  savedWidthsKept_ = KeepArray(s.elementWidths, kMaxElements, &savedWidths_);
  savedHeightsKept_ = KeepArray(s.elementHeights, kMaxElements, &savedHeights_);
  savedClipAction_ = st.cfg.clipAction;
  savedMGray_ = st.cfg.mGray;
  savedInterpolatePaste_ = st.cfg.interpolatePaste;
  savedInterpolatePixels_ = st.cfg.interpolateNumberOfPixels;
  savedDirection_ = paste.direction;
  savedPaste_ = paste;
  brightness_[0] = st.cfg.mGray;
  for (int i = 1; i < 4; ++i) brightness_[i] = kNeutralBrightness;

  // 2. In the element views the paste fills the active element.
  if (elementView_ && !frameMode_) {
    int32_t x0, y0, x1, y1;
    ElementRect(s, s.currentElement, &x0, &y0, &x1, &y1);
    if (s.variableElementSizes) ClearElement(s.currentElement, s.elementCountX, false);
    width_ = x1 - x0;
    height_ = y1 - y0;
  }
  initialWidth_ = width_;
  initialHeight_ = height_;
  // 3. A frame that takes the bitmap whole opens at the bitmap's size.
  if (frameMode_ && action_ == kPasteFitPicture) Command(IDC_CLIP_FIT_PICTURE);

  // 4. Large pictures paste on "Apply" only; the first paste is due.
  large_ = IsLarge(paste.width, paste.height) || IsLarge(areaWidth, areaHeight);
  dirty_ = true;
  return true;
}

int32_t ClipSizeDialog::Limit(int id) const {
  if (id == IDC_CLIP_HEIGHT) return std::max(kMaxPictureHeight - originY_, 1);
  return std::max(kMaxPictureWidth - originX_, 1);
}

void ClipSizeDialog::SetSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
}

bool ClipSizeDialog::Command(int id) {
  // A step below 0 comes back to 1, so "-" on 1 gives 0 and then 1 again.
  auto down = [](int32_t v) { return v - 1 < 0 ? 1 : v - 1; };
  switch (id) {
    case IDC_CLIP_WIDTH_PLUS: width_ = std::min(width_ + 1, Limit(IDC_CLIP_WIDTH)); break;
    case IDC_CLIP_WIDTH_MINUS: width_ = down(width_); break;
    case IDC_CLIP_HEIGHT_PLUS: height_ = std::min(height_ + 1, Limit(IDC_CLIP_HEIGHT)); break;
    case IDC_CLIP_HEIGHT_MINUS: height_ = down(height_); break;
    case IDC_CLIP_COPY_PIXEL:
    case IDC_CLIP_FIT_CLIPBOARD:
      action_ = id;
      SetSize(initialWidth_, initialHeight_);
      break;
    case IDC_CLIP_FIT_PICTURE:
      action_ = id;
      SetSize(Bitmap().width, Bitmap().height);
      break;
    case IDC_CLIP_INTERPOLATE_NO:
      interpolation_.on = false;
      interpolation_.pixels = id;
      break;
    case IDC_CLIP_INTERPOLATE_2:
    case IDC_CLIP_INTERPOLATE_3:
      interpolation_.on = true;
      interpolation_.pixels = id;
      break;
    case IDC_CLIP_VERTICAL:
    case IDC_CLIP_HORIZONTAL:
    case IDC_CLIP_BOTH:
      interpolation_.on = true;
      interpolation_.direction = id;
      break;
    case IDC_CLIP_ZERO: brightness_[0] = kNeutralBrightness; break;
    case IDC_CLIP_APPLY:
    case IDC_CLIP_BRIGHTNESS: break;
    default: return false;
  }
  dirty_ = true;
  return true;
}

int32_t ClipSizeDialog::FieldChanged(int id, const char* text, bool* rewrite) {
  *rewrite = false;
  if (id != IDC_CLIP_WIDTH && id != IDC_CLIP_HEIGHT) return 0;
  // A signed number; text that is none reads as 0, as the field's number does.
  errno = 0;
  char* end = nullptr;
  long long v = text ? std::strtoll(text, &end, 10) : 0;
  if (!text || end == text) v = 0;
  int32_t limit = Limit(id);
  int32_t value;
  if (v < 0) {
    value = 1;
    *rewrite = true;
  } else if (v > limit || errno == ERANGE) {
    value = limit;
    *rewrite = true;
  } else {
    value = static_cast<int32_t>(v);
  }
  int32_t& field = id == IDC_CLIP_WIDTH ? width_ : height_;
  if (field != value || *rewrite) dirty_ = true;
  field = value;
  return value;
}

bool ClipSizeDialog::Scroll(int code, int32_t position) {
  int32_t v = brightness_[0];
  switch (code) {
    case CLIP_SB_LINEUP: ++v; break;
    case CLIP_SB_LINEDOWN: --v; break;
    case CLIP_SB_PAGEUP: v += kBrightnessPage; break;
    case CLIP_SB_PAGEDOWN: v -= kBrightnessPage; break;
    case CLIP_SB_THUMBPOSITION:
    case CLIP_SB_THUMBTRACK: v = kBrightnessMax - position; break;
    case CLIP_SB_TOP: v = kBrightnessMax; break;
    case CLIP_SB_BOTTOM: v = 0; break;
    default: return false;
  }
  v = std::min(std::max(v, 0), kBrightnessMax);
  if (v == brightness_[0]) return false;
  brightness_[0] = v;
  dirty_ = true;
  return true;
}

void ClipSizeDialog::RestoreSavedPicture() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  RestoreAllCells(s, st.backupCells, savedCellsKept_);
  RestoreArray(s.elementWidths, savedWidths_.data(), kMaxElements, savedWidthsKept_);
  RestoreArray(s.elementHeights, savedHeights_.data(), kMaxElements, savedHeightsKept_);
}

bool ClipSizeDialog::Repaste() {
  if (!dirty_) return false;
  dirty_ = false;
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  PasteState& paste = CurrentPaste();
  s.pictureWidth = savedSet_.pictureWidth;
  s.pictureHeight = savedSet_.pictureHeight;
  RestoreSavedPicture();
  st.cfg.clipAction = action_;
  st.cfg.interpolatePaste = interpolation_.on ? 1 : 0;
  st.cfg.interpolateNumberOfPixels = interpolation_.pixels;
  paste.direction = interpolation_.direction;
  bool corrected = false;
  if (frameMode_) {
    // The frame takes the size as asked; nothing limits it there.
    paste.width = width_;
    paste.height = height_;
  } else {
    ComputePasteSize(width_, height_);
    UpdateWorkSheetGeometry();
    if (paste.width != width_ || paste.height != height_) {
      SetSize(paste.width, paste.height);
      corrected = true;
    }
  }
  st.cfg.mGray = brightness_[0];
  if (elementView_ && !frameMode_) ClearElement(s.currentElement, s.elementCountX, false);
  PasteClipboardBitmap(Bitmap());
  return corrected;
}

int ClipSizeDialog::Ok(bool dontShowAgain) {
  GlobalSettings& cfg = g_ed->cfg;
  // A change the picture does not show yet is pasted now; what the last
  // paste left is the result, so nothing is pasted after it.
  if (large_) dirty_ = true;
  Repaste();
  cfg.rGray = brightness_[0];
  cfg.gGray = brightness_[1];
  cfg.bGray = brightness_[2];
  cfg.mGray = brightness_[0];
  if (dontShowAgain) cfg.disablePasteDlg = 1;
  return 1;
}

int ClipSizeDialog::Cancel() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  RestoreSavedPicture();
  // The store's bookkeeping is the one the restore left.
  const int32_t columns = s.cellColumnsUsed, rows = s.cellRowsUsed;
  const uint32_t rest = s.cellRest;
  s = savedSet_;
  s.cellColumnsUsed = columns;
  s.cellRowsUsed = rows;
  s.cellRest = rest;
  CurrentPaste() = savedPaste_;
  CurrentPaste().direction = savedDirection_;
  st.cfg.clipAction = savedClipAction_;
  st.cfg.mGray = savedMGray_;
  st.cfg.interpolatePaste = savedInterpolatePaste_;
  st.cfg.interpolateNumberOfPixels = savedInterpolatePixels_;
  UpdateWorkSheetGeometry();
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
  Svc().windows->InvalidateWorkSheet(true);
  if (st.pressedToolbarButton == kPasteToolbarButton) st.pressedToolbarButton = -1;
  return 0;
}

std::string ClipSizeDialog::ClipText() const {
  char text[48];
  std::snprintf(text, sizeof text, "Clip %d x %d", static_cast<int>(Bitmap().width), static_cast<int>(Bitmap().height));
  return text;
}

std::string ClipSizeDialog::BrightnessText() const {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(brightness_[0] - kNeutralBrightness));
  return text;
}

std::string ClipSizeDialog::ActionText(int id) const {
  static const char* const kIcon[] = {"Copy Pixel to Pixel", "Fit Clipboard to Icon", "Fit Icon to Clipboard"};
  static const char* const kElement[] = {"Copy Pixel to Pixel Inside Element", "Fit Clipboard to Element",
                                         "Fit Element to Clipboard if Possible"};
  static const char* const kFrame[] = {"Copy Pixel to Pixel Inside Frame", "Fit Clipboard to Frame",
                                       "Paste Full Size Even Outside Frame"};
  if (id < IDC_CLIP_COPY_PIXEL || id > IDC_CLIP_FIT_PICTURE) return std::string();
  const char* const* texts = frameMode_ ? kFrame : elementView_ ? kElement : kIcon;
  return texts[id - IDC_CLIP_COPY_PIXEL];
}

std::string ClipSizeDialog::SizeGroupText() const {
  if (frameMode_) return "Paste Size in Frame";
  if (!elementView_) return "Paste Size";
  const DataSet& s = g_ed->Cur();
  char text[64];
  if (s.useHexInCodePage) {
    std::snprintf(text, sizeof text, "Paste Size in Element Number 0x%02X", static_cast<unsigned>(s.currentElement));
  } else {
    std::snprintf(text, sizeof text, "Paste Size in Element Number %d", static_cast<int>(s.currentElement));
  }
  return text;
}

int RunClipSizeDialog(const ClipBitmap* bitmap) {
  ClipSizeDialog dialog(bitmap);
  if (!dialog.Open()) return 0;
  if (g_hook) {
    dialog.Repaste();
    bool dontShow = false;
    return g_hook(dialog, &dontShow) ? dialog.Ok(dontShow) : dialog.Cancel();
  }
#ifdef _WIN32
  return RunClipSizeDialogWindow(dialog);
#else
  // Without a user to ask, the paste as the dialog opens it is kept.
  dialog.Repaste();
  return dialog.Ok(false);
#endif
}

}  // namespace dw
