// Code-page files (".cp"): a data set's code page as a C initialiser fragment
// that both this editor and the firmware's C compiler read, and the import
// of a code page from the characters of a text file.
#ifndef DOTWERK_FILES_CODEPAGEFILE_H
#define DOTWERK_FILES_CODEPAGEFILE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/FileDescriptor.h"
#include "views/CodePage.h"

namespace dw {

// Reads the rest of a code-page file, positioned right after its "/*W" or
// "//W", into table t: the header (range count, default character), then the
// declared ranges, each placed in start order. At most 16384 ranges are kept;
// the rest are skipped and *truncated set. A range the file ends inside is
// dropped. Returns the number of ranges stored.
int32_t ReadCodePageInto(IByteSource& in, const CodePageTable& t, bool lineComment, bool* truncated);

// The reader OpenDataFile calls with the source over the handle it holds:
// into the current data set, with the
// 16384-ranges message when ranges had to be skipped, and the CodePage View's
// scroll range recomputed. lineComment: the file opened with "//W", whose
// descriptor ends with its line rather than at "*/". Returns the ranges stored.
int32_t ReadCodePageFile(IByteSource& in, bool lineComment = false);

// The whole text of a code-page file for table t under the given title.
std::string FormatCodePageFile(const CodePageTable& t, const char* title);

// Writes a text file through a temporary file beside `path`, replacing it
// only when every write and the close succeeded; on a failure shows the
// message ("Cannot Open File for Writing: Access denied" with the path, "Out
// of disk space" or "Invalid file handle" captioned "Write Error") and keeps
// the old file. lineByLine: one write per line.
bool WriteTextFileSafely(const char* path, const std::string& text, bool lineByLine);

// Writes the current data set's code page to its CodePageFile (through a
// temporary file beside it). True when the file was replaced. Leaves the
// modified flag and undo depths alone: only a symbol-file save clears them.
bool WriteCodePageFile();
// "Save CodePage File As..." (10360) after the chooser; false on cancel or failure.
bool SaveCodePageFileAs();

// Text-import formats (CODEPAGETEXTFORMAT radios).
enum : int32_t { CPTEXT_ASCII = 1941, CPTEXT_UTF16LE = 1942, CPTEXT_UTF16BE = 1943 };

// Builds the ranges of the characters present in a text: element k draws
// the k-th character present. Replaces every range of t and its default
// character (the most frequent character, lowest on a tie, 0 for no
// character). A last odd byte of UTF-16 is ignored. Stops at 16384 ranges
// and sets *full. Returns the number of ranges.
int32_t BuildCodePageFromText(const uint8_t* bytes, size_t size, int32_t format, const CodePageTable& t,
                              bool* full);

// "Import Text as CodePage..." (10652/10651): chooser, file, format dialog,
// builder. Returns 0.
int MakeCodePageFromText();

}  // namespace dw

#endif
