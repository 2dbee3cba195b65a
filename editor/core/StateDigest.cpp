#include "core/StateDigest.h"

#include <cstring>
#include <initializer_list>

#include "core/CellExtent.h"

namespace dw {

namespace {

// The hashing loop has no branches worth a fuzzer's coverage feedback.
#if defined(__clang__)
#define DW_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define DW_NO_COVERAGE
#endif

// FNV-1a style over 8-byte words (bytes at the tail): order-sensitive and
// quick enough to fingerprint the whole 7.68 MB cell block in a test.
struct Fnv {
  uint64_t h = 1469598103934665603ull;
  DW_NO_COVERAGE void Bytes(const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      uint64_t w;
      std::memcpy(&w, b + i, 8);
      h = (h ^ w) * 1099511628211ull;
      h ^= h >> 29;
    }
    for (; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  }
  void I(int64_t v) { Bytes(&v, sizeof v); }
  void D(double v) { Bytes(&v, sizeof v); }
  void Text(const char* t, size_t slot) { Bytes(t, strnlen(t, slot)); }
  // A large array as its entries up to the run of equal entries that ends
  // it, that run's start and its value: the same arrays give the same
  // words, without reading the run twice.
  template <class T>
  void Store(const T* a, size_t n) {
    size_t used = UniformTailStart(a, n);
    Bytes(a, used * sizeof(T));
    I(static_cast<int64_t>(used));
    I(static_cast<int64_t>(a[n - 1]));
  }
};

void Content(Fnv& f, const DataSet& s, DigestCells cells) {
  int32_t cols = cells.columns < 0 ? 0 : cells.columns > kMaxPictureWidth ? kMaxPictureWidth : cells.columns;
  int32_t rows = cells.rows < 0 ? 0 : cells.rows > kMaxPictureHeight ? kMaxPictureHeight : cells.rows;
  for (int32_t x = 0; x < cols; ++x)
    f.Bytes(s.cells + static_cast<size_t>(x) * kColumnStride, static_cast<size_t>(rows) * sizeof(uint32_t));
  for (int64_t v : std::initializer_list<int64_t>{s.pictureWidth, s.pictureHeight, s.activeLeft, s.activeTop, s.activeRight, s.activeBottom,
                    s.elementWidth, s.elementHeight, s.elementCount, s.elementCountX,
                    static_cast<int32_t>(s.variableElementSizes), s.currentElement, s.elementChar, s.viewMode,
                    s.mainGroupPixSize, s.mainElementPixSize, s.pixelSizeCommand, s.mainCellWidth,
                    s.mainCellHeight, s.elementCellWidth, s.elementCellHeight, s.textCursorX, s.textCursorY,
                    s.mouseMode, s.currentTool, s.penColor, s.colorMode, s.colorKind, s.paletteSizeCommand,
                    s.paletteSize, static_cast<int32_t>(s.grayFlag), s.redBits, s.greenBits, s.blueBits,
                    s.grayBits, s.redMax, s.greenMax, s.blueMax, s.grayMax, s.toolColorIndex,
                    s.backgroundColorIndex, static_cast<int64_t>(s.rgbToolColor),
                    static_cast<int64_t>(s.rgbBackgroundColor), s.useCodePage, s.codePageRangeCount,
                    s.codePageDefaultChar})
    f.I(v);
  f.D(s.saturation);
  f.Store(s.elementWidths, kMaxElements);
  f.Store(s.elementHeights, kMaxElements);
  f.Store(s.elementChars, kMaxElements);
  f.Store(s.palette, kMaxPaletteEntries);
  f.Bytes(s.grayTable, sizeof s.grayTable);
  f.Store(s.codePageBase, kCodePageEntries);
  f.Store(s.codePageStart, kCodePageEntries);
  f.Store(s.codePageEnd, kCodePageEntries);
  for (const char* t : {s.symbolPath, s.symbolTitle, s.extraPath, s.extraTitle, s.textPath, s.textTitle,
                        s.initialDir, s.palettePath, s.paletteTitle, s.systemPalettePath, s.systemPaletteTitle,
                        s.codePagePath, s.codePageTitle})
    f.Text(t, kPathSlot);
  f.Text(s.headerText, kHeaderTextSlot);
}

}  // namespace

uint64_t DigestDataSetContent(const EditorState& st, int set, DigestCells cells) {
  Fnv f;
  Content(f, st.set[set & 1], cells);
  return f.h;
}

uint64_t DigestDataSet(const EditorState& st, int set, DigestCells cells) {
  const DataSet& s = st.set[set & 1];
  Fnv f;
  Content(f, s, cells);
  f.I(s.modified);
  f.I(s.undoPosition);
  f.I(s.undoDepth);
  f.I(s.redoCount);
  return f.h;
}

}  // namespace dw
