#include "core/Settings.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/CellExtent.h"
#include "core/WindowLayout.h"
#include "views/ColorModel.h"

namespace dw {

IProfile& ProfileFor(const char* fileName) {
  if (fileName && std::strcmp(fileName, kSettingsFile) == 0) return *Svc().profile;
  return *EmptyProfile();
}

static double ScaleOf(SettingKind k) {
  switch (k) {
    case SettingKind::Scale100: return 100.0;
    case SettingKind::Scale1000: return 1000.0;
    case SettingKind::Scale255: return 255.0;
    default: return 1.0;
  }
}

void ReadRow(IProfile& p, const SettingRow& row, EditorState& st, int set) {
  if (row.access == SettingAccess::WriteOnly) return;
  char section[64], key[80];
  FormatSection(row, set, section, sizeof section);
  int n = RowCount(row, st, set);
  for (int i = 0; i < n; ++i) {
    FormatKey(row, i, key, sizeof key);
    std::string text;
    bool have = p.Get(section, key, &text);
    if (!have && row.altKey) have = p.Get(section, row.altKey, &text);
    void* target = row.bind(st, set, i);
    if (row.kind == SettingKind::Text) {
      CopyText(static_cast<char*>(target), row.slot, have ? text.c_str() : row.defText);
      continue;
    }
    int32_t def = RowDefault(row, st, set, i);
    int32_t v = def;
    if (have && ParseStoredInt(text.c_str(), &v)) {
      v = ApplyRange(row, st, set, v, def);
    } else {
      v = def;
    }
    switch (row.kind) {
      case SettingKind::Int: *static_cast<int32_t*>(target) = v; break;
      case SettingKind::Color: *static_cast<uint32_t*>(target) = static_cast<uint32_t>(v); break;
      default: *static_cast<double*>(target) = v / ScaleOf(row.kind); break;
    }
  }
}

void WriteRow(IProfile& p, const SettingRow& row, EditorState& st, int set) {
  if (row.access == SettingAccess::ReadOnly) return;
  char section[64], key[80], value[40];
  FormatSection(row, set, section, sizeof section);
  int n = RowCount(row, st, set);
  for (int i = 0; i < n; ++i) {
    FormatKey(row, i, key, sizeof key);
    void* source = row.bind(st, set, i);
    if (row.kind == SettingKind::Text) {
      p.Write(section, key, static_cast<const char*>(source));
      continue;
    }
    long long v = 0;
    if (row.writeValue) {
      v = row.writeValue(st, set);
    } else {
      switch (row.kind) {
        case SettingKind::Int: v = *static_cast<int32_t*>(source); break;
        case SettingKind::Color: v = static_cast<int32_t>(*static_cast<uint32_t*>(source)); break;
        default: {
          // Truncated toward zero; the tiny nudge keeps a value read as n/100
          // writing back as n (0.29 * 100 is 28.999... in binary).
          double d = *static_cast<double*>(source) * ScaleOf(row.kind);
          d = d >= 0 ? std::floor(d + 1e-7) : std::ceil(d - 1e-7);
          if (d > 2147483647.0) d = 2147483647.0;
          if (d < -2147483648.0) d = -2147483648.0;
          v = static_cast<long long>(d);
          break;
        }
      }
    }
    std::snprintf(value, sizeof value, "%lld", v);
    p.Write(section, key, value);
  }
}

void ReadGroup(IProfile& p, SettingGroup g, EditorState& st, int set) {
  for (const SettingRow& row : SettingsTable()) {
    if (row.group == g) ReadRow(p, row, st, set);
  }
}

void WriteGroup(IProfile& p, SettingGroup g, EditorState& st, int set) {
  for (const SettingRow& row : SettingsTable()) {
    if (row.group == g) WriteRow(p, row, st, set);
  }
}

static const SettingRow* FindRow(SettingGroup g, SettingKind k) {
  for (const SettingRow& row : SettingsTable()) {
    if (row.group == g && row.kind == k) return &row;
  }
  return nullptr;
}

void ComputeDefaultWindowLayout(IProfile& p) {
  EditorState& st = *g_ed;
  // The palette size fixes the Palette window, which the layout is built around.
  int cur = st.currentDataSet;
  for (const SettingRow& row : SettingsTable()) {
    if (row.group == G_PAL_A && row.bind(st, cur, 0) == &st.set[cur].paletteSizeCommand) {
      ReadRow(p, row, st, cur);
    }
  }
  ApplyPaletteSize();
  int32_t earlierPaletteY = st.windows[WIN_PALETTE].y;
  if (Svc().windows->Exists(WIN_PALETTE)) earlierPaletteY = Svc().windows->Snapshot(WIN_PALETTE).rect.top;
  ComputeLayout(st.metrics, st.paletteOuterWidth, st.paletteOuterHeight, earlierPaletteY, st.defaults);
}

void ComputeDefaultWindowLayout() { ComputeDefaultWindowLayout(*Svc().profile); }

void ReadWindowSettings(IProfile& p) {
  EditorState& st = *g_ed;
  ComputeDefaultWindowLayout(p);
  ReadGroup(p, G_WINDOW, st, 0);
  ReadGroup(p, G_VIEWPIX, st, 0);
  // The Pixel View shows set 0 and the Swap View set 1 at these cell sizes.
  st.set[0].viewCellWidth = st.set[0].viewCellHeight = st.cfg.pixelViewPixSize - 10086;
  st.set[1].viewCellWidth = st.set[1].viewCellHeight = st.cfg.swapViewPixSize - 10086;
  // The Palette window's size follows the palette, not the file.
  st.windows[WIN_PALETTE].width = st.paletteOuterWidth;
  st.windows[WIN_PALETTE].height = st.paletteOuterHeight;
  st.windows[WIN_TOOLBOX].width = st.defaults[WIN_TOOLBOX].width;
  st.windows[WIN_TOOLBOX].height = st.defaults[WIN_TOOLBOX].height;
  st.windows[WIN_FONTVIEW].width = st.defaults[WIN_FONTVIEW].width;
  st.windows[WIN_FONTVIEW].height = st.defaults[WIN_FONTVIEW].height;
  st.mainShowRead = st.windows[WIN_MAIN].show;
  st.mainYPosRead = st.windows[WIN_MAIN].y;
  st.swapDataSet = 1;
}

void ReadWindowSettings(const char* fileName) { ReadWindowSettings(ProfileFor(fileName)); }

// After "Element%d": one element size everywhere, one code-page range.
static void AfterElementSection(EditorState& st, int s) {
  DataSet& d = st.set[s];
  d.currentElement = 0;
  d.currentElementColumn = 0;
  d.currentElementRow = 0;
  FillArray(d.elementWidths, kMaxElements, d.elementWidth);
  FillArray(d.elementHeights, kMaxElements, d.elementHeight);
  d.variableElementSizes = false;
  d.codePageBase[0] = 0;
  d.codePageStart[0] = 0;
  d.codePageEnd[0] = d.elementCount - 1;
  d.codePageDefaultChar = 32;
  d.codePageRangeCount = 1;
  if (d.viewMode == 10097) d.useCodePage = 0;  // a single icon has no code page
}

void ReadSettings(IProfile& p) {
  EditorState& st = *g_ed;
  Svc().windows->WaitCursor(true);
  if (!st.versionRead) {
    st.versionRead = true;
    const SettingRow* v = FindRow(G_VERSION, SettingKind::Text);
    ReadRow(p, *v, st, 0);
    st.versionDiffers = std::strcmp(st.storedVersion, kProgramTitle) != 0;
    if (st.versionDiffers) {
      char section[64], key[80];
      FormatSection(*v, 0, section, sizeof section);
      FormatKey(*v, 0, key, sizeof key);
      p.Write(section, key, kProgramTitle);
    }
  }
  for (int s = 0; s < 2; ++s) {
    st.currentDataSet = s;
    DataSet& d = st.set[s];
    ReadGroup(p, G_SIZE, st, s);
    ReadGroup(p, G_ELEMENT, st, s);
    AfterElementSection(st, s);
    ReadGroup(p, G_FILESET, st, s);
    ReadGroup(p, G_TOOLS, st, s);
    d.previousTool = 10079;
    d.previousMouseMode = 100;
    d.previousButton = 16;
    ReadGroup(p, G_PAL_A, st, s);
    ApplyPaletteSize();
    ReadGroup(p, G_PAL_B, st, s);
    UpdateChannelLevels();
    PaintPalette4096Colors(nullptr);
    LoadDefaultColors();
    d.paletteLoaded = false;
    PaintPalette256Colors(nullptr);
    ReadGroup(p, G_PAL_SYM, st, s);
    d.paletteLoaded = true;
    ReadGroup(p, G_PAL_C, st, s);
    d.grayFlag = d.grayNotColor != 0;
  }
  st.currentDataSet = 0;
  static const SettingGroup kGlobalOrder[] = {G_PIXEL,  G_TOOL,      G_FILE_ANSI, G_MENU_SAVE, G_MENU,
                                              G_PRINT,  G_FONT_A,    G_SHOW,      G_FILE_SKIP, G_MOUSE,
                                              G_COLOR,  G_EDIT,      G_LOGFONT,   G_FONT_B,    G_FILE_RELOAD};
  for (SettingGroup g : kGlobalOrder) ReadGroup(p, g, st, 0);
  Svc().windows->WaitCursor(false);
}

void ReadSettings(const char* fileName) { ReadSettings(ProfileFor(fileName)); }

// Present rectangle of a window for the settings: a minimised window gives
// its restored rectangle, one that does not exist its stored placement.
static Rect PlacementRect(EditorState& st, WindowId w) {
  WindowSnapshot snap = Svc().windows->Snapshot(w);
  if (snap.exists) return snap.iconic ? snap.normalRect : snap.rect;
  const WindowPlacement& wp = st.windows[w];
  Rect r;
  r.left = wp.x;
  r.top = wp.y;
  r.right = wp.x + wp.width;
  r.bottom = wp.y + wp.height;
  return r;
}

static void WriteWindowKeys(IProfile& p, EditorState& st) {
  const std::vector<SettingRow>& t = SettingsTable();
  for (int w = 0; w < WIN_COUNT; ++w) {
    WindowId id = static_cast<WindowId>(w);
    bool optional = id == WIN_TOOLBOX || id == WIN_PALETTE || id == WIN_RAINBOW || id == WIN_CODEPAGE;
    if (optional && !Svc().windows->Exists(id)) continue;
    Rect r = PlacementRect(st, id);
    for (const SettingRow& row : t) {
      if (row.group != G_WINDOW || row.window != id) continue;
      char value[32];
      int32_t v = 0;
      if (id == WIN_MAIN) {
        bool maximisedStart = st.mainShowRead == 3;
        switch (row.part) {
          case WindowPart::Show: v = st.mainShowRead; break;
          case WindowPart::Y: v = maximisedStart ? st.mainYPosRead : r.top; break;
          case WindowPart::X: if (maximisedStart) continue; v = r.left; break;
          case WindowPart::Width: if (maximisedStart) continue; v = r.Width(); break;
          case WindowPart::Height: if (maximisedStart) continue; v = r.Height(); break;
          default: continue;
        }
      } else {
        int32_t show = st.windows[id].show;
        switch (row.part) {
          case WindowPart::Show: v = show; break;
          case WindowPart::X: if (show == 6) continue; v = r.left; break;
          case WindowPart::Y: if (show == 6) continue; v = r.top; break;
          case WindowPart::Width: if (show == 6) continue; v = r.Width(); break;
          case WindowPart::Height: if (show == 6) continue; v = r.Height(); break;
          default: continue;
        }
      }
      std::snprintf(value, sizeof value, "%d", static_cast<int>(v));
      p.Write(row.section, row.key, value);
    }
  }
}

// A symbol path of "*.*" (never named) is stored as the initial directory
// with "dotwerk.sav"; a result that would not fit leaves the path alone.
static void NameUnnamedSymbolFile(DataSet& d) {
  if (std::strcmp(d.symbolPath, "*.*") != 0) return;
  size_t a = std::strlen(d.initialDir);
  static const char kName[] = "dotwerk.sav";
  if (a + sizeof kName > static_cast<size_t>(kPathSlot)) return;
  char buf[kPathSlot];
  std::memcpy(buf, d.initialDir, a);
  std::memcpy(buf + a, kName, sizeof kName);
  CopyText(d.symbolPath, kPathSlot, buf);
}

// Exit prompts. Returns false when the close must be abandoned.
static bool AskToSaveChangedSets(EditorState& st) {
  if (!st.cfg.askForSaveChanges) return true;
  int32_t earlier = st.currentDataSet;
  for (int s = 0; s < 2; ++s) {
    if (!st.set[s].modified) continue;
    char text[kPathSlot + 40];
    std::snprintf(text, sizeof text, "Save changes to %s ?", st.set[s].symbolPath);
    int answer = Svc().prompter->Ask(text, kProgramTitle, MBX_YESNOCANCEL | MBX_ICONQUESTION);
    if (answer == ANS_CANCEL) {
      st.currentDataSet = earlier;
      return false;
    }
    if (answer != ANS_YES) continue;
    st.currentDataSet = s;
    // Sent, not posted: the save must be over before the program goes on.
    Svc().windows->SendCommand(std::strchr(st.set[s].symbolPath, '*') ? 57604 : 57603);
    if (st.set[s].modified) {  // the save failed or its dialog was cancelled
      st.currentDataSet = earlier;
      return false;
    }
  }
  st.currentDataSet = earlier;
  return true;
}

bool WriteSettings(IProfile& p) {
  EditorState& st = *g_ed;
  if (st.settingsWritten) return true;
  Svc().windows->WaitCursor(true);
  if (!AskToSaveChangedSets(st)) {
    Svc().windows->WaitCursor(false);
    return false;
  }
  WriteGroup(p, G_MENU_SAVE, st, 0);
  NameUnnamedSymbolFile(st.Cur());
  if (st.cfg.saveSettings) {
    const SettingRow* v = FindRow(G_VERSION, SettingKind::Text);
    char section[64], key[80];
    FormatSection(*v, 0, section, sizeof section);
    FormatKey(*v, 0, key, sizeof key);
    p.Write(section, key, kProgramTitle);
    static const SettingGroup kPerSet[] = {G_SIZE, G_ELEMENT, G_FILESET, G_TOOLS, G_PAL_A, G_PAL_B, G_PAL_SYM, G_PAL_C};
    for (int s = 0; s < 2; ++s) {
      for (SettingGroup g : kPerSet) WriteGroup(p, g, st, s);
    }
    static const SettingGroup kGlobal1[] = {G_TOOL,      G_FILE_ANSI, G_PIXEL, G_PRINT, G_FONT_A, G_VIEWPIX, G_SHOW,
                                            G_FILE_RELOAD, G_FILE_SKIP, G_MENU, G_MOUSE, G_LOGFONT, G_FONT_B};
    for (SettingGroup g : kGlobal1) WriteGroup(p, g, st, 0);
    WriteWindowKeys(p, st);
    WriteGroup(p, G_COLOR, st, 0);
    WriteGroup(p, G_EDIT, st, 0);
  }
  st.settingsWritten = true;
  Svc().windows->WaitCursor(false);
  return true;
}

bool WriteSettings(const char* fileName) { return WriteSettings(ProfileFor(fileName)); }

}  // namespace dw
