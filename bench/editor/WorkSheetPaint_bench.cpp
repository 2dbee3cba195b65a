// Work-sheet repaint on the host's pixel canvas: one solid fill per cell
// against one pixel write per device pixel (the GDI comparison runs under
// Wine in WorkSheetPaint_win_bench.cpp).
#include <benchmark/benchmark.h>

#include "PaintCommon.h"
#include "core/Paint.h"
#include "core/RecordingCanvas.h"

static void BM_RepaintWorkSheet(benchmark::State& state) {
  bool rgb = state.range(0) != 0;
  int cell = static_cast<int>(state.range(1));
  dw::g_fillCellRectMode = static_cast<dw::FillMode>(state.range(2));
  dwbench::SetUpPicture(rgb, cell);
  dw::PixelCanvas canvas(1600, 1200, 0xC0C0C0);
  for (auto _ : state) {
    dw::PaintWorkSheet(canvas);
    benchmark::DoNotOptimize(canvas.Pixels().data());
  }
  state.SetLabel(std::string(rgb ? "rgb" : "bw") + " cell " + std::to_string(cell) +
                 (state.range(2) == dw::FILL_BRUSH ? " brush" : state.range(2) == dw::FILL_AUTO ? " auto" : " per-pixel"));
  dw::DestroyEditorState();
}
BENCHMARK(BM_RepaintWorkSheet)
    ->Args({1, 1, dw::FILL_BRUSH})
    ->Args({1, 1, dw::FILL_PER_PIXEL})
    ->Args({1, 4, dw::FILL_BRUSH})
    ->Args({1, 4, dw::FILL_PER_PIXEL})
    ->Args({0, 1, dw::FILL_AUTO})
    ->Unit(benchmark::kMillisecond);
