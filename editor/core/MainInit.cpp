#include "core/MainInit.h"

#include <cstdio>
#include <cstring>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Settings.h"
#include "core/WindowLayout.h"
#include "files/FileServices.h"

namespace dw {

static std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

void SplitPrinterValue(const std::string& value, std::string* first, std::string* rest) {
  size_t comma = value.find(',');
  if (comma == std::string::npos) {
    *first = TrimBlanks(value);
    rest->clear();
    return;
  }
  *first = TrimBlanks(value.substr(0, comma));
  *rest = value.substr(comma + 1);
}

// The platform reads these values into 80-byte buffers.
static std::string Cut(const std::string& s, size_t slot) { return s.size() < slot ? s : s.substr(0, slot - 1); }

void BuildPrinterList() {
  EditorState& st = *g_ed;
  IProfile& win = *Svc().windowsProfile;
  IMenu& menu = *Svc().menu;
  std::string device;
  if (!win.Get("windows", "device", &device)) device = ",,,";
  device = Cut(device, 80);
  std::string rest;
  SplitPrinterValue(device, &st.printerNames[0], &rest);
  SplitPrinterValue(rest, &st.printerDrivers[0], &st.printerPorts[0]);
  st.printerCount = 1;

  // All key names come in one 3520-byte buffer (names, each with its
  // terminator, and a final terminator); names that do not fit are lost.
  size_t used = 1;
  for (const std::string& name : win.Keys("devices")) {
    used += name.size() + 1;
    if (used > 3520) break;
    st.printerNames[st.printerCount++] = name;
    if (st.printerCount == 44) {
      if (st.cfg.showMoreThanMaxPrinters) {
        int a = Svc().prompter->Ask(
            "For practical reasons the number of\nPrinters is limited to 42\n\nShow this Warning again ?",
            "Warning", MBX_YESNO | MBX_ICONEXCLAMATION);
        if (a == ANS_NO) st.cfg.showMoreThanMaxPrinters = 0;
      }
      break;
    }
  }
  for (int i = 1; i < st.printerCount; ++i) {
    std::string value;
    win.Get("devices", st.printerNames[i].c_str(), &value);
    SplitPrinterValue(Cut(value, 80), &st.printerDrivers[i], &st.printerPorts[i]);
  }
  char text[128];
  std::snprintf(text, sizeof text, "&Default: %s", st.printerNames[0].c_str());
  menu.SetText(10799, text);
  for (int i = 1; i < st.printerCount; ++i) {
    std::snprintf(text, sizeof text, "&%d: %s", i - 1, st.printerNames[i].c_str());
    menu.SetText(10799 + i, text);
  }
  for (int id = 10799 + st.printerCount; id <= 10842; ++id) menu.Remove(id);
  if (st.cfg.printerNumber >= st.printerCount) st.cfg.printerNumber = st.printerCount - 1;
  if (st.cfg.printerNumber < 0) st.cfg.printerNumber = 0;
  menu.Check(10799 + st.cfg.printerNumber, true);
}

void InitMainWindow(IProfile& p) {
  EditorState& st = *g_ed;
  IMenu& m = *Svc().menu;
  IWindowOps& w = *Svc().windows;
  GlobalSettings& c = st.cfg;

  // 1. Settings again ("Version" is handled only once per run).
  ReadSettings(p);
  // 2. One minimum cell size rule everywhere: 2 with the pixel grid, 1 without.
  st.pixelGridGap = c.showGrid == 8 ? 1 : 0;
  st.minimumCellSize = st.pixelGridGap ? 2 : 1;
  // 3. Font commands.
  w.SendCommand(c.fontType);
  w.SendCommand(c.fontViewSize);
  if (c.pixelViewPixSize >= 10087 && c.pixelViewPixSize <= 10089) w.PostCommand(c.pixelViewPixSize);
  // 4. Menu checks from the settings.
  m.Check(10068, c.saveSettings != 0);
  m.Check(10220, c.askForSaveChanges != 0);
  m.Check(10118, c.showGrid == 8);
  m.Check(10151, c.enableSwap != 0);
  m.Check(10670, st.windows[WIN_PIXELVIEW].show != 0);
  m.Check(10671, st.windows[WIN_SWAPVIEW].show != 0);
  m.Check(10673, st.windows[WIN_CODEPAGE].show != 0);
  m.Check(10675, st.windows[WIN_FONTVIEW].show != 0);
  m.Check(10676, st.windows[WIN_TOOLBOX].show != 0);
  m.Check(10677, st.windows[WIN_PALETTE].show != 0);
  m.Check(10678, st.windows[WIN_RAINBOW].show != 0);
  m.Check(10700, c.showGreenGrid != 0);
  m.Check(10127, c.monoShow != 0);
  m.Check(10128, c.monoPrint != 0);
  m.Check(10141, c.disablePasteDlg != 0);
  m.Check(10239, c.disableBitMapReadDlg != 0);
  m.Remove(10239);
  m.Check(c.elementDeleteMethod, true);
  m.Check(10210, c.reloadFont != 0);
  m.Check(c.doubleType, true);
  m.Check(c.halfType, true);
  m.Check(10227, c.reloadFilesAtStartUp != 0);
  ShowBySavedState(WIN_PIXELVIEW);
  ShowBySavedState(WIN_SWAPVIEW);
  // 5. Colour menus of the current set.
  DataSet& cur = st.Cur();
  if (cur.colorMode == 10666) {
    m.Check(10240, true);
    for (int id : {10221, 10101, 10104, 10147}) m.Enable(id, false);
  } else {
    m.Check(10240, false);
    for (int id : {10221, 10101, 10104, 10147}) m.Enable(id, true);
    m.Enable(10677, false);
  }
  if (cur.colorKind == 10668) m.Check(10242, true);
  w.SendCommand(cur.paletteSizeCommand);
  for (int id : {57604, 10360, 10659, 10104, 10124, 10656, 10901}) m.Enable(id, false);
  // 6. LCD size in millimetres.
  st.lcdWidthMm = (c.pixelSizeXmm + c.spacingXmm) * kMaxPictureWidth - c.spacingXmm;
  st.lcdHeightMm = (c.pixelSizeYmm + c.spacingYmm) * kMaxPictureHeight - c.spacingYmm;
  // 7. LCD colours.
  st.lcdWhite = static_cast<uint32_t>(c.rWhite + c.gWhite * 256 + c.bWhite * 65536);
  st.lcdBlack = static_cast<uint32_t>(c.rBlack + c.gBlack * 256 + c.bBlack * 65536);
  st.pixelViewWhite = c.monoShow ? st.lcdWhite : 0xFFFFFF;
  st.pixelViewBlack = c.monoShow ? st.lcdBlack : 0;
  // 8. Status line below the work sheet (the text height comes from the platform).
  st.statusLineHeight = st.textHeight + 16;
  // 9. Toolbar.
  ComputeToolbarRects(st.metrics.iconWidth, st.metrics.iconHeight, st.toolbarRects);
  // 10. The current set's menus and windows.
  ActivateDataSet(st.currentDataSet);
  // 11. Both sets start empty.
  int32_t saved = st.currentDataSet;
  for (int s = 0; s < 2; ++s) {
    st.currentDataSet = s;
    DataSet& d = st.set[s];
    BuildFileDescriptor();
    d.mainScrollPosX = d.mainScrollPosY = 0;
    d.scrollOffsetX = d.scrollOffsetY = 0;
    d.activeLeft = 0;
    d.activeTop = 0;
    d.activeRight = d.pictureWidth;
    d.activeBottom = d.pictureHeight;
    FillAllCells(d, InitialCellValue(d));
  }
  st.currentDataSet = saved;
  // 12. The set's tool.
  w.SendCommand(st.Cur().currentTool);
  // 13. Printers.
  BuildPrinterList();
  m.Enable(10368, true);
  // 14. Geometry; typing starts only when chosen. The font commands above left
  // the set typing, and the window's activation and focus come before the
  // posted tool: typing, they would show a caret while the window is first
  // painted, and its inversion stays on the grid lines. So the set stops typing
  // here, in the Put Pixel mode the posted tool gives it, and its caret goes.
  if (st.Cur().mouseMode == 104) st.Cur().mouseMode = 100;
  UpdateWorkSheetGeometry();
  w.HideCaret();
  w.DestroyCaret();
  w.PostCommand(10079);
  st.mainInitialised = true;
}

void InitMainWindow(const char* fileName) { InitMainWindow(ProfileFor(fileName)); }

}  // namespace dw
