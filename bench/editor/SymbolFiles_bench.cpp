// The editor's file readers and writers on their largest inputs, all in
// memory (the in-memory file layer), so the numbers show the parsing and
// formatting work and not the disk: a full 65536-element group written and
// read back, a code-page file of 16384 ranges, an element delete that splits
// a range in a 16000-range table, and a code page built from 10 MB of UTF-16.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/EditorState.h"
#include "core/Services.h"
#include "files/CodePageFile.h"
#include "files/FileIo.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"

namespace {

using namespace dw;

const char kSymPath[] = "C:\\b\\big.sym";
const char kCpPath[] = "C:\\b\\big.cp";

void CopyPath(char* dst, const char* src) {
  std::strncpy(dst, src, kPathSlot - 1);
  dst[kPathSlot - 1] = 0;
}

// A fresh editor state with the do-nothing services (messages go nowhere)
// and the in-memory file layer in force.
struct Session {
  MemoryFileLayer fs;
  Session() {
    CreateEditorState();
    InstallServices(Services());
    SetFileLayer(&fs);
  }
  ~Session() {
    SetFileLayer(nullptr);
    DestroyEditorState();
  }
};

// The largest group: 65536 elements of 4 x 4, 400 a row (the 1600-cell
// picture width), a C Source group with a pattern that changes from
// element to element so no two records are alike.
void MakeFullGroup() {
  DataSet& s = g_ed->Cur();
  const int32_t w = 4, h = 4, n = kMaxElements, perRow = kMaxPictureWidth / w;
  s.bwFileFormat = 1026;
  s.byteOrganization = 1034;
  s.bitOrganization = 1031;
  s.viewMode = 10099;
  s.colorMode = 10665;
  s.elementWidth = w;
  s.elementHeight = h;
  s.elementCount = n;
  s.elementCountX = perRow;
  s.pictureWidth = perRow * w;
  s.pictureHeight = ((n + perRow - 1) / perRow) * h;
  s.noCharInElement = 0;
  s.variableElementSizes = false;
  for (int i = 0; i < kMaxElements; ++i) {
    s.elementWidths[i] = w;
    s.elementHeights[i] = h;
  }
  s.codePageRangeCount = 1;
  s.codePageStart[0] = 0x20;
  s.codePageEnd[0] = 0x20 + n - 1;
  s.codePageBase[0] = 0;
  s.useCodePage = 0;
  for (int32_t x = 0; x < s.pictureWidth; ++x)
    for (int32_t y = 0; y < s.pictureHeight; ++y)
      *CellPtr(*g_ed, g_ed->currentDataSet, x, y) = ((x * 7 + y * 13 + (x / w) * (y / h)) % 5) < 2 ? 1u : 0u;
  CopyPath(s.symbolPath, kSymPath);
  CopyPath(s.symbolTitle, "big.sym");
}

void BM_WriteFullGroup(benchmark::State& state) {
  Session session;
  MakeFullGroup();
  size_t bytes = 0;
  for (auto _ : state) {
    if (!SaveSymbolFile()) {
      state.SkipWithError("save failed");
      break;
    }
    bytes = session.fs.files[kSymPath].size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(BM_WriteFullGroup)->Unit(benchmark::kMillisecond);

void BM_ReadFullGroup(benchmark::State& state) {
  Session session;
  MakeFullGroup();
  if (!SaveSymbolFile()) {
    state.SkipWithError("save failed");
    return;
  }
  const size_t bytes = session.fs.files[kSymPath].size();
  for (auto _ : state) {
    int r = OpenDataFile(kSymPath);
    if (r == 0 || g_ed->Cur().elementCount != kMaxElements) {
      state.SkipWithError("read failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(BM_ReadFullGroup)->Unit(benchmark::kMillisecond);

// A stand-alone table (three 16385-entry arrays) outside the editor state.
struct OwnTable {
  std::vector<int32_t> base, start, end;
  int32_t count = 0, def = 0x20;
  OwnTable() : base(kCodePageScratch + 1), start(kCodePageScratch + 1), end(kCodePageScratch + 1) {}
  CodePageTable Table() {
    CodePageTable t;
    t.symbolBase = base.data();
    t.startChar = start.data();
    t.endChar = end.data();
    t.count = &count;
    t.defaultChar = &def;
    return t;
  }
  // n ranges of `width` characters each, a gap of one character between
  // them, the elements numbered on without a gap.
  void Fill(int32_t n, int32_t width) {
    count = n;
    for (int32_t i = 0; i < n; ++i) {
      start[i] = 0x20 + i * (width + 1);
      end[i] = start[i] + width - 1;
      base[i] = i * width;
    }
  }
};

void BM_ReadCodePageFile(benchmark::State& state) {
  Session session;
  OwnTable own;
  own.Fill(kMaxCodePageRanges, 2);
  session.fs.files[kCpPath] = FormatCodePageFile(own.Table(), "big.cp");
  const size_t bytes = session.fs.files[kCpPath].size();
  int32_t stored = 0;
  for (auto _ : state) {
    int fd = Files().Open(kCpPath, FILE_READ);
    if (fd < 0) {
      state.SkipWithError("open failed");
      break;
    }
    {
      // The reader starts right after the "/*W" the open sequence took.
      FileByteReader in(fd);
      for (int i = 0; i < 3; ++i) in.Get();
      stored = ReadCodePageFile(in);
    }
    Files().Close(fd);
    if (stored != kMaxCodePageRanges) {
      state.SkipWithError("ranges lost");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.SetLabel(std::to_string(stored) + " ranges");
}
BENCHMARK(BM_ReadCodePageFile)->Unit(benchmark::kMillisecond);

// Deleting an element in the middle of a range splits it, so every later
// range moves one place and the table grows to 16001 entries.
void BM_ShiftCodePageForDelete(benchmark::State& state) {
  const int32_t kRanges = 16000, kWidth = 4;
  OwnTable model, work;
  model.Fill(kRanges, kWidth);
  const int32_t victim = (kRanges / 2) * kWidth + 1;
  for (auto _ : state) {
    state.PauseTiming();
    work.base = model.base;
    work.start = model.start;
    work.end = model.end;
    work.count = model.count;
    state.ResumeTiming();
    int32_t r = ShiftCodePageForDeleteIn(work.Table(), victim);
    benchmark::DoNotOptimize(r);
    if (r < 0 || work.count != kRanges + 1) {
      state.SkipWithError("delete refused");
      break;
    }
  }
}
BENCHMARK(BM_ShiftCodePageForDelete)->Unit(benchmark::kMicrosecond);

// 10 MB of UTF-16 (little endian): mostly printable ASCII with Latin-1 and
// a block of CJK characters mixed in, as a translated UI text would be.
std::vector<uint8_t> MakeUtf16Text(size_t bytes) {
  std::vector<uint8_t> text(bytes);
  uint32_t seed = 12345;
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    seed = seed * 1103515245u + 12345u;
    uint32_t r = (seed >> 16) & 0x7FFF;
    uint16_t c;
    if (r % 10 < 7) c = static_cast<uint16_t>(0x20 + r % 95);
    else if (r % 10 < 8) c = static_cast<uint16_t>(0xA0 + r % 96);
    else c = static_cast<uint16_t>(0x4E00 + r % 3000);
    text[i] = static_cast<uint8_t>(c & 0xFF);
    text[i + 1] = static_cast<uint8_t>(c >> 8);
  }
  return text;
}

void BM_TextImportUtf16(benchmark::State& state) {
  const std::vector<uint8_t> text = MakeUtf16Text(10u * 1024u * 1024u);
  OwnTable own;
  int32_t ranges = 0;
  for (auto _ : state) {
    bool full = false;
    ranges = BuildCodePageFromText(text.data(), text.size(), CPTEXT_UTF16LE, own.Table(), &full);
    benchmark::DoNotOptimize(ranges);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  state.SetLabel(std::to_string(ranges) + " ranges");
}
BENCHMARK(BM_TextImportUtf16)->Unit(benchmark::kMillisecond);

}  // namespace
