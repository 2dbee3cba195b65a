#include "core/SettingsTable.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/WindowLayout.h"
#include "views/ColorModel.h"

namespace dw {
namespace {

// Binders from a row to the value it stores.
#define S_(f) [](EditorState& e, int s, int) -> void* { return &e.set[s & 1].f; }
#define G_(f) [](EditorState& e, int, int) -> void* { return &e.cfg.f; }
#define E_(f) [](EditorState& e, int, int) -> void* { return &e.f; }
#define W_(w, f) [](EditorState& e, int, int) -> void* { return &e.windows[w].f; }

struct B {
  SettingRow r;
  B(SettingGroup g, const char* sec, const char* key, bool perSet, SettingRow::Bind b) {
    r.group = g;
    r.section = sec;
    r.key = key;
    r.perSet = perSet;
    r.bind = b;
  }
  B& Int(int32_t def, int32_t lo, int32_t hi, RangeRule rule = RangeRule::Clamp) {
    r.kind = SettingKind::Int;
    r.def = def;
    r.lo = lo;
    r.hi = hi;
    r.rule = rule;
    return *this;
  }
  B& Flag(int32_t def) { return Int(def, 0, 1); }
  B& Id(int32_t def, int32_t lo, int32_t hi) { return Int(def, lo, hi, RangeRule::DefaultOutside); }
  B& OneOf(int32_t def, std::vector<int32_t> v) {
    r.kind = SettingKind::Int;
    r.def = def;
    r.rule = RangeRule::OneOf;
    r.allowed = std::move(v);
    return *this;
  }
  B& Color(uint32_t def) {
    r.kind = SettingKind::Color;
    r.def = static_cast<int32_t>(def);
    r.lo = 0;
    r.hi = 0xFFFFFF;
    r.rule = RangeRule::DefaultOutside;
    return *this;
  }
  B& Text(const char* def, size_t slot) {
    r.kind = SettingKind::Text;
    r.defText = def;
    r.slot = slot;
    return *this;
  }
  B& Scaled(SettingKind k, int32_t def, int32_t lo, int32_t hi) {
    r.kind = k;
    r.def = def;
    r.lo = lo;
    r.hi = hi;
    r.rule = RangeRule::Clamp;
    return *this;
  }
  B& WriteOnly(SettingRow::Value v = nullptr) {
    r.access = SettingAccess::WriteOnly;
    r.writeValue = v;
    return *this;
  }
  B& WriteAs(SettingRow::Value v) {
    r.writeValue = v;
    return *this;
  }
  B& Array(int n) {
    r.count = n;
    return *this;
  }
  B& DynCount(SettingRow::Count c) {
    r.dynCount = c;
    return *this;
  }
  B& DynDefault(SettingRow::DynInt d) {
    r.dynDefault = d;
    return *this;
  }
  B& Fixed(SettingRow::Fix f) {
    r.fix = f;
    return *this;
  }
  B& Alt(const char* key) {
    r.altKey = key;
    return *this;
  }
  B& Win(WindowId w, WindowPart p) {
    r.window = w;
    r.part = p;
    return *this;
  }
  operator SettingRow() const { return r; }
};

// Window rows: defaults from the computed layout, clamps from the metrics.
int32_t WinDefault(EditorState& e, WindowId w, WindowPart p) {
  const WindowPlacement& d = e.defaults[w];
  switch (p) {
    case WindowPart::X: return d.x;
    case WindowPart::Y: return d.y;
    case WindowPart::Width: return d.width;
    case WindowPart::Height: return d.height;
    default: return 1;
  }
}
#define WD_(w, p) [](EditorState& e, int, int) -> int32_t { return WinDefault(e, w, WindowPart::p); }

int32_t FixX(EditorState& e, int, int32_t v, int32_t) { return ClampWindowX(e.metrics, v, false); }
int32_t FixToolBoxX(EditorState& e, int, int32_t v, int32_t) { return ClampWindowX(e.metrics, v, true); }
int32_t FixY(EditorState& e, int, int32_t v, int32_t) { return ClampWindowY(e.metrics, v); }
int32_t FixMainW(EditorState& e, int, int32_t v, int32_t def) {
  if (v <= 0) return def;
  return ClampMainWidth(e.metrics, v);
}
int32_t FixMainH(EditorState& e, int, int32_t v, int32_t def) {
  if (v <= 0) return def;
  return ClampMainHeight(e.metrics, v);
}
// A tool window smaller than a pixel is nonsense; one larger than the screen
// is brought back to the screen.
int32_t FixW(EditorState& e, int, int32_t v, int32_t def) {
  if (v <= 0) return def;
  return v > e.metrics.screenWidth ? e.metrics.screenWidth : v;
}
int32_t FixH(EditorState& e, int, int32_t v, int32_t def) {
  if (v <= 0) return def;
  return v > e.metrics.screenHeight ? e.metrics.screenHeight : v;
}

const std::vector<int32_t> kToolShow = {0, 1, 4, 6};

std::vector<SettingRow> BuildTable() {
  std::vector<SettingRow> t;
  auto add = [&](const SettingRow& r) { t.push_back(r); };

  // Version
  add(B(G_VERSION, "Version", "Version", false, E_(storedVersion)).Text("Unknown", kVersionSlot));

  // Size%d
  add(B(G_SIZE, "Size%d", "xDotMap", true, S_(pictureWidth)).Int(32, 1, kMaxPictureWidth));
  add(B(G_SIZE, "Size%d", "yDotMap", true, S_(pictureHeight)).Int(32, 1, kMaxPictureHeight));
  add(B(G_SIZE, "Size%d", "MainPixSize", true, S_(pixelSizeCommand)).Id(10203, 10200, 10456).WriteOnly());
  add(B(G_SIZE, "Size%d", "MainGroupPixSize", true, S_(mainGroupPixSize)).Id(10203, 10200, 10456));
  add(B(G_SIZE, "Size%d", "MainElementPixSize", true, S_(mainElementPixSize)).Id(10207, 10200, 10456));

  // Element%d
  add(B(G_ELEMENT, "Element%d", "ElementShow", true, S_(currentElement)).Int(0, 0, kMaxElements - 1).WriteOnly());
  add(B(G_ELEMENT, "Element%d", "xElement", true, S_(elementWidth)).Int(8, 1, kMaxPictureWidth));
  add(B(G_ELEMENT, "Element%d", "yElement", true, S_(elementHeight)).Int(8, 1, kMaxPictureHeight));
  add(B(G_ELEMENT, "Element%d", "Count", true, S_(elementCount)).Int(256, 1, kMaxElements));
  add(B(G_ELEMENT, "Element%d", "Countx", true, S_(elementCountX)).Int(32, 1, kMaxElements));
  add(B(G_ELEMENT, "Element%d", "ShowIconOrGroup", true, S_(viewMode)).Id(10097, 10096, 10099));
  add(B(G_ELEMENT, "Element%d", "UseCodePage", true, S_(useCodePage)).Flag(0));
  add(B(G_ELEMENT, "Element%d", "DisableAutomaticElementGeneration", true, S_(disableAutoElementGeneration)).Flag(0));
  add(B(G_ELEMENT, "Element%d", "GreenGridAction", true, S_(greenGridAction)).Id(1254, 0, 65535));

  // File%d
  add(B(G_FILESET, "File%d", "Char", true, S_(elementChar)).Int(64, 0, 255));
  add(B(G_FILESET, "File%d", "Format", true, S_(formatCommand)).Id(10057, 10000, 10999));
  add(B(G_FILESET, "File%d", "OpenToPresentFormat", true, S_(openToPresentFormat)).Flag(0));
  add(B(G_FILESET, "File%d", "File", true, S_(symbolPath)).Text("New.sym", kPathSlot));
  add(B(G_FILESET, "File%d", "FileTitle", true, S_(symbolTitle)).Text("New.sym", kPathSlot));
  add(B(G_FILESET, "File%d", "ExtraFile", true, S_(extraPath)).Text("New.h", kPathSlot));
  add(B(G_FILESET, "File%d", "ExtraFileTitle", true, S_(extraTitle)).Text("New.h", kPathSlot));
  add(B(G_FILESET, "File%d", "TextFile", true, S_(textPath)).Text("New.txt", kPathSlot));
  add(B(G_FILESET, "File%d", "TextFileTitle", true, S_(textTitle)).Text("New.txt", kPathSlot));
  add(B(G_FILESET, "File%d", "InitialDir", true, S_(initialDir)).Text("c:\\", kPathSlot));
  add(B(G_FILESET, "File%d", "PaletteFile", true, S_(palettePath)).Text("New.pal", kPathSlot));
  add(B(G_FILESET, "File%d", "PaletteFileTitle", true, S_(paletteTitle)).Text("New.pal", kPathSlot));
  add(B(G_FILESET, "File%d", "SystemPaletteFile", true, S_(systemPalettePath)).Text("New.spl", kPathSlot));
  add(B(G_FILESET, "File%d", "SystemPaletteFileTitle", true, S_(systemPaletteTitle)).Text("New.spl", kPathSlot));
  add(B(G_FILESET, "File%d", "CodePageFile", true, S_(codePagePath)).Text("New.cp", kPathSlot));
  add(B(G_FILESET, "File%d", "CodePageFileTitle", true, S_(codePageTitle)).Text("New.cp", kPathSlot));
  add(B(G_FILESET, "File%d", "BWFileFormat", true, S_(bwFileFormat)).Id(1027, 1024, 1028));
  add(B(G_FILESET, "File%d", "BitOrganization", true, S_(bitOrganization)).Id(1031, 1029, 1032));
  add(B(G_FILESET, "File%d", "ByteOrganization", true, S_(byteOrganization)).Id(1034, 1033, 1034));
  add(B(G_FILESET, "File%d", "ByteInAssembler", true, S_(byteInAssembler)).Id(1086, 0, 65535));
  add(B(G_FILESET, "File%d", "HeaderText", true, S_(headerText)).Text(" .dw", kHeaderTextSlot));
  add(B(G_FILESET, "File%d", "NoCharInElement", true, S_(noCharInElement)).Flag(1));

  // Tools%d
  add(B(G_TOOLS, "Tools%d", "Capture", true, S_(currentTool))
          .OneOf(10079, {10014, 10015, 10016, 10017, 10018, 10034, 10035, 10037, 10038, 10079, 10120,
                         10282, 10350, 10351, 10352, 10353, 10356, 10501, 10651, 10910, 10405, 10406,
                         10407, 10408, 10409, 10410, 10411, 10412, 10413, 10418}));
  add(B(G_TOOLS, "Tools%d", "Color", true, S_(penColor)).OneOf(10019, {0, 10019, 10020, 10078}));
  add(B(G_TOOLS, "Tools%d", "CapButton", true, S_(capButton)).Id(16, 0, 82));
  add(B(G_TOOLS, "Tools%d", "CapGroup", true, S_(mouseMode)).Id(100, 100, 112));
  add(B(G_TOOLS, "Tools%d", "UseHexInCodePage", true, S_(useHexInCodePage)).Flag(1));

  // Palette%d, first part: up to the palette-size command.
  add(B(G_PAL_A, "Palette%d", "InternalColorType", true, S_(colorMode)).OneOf(10666, {10665, 10666}));
  add(B(G_PAL_A, "Palette%d", "ToolColorIndex", true, S_(toolColorIndex)).Id(0, 0, kMaxPaletteEntries - 1));
  add(B(G_PAL_A, "Palette%d", "BackgroundColorIndex", true, S_(backgroundColorIndex)).Id(255, 0, kMaxPaletteEntries - 1));
  add(B(G_PAL_A, "Palette%d", "RgbToolColor", true, S_(rgbToolColor)).Color(0));
  add(B(G_PAL_A, "Palette%d", "RgbBackgroundColor", true, S_(rgbBackgroundColor)).Color(0xFFFFFF));
  add(B(G_PAL_A, "Palette%d", "InternalPaletteType", true, S_(colorKind)).OneOf(10667, {10667, 10668}));
  add(B(G_PAL_A, "Palette%d", "ColorBitMapFormat", true, S_(colorBitMapFormat)).Id(1207, 0, 65535));
  add(B(G_PAL_A, "Palette%d", "ColorFileFormat", true, S_(colorFileFormat)).OneOf(1113, {1112, 1113}));
  add(B(G_PAL_A, "Palette%d", "KelvorBitPerPixel", true, S_(kelvorBitPerPixel)).Id(1409, 1400, 1411));
  {
    std::vector<int32_t> sizes;
    for (int k = 0; k < 12; ++k) sizes.push_back(10244 + k);
    for (int k = 0; k < 12; ++k) sizes.push_back(10262 + k);
    add(B(G_PAL_A, "Palette%d", "InternalColorPaletteSize", true, S_(paletteSizeCommand)).OneOf(10251, sizes));
  }
  // Palette%d, resolution and system palette.
  add(B(G_PAL_B, "Palette%d", "RedColorResolution", true, S_(redBits)).Int(8, 1, 8));
  add(B(G_PAL_B, "Palette%d", "GreenColorResolution", true, S_(greenBits)).Int(8, 1, 8));
  add(B(G_PAL_B, "Palette%d", "BlueColorResolution", true, S_(blueBits)).Int(8, 1, 8));
  add(B(G_PAL_B, "Palette%d", "GrayColorResolution", true, S_(grayBits)).Int(8, 1, 8));
  add(B(G_PAL_B, "Palette%d", "UseSystemPaletteColors", true, S_(useSystemPaletteColors)).Flag(0));
  add(B(G_PAL_B, "Palette%d", "SystemColorPaletteSize", true, S_(systemColorPaletteSize)).Int(0, 0, 16));
  add(B(G_PAL_B, "Palette%d", "SaveGrayPaletteAs", true, S_(saveGrayPaletteAs)).Id(1982, 0, 65535));
  // Palette%d, the stored palette colours (the first 256 at most).
  add(B(G_PAL_SYM, "Palette%d", "RgbSymbol%d", true,
        [](EditorState& e, int s, int i) -> void* { return &e.set[s & 1].palette[i & (kMaxPaletteEntries - 1)]; })
          .Color(0)
          .DynCount([](EditorState& e, int s) -> int {
            int n = e.set[s & 1].paletteSize;
            if (n > 256) n = 256;
            return n < 0 ? 0 : n;
          })
          .DynDefault([](EditorState& e, int s, int i) -> int32_t {
            return static_cast<int32_t>(QuantizeColor(e.set[s & 1].palette[i & (kMaxPaletteEntries - 1)]));
          }));
  // Palette%d, the rest.
  add(B(G_PAL_C, "Palette%d", "RgbSystem%d", true,
        [](EditorState& e, int s, int i) -> void* { return &e.set[s & 1].systemColorTable[i & 15]; })
          .Color(0)
          .Array(16)
          .DynDefault([](EditorState&, int, int i) -> int32_t {
            return static_cast<int32_t>(QuantizeColor(kDefaultColorTable[i & 15]));
          }));
  add(B(G_PAL_C, "Palette%d", "AlternatePaletteColors%d", true,
        [](EditorState& e, int s, int i) -> void* { return &e.set[s & 1].alternatePaletteColors[i % 12]; })
          .Id(0, 0, 6)
          .Array(12));
  add(B(G_PAL_C, "Palette%d", "RainbowHorzScrollVariable", true, S_(rainbowHorzScrollVariable)).Id(10291, 10000, 10999));
  add(B(G_PAL_C, "Palette%d", "GrayNotColor", true, S_(grayNotColor)).Flag(0));
  add(B(G_PAL_C, "Palette%d", "Saturation", true, S_(saturation)).Scaled(SettingKind::Scale255, 128, 0, 255));

  // Window
  add(B(G_WINDOW, "Window", "xMainPos", false, W_(WIN_MAIN, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_MAIN, X)).Win(WIN_MAIN, WindowPart::X));
  add(B(G_WINDOW, "Window", "yMainPos", false, W_(WIN_MAIN, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_MAIN, Y)).Win(WIN_MAIN, WindowPart::Y));
  add(B(G_WINDOW, "Window", "xMainSize", false, W_(WIN_MAIN, width)).Int(0, 0, 0).Fixed(FixMainW).DynDefault(WD_(WIN_MAIN, Width)).Win(WIN_MAIN, WindowPart::Width));
  add(B(G_WINDOW, "Window", "yMainSize", false, W_(WIN_MAIN, height)).Int(0, 0, 0).Fixed(FixMainH).DynDefault(WD_(WIN_MAIN, Height)).Win(WIN_MAIN, WindowPart::Height));
  add(B(G_WINDOW, "Window", "MainShow", false, W_(WIN_MAIN, show)).Id(1, 1, 11).Win(WIN_MAIN, WindowPart::Show));
  add(B(G_WINDOW, "Window", "xToolBoxPos", false, W_(WIN_TOOLBOX, x)).Int(0, 0, 0).Fixed(FixToolBoxX).DynDefault(WD_(WIN_TOOLBOX, X)).Win(WIN_TOOLBOX, WindowPart::X));
  add(B(G_WINDOW, "Window", "yToolBoxPos", false, W_(WIN_TOOLBOX, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_TOOLBOX, Y)).Win(WIN_TOOLBOX, WindowPart::Y));
  add(B(G_WINDOW, "Window", "ToolBoxShow", false, W_(WIN_TOOLBOX, show)).OneOf(1, kToolShow).Win(WIN_TOOLBOX, WindowPart::Show));
  add(B(G_WINDOW, "Window", "PixelViewPosX", false, W_(WIN_PIXELVIEW, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_PIXELVIEW, X)).Win(WIN_PIXELVIEW, WindowPart::X));
  add(B(G_WINDOW, "Window", "PixelViewPosY", false, W_(WIN_PIXELVIEW, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_PIXELVIEW, Y)).Win(WIN_PIXELVIEW, WindowPart::Y));
  add(B(G_WINDOW, "Window", "PixelViewSizeX", false, W_(WIN_PIXELVIEW, width)).Int(0, 0, 0).Fixed(FixW).DynDefault(WD_(WIN_PIXELVIEW, Width)).Win(WIN_PIXELVIEW, WindowPart::Width));
  add(B(G_WINDOW, "Window", "PixelViewSizeY", false, W_(WIN_PIXELVIEW, height)).Int(0, 0, 0).Fixed(FixH).DynDefault(WD_(WIN_PIXELVIEW, Height)).Win(WIN_PIXELVIEW, WindowPart::Height));
  add(B(G_WINDOW, "Window", "PixelViewShow", false, W_(WIN_PIXELVIEW, show)).OneOf(1, kToolShow).Win(WIN_PIXELVIEW, WindowPart::Show));
  add(B(G_WINDOW, "Window", "SwapViewPosX", false, W_(WIN_SWAPVIEW, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_SWAPVIEW, X)).Win(WIN_SWAPVIEW, WindowPart::X));
  add(B(G_WINDOW, "Window", "SwapViewPosY", false, W_(WIN_SWAPVIEW, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_SWAPVIEW, Y)).Win(WIN_SWAPVIEW, WindowPart::Y));
  add(B(G_WINDOW, "Window", "SwapViewSizeX", false, W_(WIN_SWAPVIEW, width)).Int(0, 0, 0).Fixed(FixW).DynDefault(WD_(WIN_SWAPVIEW, Width)).Win(WIN_SWAPVIEW, WindowPart::Width));
  add(B(G_WINDOW, "Window", "SwapViewSizeY", false, W_(WIN_SWAPVIEW, height)).Int(0, 0, 0).Fixed(FixH).DynDefault(WD_(WIN_SWAPVIEW, Height)).Win(WIN_SWAPVIEW, WindowPart::Height));
  add(B(G_WINDOW, "Window", "SwapViewShow", false, W_(WIN_SWAPVIEW, show)).OneOf(1, kToolShow).Win(WIN_SWAPVIEW, WindowPart::Show));
  add(B(G_WINDOW, "Window", "xFontViewPos", false, W_(WIN_FONTVIEW, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_FONTVIEW, X)).Win(WIN_FONTVIEW, WindowPart::X));
  add(B(G_WINDOW, "Window", "yFontViewPos", false, W_(WIN_FONTVIEW, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_FONTVIEW, Y)).Win(WIN_FONTVIEW, WindowPart::Y));
  add(B(G_WINDOW, "Window", "IconFontShow", false, W_(WIN_FONTVIEW, show)).OneOf(1, kToolShow).Alt("FontViewShow").Win(WIN_FONTVIEW, WindowPart::Show));
  add(B(G_WINDOW, "Window", "xPalettePos", false, W_(WIN_PALETTE, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_PALETTE, X)).Win(WIN_PALETTE, WindowPart::X));
  add(B(G_WINDOW, "Window", "yPalettePos", false, W_(WIN_PALETTE, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_PALETTE, Y)).Win(WIN_PALETTE, WindowPart::Y));
  add(B(G_WINDOW, "Window", "PaletteShow", false, W_(WIN_PALETTE, show)).OneOf(1, kToolShow).Win(WIN_PALETTE, WindowPart::Show));
  add(B(G_WINDOW, "Window", "xRainbowPos", false, W_(WIN_RAINBOW, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_RAINBOW, X)).Win(WIN_RAINBOW, WindowPart::X));
  add(B(G_WINDOW, "Window", "yRainbowPos", false, W_(WIN_RAINBOW, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_RAINBOW, Y)).Win(WIN_RAINBOW, WindowPart::Y));
  add(B(G_WINDOW, "Window", "xRainbowSize", false, W_(WIN_RAINBOW, width)).Int(0, 0, 0).Fixed(FixW).DynDefault(WD_(WIN_RAINBOW, Width)).Win(WIN_RAINBOW, WindowPart::Width));
  add(B(G_WINDOW, "Window", "yRainbowSize", false, W_(WIN_RAINBOW, height)).Int(0, 0, 0).Fixed(FixH).DynDefault(WD_(WIN_RAINBOW, Height)).Win(WIN_RAINBOW, WindowPart::Height));
  add(B(G_WINDOW, "Window", "RainbowShow", false, W_(WIN_RAINBOW, show)).OneOf(1, kToolShow).Win(WIN_RAINBOW, WindowPart::Show));
  add(B(G_WINDOW, "Window", "xCodePagePos", false, W_(WIN_CODEPAGE, x)).Int(0, 0, 0).Fixed(FixX).DynDefault(WD_(WIN_CODEPAGE, X)).Win(WIN_CODEPAGE, WindowPart::X));
  add(B(G_WINDOW, "Window", "yCodePagePos", false, W_(WIN_CODEPAGE, y)).Int(0, 0, 0).Fixed(FixY).DynDefault(WD_(WIN_CODEPAGE, Y)).Win(WIN_CODEPAGE, WindowPart::Y));
  add(B(G_WINDOW, "Window", "xCodePageSize", false, W_(WIN_CODEPAGE, width)).Int(0, 0, 0).Fixed(FixW).DynDefault(WD_(WIN_CODEPAGE, Width)).Win(WIN_CODEPAGE, WindowPart::Width));
  add(B(G_WINDOW, "Window", "yCodePageSize", false, W_(WIN_CODEPAGE, height)).Int(0, 0, 0).Fixed(FixH).DynDefault(WD_(WIN_CODEPAGE, Height)).Win(WIN_CODEPAGE, WindowPart::Height));
  add(B(G_WINDOW, "Window", "CodePageShow", false, W_(WIN_CODEPAGE, show)).OneOf(1, kToolShow).Win(WIN_CODEPAGE, WindowPart::Show));

  // Pixel View size commands of set 0 and set 1, kept as commands: a cell
  // width shaped by the LCD's aspect ratio is no size command.
  add(B(G_VIEWPIX, "PixelView", "PixelViewPixSize", false, G_(pixelViewPixSize)).Int(10088, 10087, 10150));
  add(B(G_VIEWPIX, "PixelView", "FlashActiveElement", false, G_(flashActiveElement)).Flag(1));
  add(B(G_VIEWPIX, "SwapView", "SwapViewPixSize", false, G_(swapViewPixSize)).Int(10088, 10087, 10150));

  // Pixel (sizes and spacings in hundredths of a millimetre)
  add(B(G_PIXEL, "Pixel", "ScreenFixedAspectRatio", false, G_(screenFixedAspectRatio)).OneOf(1030, {1030, 1031}));
  add(B(G_PIXEL, "Pixel", "CountX", false, G_(lcdCountX)).Int(128, 1, 65535));
  add(B(G_PIXEL, "Pixel", "CountY", false, G_(lcdCountY)).Int(128, 1, 65535));
  add(B(G_PIXEL, "Pixel", "SizeX", false, G_(pixelSizeXmm)).Scaled(SettingKind::Scale100, 50, 1, 100000));
  add(B(G_PIXEL, "Pixel", "SizeY", false, G_(pixelSizeYmm)).Scaled(SettingKind::Scale100, 50, 1, 100000));
  add(B(G_PIXEL, "Pixel", "SpacingX", false, G_(spacingXmm)).Scaled(SettingKind::Scale100, 10, 0, 100000));
  add(B(G_PIXEL, "Pixel", "SpacingY", false, G_(spacingYmm)).Scaled(SettingKind::Scale100, 10, 0, 100000));

  add(B(G_TOOL, "Tool", "AddColomnFromCornerPixel", false, G_(addColumnFromCornerPixel)).Flag(0));
  add(B(G_TOOL, "Tool", "AddRowFromCornerPixel", false, G_(addRowFromCornerPixel)).Flag(0));

  add(B(G_FILE_ANSI, "File", "ConvertToAnsi", false, G_(convertToAnsi)).Flag(1));

  add(B(G_MENU_SAVE, "Menu", "SaveSettings", false, G_(saveSettings)).Flag(1));
  add(B(G_MENU, "Menu", "AskForSaveChanges", false, G_(askForSaveChanges)).Flag(0));
  add(B(G_MENU, "Menu", "DoubleType", false, G_(doubleType)).Id(10216, 10214, 10216));
  add(B(G_MENU, "Menu", "HalfType", false, G_(halfType)).Id(10217, 10217, 10219));
  add(B(G_MENU, "Menu", "ReopenFilesAtStartup", false, G_(reopenFilesAtStartup)).Flag(0));

  // Print (scales in thousandths)
  add(B(G_PRINT, "Print", "mmPrintSizeX", false, E_(set[0].printedWidthMm))
          .Int(0, 0, INT32_MAX)
          .WriteOnly([](EditorState& e, int) -> int32_t { return e.Cur().printedWidthMm; }));
  add(B(G_PRINT, "Print", "mmPrintSizeY", false, E_(set[0].printedHeightMm))
          .Int(0, 0, INT32_MAX)
          .WriteOnly([](EditorState& e, int) -> int32_t { return e.Cur().printedHeightMm; }));
  add(B(G_PRINT, "Print", "PromillePrintSizeX", false, G_(printFactorX)).Scaled(SettingKind::Scale1000, 1000, 1, 100000));
  add(B(G_PRINT, "Print", "PromillePrintSizeY", false, G_(printFactorY)).Scaled(SettingKind::Scale1000, 1000, 1, 100000));
  add(B(G_PRINT, "Print", "PrinterFixedAspectRatio", false, G_(printerFixedAspectRatio)).Id(1022, 0, 65535));
  add(B(G_PRINT, "Print", "PrinterNumber", false, G_(printerNumber)).Int(0, 0, 42));
  add(B(G_PRINT, "Print", "ShowMoreThanMaxPrinters", false, G_(showMoreThanMaxPrinters)).Flag(1));

  // Font, first part. A stored 10413 (the loaded font) reads as 10405, and is
  // written as 10405, since the loaded font is not loaded again at start.
  add(B(G_FONT_A, "Font", "PaintBack", false, G_(paintBack)).Flag(1));
  add(B(G_FONT_A, "Font", "TrueTypeGrey", false, G_(trueTypeGrey)).Int(200, 0, 255));
  add(B(G_FONT_A, "Font", "FontType", false, G_(fontType))
          .OneOf(10405, {10405, 10406, 10407, 10408, 10409, 10410, 10411, 10412, 10418})
          .WriteAs([](EditorState& e, int) -> int32_t {
            return e.cfg.fontType == 10413 ? 10405 : e.cfg.fontType;
          }));
  add(B(G_FONT_A, "Font", "FontSizeX", false, G_(fontSizeX)).Int(6, 1, 64));
  add(B(G_FONT_A, "Font", "FontSizeY", false, G_(fontSizeY)).Int(8, 1, 64));
  add(B(G_FONT_A, "Font", "FontTypeUnicode", false, G_(fontTypeUnicode)).Flag(0));
  add(B(G_FONT_A, "Font", "FontViewSize", false, G_(fontViewSize))
          .Int(10084, 10082, 10085)
          .WriteAs([](EditorState& e, int) -> int32_t {
            return e.cfg.fontViewSize > 10085 ? 10085 : e.cfg.fontViewSize;
          }));

  // Show (8 = checked, 0 = unchecked)
  add(B(G_SHOW, "Show", "ShowGrid", false, G_(showGrid)).OneOf(8, {0, 8}));
  add(B(G_SHOW, "Show", "ShowIconGrid", false, G_(showIconGrid)).OneOf(8, {0, 8}));
  add(B(G_SHOW, "Show", "ShowElementGrid", false, G_(showElementGrid)).OneOf(8, {0, 8}));
  add(B(G_SHOW, "Show", "ShowPixelGridInPrint", false, G_(showPixelGridInPrint)).Flag(1));
  add(B(G_SHOW, "Show", "ShowElementGridInPrint", false, G_(showElementGridInPrint)).Flag(1));
  add(B(G_SHOW, "Show", "EnableSwap", false, G_(enableSwap)).Flag(0));
  add(B(G_SHOW, "Show", "ShowPaletteAutoSavedAsMessageBox", false, G_(showPaletteAutoSavedAsMessageBox)).Flag(1));
  add(B(G_SHOW, "Show", "ShowRememberToSavePaletteAsMessageBox", false, G_(showRememberToSavePaletteAsMessageBox)).Flag(1));

  add(B(G_FILE_SKIP, "File", "SkipAutoSavePaletteWithSymbolFile", false, G_(skipAutoSavePalette)).Flag(0));
  add(B(G_FILE_SKIP, "File", "SkipAutoSaveSystemPaletteWithSymbolFile", false, G_(skipAutoSaveSystemPalette)).Flag(0));

  add(B(G_MOUSE, "Mouse", "DisableMouseOperationsInGroupMode", false, G_(disableMouseOperationsInGroupMode)).Flag(0));
  add(B(G_MOUSE, "Mouse", "EndDrawWhenLeave", false, G_(endDrawWhenLeave)).Flag(0));

  add(B(G_COLOR, "Color", "Show", false, G_(monoShow)).Flag(0));
  add(B(G_COLOR, "Color", "Print", false, G_(monoPrint)).Flag(0));
  add(B(G_COLOR, "Color", "rWhite", false, G_(rWhite)).Int(160, 0, 255));
  add(B(G_COLOR, "Color", "gWhite", false, G_(gWhite)).Int(176, 0, 255));
  add(B(G_COLOR, "Color", "bWhite", false, G_(bWhite)).Int(156, 0, 255));
  add(B(G_COLOR, "Color", "rBlack", false, G_(rBlack)).Int(80, 0, 255));
  add(B(G_COLOR, "Color", "gBlack", false, G_(gBlack)).Int(88, 0, 255));
  add(B(G_COLOR, "Color", "bBlack", false, G_(bBlack)).Int(78, 0, 255));
  add(B(G_COLOR, "Color", "rgbGreenGrid", false, G_(rgbGreenGrid)).Color(0x008C00));
  add(B(G_COLOR, "Color", "rgbRedGrid", false, G_(rgbRedGrid)).Color(0x00008C));
  add(B(G_COLOR, "Color", "ShowGreenGrid", false, G_(showGreenGrid)).Flag(1));

  add(B(G_EDIT, "Edit", "rGray", false, G_(rGray)).Int(127, 0, 255));
  add(B(G_EDIT, "Edit", "gGray", false, G_(gGray)).Int(127, 0, 255));
  add(B(G_EDIT, "Edit", "bGray", false, G_(bGray)).Int(127, 0, 255));
  add(B(G_EDIT, "Edit", "mGray", false, G_(mGray)).Int(127, 0, 255));
  add(B(G_EDIT, "Edit", "ClipAction", false, G_(clipAction)).Id(1017, 1016, 1018));
  add(B(G_EDIT, "Edit", "RadioExistingNew", false, G_(radioExistingNew)).Id(1083, 0, 65535));
  add(B(G_EDIT, "Edit", "DisablePasteDlg", false, G_(disablePasteDlg)).Flag(0));
  add(B(G_EDIT, "Edit", "DisableBitMapReadDlg", false, G_(disableBitMapReadDlg)).Flag(0));
  add(B(G_EDIT, "Edit", "DisableDotMapConvertDlg", false, G_(disableDotMapConvertDlg)).Flag(0));
  add(B(G_EDIT, "Edit", "ElementDeleteMethod", false, G_(elementDeleteMethod)).Id(10503, 10503, 10505));
  add(B(G_EDIT, "Edit", "Gray", false, G_(gray)).Int(128, 0, 255));

  add(B(G_LOGFONT, "LogFont", "Height", false, G_(lfHeight)).Int(0, -1000, 1000));
  add(B(G_LOGFONT, "LogFont", "Width", false, G_(lfWidth)).Int(0, -1000, 1000));
  add(B(G_LOGFONT, "LogFont", "Escapement", false, G_(lfEscapement)).Int(0, -3600, 3600));
  add(B(G_LOGFONT, "LogFont", "Orientation", false, G_(lfOrientation)).Int(0, -3600, 3600));
  add(B(G_LOGFONT, "LogFont", "Weight", false, G_(lfWeight)).Int(400, 0, 1000));
  add(B(G_LOGFONT, "LogFont", "Italic", false, G_(lfItalic)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "Underline", false, G_(lfUnderline)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "StrikeOut", false, G_(lfStrikeOut)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "CharSet", false, G_(lfCharSet)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "OutPrecision", false, G_(lfOutPrecision)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "ClipPrecision", false, G_(lfClipPrecision)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "Quality", false, G_(lfQuality)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "PitchAndFamily", false, G_(lfPitchAndFamily)).Int(0, 0, 255));
  add(B(G_LOGFONT, "LogFont", "FaceName", false, G_(lfFaceName)).Text("", kFaceNameSlot));

  add(B(G_FONT_B, "Font", "ReloadFont", false, G_(reloadFont)).Flag(0));
  add(B(G_FONT_B, "Font", "FontFileName", false, G_(fontFileName)).Text("", kFontTextSlot));
  add(B(G_FONT_B, "Font", "FontName", false, G_(fontName)).Text("Sample8x8", kFontTextSlot));
  add(B(G_FONT_B, "Font", "OldFontFileName", false, G_(oldFontFileName)).Text("", kFontTextSlot));

  add(B(G_FILE_RELOAD, "File", "ReloadFilesAtStartUp", false, G_(reloadFilesAtStartUp)).Flag(0));
  add(B(G_FILE_RELOAD, "File", "InterpolatePaste", false, G_(interpolatePaste)).Flag(0));
  add(B(G_FILE_RELOAD, "File", "InterpolateNumberOfPixels", false, G_(interpolateNumberOfPixels)).Id(1083, 0, 65535));
  add(B(G_FILE_RELOAD, "File", "CodePageTextFormat", false, G_(codePageTextFormat)).Id(1941, 0, 65535));
  add(B(G_FILE_RELOAD, "File", "DisableAutomaticCorrections", false, G_(disableAutomaticCorrections)).Flag(0));
  return t;
}

}  // namespace

const std::vector<SettingRow>& SettingsTable() {
  static const std::vector<SettingRow> table = BuildTable();
  return table;
}

void FormatSection(const SettingRow& row, int set, char* out, size_t size) {
  if (row.perSet) {
    std::snprintf(out, size, row.section, set);
  } else {
    std::snprintf(out, size, "%s", row.section);
  }
}

void FormatKey(const SettingRow& row, int index, char* out, size_t size) {
  if (row.count > 0 || row.dynCount) {
    std::snprintf(out, size, row.key, index);
  } else {
    std::snprintf(out, size, "%s", row.key);
  }
}

int RowCount(const SettingRow& row, EditorState& st, int set) {
  if (row.dynCount) return row.dynCount(st, set);
  if (row.count > 0) return row.count;
  return 1;
}

int32_t RowDefault(const SettingRow& row, EditorState& st, int set, int index) {
  if (row.dynDefault) return row.dynDefault(st, set, index);
  return row.def;
}

int32_t ApplyRange(const SettingRow& row, EditorState& st, int set, int32_t value, int32_t def) {
  if (row.fix) return row.fix(st, set, value, def);
  switch (row.rule) {
    case RangeRule::Clamp:
      if (value < row.lo) return row.lo;
      if (value > row.hi) return row.hi;
      return value;
    case RangeRule::DefaultOutside:
      return (value < row.lo || value > row.hi) ? def : value;
    case RangeRule::OneOf:
      for (int32_t v : row.allowed) {
        if (v == value) return value;
      }
      return def;
  }
  return value;
}

bool ParseStoredInt(const char* text, int32_t* value) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool neg = false;
  if (*p == '-' || *p == '+') {
    neg = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') return false;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (v < 10000000000LL) v = v * 10 + (*p - '0');  // saturates well beyond int32
  }
  if (neg) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  *value = static_cast<int32_t>(v);
  return true;
}

}  // namespace dw
