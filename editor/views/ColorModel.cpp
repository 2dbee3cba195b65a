#include "views/ColorModel.h"

#include <cstdio>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "views/StatusLine.h"

namespace dw {

const uint32_t kDefaultColorTable[16] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                         0xFFFF00, 0xFF00FF, 0x202020, 0x404040, 0x606060, 0x7D7D7D,
                                         0x969696, 0xAFAFAF, 0xC8C8C8, 0xE1E1E1};

namespace {
struct SizeRow {
  int32_t columns, rows, clientWidth, clientHeight;
};
const SizeRow kSizes[12] = {{2, 1, 166, 26},    {4, 1, 166, 26},    {8, 1, 166, 26},
                            {8, 2, 166, 46},    {16, 2, 326, 46},   {16, 4, 326, 86},
                            {16, 8, 326, 166},  {16, 16, 326, 326}, {32, 16, 390, 198},
                            {32, 32, 390, 390}, {64, 32, 774, 390}, {64, 64, 774, 774}};

int SizeIndex(int32_t command) {
  if (command >= 10244 && command <= 10255) return command - 10244;
  if (command >= 10262 && command <= 10273) return command - 10262;
  return -1;
}
}  // namespace

bool IsPaletteSizeCommand(int32_t command) { return SizeIndex(command) >= 0; }

bool PaletteClientSize(int32_t command, int32_t* width, int32_t* height, int32_t* columns, int32_t* rows) {
  int k = SizeIndex(command);
  if (k < 0) return false;
  *width = kSizes[k].clientWidth;
  *height = kSizes[k].clientHeight;
  *columns = kSizes[k].columns;
  *rows = kSizes[k].rows;
  return true;
}

void ApplyPaletteSize() {
  DataSet& s = g_ed->Cur();
  int k = SizeIndex(s.paletteSizeCommand);
  if (k < 0) return;  // an unknown command leaves everything as it was
  const ScreenMetrics& m = g_ed->metrics;
  g_ed->paletteColumns = kSizes[k].columns;
  g_ed->paletteRows = kSizes[k].rows;
  g_ed->paletteOuterWidth = kSizes[k].clientWidth + 2 * m.edgeWidth;
  g_ed->paletteOuterHeight = kSizes[k].clientHeight + 2 * m.edgeWidth + m.captionHeight;
  s.paletteSize = 2 << k;
  s.grayFlag = s.paletteSizeCommand >= 10262;
}

static int32_t MaxLevel(int32_t bits) {
  if (bits < 1) bits = 1;
  if (bits > 8) bits = 8;
  return (1 << bits) - 1;
}

void UpdateChannelLevels() {
  DataSet& s = g_ed->Cur();
  s.redMax = MaxLevel(s.redBits);
  s.greenMax = MaxLevel(s.greenBits);
  s.blueMax = MaxLevel(s.blueBits);
  s.grayMax = MaxLevel(s.grayBits);
}

// Stand-in: the reduction to the channel resolution arrives with the colour
// dialogs; until then every colour is shown as it is.
uint32_t QuantizeColor(uint32_t color) { return color & 0xFFFFFF; }

int32_t FindNearestPaletteIndex(uint32_t color) {
  const DataSet& s = g_ed->Cur();
  int32_t n = g_ed->paletteColumns * g_ed->paletteRows;
  if (n > kMaxPaletteEntries) n = kMaxPaletteEntries;
  int32_t best = 0;
  int64_t bestDist = 196608;
  int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  for (int32_t i = 0; i < n; ++i) {
    uint32_t p = s.palette[i];
    int dr = r - static_cast<int>(p & 0xFF), dg = g - static_cast<int>((p >> 8) & 0xFF),
        db = b - static_cast<int>((p >> 16) & 0xFF);
    int64_t d = static_cast<int64_t>(dr) * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

void LoadDefaultColors() {
  DataSet& s = g_ed->Cur();
  for (int i = 0; i < 16; ++i) {
    s.systemColorTable[i] = QuantizeColor(kDefaultColorTable[i]);
    s.grayTable[i] = QuantizeColor(0x111111u * static_cast<uint32_t>(i));
  }
  if (s.useSystemPaletteColors) {
    int n = s.systemColorPaletteSize;
    if (n < 0) n = 0;
    if (n > 16) n = 16;
    for (int i = 0; i < n; ++i) s.palette[i] = QuantizeColor(kDefaultColorTable[i]);
  }
}

// Stand-in generators: a plain colour cube (3-3-2 bits for 256 entries,
// 4-4-4 for 4096) so entry 0 is black and the last entry white.
void PaintPalette256Colors(void* dc) {
  DataSet& s = g_ed->Cur();
  if (dc || s.paletteLoaded) return;
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = ((i >> 5) & 7) * 255 / 7, g = ((i >> 2) & 7) * 255 / 7, b = (i & 3) * 255 / 3;
    s.palette[i] = QuantizeColor(r | g << 8 | b << 16);
  }
}

void PaintPalette4096Colors(void* dc) {
  DataSet& s = g_ed->Cur();
  if (dc || s.paletteLoaded) return;
  for (uint32_t i = 0; i < 4096; ++i) {
    uint32_t r = ((i >> 8) & 15) * 17, g = ((i >> 4) & 15) * 17, b = (i & 15) * 17;
    s.palette[i] = QuantizeColor(r | g << 8 | b << 16);
  }
}

bool IsDarkColor(uint32_t color, int32_t threshold) {
  int32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  int64_t t = threshold;
  return static_cast<int64_t>(r) * r + g * g + b * b <= 3 * t * t;
}

uint32_t PaletteColorOf(const DataSet& s, uint32_t index) {
  return s.palette[index < static_cast<uint32_t>(kMaxPaletteEntries) ? index : 0];
}

namespace {

// Progress of a conversion: every seventh column and once at the end.
constexpr int32_t kProgressColumns = 7;
void Progress(const char* format, int32_t column, int32_t total) {
  if (column % kProgressColumns != 0 && column != total) return;
  char text[80];
  std::snprintf(text, sizeof text, format, static_cast<int>(column), static_cast<int>(total));
  g_ed->statusText = text;
  ShowStatus(0);
}

// Runs f on every cell of the first `columns` x `rows` cells, column by column.
template <typename F>
void ConvertCells(DataSet& s, int32_t columns, int32_t rows, const char* format, F f) {
  if (columns > kMaxPictureWidth) columns = kMaxPictureWidth;
  if (rows > kMaxPictureHeight) rows = kMaxPictureHeight;
  // The whole store: past its columns in use every cell holds one value,
  // converted once.
  const bool whole = columns == kMaxPictureWidth && rows == kMaxPictureHeight;
  const int32_t converted = whole ? CellColumnsInUse(s) : columns;
  WidenCellColumns(s, converted);
  for (int32_t x = 0; x < columns; ++x) {
    Progress(format, x, columns);
    if (x >= converted) continue;
    uint32_t* column = s.cells + static_cast<size_t>(x) * kColumnStride;
    for (int32_t y = 0; y < rows; ++y) column[y] = f(column[y]);
  }
  if (converted < columns) SetCellRest(s, f(s.cellRest));
  Progress(format, columns, columns);
}

// The nearest palette index of many cells: pictures repeat their colours, so
// a small cache spares most of the searches through the palette.
class NearestIndexCache {
 public:
  NearestIndexCache() {
    for (Entry& e : entries_) e.valid = false;
  }
  int32_t Find(uint32_t color) {
    color &= 0xFFFFFF;
    Entry& e = entries_[(color * 2654435761u) >> (32 - kBits)];
    if (!e.valid || e.color != color) {
      e.color = color;
      e.index = FindNearestPaletteIndex(color);
      e.valid = true;
    }
    return e.index;
  }

 private:
  static constexpr int kBits = 12;
  struct Entry {
    uint32_t color;
    int32_t index;
    bool valid;
  };
  Entry entries_[1 << kBits];
};

GrayThresholdHook g_thresholdHook = nullptr;

int AskThresholdAndConvert(bool paletteSource) {
  const GlobalSettings& c = g_ed->cfg;
  int answer = 1;
  if (!c.disableDotMapConvertDlg && g_thresholdHook) answer = g_thresholdHook(paletteSource);
  if (answer == 0) return 0;
  if (paletteSource) ConvertPaletteToBw();
  else ConvertRgbToBw();
  return 1;
}

}  // namespace

void ConvertPaletteToRgb() {
  DataSet& s = g_ed->Cur();
  s.colorKind = 10667;
  ConvertCells(s, kMaxPictureWidth, kMaxPictureHeight, "Convert Palette To Rgb %d / %d",
               [&s](uint32_t c) { return PaletteColorOf(s, c); });
}

void ConvertRgbToPalette() {
  DataSet& s = g_ed->Cur();
  s.colorKind = 10668;
  NearestIndexCache* cache = new NearestIndexCache();
  ConvertCells(s, s.pictureWidth, s.pictureHeight, "Convert Rgb To Palette %d / %d",
               [cache](uint32_t c) { return static_cast<uint32_t>(cache->Find(c)); });
  delete cache;
}

void ConvertPaletteToBw() {
  DataSet& s = g_ed->Cur();
  int32_t t = g_ed->cfg.gray;
  ConvertCells(s, s.pictureWidth, s.pictureHeight, "Convert Palette To Black And White %d / %d",
               [&s, t](uint32_t c) { return IsDarkColor(PaletteColorOf(s, c), t) ? 1u : 0u; });
}

void ConvertRgbToBw() {
  DataSet& s = g_ed->Cur();
  int32_t t = g_ed->cfg.gray;
  ConvertCells(s, s.pictureWidth, s.pictureHeight, "Convert Rgb To Black And White %d / %d",
               [t](uint32_t c) { return IsDarkColor(c, t) ? 1u : 0u; });
}

void SetGrayThresholdHook(GrayThresholdHook hook) { g_thresholdHook = hook; }
int ConvertPaletteToBwAsk() { return AskThresholdAndConvert(true); }
int ConvertRgbToBwAsk() { return AskThresholdAndConvert(false); }

// Stand-in until the palette generators bring their schemes: one per size.
int32_t AlternateSchemeCount(int32_t) { return 1; }

}  // namespace dw
