// The clipboard seam bound to the platform's clipboard: CF_BITMAP is read
// once into a 32-bit top-down buffer, written as a bitmap of the same pixels,
// and text is only told apart.
#include "core/Win32Host.h"

namespace dw {

namespace {

// Another program may hold the clipboard for a moment; a few short tries
// ride that out without hanging.
constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 10;
// A bitmap larger than this is refused as if there were none: the paste
// never needs more than the store, and a 32-bit program must not try to
// hold a gigantic copy.
constexpr LONG kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t(4096) * 4096;

bool OpenTheClipboard() {
  for (int i = 0; i < kOpenTries; ++i) {
    if (OpenClipboard(g_hwnd[WIN_MAIN])) return true;
    Sleep(kOpenRetryMs);
  }
  return false;
}

// 0x00BBGGRR <-> the DIB's 0x00RRGGBB.
uint32_t SwapRedBlue(uint32_t p) { return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF); }

BITMAPINFO TopDown32(LONG width, LONG height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // rows from the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

bool ReadBitmapHandle(HBITMAP handle, ClipBitmap* out) {
  BITMAP bm = {};
  if (!handle || GetObjectA(handle, sizeof bm, &bm) != sizeof bm) return false;
  LONG width = bm.bmWidth, height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      int64_t(width) * height > kMaxPixels)
    return false;
  ClipBitmap b;
  b.width = width;
  b.height = height;
  b.pixels.assign(static_cast<size_t>(width) * height, 0);
  BITMAPINFO bi = TopDown32(width, height);
  HDC screen = GetDC(nullptr);
  int lines = GetDIBits(screen, handle, 0, static_cast<UINT>(height), b.pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != height) return false;
  for (uint32_t& p : b.pixels) p = SwapRedBlue(p) & 0xFFFFFF;
  *out = std::move(b);
  return true;
}

struct Win32ClipboardImpl : IClipboard {
  bool ReadBitmap(ClipBitmap* out) override {
    *out = ClipBitmap();
    if (!IsClipboardFormatAvailable(CF_BITMAP) || !OpenTheClipboard()) return false;
    bool ok = ReadBitmapHandle(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), out);
    CloseClipboard();
    if (!ok) *out = ClipBitmap();
    return ok;
  }

  bool HasText() override {
    return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT) ||
           IsClipboardFormatAvailable(CF_OEMTEXT);
  }

  bool WriteBitmap(const ClipBitmap& bitmap) override {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() < static_cast<size_t>(bitmap.width) * bitmap.height)
      return false;
    std::vector<uint32_t> dib(bitmap.pixels.begin(), bitmap.pixels.begin() + static_cast<size_t>(bitmap.width) * bitmap.height);
    for (uint32_t& p : dib) p = SwapRedBlue(p);
    BITMAPINFO bi = TopDown32(bitmap.width, bitmap.height);
    HDC screen = GetDC(nullptr);
    // A device-dependent bitmap, as CF_BITMAP wants.
    HBITMAP handle = CreateCompatibleBitmap(screen, bitmap.width, bitmap.height);
    bool drawn = handle && SetDIBits(screen, handle, 0, static_cast<UINT>(bitmap.height), dib.data(), &bi,
                                     DIB_RGB_COLORS) == bitmap.height;
    ReleaseDC(nullptr, screen);
    if (!drawn || !OpenTheClipboard()) {
      if (handle) DeleteObject(handle);
      return false;
    }
    EmptyClipboard();
    // On success the clipboard owns the bitmap.
    bool given = SetClipboardData(CF_BITMAP, handle) != nullptr;
    CloseClipboard();
    if (!given) DeleteObject(handle);
    return given;
  }
};

Win32ClipboardImpl g_clipboard;

}  // namespace

IClipboard* Win32Clipboard() { return &g_clipboard; }

}  // namespace dw
