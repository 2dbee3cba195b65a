#include "core/Dispatch.h"

#include <cstdio>

#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MainInit.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "core/Settings.h"
#include "files/FontHeader.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/StatusLine.h"

namespace dw {

std::vector<int>& IgnoredCommands() {
  static std::vector<int> ids;
  return ids;
}

void SwitchDataSet(int newSet) {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  IMenu& m = *Svc().menu;
  int old = st.currentDataSet;
  DeactivateDataSet(old);
  if (st.set[old].mouseMode == 104) {
    w.HideCaret();
    w.DestroyCaret();
  }
  m.Check(10153 + old, false);
  st.currentDataSet = newSet & 1;
  st.swapDataSet = 1 - st.currentDataSet;
  m.Check(10153 + st.currentDataSet, true);
  ActivateDataSet(st.currentDataSet);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
  UpdateSwapViewScrollBars();
  UpdateCodePageViewScrollBars();
  for (WindowId id : {WIN_MAIN, WIN_PIXELVIEW, WIN_SWAPVIEW, WIN_TOOLBOX, WIN_RAINBOW}) w.Invalidate(id, true);
  DataSet& s = st.Cur();
  if (s.mouseMode == 104) {
    int32_t cw = s.viewMode == 10096 ? s.elementCellWidth : s.mainCellWidth;
    int32_t ch = s.viewMode == 10096 ? s.elementCellHeight : s.mainCellHeight;
    w.CreateCaret(st.cfg.fontSizeX * cw, st.cfg.fontSizeY * ch);
    PlaceCaret();
    w.ShowCaret();
  }
  char title[kPathSlot + 20];
  std::snprintf(title, sizeof title, "Swap View  - %s", st.set[st.swapDataSet].symbolTitle);
  w.SetTitle(WIN_SWAPVIEW, title);
}

// Reduced view-mode routine until the full one arrives with the tools.
static void SetViewMode(int id) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  Svc().menu->Check(s.viewMode, false);
  s.viewMode = id;
  Svc().menu->Check(id, true);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  Svc().windows->Invalidate(WIN_MAIN, true);
}

static void ResetToDefaults() {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  // An empty source: every row takes its table default, no file is read.
  ReadWindowSettings(*EmptyProfile());
  InitMainWindow(*EmptyProfile());
  static const WindowId kOrder[] = {WIN_CODEPAGE, WIN_TOOLBOX, WIN_PIXELVIEW, WIN_SWAPVIEW,
                                    WIN_FONTVIEW, WIN_PALETTE, WIN_RAINBOW,  WIN_MAIN};
  for (WindowId id : kOrder) {
    const WindowPlacement& d = st.defaults[id];
    w.Move(id, d.x, d.y, d.width, d.height, false);
  }
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
  UpdateSwapViewScrollBars();
  UpdateCodePageViewScrollBars();
  for (int id = 0; id < WIN_COUNT; ++id) w.Invalidate(static_cast<WindowId>(id), true);
}

void DispatchCommand(void*, int id) {
  EditorState& st = *g_ed;
  IMenu& m = *Svc().menu;
  switch (id) {
    case 10153:
    case 10154: SwitchDataSet(id - 10153); return;
    case 10156: ResetToDefaults(); return;
    case 10068:
      st.cfg.saveSettings = !st.cfg.saveSettings;
      m.Check(10068, st.cfg.saveSettings != 0);
      return;
    case 10220:
      st.cfg.askForSaveChanges = !st.cfg.askForSaveChanges;
      m.Check(10220, st.cfg.askForSaveChanges != 0);
      return;
    case 10005: Svc().windows->CloseWindow(WIN_MAIN); return;
    case 10096:
    case 10097:
    case 10098:
    case 10099: SetViewMode(id); return;
    // Code-page file, font header and the text import.
    case 10360: CommandSaveCodePageFileAs(); return;
    case 10659: CommandSaveFontHeaderAs(); return;
    case 10651:
    case 10652: CommandImportTextAsCodePage(id); return;
    // Save All: the symbol file first, then the code-page file and the font
    // header of a `Font Ver.2` group.
    case 10661:
      // A symbol file that could not be written leaves its companions alone,
      // so the three files never disagree.
      if (SaveSymbolFile()) SaveAllCodePageAndFontHeader();
      return;
    // Symbol files: open, save, save as.
    case 57601: OpenFileDialog(); return;
    case 57603: SaveSymbolFile(); return;
    case 57604: SaveSymbolFileAs(); return;
    default: IgnoredCommands().push_back(id); return;
  }
}

}  // namespace dw
