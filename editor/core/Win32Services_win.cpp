// Platform implementations of the editor's seams.
#include <vector>

#include "core/EditorState.h"
#include "core/Win32Host.h"

namespace dw {

HINSTANCE g_instance = nullptr;
HWND g_hwnd[WIN_COUNT] = {};
HACCEL g_accelerators = nullptr;
RECT g_workSheetRect = {0, 0, 0, 0};

WindowId WindowOf(HWND hwnd) {
  for (int i = 0; i < WIN_COUNT; ++i) {
    if (hwnd && g_hwnd[i] == hwnd) return static_cast<WindowId>(i);
  }
  return WIN_COUNT;
}

// A value that no settings file holds tells a missing key from an empty one.
static const char kMissing[] = "\x01\x02missing";

bool Win32IniProfile::Get(const char* section, const char* key, std::string* value) {
  std::vector<char> buf(4096);
  GetPrivateProfileStringA(section, key, kMissing, buf.data(), static_cast<DWORD>(buf.size()), file_.c_str());
  if (std::string(buf.data()) == kMissing) return false;
  if (value) *value = buf.data();
  return true;
}

void Win32IniProfile::Write(const char* section, const char* key, const char* value) {
  WritePrivateProfileStringA(section, key, value, file_.c_str());
}

static std::vector<std::string> SplitNames(const std::vector<char>& buf, DWORD n) {
  std::vector<std::string> out;
  const char* p = buf.data();
  const char* end = buf.data() + n;
  while (p < end && *p) {
    std::string name(p);
    out.push_back(name);
    p += name.size() + 1;
  }
  return out;
}

std::vector<std::string> Win32IniProfile::Keys(const char* section) {
  std::vector<char> buf(65536);
  DWORD n = GetPrivateProfileStringA(section, nullptr, "", buf.data(), static_cast<DWORD>(buf.size()), file_.c_str());
  return SplitNames(buf, n);
}

bool Win32WinIniProfile::Get(const char* section, const char* key, std::string* value) {
  std::vector<char> buf(4096);
  GetProfileStringA(section, key, kMissing, buf.data(), static_cast<DWORD>(buf.size()));
  if (std::string(buf.data()) == kMissing) return false;
  if (value) *value = buf.data();
  return true;
}

void Win32WinIniProfile::Write(const char* section, const char* key, const char* value) {
  WriteProfileStringA(section, key, value);
}

std::vector<std::string> Win32WinIniProfile::Keys(const char* section) {
  std::vector<char> buf(65536);
  DWORD n = GetProfileStringA(section, nullptr, "", buf.data(), static_cast<DWORD>(buf.size()));
  return SplitNames(buf, n);
}

GdiCanvas::~GdiCanvas() {
  if (created_) ReleasePen();
  if (brush_) DeleteObject(brush_);
}

void GdiCanvas::PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) {
  ::PatBlt(dc_, x, y, w, h, rop);
}

void GdiCanvas::SetPixel(int32_t x, int32_t y, uint32_t color) { ::SetPixelV(dc_, x, y, color); }

void GdiCanvas::FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
  // Neighbouring cells mostly share a colour: keep the brush while it fits.
  if (!brush_ || brushColor_ != color) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(color);
    brushColor_ = color;
  }
  RECT rc = {l, t, r, b};
  FillRect(dc_, &rc, brush_);
}

void GdiCanvas::SelectPen(int kind, uint32_t color) {
  if (created_) ReleasePen();
  HGDIOBJ pen;
  if (kind == PEN_STOCK_BLACK) {
    pen = GetStockObject(BLACK_PEN);
  } else if (kind == PEN_STOCK_WHITE) {
    pen = GetStockObject(WHITE_PEN);
  } else {
    created_ = CreatePen(kind == PEN_NULL ? PS_NULL : PS_SOLID, 1, color);
    pen = created_;
  }
  HGDIOBJ old = SelectObject(dc_, pen);
  if (!oldPen_) oldPen_ = old;
}

void GdiCanvas::ReleasePen() {
  if (oldPen_) SelectObject(dc_, oldPen_);
  oldPen_ = nullptr;
  if (created_) DeleteObject(created_);
  created_ = nullptr;
}

void GdiCanvas::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  MoveToEx(dc_, x0, y0, nullptr);
  LineTo(dc_, x1, y1);
}

void GdiCanvas::DrawIcon(int32_t x, int32_t y, int iconId) {
  HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(iconId));
  if (icon) ::DrawIcon(dc_, x, y, icon);
}

void GdiCanvas::SetXorMode(bool on) { SetROP2(dc_, on ? R2_XORPEN : R2_COPYPEN); }

}  // namespace dw
