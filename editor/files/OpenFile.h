// Opening data files: recognition by the first three bytes, the stages that
// set the data set's format and hand the file to its reader, the path
// helpers and the File Open command.
#ifndef DOTWERK_FILES_OPENFILE_H
#define DOTWERK_FILES_OPENFILE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/CellExtent.h"
#include "core/EditorState.h"
#include "files/SymbolFile.h"

namespace dw {

extern const char kUnknownFormatText[];

// A private copy of everything reading a file may change in the current set
// (fields, cells, element arrays and characters, palette, code page, header
// comments, descriptor code), so a refused or trial read leaves the set
// exactly as it was.
struct SetBackup {
  DataSet fields;
  // The stores as far as they are in use (core/CellExtent.h).
  std::vector<uint32_t> cells, palette;
  std::vector<int32_t> widths, heights, cpBase, cpStart, cpEnd;
  std::vector<uint8_t> chars;
  StoreExtent cellsKept, widthsKept, heightsKept, charsKept, cpBaseKept, cpStartKept, cpEndKept;
  HeaderComments comments;
  uint8_t code = 0;
  int set = 0;

  void Take();
  void Restore();
};

// What the first bytes of a file announce.
enum OpenKind {
  OPEN_BDF,            // "STA" + "RTFONT"
  OPEN_CODE_PAGE,      // "/*W", "//W"
  OPEN_COLOR,          // "/*V", "//V"
  OPEN_BITMAP,         // "BM"
  OPEN_BINARY_LEGACY,  // third byte 0..3
  OPEN_BINARY,         // third byte 4..19 after two zero bytes
  OPEN_BW_SYMBOL,      // "/*" or "//" + 'A'..'Z'
  OPEN_UNKNOWN_C,      // "/*" or "//" + anything else
  OPEN_UNKNOWN
};

// Pure: the kind of a file from its first three bytes; `word` is the word
// after them (consulted only after "STA").
OpenKind ClassifyOpening(uint8_t b0, uint8_t b1, uint8_t b2, const char* word);

// Pure: the info header of a bitmap file (at least the first 54 bytes or
// the whole file when shorter). 0 accepted, 1 refused header, 2 compressed.
struct BitmapHeaderInfo {
  uint32_t fileSize = 0;
  uint32_t infoSize = 0;
  int32_t width = 0, height = 0;
  bool topDown = false;
  int32_t bitCount = 0;
  uint32_t compression = 0;
};
int CheckBitmapHeader(const uint8_t* bytes, size_t size, BitmapHeaderInfo* out);

// Pure: the header of a binary pixel file. False for an unknown format.
struct BinaryHeaderInfo {
  bool legacy = false;
  bool group = false;
  int32_t width = 0, height = 0;
  int32_t elementCount = 1, elementCountX = 1;
  int32_t byteOrganization = 1034, bitOrganization = 1031;
};
bool CheckBinaryHeader(const uint8_t* bytes, size_t size, BinaryHeaderInfo* out);

// The kind the last OpenDataFile call recognised.
OpenKind LastOpenKind();

// Mode flags the callers set around OpenDataFile.
struct OpenModes {
  bool importBinary = false;
  bool importC = false;
  bool multipleFiles = false;
};
OpenModes& OpenMode();

// Reads a data file into the current set: 0 nothing read (the set as it
// was), 1 read, 2 read with a palette pending or a missing code-page file.
int OpenDataFile(const char* path);

// The open sequence of the Open command and the start-up reload: the file,
// then its pending code-page and palette files, the working directory and
// a fresh undo snapshot. Returns OpenDataFile's result for the symbol file.
int RunOpenSequence(const char* path);

// File Open (57601): the common dialog, then the open sequence.
int OpenFileDialog();

// The source path with the text after its last dot replaced by extension
// into pathOut, its bare name likewise into nameOut (1024-byte buffers);
// the new path's length, or 0 when it would not fit.
int32_t MakePathWithExtension(const char* source, const char* extension, char* pathOut, char* nameOut);

// Every non-empty name slot gets the working directory in front.
void BuildWorkspaceFilePaths();

// Readers that arrive with their formats; until then they refuse the file
// with the "Unknown format" message and return 0.
int ReadBdfFont(const char* path);
int ReadColorData(const char* path);
int ImportBitmap(const char* path);
int ImportBinaryFile(const char* path);

// Conversions after a black-and-white read into a colour set (recorded).
void ConvertBwToPalette();
void ConvertBwToRgb();
int& ConvertBwCalls();

}  // namespace dw

#endif
