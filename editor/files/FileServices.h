// File operations the core calls; the readers and writers arrive with the
// file formats.
#ifndef DOTWERK_FILES_FILESERVICES_H
#define DOTWERK_FILES_FILESERVICES_H

namespace dw {

// Stand-in: the descriptor letters follow the data format later.
void BuildFileDescriptor();
// Stand-in: no format is recognised yet; returns 0 without a message.
int OpenDataFile(const char* path);
// Keeps the directory of a path as the current set's working directory.
void RememberFileDirectory(const char* path);

}  // namespace dw

#endif
