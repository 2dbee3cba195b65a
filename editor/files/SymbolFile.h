// The black-and-white symbol file: a fragment of C that an embedded graphics
// library compiles as a symbol table and that the editor reads back as its
// own document. One bit-packing rule serves the writer and the reader.
#ifndef DOTWERK_FILES_SYMBOLFILE_H
#define DOTWERK_FILES_SYMBOLFILE_H

#include <cstdint>
#include <string>

#include "files/FileDescriptor.h"

namespace dw {

class SafeFileWriter;

// Where the bits of a packed byte lie: byte succession (1033 Vertical,
// 1034 Horizontal) and least significant bit (1029 Top, 1030 Bottom,
// 1031 Right, 1032 Left).
struct PackLayout {
  int32_t byteOrganization = 1034;
  int32_t bitOrganization = 1031;
};

// Number of bytes that cover an area of w x h cells.
int32_t PackedByteCount(const PackLayout& l, int32_t w, int32_t h);
// The cell (x, y) of bit b (0 = least significant) of byte k of that area;
// cells beyond the area (padding bits) come out with x >= w or y >= h.
void PackedBitCell(const PackLayout& l, int32_t w, int32_t h, int32_t k, int b, int32_t* x, int32_t* y);
// True for the layouts written as run lines (several bytes of a column or
// row per line); the others are stripe lines of one byte each.
bool IsRunLayout(const PackLayout& l);
// Bytes of one run (a column or a row) or of one stripe.
int32_t PackedGroupLength(const PackLayout& l, int32_t w, int32_t h);
// The character a set bit is pictured with in the comments.
char MarkCharacter(const PackLayout& l);

// Up to 21 comment lines of the last symbol file read, with their delimiters.
constexpr int kHeaderCommentLines = 21;
constexpr size_t kHeaderCommentText = 1024;
struct HeaderComments {
  std::string lines[kHeaderCommentLines];
  int count = 0;
};
HeaderComments& HeaderCommentsOf(int set);

// The name a C array may carry: the title up to its first '.', every other
// character than a letter, digit or '_' made '_', a leading digit preceded
// by '_'.
std::string MakeCIdentifier(const std::string& title);

// The character literal of a record (without the quotes).
std::string CharacterLiteral(uint8_t c, bool singleIcon);

// Writes the current set's whole symbol file; 0, or the errno of the first
// failed write (the elements after it are not written).
int WriteBwSymbolFile(SafeFileWriter& out);

// Saves the current set to its `File` path by its type; on success clears
// the modified flag and the undo and redo depths. True when saved.
bool SaveSymbolFile();

// Save Pixel File As (57604): the common save dialog, then SaveSymbolFile.
bool SaveSymbolFileAs();

// Shows a write failure ("Out of disk space" / "Invalid file handle") or a
// creation failure in the editor's words.
void ReportWriteError(int err);
void ReportCreateError(const char* path);

// Reading, with the file positioned after the descriptor fields.
struct SymbolReadContext {
  const char* path = "";
  bool group = true;
  bool preScan = true;            // false for dialog-chosen formats
  bool defaultCodePage = false;   // no "CP<" reference: the range follows the count
};
// Reads the records into the current set. 1 when the set holds at least
// one element afterwards, 0 when nothing usable was read (the caller then
// puts the set back).
int ReadSymbolElements(IByteSource& src, const SymbolReadContext& ctx);

// The pre-scan of a group: header comments, table name, element count and
// the fitted grid. Returns the count found (0 = none).
int32_t ScanSymbolSource(IByteSource& src, const SymbolReadContext& ctx);

// Reads one record into element `element` (its cell is the active area);
// 1 at its end, 0 at the end of the file, -1 when a single icon is larger
// than the picture can hold.
int InterpretElementCode(IByteSource& src, int32_t element, bool singleIcon);

}  // namespace dw

#endif
