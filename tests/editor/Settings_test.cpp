// The settings table: round trips, defaults, scaled and mapped keys, the
// writer's rules and the reader's ranges.
#include <cstring>
#include <set>

#include "Fakes.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "views/ColorModel.h"

namespace dwtest {
namespace {

using Pair = std::pair<std::string, std::string>;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Records the (section, key) pairs a reader asks for.
struct ReadLog : MemoryProfile {
  std::set<Pair> asked;
  explicit ReadLog(const std::string& text) : MemoryProfile(text) {}
  bool Get(const char* s, const char* k, std::string* v) override {
    asked.insert({Lower(s), Lower(k)});
    return MemoryProfile::Get(s, k, v);
  }
};

// A value of the row's kind that is valid and differs from its default.
int32_t OffDefault(const SettingRow& row, int32_t def, int salt) {
  if (row.rule == RangeRule::OneOf) {
    for (int32_t v : row.allowed) {
      if (v != def) return v;
    }
    return def;
  }
  if (row.fix) return def + 1 + salt % 3;  // window values: small moves stay inside the clamps
  int32_t lo = row.lo, hi = row.hi;
  int32_t v = def + 1 + salt % 5;
  if (v > hi || v < lo) v = def - 1;
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return v;
}

class SettingsTest : public EditorTest {};

// Every row of the table put off its default, written, and read back.
TEST_F(SettingsTest, EveryKeyRoundTripsThroughTheTable) {
  ReadWindowSettings(*EmptyProfile());
  ReadSettings(*EmptyProfile());
  // Set both sets to colour palettes of 512 so every stored palette entry exists.
  int salt = 0;
  for (const SettingRow& row : SettingsTable()) {
    if (row.access == SettingAccess::WriteOnly || row.group == G_VERSION) continue;
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      int n = RowCount(row, st(), s);
      for (int i = 0; i < n; ++i, ++salt) {
        void* p = row.bind(st(), s, i);
        int32_t def = RowDefault(row, st(), s, i);
        switch (row.kind) {
          case SettingKind::Text: {
            std::string t = std::string("T") + row.key + std::to_string(s);
            CopyText(static_cast<char*>(p), row.slot, t.c_str());
            break;
          }
          case SettingKind::Int: *static_cast<int32_t*>(p) = OffDefault(row, def, salt); break;
          case SettingKind::Color: *static_cast<uint32_t*>(p) = 0x123456u + salt; break;
          default: {
            double scale = row.kind == SettingKind::Scale100 ? 100 : row.kind == SettingKind::Scale1000 ? 1000 : 255;
            *static_cast<double*>(p) = OffDefault(row, def, salt) / scale;
          }
        }
      }
    }
  }
  // Keep the values the reader derives from others consistent with them.
  for (int s = 0; s < 2; ++s) {
    st().set[s].viewMode = 10099;  // a code page needs a group view
    st().set[s].useCodePage = 1;
    st().set[s].paletteSizeCommand = 10252;  // 512 colours: all 256 stored entries in use
    st().currentDataSet = s;
    ApplyPaletteSize();
  }
  // The Pixel View size commands of the two sets (cells 3 and 4 at the square LCD).
  st().cfg.pixelViewPixSize = 10089;
  st().cfg.swapViewPixSize = 10090;
  st().cfg.showMoreThanMaxPrinters = 0;
  st().cfg.saveSettings = 1;  // off, nothing but itself would be written
  st().windows[WIN_MAIN].show = 2;  // 3 (maximised start) keeps the stored rectangle instead
  st().currentDataSet = 0;
  EditorState before = st();  // fields only; the stores are shared
  std::vector<uint32_t> palette0(st().set[0].palette, st().set[0].palette + 256);
  std::vector<uint32_t> palette1(st().set[1].palette, st().set[1].palette + 256);
  st().mainShowRead = st().windows[WIN_MAIN].show;
  for (int w = 0; w < WIN_COUNT; ++w) windows.existing.insert(w);
  for (int w = 0; w < WIN_COUNT; ++w) {
    WindowSnapshot snap;
    snap.exists = true;
    const WindowPlacement& p = st().windows[w];
    snap.rect = Rect{p.x, p.y, p.x + p.width, p.y + p.height};
    windows.snapshots[w] = snap;
  }
  MemoryProfile out;
  ASSERT_TRUE(WriteSettings(out));

  // Read into fresh state.
  CreateEditorState();
  ReadLog in(out.ToText());
  ReadWindowSettings(in);
  ReadSettings(in);

  for (const SettingRow& row : SettingsTable()) {
    if (row.access == SettingAccess::WriteOnly || row.group == G_VERSION) continue;
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      SCOPED_TRACE(std::string(row.section) + "/" + row.key + " set " + std::to_string(s));
      int n = RowCount(row, st(), s);
      for (int i = 0; i < n; ++i) {
        void* now = row.bind(st(), s, i);
        void* was = row.bind(before, s, i);
        if (row.group == G_PAL_SYM) was = (s == 0 ? palette0.data() : palette1.data()) + i;
        if (row.group == G_VIEWPIX) continue;  // checked through the view cell sizes below
        if (row.group == G_WINDOW && (row.window == WIN_PALETTE || row.window == WIN_TOOLBOX ||
                                      row.window == WIN_FONTVIEW) &&
            (row.part == WindowPart::Width || row.part == WindowPart::Height))
          continue;
        switch (row.kind) {
          case SettingKind::Text:
            EXPECT_STREQ(static_cast<char*>(now), static_cast<char*>(was));
            break;
          case SettingKind::Int: EXPECT_EQ(*static_cast<int32_t*>(now), *static_cast<int32_t*>(was)); break;
          case SettingKind::Color: EXPECT_EQ(*static_cast<uint32_t*>(now), *static_cast<uint32_t*>(was)); break;
          default: EXPECT_DOUBLE_EQ(*static_cast<double*>(now), *static_cast<double*>(was)); break;
        }
      }
    }
  }
  EXPECT_EQ(st().set[0].viewCellWidth, 3);
  EXPECT_EQ(st().set[1].viewCellWidth, 4);

  // The pairs written are the pairs read, except the write-only rows.
  std::set<Pair> written;
  for (const auto& w : out.Writes()) written.insert({Lower(w.section), Lower(w.key)});
  std::set<Pair> writeOnly;
  for (const SettingRow& row : SettingsTable()) {
    if (row.access != SettingAccess::WriteOnly) {
      continue;
    }
    for (int s = 0; s < (row.perSet ? 2 : 1); ++s) {
      char sec[64], key[80];
      FormatSection(row, s, sec, sizeof sec);
      FormatKey(row, 0, key, sizeof key);
      writeOnly.insert({Lower(sec), Lower(key)});
    }
  }
  for (const Pair& p : written) {
    if (writeOnly.count(p)) continue;
    EXPECT_TRUE(in.asked.count(p)) << p.first << "/" << p.second << " written but not read";
  }
  for (const Pair& p : in.asked) {
    if (p.second == "fontviewshow") continue;  // the old name, read only when the new one is missing
    EXPECT_TRUE(written.count(p)) << p.first << "/" << p.second << " read but not written";
  }
  for (const char* sec : {"size0", "size1", "element0", "element1", "file0", "file1", "tools0", "tools1",
                          "palette0", "palette1"}) {
    bool found = false;
    for (const Pair& p : written) found = found || p.first == sec;
    EXPECT_TRUE(found) << sec;
  }
}

TEST_F(SettingsTest, EmptyProfileGivesTheFirstStartDefaults) {
  MemoryProfile empty;
  ReadWindowSettings(empty);
  ReadSettings(empty);
  for (int s = 0; s < 2; ++s) {
    const DataSet& d = st().set[s];
    EXPECT_EQ(d.pictureWidth, 32);
    EXPECT_EQ(d.pictureHeight, 32);
    EXPECT_EQ(d.elementCount, 256);
    EXPECT_EQ(d.elementWidth, 8);
    EXPECT_EQ(d.elementHeight, 8);
    EXPECT_EQ(d.elementCountX, 32);
    EXPECT_EQ(d.viewMode, 10097);
    EXPECT_EQ(d.colorMode, 10666);
    EXPECT_EQ(d.colorKind, 10667);
    EXPECT_EQ(d.paletteSizeCommand, 10251);
    EXPECT_EQ(d.paletteSize, 256);
    EXPECT_EQ(d.codePageRangeCount, 1);
    EXPECT_EQ(d.codePageEnd[0], 255);
    EXPECT_EQ(d.elementWidths[65535], 8);
    EXPECT_STREQ(d.symbolTitle, "New.sym");
    EXPECT_STREQ(d.initialDir, "c:\\");
  }
  EXPECT_EQ(st().cfg.saveSettings, 1);
  EXPECT_STREQ(st().cfg.fontName, "Sample8x8");
  EXPECT_EQ(st().swapDataSet, 1);
  // The version was missing ("Unknown"): flagged, and the title stored at once.
  EXPECT_TRUE(st().versionDiffers);
  ASSERT_EQ(empty.Writes().size(), 1u);
  EXPECT_EQ(empty.Writes()[0].section, "Version");
  EXPECT_EQ(empty.Writes()[0].key, "Version");
  EXPECT_EQ(empty.Writes()[0].value, "Color Dotwerk Editor  5.3.61");
  // Only on the first read of the run.
  ReadSettings(empty);
  EXPECT_EQ(empty.Writes().size(), 1u);
}

TEST_F(SettingsTest, CurrentVersionIsNotFlaggedNorRewritten) {
  MemoryProfile p("[Version]\nVersion=Color Dotwerk Editor  5.3.61\n");
  ReadSettings(p);
  EXPECT_FALSE(st().versionDiffers);
  EXPECT_TRUE(p.Writes().empty());
}

// Values stored in another unit than the one held.
TEST_F(SettingsTest, ScaledAndMappedKeys) {
  struct Case {
    const char* what;
    std::function<void(EditorState&)> set;
    const char* section;
    const char* key;
    const char* written;
  };
  const Case cases[] = {
      {"pixel size 0.5 mm", [](EditorState& e) { e.cfg.pixelSizeXmm = 0.5; }, "Pixel", "SizeX", "50"},
      {"pixel size 0.29 mm", [](EditorState& e) { e.cfg.pixelSizeXmm = 0.29; }, "Pixel", "SizeX", "29"},
      {"print factor 1.0", [](EditorState& e) { e.cfg.printFactorX = 1.0; }, "Print", "PromillePrintSizeX", "1000"},
      {"saturation 0.5", [](EditorState& e) { e.set[0].saturation = 0.5; }, "Palette0", "Saturation", "127"},
      {"loaded font", [](EditorState& e) { e.cfg.fontType = 10413; }, "Font", "FontType", "10405"},
      {"font view size", [](EditorState& e) { e.cfg.fontViewSize = 10090; }, "Font", "FontViewSize", "10085"},
      {"pixel view command", [](EditorState& e) { e.cfg.pixelViewPixSize = 10089; }, "PixelView", "PixelViewPixSize", "10089"},
      {"swap view command", [](EditorState& e) { e.cfg.swapViewPixSize = 10087; }, "SwapView", "SwapViewPixSize", "10087"},
      {"grid on", [](EditorState& e) { e.cfg.showGrid = 8; }, "Show", "ShowGrid", "8"},
      {"grid off", [](EditorState& e) { e.cfg.showIconGrid = 0; }, "Show", "ShowIconGrid", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CreateEditorState();
    Install();
    c.set(st());
    MemoryProfile out;
    ASSERT_TRUE(WriteSettings(out));
    std::string v;
    ASSERT_TRUE(out.Get(c.section, c.key, &v));
    EXPECT_EQ(v, c.written);
  }
  // Read side: a stored saturation of 128 is 128/255, a stored 10413 is 10405.
  MemoryProfile p("[Palette0]\nSaturation=128\n[Font]\nFontType=10413\n[Pixel]\nSizeX=50\n[Print]\nPromillePrintSizeX=1000\n");
  ReadSettings(p);
  EXPECT_DOUBLE_EQ(st().set[0].saturation, 128.0 / 255.0);
  EXPECT_EQ(st().cfg.fontType, 10405);
  EXPECT_DOUBLE_EQ(st().cfg.pixelSizeXmm, 0.5);
  EXPECT_DOUBLE_EQ(st().cfg.printFactorX, 1.0);
}

TEST_F(SettingsTest, OnlyTheFirst256PaletteColoursAreStored) {
  st().set[0].paletteSize = 512;
  st().set[1].paletteSize = 2;
  MemoryProfile out;
  ASSERT_TRUE(WriteSettings(out));
  std::string v;
  EXPECT_TRUE(out.Get("Palette0", "RgbSymbol0", &v));
  EXPECT_TRUE(out.Get("Palette0", "RgbSymbol255", &v));
  EXPECT_FALSE(out.Get("Palette0", "RgbSymbol256", &v));
  EXPECT_TRUE(out.Get("Palette1", "RgbSymbol1", &v));
  EXPECT_FALSE(out.Get("Palette1", "RgbSymbol2", &v));
}

TEST_F(SettingsTest, SaveSettingsOffWritesOneKeyAndStillAsks) {
  st().cfg.saveSettings = 0;
  st().cfg.askForSaveChanges = 1;
  st().set[0].modified = true;
  prompter.answers = {ANS_NO};
  MemoryProfile out;
  ASSERT_TRUE(WriteSettings(out));
  ASSERT_EQ(out.Writes().size(), 1u);
  EXPECT_EQ(out.Writes()[0].section, "Menu");
  EXPECT_EQ(out.Writes()[0].key, "SaveSettings");
  EXPECT_EQ(out.Writes()[0].value, "0");
  EXPECT_EQ(prompter.prompts.size(), 1u);
  // Only the first call of a run writes.
  ASSERT_TRUE(WriteSettings(out));
  EXPECT_EQ(out.Writes().size(), 1u);
  EXPECT_EQ(prompter.prompts.size(), 1u);
}

struct WindowCase {
  const char* what;
  int32_t mainShow;
  bool iconic;
  int32_t toolShow;
  bool toolBoxExists;
};

TEST_F(SettingsTest, WindowPlacementRules) {
  const WindowCase cases[] = {
      {"normal", 1, false, 4, true},
      {"started maximised", 3, false, 4, true},
      {"minimised main", 1, true, 4, true},
      {"minimised tool window", 1, false, 6, true},
      {"no ToolBox", 1, false, 4, false},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.what);
    CreateEditorState();
    windows = FakeWindows();
    Install();
    st().mainShowRead = c.mainShow;
    st().mainYPosRead = 77;
    for (int w = 1; w < WIN_COUNT; ++w) st().windows[w].show = c.toolShow;
    WindowSnapshot main;
    main.exists = true;
    main.iconic = c.iconic;
    main.rect = c.iconic ? Rect{-32000, -32000, -31840, -31972} : Rect{10, 20, 810, 620};
    main.normalRect = Rect{10, 20, 810, 620};
    windows.snapshots[WIN_MAIN] = main;
    windows.existing = {WIN_MAIN, WIN_PIXELVIEW, WIN_SWAPVIEW, WIN_FONTVIEW, WIN_PALETTE, WIN_RAINBOW, WIN_CODEPAGE};
    if (c.toolBoxExists) windows.existing.insert(WIN_TOOLBOX);
    WindowSnapshot tb;
    tb.exists = c.toolBoxExists;
    tb.rect = Rect{900, 700, 1206, 980};
    windows.snapshots[WIN_TOOLBOX] = tb;
    MemoryProfile out;
    ASSERT_TRUE(WriteSettings(out));
    std::string v;
    EXPECT_TRUE(out.Get("Window", "MainShow", &v));
    EXPECT_EQ(v, std::to_string(c.mainShow));
    if (c.mainShow == 3) {
      EXPECT_FALSE(out.Get("Window", "xMainSize", &v));
      EXPECT_FALSE(out.Get("Window", "yMainSize", &v));
      EXPECT_FALSE(out.Get("Window", "xMainPos", &v));
      ASSERT_TRUE(out.Get("Window", "yMainPos", &v));
      EXPECT_EQ(v, "77");
    } else {
      // A minimised main window stores the rectangle it comes back to.
      ASSERT_TRUE(out.Get("Window", "xMainPos", &v));
      EXPECT_EQ(v, "10");
      ASSERT_TRUE(out.Get("Window", "yMainPos", &v));
      EXPECT_EQ(v, "20");
      ASSERT_TRUE(out.Get("Window", "xMainSize", &v));
      EXPECT_EQ(v, "800");
      ASSERT_TRUE(out.Get("Window", "yMainSize", &v));
      EXPECT_EQ(v, "600");
    }
    EXPECT_EQ(out.Get("Window", "ToolBoxShow", &v), c.toolBoxExists);
    EXPECT_EQ(out.Get("Window", "xToolBoxPos", &v), c.toolBoxExists && c.toolShow != 6);
    EXPECT_EQ(out.Get("Window", "PixelViewPosX", &v), c.toolShow != 6);
    EXPECT_EQ(out.Get("Window", "PixelViewSizeX", &v), c.toolShow != 6);
    EXPECT_TRUE(out.Get("Window", "PixelViewShow", &v));
    EXPECT_TRUE(out.Get("Window", "IconFontShow", &v));
  }
}

// Exit prompts with scripted answers.
TEST_F(SettingsTest, ExitPrompts) {
  struct Case {
    const char* what;
    int ask;
    const char* path;
    std::vector<int> answers;
    bool saveClears;
    bool expectWritten;
    std::vector<int> expectSent;
    size_t expectPrompts;
  };
  const Case cases[] = {
      {"not asked", 0, "C:\\a\\b.sym", {}, true, true, {}, 0},
      {"yes saves", 1, "C:\\a\\b.sym", {ANS_YES}, true, true, {57603}, 1},
      {"never named", 1, "*.sym", {ANS_YES}, true, true, {57604}, 1},
      {"no", 1, "C:\\a\\b.sym", {ANS_NO}, true, true, {}, 1},
      {"cancel", 1, "C:\\a\\b.sym", {ANS_CANCEL}, true, false, {}, 1},
      {"save failed", 1, "C:\\a\\b.sym", {ANS_YES}, false, false, {57603}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CreateEditorState();
    windows = FakeWindows();
    prompter = FakePrompter();
    Install();
    st().cfg.askForSaveChanges = c.ask;
    st().set[1].modified = true;
    CopyText(st().set[1].symbolPath, kPathSlot, c.path);
    st().currentDataSet = 0;
    prompter.answers.assign(c.answers.begin(), c.answers.end());
    int currentDuringSave = -1;
    bool clears = c.saveClears;
    windows.onSend = [&](int) {
      currentDuringSave = g_ed->currentDataSet;
      if (clears) g_ed->Cur().modified = false;
    };
    MemoryProfile out;
    bool done = WriteSettings(out);
    EXPECT_EQ(done, c.expectWritten);
    EXPECT_EQ(windows.sent, c.expectSent);
    ASSERT_EQ(prompter.prompts.size(), c.expectPrompts);
    if (c.expectPrompts) {
      EXPECT_EQ(prompter.prompts[0].text, std::string("Save changes to ") + c.path + " ?");
      EXPECT_EQ(prompter.prompts[0].caption, "Color Dotwerk Editor  5.3.61");
      EXPECT_EQ(prompter.prompts[0].flags & 0xF, static_cast<unsigned>(MBX_YESNOCANCEL));
    }
    if (!c.expectSent.empty()) {
      EXPECT_EQ(currentDuringSave, 1);
    }
    EXPECT_EQ(st().currentDataSet, 0);
    EXPECT_EQ(out.Writes().empty(), !c.expectWritten);
    EXPECT_EQ(st().settingsWritten, c.expectWritten);
  }
}

TEST_F(SettingsTest, UnnamedSymbolPathBecomesTheSaveFileWhenItFits) {
  CopyText(cur().symbolPath, kPathSlot, "*.*");
  CopyText(cur().initialDir, kPathSlot, "D:\\work\\");
  MemoryProfile out;
  ASSERT_TRUE(WriteSettings(out));
  EXPECT_STREQ(cur().symbolPath, "D:\\work\\dotwerk.sav");

  CreateEditorState();
  Install();
  CopyText(cur().symbolPath, kPathSlot, "*.*");
  std::string longDir(1020, 'x');
  CopyText(cur().initialDir, kPathSlot, longDir.c_str());
  MemoryProfile out2;
  ASSERT_TRUE(WriteSettings(out2));
  EXPECT_STREQ(cur().symbolPath, "*.*");
}

// Nonsense from the file is brought into range, never used as it is.
TEST_F(SettingsTest, StoredValuesAreKeptInRange) {
  struct Case {
    const char* section;
    const char* key;
    const char* stored;
    std::function<int64_t(EditorState&)> get;
    int64_t expect;
  };
  const Case cases[] = {
      {"Size0", "xDotMap", "0", [](EditorState& e) { return e.set[0].pictureWidth; }, 1},
      {"Size0", "xDotMap", "99999", [](EditorState& e) { return e.set[0].pictureWidth; }, 1600},
      {"Size0", "yDotMap", "-5", [](EditorState& e) { return e.set[0].pictureHeight; }, 1},
      {"Element0", "Countx", "0", [](EditorState& e) { return e.set[0].elementCountX; }, 1},
      {"Element0", "xElement", "0", [](EditorState& e) { return e.set[0].elementWidth; }, 1},
      {"Element0", "Count", "70000", [](EditorState& e) { return e.set[0].elementCount; }, 65536},
      {"Element0", "ShowIconOrGroup", "5", [](EditorState& e) { return e.set[0].viewMode; }, 10097},
      {"Pixel", "SizeX", "0", [](EditorState& e) { return static_cast<int64_t>(e.cfg.pixelSizeXmm * 100 + 0.5); }, 1},
      {"Palette0", "RedColorResolution", "0", [](EditorState& e) { return e.set[0].redBits; }, 1},
      {"Palette0", "GrayColorResolution", "12", [](EditorState& e) { return e.set[0].grayBits; }, 8},
      {"Palette0", "SystemColorPaletteSize", "40", [](EditorState& e) { return e.set[0].systemColorPaletteSize; }, 16},
      {"Palette0", "InternalColorPaletteSize", "10256", [](EditorState& e) { return e.set[0].paletteSizeCommand; }, 10251},
      {"Print", "PrinterNumber", "-3", [](EditorState& e) { return e.cfg.printerNumber; }, 0},
      {"Size0", "MainGroupPixSize", "10457", [](EditorState& e) { return e.set[0].mainGroupPixSize; }, 10203},
      {"Size0", "xDotMap", "abc", [](EditorState& e) { return e.set[0].pictureWidth; }, 32},
      {"Size0", "xDotMap", "99999999999999999999", [](EditorState& e) { return e.set[0].pictureWidth; }, 1600},
      {"Palette0", "RgbToolColor", "-1", [](EditorState& e) { return e.set[0].rgbToolColor; }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
    CreateEditorState();
    Install();
    MemoryProfile p(std::string("[") + c.section + "]\n" + c.key + "=" + c.stored + "\n");
    ReadSettings(p);
    EXPECT_EQ(c.get(st()), c.expect);
  }
}

TEST_F(SettingsTest, WindowKeysAreClampedToTheScreen) {
  // Icon 32, screen 1280 x 1024.
  struct Case {
    const char* key;
    const char* stored;
    std::function<int32_t(EditorState&)> get;
    int32_t expect;
  };
  const Case cases[] = {
      {"xToolBoxPos", "5000", [](EditorState& e) { return e.windows[WIN_TOOLBOX].x; }, 1232},
      {"PixelViewPosX", "5000", [](EditorState& e) { return e.windows[WIN_PIXELVIEW].x; }, 1184},
      {"xMainPos", "5000", [](EditorState& e) { return e.windows[WIN_MAIN].x; }, 1184},
      {"yMainPos", "5000", [](EditorState& e) { return e.windows[WIN_MAIN].y; }, 928},
      {"xFontViewPos", "-20", [](EditorState& e) { return e.windows[WIN_FONTVIEW].x; }, 0},
      {"xMainSize", "3000", [](EditorState& e) { return e.windows[WIN_MAIN].width; }, 1276},
      {"xMainSize", "0", [](EditorState& e) { return e.windows[WIN_MAIN].width; }, 950},
      {"SwapViewSizeY", "-7", [](EditorState& e) { return e.windows[WIN_SWAPVIEW].height; }, 186},
      {"PaletteShow", "3", [](EditorState& e) { return e.windows[WIN_PALETTE].show; }, 1},
      {"MainShow", "0", [](EditorState& e) { return e.windows[WIN_MAIN].show; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
    CreateEditorState();
    Install();
    MemoryProfile p(std::string("[Window]\n") + c.key + "=" + c.stored + "\n");
    ReadWindowSettings(p);
    EXPECT_EQ(c.get(st()), c.expect);
  }
}

TEST_F(SettingsTest, FontViewShowIsReadWhenIconFontShowIsMissing) {
  MemoryProfile old("[Window]\nFontViewShow=0\n");
  ReadWindowSettings(old);
  EXPECT_EQ(st().windows[WIN_FONTVIEW].show, 0);
  MemoryProfile both("[Window]\nFontViewShow=0\nIconFontShow=4\n");
  ReadWindowSettings(both);
  EXPECT_EQ(st().windows[WIN_FONTVIEW].show, 4);
}

TEST_F(SettingsTest, ResetReadsNoFile) {
  profile.Parse("[Size0]\nxDotMap=99\n");
  ReadSettings("Dum.ini");
  EXPECT_EQ(st().set[0].pictureWidth, 32);
  ReadSettings("dotwerk5.ini");
  EXPECT_EQ(st().set[0].pictureWidth, 99);
}

TEST(MemoryProfileTest, NamesIgnoreCaseAndFirstValueWins) {
  MemoryProfile p("[Size0]\r\nXDOTMAP = 64 \r\nxDotMap=12\n; note\n[size0]\nyDotMap=7\ngarbage\n");
  std::string v;
  ASSERT_TRUE(p.Get("size0", "xdotmap", &v));
  EXPECT_EQ(v, "64");
  ASSERT_TRUE(p.Get("SIZE0", "yDotMap", &v));
  EXPECT_EQ(v, "7");
  EXPECT_FALSE(p.Get("Size0", "garbage", &v));
  int32_t n = 0;
  EXPECT_TRUE(ParseStoredInt(" -12x", &n));
  EXPECT_EQ(n, -12);
  EXPECT_FALSE(ParseStoredInt("x1", &n));
}

}  // namespace
}  // namespace dwtest
