#include "core/RecordingCanvas.h"

#include <cstdlib>

namespace dw {

void RecordingCanvas::Add(const CanvasOp& op) {
  ++count_;
  if (keep_) ops_.push_back(op);
}

void RecordingCanvas::PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) {
  CanvasOp op{CanvasOp::PAT_BLT};
  op.a = x, op.b = y, op.c = w, op.d = h, op.value = rop;
  Add(op);
}
void RecordingCanvas::SetPixel(int32_t x, int32_t y, uint32_t color) {
  CanvasOp op{CanvasOp::SET_PIXEL};
  op.a = x, op.b = y, op.value = color;
  Add(op);
}
void RecordingCanvas::FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
  CanvasOp op{CanvasOp::FILL};
  op.a = l, op.b = t, op.c = r, op.d = b, op.value = color;
  Add(op);
}
void RecordingCanvas::SelectPen(int kind, uint32_t color) {
  CanvasOp op{CanvasOp::SELECT_PEN};
  op.pen = kind, op.value = color;
  pen_ = kind;
  penColor_ = color;
  if (kind == PEN_SOLID || kind == PEN_NULL) ++openPens_;
  Add(op);
}
void RecordingCanvas::ReleasePen() {
  if (pen_ == PEN_SOLID || pen_ == PEN_NULL) --openPens_;
  pen_ = PEN_STOCK_BLACK;
  Add(CanvasOp{CanvasOp::RELEASE_PEN});
}
void RecordingCanvas::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  CanvasOp op{CanvasOp::LINE};
  op.a = x0, op.b = y0, op.c = x1, op.d = y1, op.pen = pen_, op.penColor = penColor_;
  Add(op);
}
void RecordingCanvas::DrawIcon(int32_t x, int32_t y, int iconId) {
  CanvasOp op{CanvasOp::ICON};
  op.a = x, op.b = y, op.value = static_cast<uint32_t>(iconId);
  Add(op);
}
void RecordingCanvas::SetXorMode(bool on) {
  CanvasOp op{CanvasOp::XOR};
  op.value = on ? 1 : 0;
  Add(op);
}

PixelCanvas::PixelCanvas(int32_t width, int32_t height, uint32_t background)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      pixels_(static_cast<size_t>(width_) * height_, background) {}

void PixelCanvas::Plot(int32_t x, int32_t y, uint32_t color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint32_t& p = pixels_[static_cast<size_t>(y) * width_ + x];
  p = xor_ ? (p ^ color) : color;
}

uint32_t PixelCanvas::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void PixelCanvas::PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) {
  int32_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  int64_t x1 = static_cast<int64_t>(x) + w, y1 = static_cast<int64_t>(y) + h;
  if (x1 > width_) x1 = width_;
  if (y1 > height_) y1 = height_;
  for (int32_t yy = y0; yy < y1; ++yy) {
    for (int32_t xx = x0; xx < x1; ++xx) {
      uint32_t& p = pixels_[static_cast<size_t>(yy) * width_ + xx];
      if (rop == ROP_BLACKNESS) p = 0;
      else if (rop == ROP_WHITENESS) p = 0xFFFFFF;
      else if (rop == ROP_DSTINVERT) p = ~p & 0xFFFFFF;
    }
  }
}

void PixelCanvas::SetPixel(int32_t x, int32_t y, uint32_t color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = color;
}

void PixelCanvas::FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > width_) r = width_;
  if (b > height_) b = height_;
  for (int32_t yy = t; yy < b; ++yy) {
    for (int32_t xx = l; xx < r; ++xx) pixels_[static_cast<size_t>(yy) * width_ + xx] = color;
  }
}

void PixelCanvas::SelectPen(int kind, uint32_t color) {
  pen_ = kind;
  penColor_ = kind == PEN_STOCK_WHITE ? 0xFFFFFF : kind == PEN_STOCK_BLACK ? 0 : color;
}

void PixelCanvas::ReleasePen() { pen_ = PEN_STOCK_BLACK, penColor_ = 0; }

// Only horizontal and vertical lines are drawn by the painters. The end
// point is left out, as the platform's LineTo does.
void PixelCanvas::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (pen_ == PEN_NULL) return;
  if (y0 == y1 && x0 != x1) {
    int64_t a = x1 > x0 ? x0 : static_cast<int64_t>(x1) + 1;
    int64_t b = x1 > x0 ? static_cast<int64_t>(x1) - 1 : x0;
    if (a < 0) a = 0;
    if (b >= width_) b = width_ - 1;
    for (int64_t x = a; x <= b; ++x) Plot(static_cast<int32_t>(x), y0, penColor_);
  } else if (x0 == x1 && y0 != y1) {
    int64_t a = y1 > y0 ? y0 : static_cast<int64_t>(y1) + 1;
    int64_t b = y1 > y0 ? static_cast<int64_t>(y1) - 1 : y0;
    if (a < 0) a = 0;
    if (b >= height_) b = height_ - 1;
    for (int64_t y = a; y <= b; ++y) Plot(x0, static_cast<int32_t>(y), penColor_);
  }
}

}  // namespace dw
