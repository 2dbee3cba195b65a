#include "core/MainWindow.h"

#include <cstdio>
#include <cstring>

#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MainInit.h"
#include "core/MenuState.h"
#include "core/MouseTools.h"
#include "core/Services.h"
#include "core/Settings.h"
#include "core/Undo.h"
#include "files/FileServices.h"
#include "views/FontRender.h"
#include "views/EditCodePage.h"
#include "views/StatusLine.h"

namespace dw {

static int32_t IdentityOem(int32_t c) { return c; }
int32_t (*g_ansiToOem)(int32_t) = IdentityOem;

int32_t ScrollStep(int code, int32_t position, int32_t maximum, int32_t visibleCells, int32_t elementSize,
                   bool groupView, int32_t thumb) {
  int64_t step = 0;
  switch (code) {
    case SCR_LINEUP: step = groupView ? -elementSize : -(visibleCells / 16 + 1); break;
    case SCR_LINEDOWN: step = groupView ? elementSize : visibleCells / 16 + 1; break;
    case SCR_PAGEUP: step = -(static_cast<int64_t>(visibleCells) - elementSize); break;
    case SCR_PAGEDOWN: step = static_cast<int64_t>(visibleCells) - elementSize; break;
    case SCR_THUMBTRACK: step = static_cast<int64_t>(thumb) - position; break;
    case SCR_TOP: step = -static_cast<int64_t>(position); break;
    case SCR_BOTTOM: step = static_cast<int64_t>(maximum) - position; break;
    default: step = 0; break;
  }
  int64_t lo = -static_cast<int64_t>(position), hi = static_cast<int64_t>(maximum) - position;
  if (step < lo) step = lo;
  if (step > hi) step = hi;
  return static_cast<int32_t>(step);
}

bool HandleScroll(bool vertical, int code, int32_t thumb) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int32_t cell = vertical ? s.mainCellHeight : s.mainCellWidth;
  if (cell < 1) cell = 1;
  int32_t visible = (vertical ? st.workSheetHeight : st.clientWidth) / cell;
  int32_t element = vertical ? s.elementHeight : s.elementWidth;
  int32_t& pos = vertical ? s.mainScrollPosY : s.mainScrollPosX;
  int32_t maximum = vertical ? s.mainScrollMaxY : s.mainScrollMaxX;
  int32_t step = ScrollStep(code, pos, maximum, visible, element, s.viewMode == 10099, thumb);
  (vertical ? s.scrollStepY : s.scrollStepX) = step;
  if (step == 0) return false;
  pos += step;
  if (vertical) s.scrollOffsetY = -pos;
  else s.scrollOffsetX = -pos;
  Svc().windows->SetScroll(WIN_MAIN, vertical ? SB_VERT_BAR : SB_HORZ_BAR, maximum, pos);
  Svc().windows->InvalidateWorkSheet(true);
  if (s.mouseMode == 104) {
    Svc().windows->HideCaret();
    PlaceCaret();
    Svc().windows->ShowCaret();
  }
  return true;
}

static bool IsColourSet(const DataSet& s) { return s.colorMode == 10666; }

void HandleSize(int sizeType, int32_t clientWidth, int32_t clientHeight) {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  st.workSheetTop = st.metrics.iconHeight + 12;
  st.clientWidth = clientWidth;
  st.workSheetHeight = clientHeight - st.workSheetTop - st.statusLineHeight;
  if (sizeType == SIZETYPE_MAXIMIZED) {
    ComputeDefaultWindowLayout();
    static const WindowId kOrder[] = {WIN_CODEPAGE, WIN_TOOLBOX, WIN_PIXELVIEW, WIN_SWAPVIEW,
                                      WIN_FONTVIEW, WIN_PALETTE, WIN_RAINBOW};
    for (WindowId id : kOrder) {
      const WindowPlacement& d = st.defaults[id];
      w.Move(id, d.x, d.y, d.width, d.height, id == WIN_FONTVIEW);
    }
    const WindowPlacement& m = st.defaults[WIN_MAIN];
    w.Move(WIN_MAIN, 0, 0, m.width, m.height, false);
  } else if (sizeType == SIZETYPE_RESTORED) {
    const DataSet& s = st.Cur();
    auto restore = [&](WindowId id) {
      int r = st.rememberedShow[id];
      if (r != 0 && r != 6) w.Show(id, SHOW_RESTORE);
    };
    restore(WIN_TOOLBOX);
    restore(WIN_PIXELVIEW);
    restore(WIN_SWAPVIEW);
    restore(WIN_FONTVIEW);
    if (IsColourSet(s)) restore(WIN_PALETTE);
    if (IsColourSet(s) && s.colorKind == 10667) restore(WIN_RAINBOW);
    if (s.useCodePage) restore(WIN_CODEPAGE);
  } else if (sizeType == SIZETYPE_MINIMIZED) {
    for (int id = WIN_TOOLBOX; id < WIN_COUNT; ++id) st.rememberedShow[id] = st.windows[id].show;
    // Only windows on the screen go down with the main window: minimising a
    // hidden one would show it as an icon that nothing restores.
    for (WindowId id : {WIN_TOOLBOX, WIN_PIXELVIEW, WIN_SWAPVIEW, WIN_FONTVIEW, WIN_PALETTE, WIN_RAINBOW, WIN_CODEPAGE}) {
      if (w.Snapshot(id).visible) w.Show(id, SHOW_MINIMIZE);
    }
  }
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
}

bool HandleKeyDown(int key) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  w.SetFocusMain();
  if (s.mouseMode == 104) {
    w.HideCaret();
    switch (key) {
      case KEY_BACK: UndoEdit(); break;
      case KEY_RETURN:
        PushUndo();
        s.textCursorX = 0;
        s.textCursorY += st.cfg.fontSizeY;
        if (s.textCursorY > s.pictureHeight - 2) s.textCursorY = s.pictureHeight - 2;
        break;
      case KEY_LEFT: if (--s.textCursorX < 0) s.textCursorX = 0; break;
      case KEY_UP: if (--s.textCursorY < 0) s.textCursorY = 0; break;
      case KEY_RIGHT: if (++s.textCursorX > s.pictureWidth - 2) s.textCursorX = s.pictureWidth - 2; break;
      case KEY_DOWN: if (++s.textCursorY > s.pictureHeight - 2) s.textCursorY = s.pictureHeight - 2; break;
      default: break;
    }
    if (s.textCursorX < 0) s.textCursorX = 0;
    if (s.textCursorY < 0) s.textCursorY = 0;
    PlaceCaret();
    w.ShowCaret();
  } else {
    switch (key) {
      case KEY_LEFT: w.PostCommand(10025); return true;
      case KEY_RIGHT: w.PostCommand(10026); return true;
      case KEY_UP: w.PostCommand(10027); return true;
      case KEY_DOWN: w.PostCommand(10028); return true;
      default: break;
    }
  }
  switch (key) {
    case KEY_PRIOR: w.PostScroll(true, SCR_PAGEUP); return true;
    case KEY_NEXT: w.PostScroll(true, SCR_PAGEDOWN); return true;
    case KEY_END: w.PostScroll(true, SCR_BOTTOM); return true;
    case KEY_HOME: w.PostScroll(true, SCR_TOP); return true;
    default: return false;
  }
}

bool HandleChar(int32_t ch) {
  EditorState& st = *g_ed;
  if (st.Cur().mouseMode != 104) return false;
  int32_t font = st.cfg.fontType;
  if (font >= 10405 && font <= 10408) {
    RenderFontCharacter(g_ansiToOem(ch & 0xFF) & 0xFF);
  } else if (font == 10413) {
    g_typedCharacter = true;
    RenderFontCharacter(ch & 0xFF);
    g_typedCharacter = false;
  } else if (font == 10418) {
    if ((ch & 0xFF) >= 0x20) RenderFontCharacter(ch & 0xFF);
  } else {
    RenderFontCharacter(ch & 0xFF);
  }
  return true;
}

void HandleActivate(bool active) {
  EditorState& st = *g_ed;
  const DataSet& s = st.Cur();
  if (s.mouseMode != 104) return;
  IWindowOps& w = *Svc().windows;
  if (!active) {
    w.HideCaret();
    w.DestroyCaret();
    return;
  }
  int32_t cw = s.viewMode == 10096 ? s.elementCellWidth : s.mainCellWidth;
  int32_t ch = s.viewMode == 10096 ? s.elementCellHeight : s.mainCellHeight;
  w.CreateCaret(st.cfg.fontSizeX * cw, st.cfg.fontSizeY * ch);
  PlaceCaret();
  w.ShowCaret();
}

void HandleTimerTick(int (*open)(const char* path)) {
  EditorState& st = *g_ed;
  IWindowOps& w = *Svc().windows;
  for (WindowId id : {WIN_TOOLBOX, WIN_PIXELVIEW, WIN_FONTVIEW, WIN_SWAPVIEW, WIN_PALETTE}) {
    if (w.Exists(id)) w.SendTimerTick(id);
  }
  if (st.statusHold > 0) --st.statusHold;
  if (st.repeatHeld) {
    ++st.repeatCount;
    if (st.repeatCount > 1) w.PostCommand(st.repeatCommand);
  }
  if (st.timerTicks < 2) ++st.timerTicks;
  else return;
  if (st.timerTicks != 2) return;
  // Second tick: reopen the files of the last run, set 1 first.
  if (st.cfg.reloadFilesAtStartUp) {
    for (int s = 1; s >= 0; --s) {
      st.currentDataSet = s;
      DataSet& d = st.set[s];
      d.undoDepth = 0;
      d.redoCount = 0;
      d.modified = false;
      w.HideCaret();
      if (!open(d.symbolPath)) break;
      if (d.pendingCodePageFile) {
        open(d.codePagePath);
        d.pendingCodePageFile = false;
      }
      if (d.pendingPaletteFile) {
        open(d.palettePath);
        d.pendingPaletteFile = false;
      }
      if (d.useSystemPaletteColors && d.systemPalettePath[0]) {
        open(d.systemPalettePath);
        d.pendingSystemPalette = false;
      }
      RememberFileDirectory(d.symbolPath);
      PushUndo();
      d.modified = false;
    }
  }
  st.currentDataSet = 0;
  UpdateMainScrollBars();
  DisableDataSetMenus(0);
  EnableDataSetMenus(0);
  w.Invalidate(WIN_SWAPVIEW, true);
  w.Invalidate(WIN_PALETTE, true);
  w.Invalidate(WIN_RAINBOW, true);
  w.HideCaret();
  st.startingUp = false;
}

void HandleCreate() {
  EditorState& st = *g_ed;
  // The code-page tool asks its range start with EDITINDEXSTART.
  SetEditIndexStartHook(RunEditIndexStartDialog);
  InitMainWindow(kSettingsFile);
  for (int s = 0; s < 2; ++s) {
    st.currentDataSet = s;
    DataSet& d = st.set[s];
    d.undoPosition = 0;
    d.undoDepth = 0;
    d.redoCount = 0;
    PushUndo();
    d.modified = false;
  }
  st.currentDataSet = 0;
  if (st.versionDiffers) Svc().windows->PostCommand(10156);
}

bool HandleClose() {
  if (!WriteSettings(kSettingsFile)) return false;
  IWindowOps& w = *Svc().windows;
  for (WindowId id : {WIN_PIXELVIEW, WIN_SWAPVIEW, WIN_TOOLBOX, WIN_FONTVIEW, WIN_PALETTE, WIN_RAINBOW})
    w.CloseWindow(id);
  return true;
}

bool PrepareResetAndExit() {
  // The prompts and their saves, with the settings going nowhere.
  if (!WriteSettings(*EmptyProfile())) return false;
  WriteDefaultSettings(ProfileFor(kSettingsFile));
  return true;
}

void WriteDefaultSettings(IProfile& p) {
  EditorState& st = *g_ed;
  for (const SettingRow& row : SettingsTable()) {
    if (row.access == SettingAccess::ReadOnly) continue;
    for (int set = 0; set < (row.perSet ? 2 : 1); ++set) {
      char section[64], key[80], value[24];
      FormatSection(row, set, section, sizeof section);
      int n = RowCount(row, st, set);
      for (int i = 0; i < n; ++i) {
        FormatKey(row, i, key, sizeof key);
        if (row.kind == SettingKind::Text) {
          p.Write(section, key, row.group == G_VERSION ? kProgramTitle : row.defText);
          continue;
        }
        std::snprintf(value, sizeof value, "%d", static_cast<int>(RowDefault(row, st, set, i)));
        p.Write(section, key, value);
      }
    }
  }
}

std::string ToolbarHint(int32_t x, int32_t y) {
  static const char* const kHints[kToolbarButtons] = {
      "New Symbol or Font Setup...  /  Drawing Mode",
      "File Open",
      "File Save All",
      "Print Icon",
      "Cut to ClipBoard",
      "Copy to ClipBoard",
      "Paste from ClipBoard",
      "UnDo or ReDo",
      "Next or Previous Character",
      "Pixel Size: Left +1 or -1 Right *2 or /2",
      "Data Set 0",
      "Data Set 1"};
  const EditorState& st = *g_ed;
  if (y < 4 || y > st.metrics.iconHeight + 4) return std::string();
  for (int i = 0; i < kToolbarButtons; ++i) {
    if (x < st.toolbarRects[i].left) return std::string();
    if (x <= st.toolbarRects[i].right) {
      std::string hint = kHints[i];
      if (i >= 10) {
        hint += " - ";
        hint += st.set[i - 10].symbolTitle;
      }
      return hint;
    }
  }
  return std::string();
}

}  // namespace dw
