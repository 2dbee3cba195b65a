// The colour and code-page routines of the dispatcher: colour on and off,
// the colour kind, palette sizes and their tidying, the LCD and tool
// colours, and the code page's switch, check and range editor.
#include <vector>

#include "core/DispatchRoutines.h"
#include "core/EditorState.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "files/OpenFile.h"
#include "views/CodePageCheck.h"
#include "views/ColorDialogs.h"
#include "views/ColorModel.h"
#include "views/EditCodePage.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

constexpr int32_t kBlackAndWhite = 10665, kColour = 10666;
constexpr int32_t kKindRgb = 10667, kKindPalette = 10668;
constexpr int kDrawWithColor = 10240, kUsePaletteColors = 10242;
constexpr int32_t kLastColourPaletteSize = 10255;

void Check(int id, bool on) { Svc().menu->Check(id, on); }
void Beep() { Svc().prompter->Beep(MBX_OK); }

// The menus and windows that follow colour mode: the check of 10240, the
// imports and exports of black and white, the Palette and (RGB) Rainbow.
void ShowColourMode(const DataSet& s, bool colour) {
  IWindowOps& w = *Svc().windows;
  Check(kDrawWithColor, colour);
  for (int id : {10221, 10101, 10104, 10147}) Svc().menu->Enable(id, !colour);
  if (colour) {
    ShowBySavedState(WIN_PALETTE);
    if (s.colorKind == kKindRgb) ShowBySavedState(WIN_RAINBOW);
  } else {
    w.Show(WIN_PALETTE, SHOW_HIDE);
    w.Show(WIN_RAINBOW, SHOW_HIDE);
  }
}

void RefreshColourViews(bool rainbow) {
  IWindowOps& w = *Svc().windows;
  w.Invalidate(WIN_MAIN, true);
  w.Invalidate(WIN_PIXELVIEW, true);
  w.Invalidate(WIN_PALETTE, true);
  if (rainbow) w.Invalidate(WIN_RAINBOW, true);
  ShowStatus(1);
}

bool AskEnableCodePage() {
  return Svc().prompter->Ask("Code Page is disabled, Enable now ?", kProgramTitle, MBX_YESNO | MBX_ICONQUESTION) ==
         ANS_YES;
}

void EnableCodePage(DataSet& s) {
  s.useCodePage = 1;
  DisableDataSetMenus(g_ed->currentDataSet);
  EnableDataSetMenus(g_ed->currentDataSet);
}

void RefreshCodePageView() {
  UpdateCodePageViewScrollBars();
  Svc().windows->Invalidate(WIN_CODEPAGE, true);
}

}  // namespace

void CommandDrawWithColor(int) {
  DataSet& s = g_ed->Cur();
  IWindowOps& w = *Svc().windows;
  w.WaitCursor(true);
  if (s.colorMode != kColour) {
    PushUndo();
    ShowColourMode(s, true);
    s.colorMode = kColour;
    if (s.colorKind == kKindPalette) ConvertBwToPalette();
    else ConvertBwToRgb();
  } else {
    // The threshold dialog may be cancelled: the snapshot is taken first and
    // given back with everything else when it is.
    UndoMark mark = MarkUndo();
    PushUndo();
    ShowColourMode(s, false);
    s.colorMode = kBlackAndWhite;
    int converted = s.colorKind == kKindPalette ? ConvertPaletteToBwAsk() : ConvertRgbToBwAsk();
    if (!converted) {
      s.colorMode = kColour;
      ShowColourMode(s, true);
      DropUndoSince(mark);
    }
  }
  RefreshColourViews(true);
  w.WaitCursor(false);
}

void CommandColorKind(int id) {
  DataSet& s = g_ed->Cur();
  IWindowOps& w = *Svc().windows;
  bool colour = s.colorMode == kColour;
  w.WaitCursor(true);
  if (s.colorKind != id) {
    bool rgb = id == kKindRgb;
    Check(kUsePaletteColors, !rgb);
    if (colour) {
      if (rgb) ShowBySavedState(WIN_RAINBOW);
      else w.Show(WIN_RAINBOW, SHOW_HIDE);
    }
    s.rainbowShown = rgb ? 1 : 0;
    s.rgbKindActive = rgb ? 1 : 0;
    // Black and white has no colours to convert; the kind waits for colour.
    if (!colour) s.colorKind = id;
    else if (rgb) ConvertPaletteToRgb();
    else ConvertRgbToPalette();
  }
  if (colour) RefreshColourViews(false);
  w.WaitCursor(false);
}

void CommandSwapColorKind(int) {
  DataSet& s = g_ed->Cur();
  PushUndo();
  if (s.colorKind == kKindPalette) {
    Svc().windows->SendCommand(kKindRgb);
  } else {
    Svc().prompter->Ask("Converting RGB Colors to the nearest Palette Colors", kProgramTitle,
                        MBX_OK | MBX_ICONINFORMATION);
    Svc().windows->SendCommand(kKindPalette);
  }
}

void CommandPaletteSize(int id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  Check(s.paletteSizeCommand, false);
  s.paletteSizeCommand = id;
  Check(id, true);
  if (id <= kLastColourPaletteSize) {
    int32_t& scheme = s.alternatePaletteColors[id - 10244];
    if (scheme >= AlternateSchemeCount(id)) scheme = 0;
  }
  ApplyPaletteSize();
  if (!st.startingUp) Svc().windows->Resize(WIN_PALETTE, st.paletteOuterWidth, st.paletteOuterHeight);
  Svc().windows->Invalidate(WIN_PALETTE, true);
  Svc().windows->Invalidate(WIN_RAINBOW, true);
  ShowStatus(1);
}

void CommandMinimizePalette(int) {
  DataSet& s = g_ed->Cur();
  if (s.colorMode != kColour || s.colorKind != kKindPalette) {
    Beep();
    return;
  }
  // Work lists first, so nothing can fail once the snapshot is taken.
  std::vector<int32_t> newIndex(kMaxPaletteEntries, -1);
  std::vector<uint32_t> packed(kMaxPaletteEntries, 0);
  std::vector<bool> used(kMaxPaletteEntries, false);
  int32_t w = s.pictureWidth < kMaxPictureWidth ? s.pictureWidth : kMaxPictureWidth;
  int32_t h = s.pictureHeight < kMaxPictureHeight ? s.pictureHeight : kMaxPictureHeight;
  auto inPalette = [](int64_t v) { return v >= 0 && v < kMaxPaletteEntries; };
  for (int32_t x = 0; x < w; ++x) {
    const uint32_t* column = CellPtr(*g_ed, g_ed->currentDataSet, x, 0);
    for (int32_t y = 0; y < h; ++y) {
      if (inPalette(column[y])) used[column[y]] = true;
    }
  }
  // The tool and background colours keep their entries too.
  if (inPalette(s.toolColorIndex)) used[s.toolColorIndex] = true;
  if (inPalette(s.backgroundColorIndex)) used[s.backgroundColorIndex] = true;
  int32_t n = 0;
  for (int32_t i = 0; i < kMaxPaletteEntries; ++i) {
    if (!used[i]) continue;
    newIndex[i] = n;
    packed[n++] = s.palette[i];
  }
  PushUndo();
  for (int32_t x = 0; x < w; ++x) {
    uint32_t* column = CellPtr(*g_ed, g_ed->currentDataSet, x, 0);
    for (int32_t y = 0; y < h; ++y) {
      if (inPalette(column[y])) column[y] = static_cast<uint32_t>(newIndex[column[y]]);
    }
  }
  if (inPalette(s.toolColorIndex)) s.toolColorIndex = newIndex[s.toolColorIndex];
  if (inPalette(s.backgroundColorIndex)) s.backgroundColorIndex = newIndex[s.backgroundColorIndex];
  for (int32_t i = 0; i < kMaxPaletteEntries; ++i) s.palette[i] = packed[i];
  IWindowOps& win = *Svc().windows;
  win.Invalidate(WIN_MAIN, true);
  win.Invalidate(WIN_PIXELVIEW, true);
  win.Invalidate(WIN_PALETTE, true);
}

void CommandAlternatePalette(int) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t size = s.paletteSizeCommand;
  if (s.colorMode != kColour || size < 10244 || size > kLastColourPaletteSize) return;
  int32_t& scheme = s.alternatePaletteColors[size - 10244];
  if (++scheme >= AlternateSchemeCount(size)) scheme = 0;
  // The Palette window makes the scheme's colours when it next paints.
  if (!st.startingUp) s.paletteLoaded = false;
  Svc().windows->Invalidate(WIN_PALETTE, true);
}

void CommandToolColor(int) {
  if (!RunToolColorDialog(g_ed->Cur().grayFlag)) return;
  IWindowOps& w = *Svc().windows;
  w.Invalidate(WIN_PALETTE, true);
  w.Invalidate(WIN_RAINBOW, true);
  w.Invalidate(WIN_MAIN, true);
}

void ApplyMonochromeColors() {
  EditorState& st = *g_ed;
  bool lcd = st.cfg.monoShow != 0;
  st.pixelViewWhite = lcd ? st.lcdWhite : 0xFFFFFFu;
  st.pixelViewBlack = lcd ? st.lcdBlack : 0x000000u;
  Svc().windows->Invalidate(WIN_PIXELVIEW, true);
}

void CommandLcdColors(int) {
  if (!RunLcdColorRgbDialog()) return;
  PushUndo();
  ApplyMonochromeColors();
}

void CommandUseCodePage(int) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int state = 0;
  if (!s.useCodePage) {
    if (s.viewMode == 10099) {
      s.useCodePage = 1;
      Check(10502, true);
      state = -3;
    }
  } else {
    s.useCodePage = 0;
    Check(10502, false);
    state = -2;
  }
  if (state) {
    for (int b = 49; b <= 51; ++b) Svc().toolbox->Button(b, state, false);
  }
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  Svc().windows->Invalidate(WIN_TOOLBOX, true);
  RefreshCodePageView();
}

void CommandCheckCodePage(int id) {
  DataSet& s = g_ed->Cur();
  if (s.useCodePage) {
    CheckCodePage(s.useHexInCodePage, 0, s.codePageDefaultChar, s.codePageRangeCount, s.codePageBase,
                  s.codePageStart, s.codePageEnd);
  } else if (AskEnableCodePage()) {
    EnableCodePage(s);
    Svc().windows->PostCommand(id);
  }
  RefreshCodePageView();
}

void CommandEditCodePage(int id) {
  DataSet& s = g_ed->Cur();
  if (s.useCodePage) {
    // The editor may be cancelled: then it leaves no snapshot.
    UndoMark mark = MarkUndo();
    PushUndo();
    if (!RunEditCodePageDialog()) DropUndoSince(mark);
  } else if (AskEnableCodePage()) {
    EnableCodePage(s);
    Svc().windows->PostCommand(id);
  }
  RefreshCodePageView();
}

}  // namespace dw
