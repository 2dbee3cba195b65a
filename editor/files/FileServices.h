// File operations the core calls; the readers and writers arrive with the
// file formats.
#ifndef DOTWERK_FILES_FILESERVICES_H
#define DOTWERK_FILES_FILESERVICES_H

namespace dw {

// Computes and keeps the current set's descriptor code (FileDescriptor.h).
void BuildFileDescriptor();
// Reads a data file into the current set (OpenFile.h).
int OpenDataFile(const char* path);
// Keeps the directory of a path as the current set's working directory; a
// path with "*" is refused and the working directory emptied.
void RememberFileDirectory(const char* path);

}  // namespace dw

#endif
