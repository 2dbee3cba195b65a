// Work-sheet repaint through GDI under Wine (or Windows): a 1600 x 1200
// picture painted into a 1600 x 1200 memory device context, with
// FillCellRect as one solid brush per cell and as one SetPixel per device
// pixel. Reports milliseconds per repaint; no threshold, nothing asserted.
#include <windows.h>

#include <cstdio>

#include "PaintCommon.h"
#include "core/Paint.h"
#include "core/Win32Host.h"

static double Repaint(HDC dc, bool rgb, int cell, dw::FillMode mode, int* runs) {
  dwbench::SetUpPicture(rgb, cell);
  dw::g_fillCellRectMode = mode;
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  int n = 0;
  double total = 0;
  // At least one repaint and about two seconds of them.
  do {
    QueryPerformanceCounter(&a);
    {
      dw::GdiCanvas canvas(dc);
      dw::PaintWorkSheet(canvas);
    }
    GdiFlush();
    QueryPerformanceCounter(&b);
    total += double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
    ++n;
  } while (total < 2000 && n < 50);
  *runs = n;
  dw::DestroyEditorState();
  return total / n;
}

int main() {
  BITMAPINFO bi;
  ZeroMemory(&bi, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 1600;
  bi.bmiHeader.biHeight = -1200;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  struct Case {
    const char* what;
    bool rgb;
    int cell;
    dw::FillMode mode;
  } cases[] = {{"rgb cell 1, brush", true, 1, dw::FILL_BRUSH},
               {"rgb cell 1, per pixel", true, 1, dw::FILL_PER_PIXEL},
               {"rgb cell 1, auto", true, 1, dw::FILL_AUTO},
               {"rgb cell 4, brush", true, 4, dw::FILL_BRUSH},
               {"rgb cell 4, per pixel", true, 4, dw::FILL_PER_PIXEL},
               {"rgb cell 4, auto", true, 4, dw::FILL_AUTO},
               {"b/w cell 1 (one PatBlt a cell)", false, 1, dw::FILL_AUTO}};
  std::printf("work-sheet repaint, 1600 x 1200 picture, 1600 x 1200 device pixels\n");
  for (const Case& c : cases) {
    int runs = 0;
    double ms = Repaint(mem, c.rgb, c.cell, c.mode, &runs);
    std::printf("%-34s %10.1f ms per repaint (%d runs)\n", c.what, ms, runs);
    std::fflush(stdout);
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return 0;
}
