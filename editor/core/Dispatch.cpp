#include "core/Dispatch.h"

#include <cstdio>

#include "core/CountDialogs.h"
#include "core/DispatchRoutines.h"
#include "core/EditorState.h"
#include "core/FontCommands.h"
#include "core/Geometry.h"
#include "core/Help.h"
#include "core/MainInit.h"
#include "core/MenuState.h"
#include "core/MouseTools.h"
#include "core/Paste.h"
#include "core/Services.h"
#include "core/Settings.h"
#include "core/Transform.h"
#include "core/Undo.h"
#include "core/ViewModes.h"
#include "files/FontHeader.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/ColorDialogs.h"
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

namespace {

// The show state a tool window gets back when its item is checked.
constexpr int kShownWithoutActivation = 4;

void ResetToDefaults(int) {
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

// ---- Switches: a setting toggled, its check mark following -----------------

struct Switch {
  int id;
  int32_t GlobalSettings::*setting;
  void (*after)();  // what else follows the switch, or null
};

void AfterEnableSwap() {
  UpdateWorkSheetGeometry();
  Svc().windows->InvalidateWorkSheet(true);
}

void AfterMouseInGroup() { Svc().menu->Check(10126, g_ed->cfg.disableMouseOperationsInGroupMode != 0); }

const Switch kSwitches[] = {
    {10227, &GlobalSettings::reloadFilesAtStartUp, nullptr},
    {10239, &GlobalSettings::disableBitMapReadDlg, nullptr},
    {10220, &GlobalSettings::askForSaveChanges, nullptr},
    {10068, &GlobalSettings::saveSettings, nullptr},
    {10141, &GlobalSettings::disablePasteDlg, nullptr},
    {10128, &GlobalSettings::monoPrint, nullptr},
    {10127, &GlobalSettings::monoShow, ApplyMonochromeColors},
    {10151, &GlobalSettings::enableSwap, AfterEnableSwap},
    {10126, &GlobalSettings::disableMouseOperationsInGroupMode, AfterMouseInGroup},
};

const Switch* FindSwitch(int id) {
  for (const Switch& s : kSwitches) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

void ToggleSwitch(int id) {
  const Switch* sw = FindSwitch(id);
  if (!sw) return;
  int32_t& v = g_ed->cfg.*(sw->setting);
  v = v ? 0 : 1;
  Svc().menu->Check(id, v != 0);
  if (sw->after) sw->after();
}

// ---- Tool windows shown or hidden by their View items ------------------------

struct ShowItem {
  int id;
  WindowId window;
};
const ShowItem kShowItems[] = {
    {10670, WIN_PIXELVIEW}, {10671, WIN_SWAPVIEW}, {10676, WIN_TOOLBOX}, {10675, WIN_FONTVIEW},
    {10678, WIN_RAINBOW},   {10677, WIN_PALETTE},  {10673, WIN_CODEPAGE},
};

void ToggleToolWindow(int id) {
  for (const ShowItem& item : kShowItems) {
    if (item.id != id) continue;
    int32_t& show = g_ed->windows[item.window].show;
    show = show ? 0 : kShownWithoutActivation;
    Svc().menu->Check(id, show != 0);
    Svc().windows->Show(item.window, show ? kShownWithoutActivation : SHOW_HIDE);
    return;
  }
}

// ---- Edit and view -------------------------------------------------------------

void Undo(int) { UndoEdit(); }
void Redo(int) { RedoEdit(); }
void Copy(int) { CommandCopy(); }
void Paste(int) { CommandPaste(); }
void Delete(int) { CommandDelete(); }

// Cut is a copy followed by a delete, each as its own command.
void Cut(int) {
  Svc().windows->PostCommand(57634);
  Svc().windows->PostCommand(10049);
}

void EditInsideFrame(int id) {
  if (EditFrameExists()) DrawEditFrame(1);
  SelectTool(id);
}

void DeleteMethod(int id) {
  GlobalSettings& c = g_ed->cfg;
  Svc().menu->Check(c.elementDeleteMethod, false);
  c.elementDeleteMethod = id;
  Svc().menu->Check(id, true);
  // The delete tool shows its method; other tools keep their cursors.
  if (g_ed->Cur().currentTool == kToolDeleteElement) {
    Svc().windows->SetClassCursor(WIN_MAIN, DeleteMethodCursor(id));
  }
}

void GridColor(int id) {
  RunGridColorRgbDialog();
  Svc().windows->InvalidateWorkSheet(true);
  Svc().menu->Check(id, g_ed->cfg.showGreenGrid != 0);
}

// LCD Size and Shape: the Pixel View's cells follow the new shape.
void LcdSizeAndShape(int) {
  if (!RunPixelSizeDialog()) return;
  ApplyPixelViewCells();
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  UpdatePixelViewScrollBars();
  UpdateSwapViewScrollBars();
  UpdateCodePageViewScrollBars();
  for (WindowId w : {WIN_MAIN, WIN_PIXELVIEW, WIN_SWAPVIEW}) Svc().windows->Invalidate(w, true);
}

void Grid(int) { ToggleGrid(); }
void ViewMode(int id) { SetViewMode(id); }
void WorkSheetSize(int id) { SetWorkSheetPixelSize(id); }
void PixelViewSize(int id) { SetPixelViewSize(id); }
void Tool(int id) { SelectTool(id); }
void Pen(int id) { SelectPen(id); }
void DataSetSwitch(int id) { SwitchDataSet(id - 10153); }

bool IsFontSelection(int id) { return (id >= 10405 && id <= 10413) || id == 10418; }

// A re-sent font command only restores its marks; chosen anew it runs whole.
void Font(int id) {
  if (Resending() && IsFontSelection(id)) RestoreToolMarks();
  else RunFontCommand(id);
}

void Picture(int id) { RunPictureCommand(id); }

// ---- File commands of the landed file formats ---------------------------------

void Open(int) { OpenFileDialog(); }
void Save(int) { SaveSymbolFile(); }
void SaveAs(int) { SaveSymbolFileAs(); }
void SaveCodePageAs(int) { CommandSaveCodePageFileAs(); }
void SaveFontHeaderAs(int) { CommandSaveFontHeaderAs(); }
void ImportTextAsCodePage(int id) { CommandImportTextAsCodePage(id); }

// Save All: the symbol file first, then the code-page file and the font
// header of a `Font Ver.2` group. A symbol file that could not be written
// leaves its companions alone, so the three files never disagree.
void SaveAll(int) {
  if (SaveSymbolFile()) SaveAllCodePageAndFontHeader();
}

void Exit(int) { Svc().windows->CloseWindow(WIN_MAIN); }
void Refuse(int) { Svc().prompter->Beep(MBX_OK); }
void MouseInGroupCheck(int) { AfterMouseInGroup(); }

void About(int) {
  char text[160];
  std::snprintf(text, sizeof text, "\n%s\n\nEditor of pixel icons and fonts for LCDs", kProgramTitle);
  Svc().prompter->Ask(text, kProgramTitle, MBX_OK | MBX_ICONINFORMATION);
}

void Help(int) { ShowHelpContents(); }

// 10144 and 10145 pass on to 10142 and 10143, which have no routine.
void PassOn(int id) { Svc().windows->PostCommand(id - 2); }

// Accepted and done with: no routine, nothing to the default procedure.
void Accept(int) {}

// ---- The table -------------------------------------------------------------------

struct Route {
  int first, last;
  void (*run)(int id);
};

const Route kRoutes[] = {
    // File.
    {10660, 10660, CommandNewSetup},
    {57601, 57601, Open},
    {57602, 57602, Refuse},
    {57603, 57603, Save},
    {10661, 10661, SaveAll},
    {57604, 57604, SaveAs},
    {10360, 10360, SaveCodePageAs},
    {10659, 10659, SaveFontHeaderAs},
    {10656, 10656, CommandSavePaletteAs},
    {10901, 10901, CommandSaveSystemPaletteAs},
    {10221, 10221, CommandImportC},
    {10101, 10101, CommandImportBinary},
    {10104, 10104, CommandExportBinary},
    {10147, 10147, CommandExportAssembler},
    {10651, 10652, ImportTextAsCodePage},
    {10653, 10653, CommandExportCodePageText},
    {10124, 10124, CommandGroupToElements},
    {10125, 10125, CommandElementsToGroup},
    {57607, 57607, CommandPrint},
    {10070, 10070, CommandPrintPreview},
    {10069, 10069, CommandPrinterSetup},
    {10799, 10842, CommandChangePrinter},
    {10159, 10159, CommandResetAndExit},
    {10005, 10005, Exit},
    // Edit.
    {57643, 57643, Undo},
    {57644, 57644, Redo},
    {57635, 57635, Cut},
    {57634, 57634, Copy},
    {57637, 57637, Paste},
    {10049, 10049, Delete},
    {10120, 10120, EditInsideFrame},
    {10503, 10505, DeleteMethod},
    // Show and view.
    {10096, 10099, ViewMode},
    {10118, 10118, Grid},
    {10153, 10154, DataSetSwitch},
    {10148, 10148, LcdSizeAndShape},
    {10200, 10207, WorkSheetSize},
    {10235, 10236, WorkSheetSize},
    {10680, 10681, WorkSheetSize},
    {10087, 10089, PixelViewSize},
    {10233, 10234, PixelViewSize},
    {10682, 10683, PixelViewSize},
    {10700, 10700, GridColor},
    {1043, 1043, MouseInGroupCheck},
    // Tools and pens.
    {10014, 10018, Tool},
    {10034, 10035, Tool},
    {10037, 10038, Tool},
    {10079, 10079, Tool},
    {10282, 10282, Tool},
    {10350, 10353, Tool},
    {10356, 10356, Tool},
    {10501, 10501, Tool},
    {10910, 10910, Tool},
    {10019, 10020, Pen},
    {10078, 10078, Pen},
    // Colour.
    {10240, 10240, CommandDrawWithColor},
    {10667, 10668, CommandColorKind},
    {10242, 10242, CommandSwapColorKind},
    {10244, 10255, CommandPaletteSize},
    {10262, 10273, CommandPaletteSize},
    {10286, 10287, CommandMinimizePalette},
    {10674, 10674, CommandAlternatePalette},
    {10241, 10241, CommandToolColor},
    {10129, 10129, CommandLcdColors},
    // Picture tools.
    {10025, 10028, Picture},
    {10039, 10039, Picture},
    {10042, 10045, Picture},
    {10048, 10048, Picture},
    {10283, 10283, Picture},
    {10071, 10076, Picture},
    {10214, 10219, Picture},
    // Fonts.
    {10405, 10413, Font},
    {10418, 10418, Font},
    {10092, 10092, Font},
    {10655, 10655, Font},
    {10368, 10368, Font},
    {10600, 10616, Font},
    {10103, 10103, Font},
    {10650, 10650, Font},
    {10912, 10912, Font},
    {10284, 10285, Font},
    {10123, 10123, Font},
    {10914, 10914, Font},
    {10121, 10121, Font},
    {10210, 10210, Font},
    {10223, 10226, Font},
    {10690, 10693, Font},
    {10082, 10085, Font},
    {10237, 10238, Font},
    {10080, 10080, Font},
    // Code page.
    {10502, 10502, CommandUseCodePage},
    {10361, 10361, CommandCheckCodePage},
    {10355, 10355, CommandEditCodePage},
    // Settings and help.
    {10156, 10156, ResetToDefaults},
    {10040, 10040, About},
    {10041, 10041, Help},
    {10144, 10145, PassOn},
    {10100, 10100, Accept},
    {10211, 10211, Accept},
    {10369, 10370, Accept},
};

}  // namespace

void DispatchCommand(void*, int id) {
  if (FindSwitch(id)) {
    ToggleSwitch(id);
    return;
  }
  for (const ShowItem& item : kShowItems) {
    if (item.id == id) {
      ToggleToolWindow(id);
      return;
    }
  }
  for (const Route& r : kRoutes) {
    if (id >= r.first && id <= r.last) {
      r.run(id);
      return;
    }
  }
  IgnoredCommands().push_back(id);
}

}  // namespace dw
