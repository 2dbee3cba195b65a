// Whole-picture edits on a 1600 x 1200 picture, each reported as a multiple
// of one plain copy of the 7,680,000-byte cell block measured in the same
// run (the "copies" counter), so the figures compare across machines.
// Reported only: nothing here fails on a slow result.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/EditorState.h"
#include "core/MouseTools.h"
#include "core/Paste.h"
#include "core/Services.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "core/Undo.h"

namespace {

using namespace dw;
using Clock = std::chrono::steady_clock;

constexpr size_t kCellBlockBytes = sizeof(uint32_t) * static_cast<size_t>(kCellsPerSet);  // 7,680,000

// Seconds one plain copy of the cell block takes: the fastest of a few, once
// per run.
double CopySeconds() {
  static double seconds = [] {
    std::vector<uint32_t> from(kCellsPerSet, 1), to(kCellsPerSet);
    double best = 1e9;
    for (int i = 0; i < 30; ++i) {
      auto t0 = Clock::now();
      std::memcpy(to.data(), from.data(), kCellBlockBytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
      best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
      from[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
    }
    return best;
  }();
  return seconds;
}

// Each edit runs a fixed number of times: its set-up (a full picture
// restored) is not timed, so a time-based count would run the set-up
// thousands of times for a fast edit.
constexpr int kRuns = 10;

// Runs `op` once per iteration after `setUp` (not counted) and reports the
// mean time of `op` in copies of the cell block.
template <typename SetUp, typename Op>
void RunInCopies(benchmark::State& state, SetUp setUp, Op op) {
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    setUp();
    state.ResumeTiming();
    auto t0 = Clock::now();
    op();
    total += std::chrono::duration<double>(Clock::now() - t0).count();
    benchmark::ClobberMemory();
  }
  if (state.iterations() > 0) state.counters["copies"] = total / static_cast<double>(state.iterations()) / CopySeconds();
}

// A fresh state whose current set holds a `width` x `height` picture in
// black and white (a checker of 3 x 3 blocks) or palette kind (a ramp of
// indexes), shown as one Single Icon, or as a group of `element` x
// `element` elements when `element` is not 0.
void MakePicture(int32_t width, int32_t height, bool palette, int32_t element = 0) {
  EditorState& st = *CreateEditorState();
  InstallServices(Services());
  DataSet& s = st.Cur();
  s.pictureWidth = width;
  s.pictureHeight = height;
  s.activeLeft = s.activeTop = 0;
  s.activeRight = width;
  s.activeBottom = height;
  s.colorMode = palette ? 10666 : 10665;
  s.colorKind = 10668;
  s.paletteSize = 256;
  for (int i = 0; i < 256; ++i) s.palette[i] = static_cast<uint32_t>(i * 0x010101);
  if (element > 0) {
    s.viewMode = 10099;
    s.elementWidth = s.elementHeight = element;
    s.elementCountX = width / element;
    s.elementCount = s.elementCountX * (height / element);
  } else {
    s.viewMode = 10097;
    s.elementWidth = width;
    s.elementHeight = height;
    s.elementCountX = s.elementCount = 1;
  }
  for (int32_t i = 0; i < kMaxElements; ++i) {
    s.elementWidths[i] = s.elementWidth;
    s.elementHeights[i] = s.elementHeight;
  }
  for (int32_t x = 0; x < width; ++x)
    for (int32_t y = 0; y < height; ++y)
      *CellPtr(st, st.currentDataSet, x, y) =
          palette ? static_cast<uint32_t>((x / 8 + y / 8) & 0xFF) : static_cast<uint32_t>(((x / 3) + (y / 3)) & 1);
  st.clientWidth = kMaxPictureWidth;
  st.workSheetHeight = kMaxPictureHeight;
}

// The baseline itself, for the report.
void BM_CopyCellBlock(benchmark::State& state) {
  std::vector<uint32_t> from(kCellsPerSet, 1), to(kCellsPerSet);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kCellBlockBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kCellBlockBytes));
  state.counters["copies"] = 1.0;
  state.counters["best_ms"] = CopySeconds() * 1e3;
}
BENCHMARK(BM_CopyCellBlock)->Unit(benchmark::kMillisecond);

// A picture command on a fresh picture each time.
void PictureCommand(benchmark::State& state, int id, int32_t width, int32_t height, bool palette,
                    int32_t element = 0) {
  MakePicture(width, height, palette, element);
  const DataSet saved = g_ed->Cur();
  std::vector<uint32_t> cells(g_ed->Cur().cells, g_ed->Cur().cells + kCellsPerSet);
  RunInCopies(
      state,
      [&] {
        DataSet& s = g_ed->Cur();
        s = saved;
        std::memcpy(s.cells, cells.data(), kCellBlockBytes);
        for (int32_t i = 0; i < kMaxElements; ++i) {
          s.elementWidths[i] = saved.elementWidth;
          s.elementHeights[i] = saved.elementHeight;
        }
      },
      [&] { RunPictureCommand(id); });
  DestroyEditorState();
}

constexpr int kMirrorVertical = 10039;
constexpr int kTurn = 10043;
constexpr int kDouble = 10071;
constexpr int kHalf = 10072;

void BM_Mirror(benchmark::State& state) {
  PictureCommand(state, kMirrorVertical, kMaxPictureWidth, kMaxPictureHeight, false);
}
BENCHMARK(BM_Mirror)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

void BM_TurnElements16(benchmark::State& state) {
  PictureCommand(state, kTurn, kMaxPictureWidth, kMaxPictureHeight, false, 16);
}
BENCHMARK(BM_TurnElements16)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

void BM_DoubleFrom800x600(benchmark::State& state) {
  PictureCommand(state, kDouble, kMaxPictureWidth / 2, kMaxPictureHeight / 2, false);
}
BENCHMARK(BM_DoubleFrom800x600)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

void BM_HalfBlackAndWhite(benchmark::State& state) {
  PictureCommand(state, kHalf, kMaxPictureWidth, kMaxPictureHeight, false);
}
BENCHMARK(BM_HalfBlackAndWhite)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

void BM_HalfPalette(benchmark::State& state) {
  PictureCommand(state, kHalf, kMaxPictureWidth, kMaxPictureHeight, true);
}
BENCHMARK(BM_HalfPalette)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

// One snapshot and its undo, on a full picture.
void BM_PushUndoAndUndo(benchmark::State& state) {
  MakePicture(kMaxPictureWidth, kMaxPictureHeight, false);
  RunInCopies(
      state, [] {},
      [] {
        PushUndo();
        UndoEdit();
      });
  DestroyEditorState();
}
BENCHMARK(BM_PushUndoAndUndo)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

// The flood fill of an empty picture from its centre: every cell changes.
void BM_FillFromOneSeed(benchmark::State& state) {
  MakePicture(kMaxPictureWidth, kMaxPictureHeight, false);
  DataSet& s = g_ed->Cur();
  s.penColor = 10019;
  s.mouseMode = 106;
  RunInCopies(
      state, [&] { std::memset(s.cells, 0, kCellBlockBytes); },
      [] { FloodFill(kMaxPictureWidth / 2, kMaxPictureHeight / 2); });
  state.SetLabel(std::to_string(std::count(s.cells, s.cells + kCellsPerSet, 1u)) + " cells filled");
  DestroyEditorState();
}
BENCHMARK(BM_FillFromOneSeed)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

// One recomputation of the twist dialog's picture from its backup (the
// dialog opened once, its amount typed and applied each time).
void Twist(benchmark::State& state, int mode, const char* amount) {
  MakePicture(kMaxPictureWidth, kMaxPictureHeight, false);
  {
    TwistSession session(mode);
    RunInCopies(state, [] {}, [&] { session.Apply(amount); });
    session.Finish(0);
  }
  DestroyEditorState();
}

constexpr int kTwistTiltTop = 0;
constexpr int kTwistTurn = 6;

void BM_TwistTurn30(benchmark::State& state) { Twist(state, kTwistTurn, "30"); }
BENCHMARK(BM_TwistTurn30)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

void BM_TwistTilt(benchmark::State& state) { Twist(state, kTwistTiltTop, "20"); }
BENCHMARK(BM_TwistTilt)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

// Fit Clipboard to Icon: a 2000 x 1500 bitmap scaled to the 1600 x 1200
// palette picture with 3-pixel interpolation both ways, every pixel matched
// to the nearest of 256 palette colours.
void BM_Paste2000x1500(benchmark::State& state) {
  MakePicture(kMaxPictureWidth, kMaxPictureHeight, true);
  ResetPasteState();
  GlobalSettings& c = g_ed->cfg;
  c.clipAction = kPasteFitClipboard;
  c.interpolatePaste = 1;
  c.interpolateNumberOfPixels = kInterpolate3Pixel;
  CurrentPaste().direction = kDirectionBoth;
  ClipBitmap bitmap;
  bitmap.width = 2000;
  bitmap.height = 1500;
  bitmap.pixels.resize(static_cast<size_t>(bitmap.width) * bitmap.height);
  for (int32_t y = 0; y < bitmap.height; ++y)
    for (int32_t x = 0; x < bitmap.width; ++x)
      bitmap.pixels[static_cast<size_t>(y) * bitmap.width + x] =
          static_cast<uint32_t>((x * 255 / bitmap.width) | ((y * 255 / bitmap.height) << 8) | (((x + y) & 0xFF) << 16));
  CurrentPaste().clipWidth = bitmap.width;
  CurrentPaste().clipHeight = bitmap.height;
  ComputePasteSize(kMaxPictureWidth, kMaxPictureHeight);
  RunInCopies(state, [] { CurrentPaste().busy = false; }, [&] { PasteClipboardBitmap(bitmap); });
  state.SetLabel(std::to_string(CurrentPaste().width) + " x " + std::to_string(CurrentPaste().height));
  DestroyEditorState();
}
BENCHMARK(BM_Paste2000x1500)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

}  // namespace
