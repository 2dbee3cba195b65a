// The clipboard seam bound to the platform's clipboard.
#include "core/Win32Host.h"

namespace dw {

namespace {

// Stand-in until the paste arrives: an empty clipboard that refuses writes.
struct Win32ClipboardImpl : IClipboard {
  bool ReadBitmap(ClipBitmap* out) override {
    *out = ClipBitmap();
    return false;
  }
  bool HasText() override { return false; }
  bool WriteBitmap(const ClipBitmap&) override { return false; }
};

Win32ClipboardImpl g_clipboard;

}  // namespace

IClipboard* Win32Clipboard() { return &g_clipboard; }

}  // namespace dw
