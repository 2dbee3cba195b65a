// The Win32 side of the editor: window handles, the platform implementations
// of the seams, the window procedures and the start-up. Included only by the
// Windows build.
#ifndef DOTWERK_CORE_WIN32HOST_H
#define DOTWERK_CORE_WIN32HOST_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/Canvas.h"
#include "core/Services.h"

namespace dw {

extern HINSTANCE g_instance;
extern HWND g_hwnd[WIN_COUNT];
extern HACCEL g_accelerators;
extern RECT g_workSheetRect;

// Seam implementations bound to the real windows.
class Win32IniProfile : public IProfile {
 public:
  explicit Win32IniProfile(const char* fileName) : file_(fileName) {}
  bool Get(const char* section, const char* key, std::string* value) override;
  void Write(const char* section, const char* key, const char* value) override;
  std::vector<std::string> Keys(const char* section) override;

 private:
  std::string file_;
};

// The Windows profile (win.ini sections "windows" and "devices").
class Win32WinIniProfile : public IProfile {
 public:
  bool Get(const char* section, const char* key, std::string* value) override;
  void Write(const char* section, const char* key, const char* value) override;
  std::vector<std::string> Keys(const char* section) override;
};

class GdiCanvas : public ICanvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  ~GdiCanvas() override;
  void PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) override;
  void SetPixel(int32_t x, int32_t y, uint32_t color) override;
  void FillSolid(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) override;
  void SelectPen(int kind, uint32_t color) override;
  void ReleasePen() override;
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override;
  void DrawIcon(int32_t x, int32_t y, int iconId) override;
  void SetXorMode(bool on) override;

 private:
  HDC dc_;
  HPEN created_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HBRUSH brush_ = nullptr;
  COLORREF brushColor_ = 0;
};

// The platform's clipboard (CF_BITMAP in, CF_BITMAP out, text told apart).
IClipboard* Win32Clipboard();

// Which window a handle is, or WIN_COUNT.
WindowId WindowOf(HWND hwnd);

// Overrides for the Win32 tests; null members take the platform's.
struct StartOptions {
  IProfile* profile = nullptr;
  IProfile* windowsProfile = nullptr;
  IPrompter* prompter = nullptr;
  ITimerHost* timer = nullptr;
};

// Start-up up to the message loop. Returns false when the program must end
// now (the timer could not be created); the message has then been shown.
bool StartDotwerk(HINSTANCE instance, const StartOptions& options);
// The message loop; returns the quit code.
int RunMessageLoop();
// The whole program: start, loop, settings. Returns the exit code.
int RunDotwerk(HINSTANCE instance);
// Destroys the windows and the classes and frees the state (Win32 tests).
void ShutdownDotwerk();

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PixelViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SwapViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FontViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ToolBoxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PaletteWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RainbowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CodePageViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The WM_PAINT handler of the main window.
int PaintMainWindow(HWND hwnd);

}  // namespace dw

#endif
