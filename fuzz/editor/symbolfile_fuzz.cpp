// Arbitrary bytes as a data file through OpenDataFile (recognition, the
// descriptor fields, the pre-scan, the records, the code-page reader and the
// bitmap and binary header checks), the descriptor decoder on its own, and a
// writer -> reader round trip of a set built from the input that must come
// back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/EditorState.h"
#include "core/Services.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "FuzzState.h"
#include "FuzzInput.h"

using namespace dw;

static void CheckInvariants(const DataSet& s) {
  Check(s.pictureWidth >= 0 && s.pictureWidth <= kMaxPictureWidth);
  Check(s.pictureHeight >= 0 && s.pictureHeight <= kMaxPictureHeight);
  Check(s.elementCount >= 1 && s.elementCount <= kMaxElements);
  Check(s.codePageRangeCount >= 0 && s.codePageRangeCount <= 16384);
  for (int32_t i = 1; i < s.codePageRangeCount; ++i) Check(s.codePageStart[i - 1] <= s.codePageStart[i]);
}

static void RoundTrip(const uint8_t* data, size_t size, MemoryFileLayer& fs) {
  if (size < 6) return;
  static const int32_t kBytes[] = {1033, 1034};
  static const int32_t kBits[] = {1029, 1030, 1031, 1032};
  static const int32_t kTypes[] = {1026, 1026, 1027, 1028};
  DataSet& s = g_ed->Cur();
  s.colorMode = 10665;
  s.bwFileFormat = kTypes[data[0] & 3];
  bool lib = s.bwFileFormat != 1026;
  s.byteOrganization = lib ? 1034 : kBytes[(data[0] >> 2) & 1];
  s.bitOrganization = lib ? 1031 : kBits[(data[0] >> 3) & 3];
  s.noCharInElement = (data[0] >> 5) & 1;
  s.useHexInCodePage = (data[0] >> 6) & 1;
  bool single = (data[0] >> 7) & 1;
  s.viewMode = single ? 10097 : 10099;
  s.elementWidth = 2 + data[1] % 20;
  s.elementHeight = 2 + data[2] % 20;
  s.elementCountX = 1 + data[3] % 6;
  s.elementCount = single ? 1 : 1 + data[4] % 12;
  s.variableElementSizes = false;
  int32_t rows = (s.elementCount + s.elementCountX - 1) / s.elementCountX;
  s.pictureWidth = single ? s.elementWidth : s.elementCountX * s.elementWidth;
  s.pictureHeight = single ? s.elementHeight : rows * s.elementHeight;
  if (!single && s.elementCount < s.elementCountX) s.pictureWidth = s.elementCount * s.elementWidth;
  FillArray(s.elementWidths, kMaxElements, s.elementWidth);
  FillArray(s.elementHeights, kMaxElements, s.elementHeight);
  s.codePageRangeCount = 1;
  s.codePageStart[0] = 0x20;
  s.codePageEnd[0] = 0x20 + s.elementCount - 1;
  s.codePageBase[0] = 0;
  s.useCodePage = 0;
  CopyText(s.symbolPath, kPathSlot, "C:\\f\\r.sym");
  CopyText(s.symbolTitle, kPathSlot, "r.sym");
  std::vector<uint32_t> cells;
  for (int32_t x = 0; x < s.pictureWidth; ++x)
    for (int32_t y = 0; y < s.pictureHeight; ++y) {
      size_t bit = 5 * 8 + static_cast<size_t>(x * 31 + y);
      uint32_t v = bit / 8 < size ? (data[bit / 8 % size] >> (bit % 8)) & 1 : 0;
      int32_t e = (y / s.elementHeight) * s.elementCountX + x / s.elementWidth;
      if (!single && e >= s.elementCount) v = 0;
      s.cells[static_cast<size_t>(x) * kColumnStride + y] = v;
      cells.push_back(v);
    }
  HeaderCommentsOf(g_ed->currentDataSet).count = 0;
  Check(SaveSymbolFile());
  std::string first = fs.files["C:\\f\\r.sym"];
  int32_t w = s.pictureWidth, h = s.pictureHeight;
  // Every cell the file holds must come from the file.
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y) s.cells[static_cast<size_t>(x) * kColumnStride + y] = 1 - cells[static_cast<size_t>(x) * h + y];
  Check(OpenDataFile("C:\\f\\r.sym") == 1);
  Check(s.pictureWidth == w && s.pictureHeight == h);
  size_t k = 0;
  for (int32_t x = 0; x < w; ++x)
    for (int32_t y = 0; y < h; ++y) Check(s.cells[static_cast<size_t>(x) * kColumnStride + y] == cells[k++]);
  s.codePageRangeCount = 1;
  s.codePageStart[0] = 0x20;
  s.codePageEnd[0] = 0x20 + s.elementCount - 1;
  s.codePageBase[0] = 0;
  Check(SaveSymbolFile());
  Check(fs.files["C:\\f\\r.sym"] == first);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dwfuzz::FreshState();
  MemoryFileLayer fs;
  SetFileLayer(&fs);
  OpenMode() = OpenModes();
  HeaderCommentsOf(0).count = 0;
  DataSet& s = g_ed->Cur();
  s.elementCount = 4;
  s.elementCountX = 2;

  // The descriptor fields on their own.
  MemoryByteSource src(data, size);
  DescriptorFields f;
  ReadDescriptorFields(src, size > 0 && (data[0] & 1), &f);
  if (size > 0) (void)DecodeBwCode(data[0]);

  // The whole open, with a code-page file beside it named by the input.
  fs.files["C:\\f\\in.sym"] = std::string(reinterpret_cast<const char*>(data), size);
  fs.files["C:\\f\\in.cp"] = std::string(reinterpret_cast<const char*>(data), size);
  int r = RunOpenSequence("C:\\f\\in.sym");
  Check(r >= 0 && r <= 2);
  CheckInvariants(s);

  RoundTrip(data, size, fs);
  SetFileLayer(nullptr);
  dwfuzz::CheckCellBookkeeping(data, size);
  return 0;
}
