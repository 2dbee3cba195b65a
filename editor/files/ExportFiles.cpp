#include "files/ExportFiles.h"

namespace dw {

// Stand-ins until the export formats are built: nothing is written.
bool ExportBinaryFile(const char*) { return false; }
bool ExportAssemblerFile(const char*) { return false; }
bool ExportCodePageText(const char*, int32_t) { return false; }
void SaveGroupAsElements() {}
void ElementsToGroup() {}

}  // namespace dw
