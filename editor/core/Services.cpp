#include "core/Services.h"

namespace dw {
namespace {

struct NullProfile : IProfile {
  bool Get(const char*, const char*, std::string*) override { return false; }
  void Write(const char*, const char*, const char*) override {}
  std::vector<std::string> Keys(const char*) override { return {}; }
};

struct NullPrompter : IPrompter {
  // Without a user to ask, the first offered answer is taken.
  int Ask(const char*, const char*, unsigned flags) override {
    return (flags & 0xF) == MBX_OK ? ANS_OK : ANS_NO;
  }
  void Beep(unsigned) override {}
};

struct NullMenu : IMenu {
  void Check(int, bool) override {}
  void Enable(int, bool) override {}
  void Remove(int) override {}
  void SetText(int, const char*) override {}
};

struct NullToolBox : IToolBoxSink {
  void Button(int, int, bool) override {}
};

struct NullTimer : ITimerHost {
  bool SetTimer(uint32_t, uint32_t) override { return true; }
  void KillTimer(uint32_t) override {}
};

struct NullWindows : IWindowOps {
  bool Exists(WindowId) override { return false; }
  void Show(WindowId, int) override {}
  void Invalidate(WindowId, bool) override {}
  void InvalidateWorkSheet(bool) override {}
  void SetTitle(WindowId, const char*) override {}
  void SetScroll(WindowId, int, int32_t, int32_t) override {}
  void Move(WindowId, int32_t, int32_t, int32_t, int32_t, bool) override {}
  void Resize(WindowId, int32_t, int32_t) override {}
  WindowSnapshot Snapshot(WindowId) override { return WindowSnapshot(); }
  void SendCommand(int) override {}
  void PostCommand(int) override {}
  void PostScroll(bool, int) override {}
  void SendTimerTick(WindowId) override {}
  void CloseWindow(WindowId) override {}
  void HideCaret() override {}
  void DestroyCaret() override {}
  void CreateCaret(int32_t, int32_t) override {}
  void SetCaretPos(int32_t, int32_t) override {}
  void ShowCaret() override {}
  void SetFocusMain() override {}
  void WaitCursor(bool) override {}
};

struct NullClipboard : IClipboard {
  bool ReadBitmap(ClipBitmap* out) override {
    *out = ClipBitmap();
    return false;
  }
  bool HasText() override { return false; }
  bool WriteBitmap(const ClipBitmap&) override { return false; }
};

NullProfile g_nullProfile;
NullClipboard g_nullClipboard;
NullPrompter g_nullPrompter;
NullMenu g_nullMenu;
NullToolBox g_nullToolBox;
NullTimer g_nullTimer;
NullWindows g_nullWindows;

Services Completed(const Services& s) {
  Services r = s;
  if (!r.profile) r.profile = &g_nullProfile;
  if (!r.windowsProfile) r.windowsProfile = &g_nullProfile;
  if (!r.prompter) r.prompter = &g_nullPrompter;
  if (!r.menu) r.menu = &g_nullMenu;
  if (!r.toolbox) r.toolbox = &g_nullToolBox;
  if (!r.timer) r.timer = &g_nullTimer;
  if (!r.windows) r.windows = &g_nullWindows;
  if (!r.clipboard) r.clipboard = &g_nullClipboard;
  return r;
}

Services g_services = Completed(Services());

}  // namespace

void InstallServices(const Services& s) { g_services = Completed(s); }
Services& Svc() { return g_services; }
IProfile* EmptyProfile() { return &g_nullProfile; }

}  // namespace dw
