#include "files/FileChooser.h"

#ifdef _WIN32
#include <windows.h>
#include <commdlg.h>
#endif

namespace dw {
namespace {

#ifdef _WIN32
// The common dialogs of the program, over the active window.
struct CommonDialogChooser : IFileChooser {
  bool Choose(FileChoice& c) override {
    static const char kEditorFilter[] =
        "Symbol Files (*.sym)\0*.sym\0CodePage Files (*.cp)\0*.cp\0C Files (*.c)\0*.c\0All (*.*)\0*.*\0";
    static const char kAllFilter[] = "All (*.*)\0*.*\0";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = c.filter ? kAllFilter : kEditorFilter;
    ofn.nFilterIndex = static_cast<DWORD>(c.filterIndex > 0 ? c.filterIndex : 1);
    ofn.lpstrFile = c.path;
    ofn.nMaxFile = 1024;
    ofn.lpstrFileTitle = c.title;
    ofn.nMaxFileTitle = 1024;
    ofn.lpstrInitialDir = c.initialDir;
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (c.save ? 0 : OFN_FILEMUSTEXIST);
    BOOL ok = c.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) {
      c.extendedError = CommDlgExtendedError();
      return false;
    }
    c.filterIndex = static_cast<int32_t>(ofn.nFilterIndex);
    return true;
  }
};
CommonDialogChooser g_default;
#else
// No user to ask in the native build: every dialog is cancelled.
struct CancelChooser : IFileChooser {
  bool Choose(FileChoice& c) override {
    c.extendedError = 0;
    return false;
  }
};
CancelChooser g_default;
#endif

IFileChooser* g_chooser = nullptr;
}  // namespace

IFileChooser& Chooser() { return g_chooser ? *g_chooser : g_default; }
void InstallFileChooser(IFileChooser* chooser) { g_chooser = chooser; }

int32_t& LastFilterIndex() {
  static int32_t index = 1;
  return index;
}

}  // namespace dw
