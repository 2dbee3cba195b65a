// The small interfaces through which the editor's logic reaches the platform:
// settings profile, message boxes, menu, ToolBox buttons, timer and the few
// window calls the logic makes. The program binds them to Win32; host tests
// and the fuzzer bind recording fakes. Nothing here includes <windows.h>.
#ifndef DOTWERK_CORE_SERVICES_H
#define DOTWERK_CORE_SERVICES_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/Canvas.h"
#include "core/EditorState.h"

namespace dw {

// Message-box flags and answers with the platform's values, so both sides
// of the seam speak the same numbers.
enum : unsigned {
  MBX_OK = 0x0,
  MBX_YESNOCANCEL = 0x3,
  MBX_YESNO = 0x4,
  MBX_ICONHAND = 0x10,
  MBX_ICONQUESTION = 0x20,
  MBX_ICONEXCLAMATION = 0x30,
  MBX_ICONINFORMATION = 0x40,
};
enum : int { ANS_OK = 1, ANS_CANCEL = 2, ANS_YES = 6, ANS_NO = 7 };

// A private profile (ini) source. Names are case-insensitive; Get reports
// whether the key exists.
struct IProfile {
  virtual ~IProfile() {}
  virtual bool Get(const char* section, const char* key, std::string* value) = 0;
  virtual void Write(const char* section, const char* key, const char* value) = 0;
  // Key names of a section in file order (used for the printer list).
  virtual std::vector<std::string> Keys(const char* section) = 0;
};

struct IPrompter {
  virtual ~IPrompter() {}
  virtual int Ask(const char* text, const char* caption, unsigned flags) = 0;
  virtual void Beep(unsigned type) = 0;
};

// Menu state changes of the main menu. Items the menu lacks are left alone.
struct IMenu {
  virtual ~IMenu() {}
  virtual void Check(int id, bool checked) = 0;
  virtual void Enable(int id, bool enabled) = 0;  // false = greyed
  virtual void Remove(int id) = 0;
  virtual void SetText(int id, const char* text) = 0;
};

// ToolBox button protocol: WM_USER with (button, state); state is the button
// index (pressed), -1 released, -2 grey, -3 enable.
struct IToolBoxSink {
  virtual ~IToolBoxSink() {}
  virtual void Button(int button, int state, bool post) = 0;
};

// Timer 1 of the main window.
struct ITimerHost {
  virtual ~ITimerHost() {}
  virtual bool SetTimer(uint32_t id, uint32_t ms) = 0;
  virtual void KillTimer(uint32_t id) = 0;
};

// Window and caret calls the logic makes; each maps to one platform call.
enum ScrollBarId { SB_HORZ_BAR = 0, SB_VERT_BAR = 1 };
enum ShowCode { SHOW_HIDE = 0, SHOW_NORMAL = 1, SHOW_MAXIMIZE = 3, SHOW_SHOW = 5, SHOW_MINIMIZE = 6, SHOW_RESTORE = 9 };

struct WindowSnapshot {
  bool exists = false;
  bool visible = false;
  bool iconic = false;
  bool zoomed = false;
  Rect rect;        // present screen rectangle
  Rect normalRect;  // restored rectangle (what a minimised window comes back to)
};

struct IWindowOps {
  virtual ~IWindowOps() {}
  virtual bool Exists(WindowId w) = 0;
  virtual void Show(WindowId w, int showCode) = 0;
  virtual void Invalidate(WindowId w, bool erase) = 0;
  virtual void InvalidateWorkSheet(bool erase) = 0;
  virtual void SetTitle(WindowId w, const char* title) = 0;
  virtual void SetScroll(WindowId w, int bar, int32_t maximum, int32_t position) = 0;
  virtual void Move(WindowId w, int32_t x, int32_t y, int32_t width, int32_t height, bool toTop) = 0;
  virtual void Resize(WindowId w, int32_t width, int32_t height) = 0;
  virtual WindowSnapshot Snapshot(WindowId w) = 0;
  // Commands to the main window: Send runs the command now, Post queues it.
  virtual void SendCommand(int id) = 0;
  virtual void PostCommand(int id) = 0;
  virtual void PostScroll(bool vertical, int code) = 0;
  virtual void SendTimerTick(WindowId w) = 0;
  virtual void CloseWindow(WindowId w) = 0;  // posts WM_CLOSE
  // Caret of the typing mode.
  virtual void HideCaret() = 0;
  virtual void DestroyCaret() = 0;
  virtual void CreateCaret(int32_t width, int32_t height) = 0;
  virtual void SetCaretPos(int32_t x, int32_t y) = 0;
  virtual void ShowCaret() = 0;
  virtual void SetFocusMain() = 0;
  virtual void WaitCursor(bool on) = 0;
  // A canvas on a window's client area for drawing outside WM_PAINT (the
  // pens, the rubber-band shapes, the edit frame); null when the window does
  // not exist. Every canvas handed out is given back.
  virtual ICanvas* ClientCanvas(WindowId) { return nullptr; }
  virtual void ReleaseClientCanvas(ICanvas*) {}
  // The class cursor of a window by resource id (0: the arrow).
  virtual void SetClassCursor(WindowId, int) {}
};

// A bitmap taken from or given to the clipboard: 0x00BBGGRR pixels, row by
// row from the top.
struct ClipBitmap {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The clipboard: the bitmap format is read once into memory; text is only
// told apart so the user hears why nothing was pasted.
struct IClipboard {
  virtual ~IClipboard() {}
  // False when the clipboard holds no bitmap (out is then left empty).
  virtual bool ReadBitmap(ClipBitmap* out) = 0;
  virtual bool HasText() = 0;
  // Empties the clipboard and gives it the bitmap; false when it is busy.
  virtual bool WriteBitmap(const ClipBitmap& bitmap) = 0;
};

struct Services {
  IProfile* profile = nullptr;         // the settings file
  IProfile* windowsProfile = nullptr;  // the Windows profile (printer list)
  IPrompter* prompter = nullptr;
  IMenu* menu = nullptr;
  IToolBoxSink* toolbox = nullptr;
  ITimerHost* timer = nullptr;
  IWindowOps* windows = nullptr;
  IClipboard* clipboard = nullptr;
};

// Installs the services (null members get do-nothing stand-ins) and returns
// the ones in force.
void InstallServices(const Services& s);
Services& Svc();

// An empty profile: every key is missing and writes go nowhere. Reset to
// Defaults reads through it so no file is ever consulted.
IProfile* EmptyProfile();

}  // namespace dw

#endif
