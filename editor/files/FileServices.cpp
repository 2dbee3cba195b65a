#include "files/FileServices.h"

#include <cstring>

#include "core/EditorState.h"

namespace dw {

void BuildFileDescriptor() {}

int OpenDataFile(const char*) { return 0; }

void RememberFileDirectory(const char* path) {
  if (!path || !g_ed) return;
  const char* slash = std::strrchr(path, '\\');
  const char* fwd = std::strrchr(path, '/');
  if (fwd && (!slash || fwd > slash)) slash = fwd;
  if (!slash) return;
  size_t n = static_cast<size_t>(slash - path) + 1;  // the directory keeps its separator
  char dir[kPathSlot];
  if (n >= sizeof dir) return;
  std::memcpy(dir, path, n);
  dir[n] = '\0';
  CopyText(g_ed->Cur().initialDir, kPathSlot, dir);
}

}  // namespace dw
