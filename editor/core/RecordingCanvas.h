// Host canvases: one records every call, one renders into a pixel buffer
// with the platform's rules (used by tests, the fuzzer and the benchmarks).
#ifndef DOTWERK_CORE_RECORDINGCANVAS_H
#define DOTWERK_CORE_RECORDINGCANVAS_H

#include <cstddef>
#include <vector>

#include "core/Canvas.h"

namespace dw {

struct CanvasOp {
  enum Kind { PAT_BLT, SET_PIXEL, FILL, SELECT_PEN, RELEASE_PEN, LINE, ICON, XOR } kind;
  int32_t a = 0, b = 0, c = 0, d = 0;  // x, y, width/right, height/bottom
  uint32_t value = 0;                  // rop, colour, pen colour or icon id
  int pen = 0;                         // pen kind (SELECT_PEN) or the pen in force (LINE)
  uint32_t penColor = 0;               // colour of the pen in force (LINE)
};

class RecordingCanvas : public ICanvas {
 public:
  // With keep false only the counts are kept (for long fuzz runs).
  explicit RecordingCanvas(bool keep = true) : keep_(keep) {}
  void PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) override;
  void SetPixel(int32_t x, int32_t y, uint32_t color) override;
  void FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) override;
  void SelectPen(int kind, uint32_t color) override;
  void ReleasePen() override;
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override;
  void DrawIcon(int32_t x, int32_t y, int iconId) override;
  void SetXorMode(bool on) override;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  size_t Count() const { return count_; }
  int OpenPens() const { return openPens_; }  // pens created and not yet deleted
  void Clear() {
    ops_.clear();
    count_ = 0;
  }

 private:
  void Add(const CanvasOp& op);
  bool keep_;
  std::vector<CanvasOp> ops_;
  size_t count_ = 0;
  int pen_ = PEN_STOCK_BLACK;
  uint32_t penColor_ = 0;
  int openPens_ = 0;
};

// A width x height surface of 0x00BBGGRR pixels; drawing outside is clipped.
class PixelCanvas : public ICanvas {
 public:
  PixelCanvas(int32_t width, int32_t height, uint32_t background);
  void PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) override;
  void SetPixel(int32_t x, int32_t y, uint32_t color) override;
  void FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) override;
  void SelectPen(int kind, uint32_t color) override;
  void ReleasePen() override;
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override;
  void DrawIcon(int32_t, int32_t, int) override {}
  void SetXorMode(bool on) override { xor_ = on; }
  uint32_t At(int32_t x, int32_t y) const;
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

 private:
  void Plot(int32_t x, int32_t y, uint32_t color);
  int32_t width_, height_;
  std::vector<uint32_t> pixels_;
  int pen_ = PEN_STOCK_BLACK;
  uint32_t penColor_ = 0;
  bool xor_ = false;
};

}  // namespace dw

#endif
