// Writer -> reader round trip of a black-and-white set the input describes:
// every file type, both views, every layout of the C type, characters,
// decimal or hex comments, common or own element sizes and a code page.
// The file read back must give the set that was written (cells, geometry,
// characters, own sizes, format, descriptor code, code page), and writing
// it again must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/EditorState.h"
#include "core/Services.h"
#include "FuzzState.h"
#include "files/CodePageFile.h"
#include "FuzzInput.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"

using namespace dw;


namespace {

struct Input : FuzzInput {
  Input(const uint8_t* data, size_t size) : FuzzInput{data, size} {}
  // Bits for the cells: the rest of the input, repeated.
  const uint8_t* bits = nullptr;
  size_t bitCount = 0;
  uint32_t Bit(size_t i) const { return bitCount ? (bits[(i / 8) % bitCount] >> (i % 8)) & 1 : (i % 3 == 0); }
};

struct Range {
  int32_t start, end, base;
};

std::vector<Range> RangesOf(const DataSet& s) {
  std::vector<Range> r;
  for (int32_t i = 0; i < s.codePageRangeCount && i < kMaxCodePageRanges; ++i)
    r.push_back({s.codePageStart[i], s.codePageEnd[i], s.codePageBase[i]});
  return r;
}

void SetRanges(const std::vector<Range>& r) {
  CodePageTable t = CurrentCodePage();
  ClearCodePageRanges(t);
  for (const Range& x : r) Check(AddCodePageRange(t, x.start, x.end, x.base));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  // Each input from the first-start state (only what the last input touched
  // is cleared, so this costs less than the round trip).
  dwfuzz::FreshState();
  MemoryFileLayer fs;
  SetFileLayer(&fs);
  OpenMode() = OpenModes();
  HeaderCommentsOf(0).count = 0;

  static const int32_t kTypes[] = {1026, 1027, 1028};
  static const int32_t kBits[] = {1029, 1030, 1031, 1032};
  Input in{data, size};
  const uint32_t a = in.Take(1), b = in.Take(1);
  DataSet& s = g_ed->Cur();
  s.colorMode = 10665;
  s.bwFileFormat = kTypes[a % 3];
  const bool fontType = s.bwFileFormat != 1026;
  // The font types carry no layout in their code: the library's rows.
  s.byteOrganization = fontType ? 1034 : ((a >> 2) & 1 ? 1033 : 1034);
  s.bitOrganization = fontType ? 1031 : kBits[(a >> 3) & 3];
  s.noCharInElement = (a >> 5) & 1;
  s.useHexInCodePage = (a >> 6) & 1;
  const bool single = (a >> 7) & 1;
  s.viewMode = single ? 10097 : 10099;
  const bool variable = !single && (b & 1);
  const bool codePage = !single && ((b >> 1) & 1);

  if (single) {
    // A single icon may be as wide as the picture.
    s.elementWidth = 1 + static_cast<int32_t>(in.Take(2) % ((b >> 2) & 1 ? kMaxPictureWidth : 40));
    s.elementHeight = 1 + static_cast<int32_t>(in.Take(1) % 40);
    s.elementCountX = 1;
    s.elementCount = 1;
    s.pictureWidth = s.elementWidth;
    s.pictureHeight = s.elementHeight;
    s.elementChar = static_cast<int32_t>(in.Take(1));
  } else {
    s.elementWidth = 1 + static_cast<int32_t>(in.Take(1) % 24);
    s.elementHeight = 1 + static_cast<int32_t>(in.Take(1) % 24);
    s.elementCountX = 1 + static_cast<int32_t>(in.Take(1) % 8);
    s.elementCount = 1 + static_cast<int32_t>(in.Take(1) % 40);
    int32_t rows = (s.elementCount + s.elementCountX - 1) / s.elementCountX;
    int32_t cols = s.elementCount < s.elementCountX ? s.elementCount : s.elementCountX;
    s.pictureWidth = cols * s.elementWidth;
    s.pictureHeight = rows * s.elementHeight;
  }
  s.variableElementSizes = variable;
  for (int32_t i = 0; i < s.elementCount; ++i) {
    uint32_t v = in.Take(1);
    s.elementWidths[i] = variable ? 1 + static_cast<int32_t>(v % 16) % s.elementWidth : s.elementWidth;
    s.elementHeights[i] = variable ? 1 + static_cast<int32_t>((v >> 4) % 16) % s.elementHeight : s.elementHeight;
    s.elementChars[i] = static_cast<uint8_t>(in.Take(1));
  }

  // The code page: one or two ranges that cover the elements in order.
  std::vector<Range> ranges;
  if (codePage) {
    int32_t first = static_cast<int32_t>(in.Take(2));
    int32_t split = static_cast<int32_t>(in.Take(1) % static_cast<uint32_t>(s.elementCount));
    if (split > 0) ranges.push_back({first, first + split - 1, 0});
    int32_t second = first + split + static_cast<int32_t>(in.Take(1));
    ranges.push_back({second, second + s.elementCount - split - 1, split});
  } else {
    ranges.push_back({0x20, 0x20 + s.elementCount - 1, 0});
  }
  SetRanges(ranges);
  s.codePageDefaultChar = 0x20;
  s.useCodePage = codePage ? 1 : 0;
  CopyText(s.symbolPath, kPathSlot, "C:\\f\\r.sym");
  CopyText(s.symbolTitle, kPathSlot, "r.sym");
  CopyText(s.codePagePath, kPathSlot, "C:\\f\\r.cp");
  CopyText(s.codePageTitle, kPathSlot, "r.cp");

  in.bits = in.p;
  in.bitCount = in.n;
  const int32_t w = s.pictureWidth, h = s.pictureHeight;
  std::vector<uint32_t> cells(static_cast<size_t>(w) * h);
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y) {
      uint32_t v = in.Bit(static_cast<size_t>(x) * 37 + static_cast<size_t>(y));
      int32_t e = (y / s.elementHeight) * s.elementCountX + x / s.elementWidth;
      if (!single && e >= s.elementCount) v = 0;
      s.cells[static_cast<size_t>(x) * kColumnStride + y] = v;
      cells[static_cast<size_t>(x) * h + y] = v;
    }
  const DataSet before = s;  // the scalar settings; the arrays are compared below
  std::vector<int32_t> widths(s.elementWidths, s.elementWidths + s.elementCount);
  std::vector<int32_t> heights(s.elementHeights, s.elementHeights + s.elementCount);
  std::vector<uint8_t> chars(s.elementChars, s.elementChars + s.elementCount);

  Check(SaveSymbolFile());
  const std::string first = fs.files["C:\\f\\r.sym"];
  const uint8_t code = StoredDescriptorCode(g_ed->currentDataSet);
  if (codePage) fs.files["C:\\f\\r.cp"] = FormatCodePageFile(CurrentCodePage(), "r.cp");

  // Read back into a set that differs everywhere it could.
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y) s.cells[static_cast<size_t>(x) * kColumnStride + y] = 1;
  for (int32_t i = 0; i < before.elementCount; ++i) {
    s.elementWidths[i] = 0;
    s.elementHeights[i] = 0;
    s.elementChars[i] = static_cast<uint8_t>(chars[i] + 1);
  }
  s.elementChar = before.elementChar + 1;
  ClearCodePageRanges(CurrentCodePage());
  s.useCodePage = 0;
  Check(RunOpenSequence("C:\\f\\r.sym") == 1);

  Check(s.pictureWidth == w && s.pictureHeight == h);
  Check(s.elementWidth == before.elementWidth && s.elementHeight == before.elementHeight);
  Check(s.elementCount == before.elementCount);
  if (!single) Check(s.elementCountX == before.elementCountX);
  Check(s.bwFileFormat == before.bwFileFormat && s.viewMode == before.viewMode);
  Check(s.byteOrganization == before.byteOrganization && s.bitOrganization == before.bitOrganization);
  Check(StoredDescriptorCode(g_ed->currentDataSet) == code);
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y)
      Check(s.cells[static_cast<size_t>(x) * kColumnStride + y] == cells[static_cast<size_t>(x) * h + y]);
  const bool literal = s.bwFileFormat == 1028 || (s.bwFileFormat == 1026 && !before.noCharInElement);
  if (literal) {
    if (single) Check((s.elementChar & 0xFF) == (before.elementChar & 0xFF));
    else
      for (int32_t i = 0; i < s.elementCount; ++i) Check(s.elementChars[i] == chars[i]);
  }
  bool ownSizes = false;
  for (int32_t i = 0; variable && i < before.elementCount; ++i)
    ownSizes = ownSizes || widths[i] != before.elementWidth || heights[i] != before.elementHeight;
  // The flag comes from the records: only a size other than the nominal one sets it.
  if (ownSizes) Check(s.variableElementSizes);
  if (variable) {
    for (int32_t i = 0; i < s.elementCount; ++i) Check(s.elementWidths[i] == widths[i] && s.elementHeights[i] == heights[i]);
  }
  if (codePage) {
    Check(s.useCodePage != 0);
    std::vector<Range> back = RangesOf(s);
    Check(back.size() == ranges.size());
    for (size_t i = 0; i < back.size(); ++i)
      Check(back[i].start == ranges[i].start && back[i].end == ranges[i].end && back[i].base == ranges[i].base);
  }
  Check(s.codePageRangeCount >= 0 && s.codePageRangeCount <= kMaxCodePageRanges);

  // The same file again: the code page the first write used (a file without
  // a reference gets the default one-range page, whose characters differ).
  if (!codePage) SetRanges(ranges);
  s.useHexInCodePage = before.useHexInCodePage;
  Check(SaveSymbolFile());
  Check(fs.files["C:\\f\\r.sym"] == first);

  SetFileLayer(nullptr);
  dwfuzz::CheckCellBookkeeping(data, size);
  return 0;
}
