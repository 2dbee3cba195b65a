#include "files/FileServices.h"

#include <cstring>

#include "core/EditorState.h"
#include "core/Services.h"

namespace dw {

// BuildFileDescriptor lives with the descriptor line (FileDescriptor.cpp),
// OpenDataFile with the open stages (OpenFile.cpp).

void RememberFileDirectory(const char* path) {
  if (!path || !g_ed) return;
  DataSet& s = g_ed->Cur();
  if (std::strchr(path, '*')) {
    if (Svc().prompter) Svc().prompter->Ask(path, "Cannot Open File", MBX_OK | MBX_ICONEXCLAMATION);
    s.initialDir[0] = '\0';
    return;
  }
  const char* slash = std::strrchr(path, '\\');
  const char* fwd = std::strrchr(path, '/');
  if (fwd && (!slash || fwd > slash)) slash = fwd;
  if (!slash) {
    s.initialDir[0] = '\0';
    return;
  }
  size_t n = static_cast<size_t>(slash - path) + 1;  // the directory keeps its separator
  char dir[kPathSlot];
  if (n >= sizeof dir) return;
  std::memcpy(dir, path, n);
  dir[n] = '\0';
  CopyText(s.initialDir, kPathSlot, dir);
}

}  // namespace dw
