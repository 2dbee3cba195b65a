// Exports of the current set into other formats and the element files.
#ifndef DOTWERK_FILES_EXPORTFILES_H
#define DOTWERK_FILES_EXPORTFILES_H

#include <cstdint>

namespace dw {

// Write the current set into the file at path (chosen by the caller); false
// after a reported error.
bool ExportBinaryFile(const char* path);
bool ExportAssemblerFile(const char* path);
// The code page as text in format 1941..1943 (CODEPAGETEXTFORMAT).
bool ExportCodePageText(const char* path, int32_t format);
// Each element to its own file, or several files into one group.
void SaveGroupAsElements();
void ElementsToGroup();

}  // namespace dw

#endif
