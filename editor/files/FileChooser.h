// The common Open/Save dialog as a hook: the program asks the real dialog,
// tests script the answers (path, title, filter index, or a cancel with its
// extended error).
#ifndef DOTWERK_FILES_FILECHOOSER_H
#define DOTWERK_FILES_FILECHOOSER_H

#include <cstdint>

namespace dw {

// path and title are 1024-byte buffers holding the proposal on entry and the
// choice on return; filterIndex goes in and comes back.
struct FileChoice {
  bool save = false;
  char* path = nullptr;
  char* title = nullptr;
  const char* initialDir = nullptr;
  const char* filter = nullptr;  // null: the editor's file-type list
  int32_t filterIndex = 1;
  uint32_t extendedError = 0;    // set when the dialog ends without a file (0 = cancel)
};

struct IFileChooser {
  virtual ~IFileChooser() {}
  // True with a file chosen; false on cancel or failure.
  virtual bool Choose(FileChoice& c) = 0;
};

// The chooser in force; without one installed, the common dialogs in the
// program and a cancel in the native build (no user to ask).
IFileChooser& Chooser();
void InstallFileChooser(IFileChooser* chooser);

// The filter index last chosen in any of the editor's file dialogs.
int32_t& LastFilterIndex();

}  // namespace dw

#endif
