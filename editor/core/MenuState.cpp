#include "core/MenuState.h"

#include "core/EditorState.h"
#include "core/Services.h"
#include "core/ViewModes.h"
#include "views/ColorModel.h"

namespace dw {

static void Grey(int id) { Svc().menu->Enable(id, false); }
static void Enable(int id) { Svc().menu->Enable(id, true); }
static void Check(int id, bool on) { Svc().menu->Check(id, on); }
static void Button(int b, int state) { Svc().toolbox->Button(b, state, false); }

void ShowBySavedState(int window) {
  WindowId w = static_cast<WindowId>(window);
  int show = g_ed->windows[w].show;
  Svc().windows->Show(w, show == 0 ? SHOW_HIDE : show);
}

void DisableDataSetMenus(int set) {
  const DataSet& s = g_ed->set[set & 1];
  for (int id : {57604, 10360, 10659, 10502, 10356, 10361, 10355}) Grey(id);
  Check(10502, false);
  for (int b = 48; b <= 51; ++b) Button(b, -2);
  for (int b = 40; b <= 43; ++b) Button(b, -2);
  bool turnable = s.viewMode == 10097 || s.viewMode == 10098;
  for (int b = 44; b <= 47; ++b) Button(b, turnable ? -3 : -2);
  for (int b = 52; b <= 55; ++b) Button(b, turnable ? -3 : -2);
  Svc().windows->Show(WIN_CODEPAGE, SHOW_HIDE);
  Grey(10673);
}

void EnableDataSetMenus(int set) {
  const DataSet& s = g_ed->set[set & 1];
  Enable(57604);
  if (s.viewMode != 10097) Enable(10659);
  if (s.useCodePage) Enable(10360);
  if (s.viewMode == 10099) {
    Enable(10502);
    for (int b = 40; b <= 43; ++b) Button(b, -3);
  }
  if (s.useCodePage && s.viewMode == 10099) {
    for (int id : {10356, 10361, 10355}) Enable(id);
    for (int b = 48; b <= 51; ++b) Button(b, -3);
    ShowBySavedState(WIN_CODEPAGE);
    Enable(10673);
  }
  if (s.useCodePage) Check(10502, true);
}

static bool IsPixelSizeCommand(int id) { return id >= 10200 && id <= 10207; }
static bool IsViewPixCommand(int id) { return id >= 10087 && id <= 10089; }

void ActivateDataSet(int set) {
  EditorState& st = *g_ed;
  DataSet& s = st.set[set & 1];
  IWindowOps& w = *Svc().windows;
  int pixelSize = s.viewMode == 10096 ? s.mainElementPixSize : s.mainGroupPixSize;
  {
    // The set's own commands bring back their checks, buttons and cursor;
    // as re-sends they change nothing else.
    ResendScope resend;
    w.SendCommand(s.formatCommand);
    w.SendCommand(s.viewMode);
    if (IsPixelSizeCommand(pixelSize)) w.SendCommand(pixelSize);
    w.SendCommand(s.currentTool);
    w.SendCommand(s.penColor);
  }

  Check(10153, set == 0);
  Check(10154, set == 1);
  int viewPix = PixelViewCommand(set);
  if (IsViewPixCommand(viewPix)) Check(viewPix, true);
  ApplyPixelViewCells();

  bool colour = s.colorMode == 10666;
  bool rgb = s.colorKind == 10667;
  if (!colour) {
    Check(10240, false);
    for (int id : {10221, 10101, 10104, 10147}) Enable(id);
    for (int id : {10656, 10901, 10677, 10678}) Grey(id);
  } else {
    Check(10240, true);
    for (int id : {10221, 10101, 10104, 10147}) Grey(id);
    for (int id : {10656, 10901, 10677}) Enable(id);
    if (rgb) Enable(10678);
  }
  if (s.colorKind == 10668) Check(10242, true);

  if (colour) {
    ShowBySavedState(WIN_PALETTE);
    if (rgb) ShowBySavedState(WIN_RAINBOW);
    else w.Show(WIN_RAINBOW, SHOW_HIDE);
  } else {
    w.Show(WIN_PALETTE, SHOW_HIDE);
    w.Show(WIN_RAINBOW, SHOW_HIDE);
  }
  Check(s.paletteSizeCommand, true);
  Check(s.rainbowHorzScrollVariable, true);

  EnableDataSetMenus(set);

  if (s.colorFileFormat != 1112) {
    for (int id = 10244; id <= 10255; ++id) Enable(id);
    for (int id = 10262; id <= 10273; ++id) Enable(id);
  } else {
    // C source for the library: only the sizes up to its bits per pixel.
    for (int k = 0; k < 12; ++k) {
      Enable(10244 + k);
      if (1400 + k == s.kelvorBitPerPixel) break;
    }
    for (int k = 0; k < 12; ++k) {
      Enable(10262 + k);
      if (1400 + k == s.kelvorBitPerPixel) break;
    }
  }

  if (colour) ShowBySavedState(WIN_PALETTE);
  int saved = st.currentDataSet;
  st.currentDataSet = set & 1;
  ApplyPaletteSize();
  st.currentDataSet = saved;
  w.Resize(WIN_PALETTE, st.paletteOuterWidth, st.paletteOuterHeight);
  if (colour) {
    if (rgb) {
      ShowBySavedState(WIN_RAINBOW);
      s.rainbowShown = 1;
      s.rgbKindActive = 1;
    } else {
      s.rainbowShown = 0;
      s.rgbKindActive = 0;
    }
  }

  st.cfg.showGrid = s.viewMode == 10096 ? st.cfg.showElementGrid : st.cfg.showIconGrid;
  Check(10118, st.cfg.showGrid == 8);
  st.pixelGridGap = st.cfg.showGrid == 8 ? 1 : 0;
  st.minimumCellSize = st.pixelGridGap ? 2 : 1;
}

void DeactivateDataSet(int set) {
  const DataSet& s = g_ed->set[set & 1];
  Check(s.viewMode, false);
  int pixelSize = s.viewMode == 10096 ? s.mainElementPixSize : s.mainGroupPixSize;
  if (IsPixelSizeCommand(pixelSize)) Check(pixelSize, false);
  int viewPix = PixelViewCommand(set);
  if (IsViewPixCommand(viewPix)) Check(viewPix, false);
  Check(s.currentTool, false);
  Check(s.penColor, false);
  Check(s.formatCommand, false);
  Check(10242, false);
  Check(s.paletteSizeCommand, false);
  Check(s.rainbowHorzScrollVariable, false);
  DisableDataSetMenus(set);
  for (int id = 10244; id <= 10255; ++id) Grey(id);
  for (int id = 10262; id <= 10273; ++id) Grey(id);
  Svc().windows->Show(WIN_PALETTE, SHOW_HIDE);
  Svc().windows->Show(WIN_RAINBOW, SHOW_HIDE);
}

}  // namespace dw
