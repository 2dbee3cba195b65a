// The C font header: declares the code-page table, the symbol table and the
// GFONT structure of the embedded graphics library and pulls the symbol and
// code-page files in with #include, so those files stay the only places that
// hold data. The editor writes it and never reads it back.
#ifndef DOTWERK_FILES_FONTHEADER_H
#define DOTWERK_FILES_FONTHEADER_H

#include <cstdint>
#include <string>

#include "core/EditorState.h"

namespace dw {

// Bits per palette index of a palette-size command (10244.. colour,
// 10262.. gray): 2 entries 1, 4 entries 2, 8 and 16 entries 4, 32 to 256
// entries 8, more than 256 entries 16. The colour symbol writer packs by the
// same rule.
int32_t BitsPerPaletteIndex(int32_t paletteSizeCommand);

// Bytes of one symbol of w x h cells as the symbol writers pack it: black and
// white 8 cells a byte by the set's byte succession (Horizontal: rows
// padded, Vertical: columns padded); palette indexes by BitsPerPaletteIndex,
// rows padded; gray 8, 4, 2, 2 or 1 cells a byte for 1, 2, 3, 4 or 5-8 bits,
// rows padded (one byte a cell for other resolutions); RGB (red + green +
// blue bits + 7) / 8 bytes a cell.
int32_t BytesPerSymbol(const DataSet& s, int32_t w, int32_t h);

// A C identifier from a file title: the title cut at its first '.', every
// character other than a letter, digit or '_' made '_', and '_' put before a
// leading digit ("my-font.sym" gives my_font, "1font.sym" _1font).
std::string FontIdentifier(const char* title);

// The text of the font header (LF line ends, without the extra line feed
// the file ends with). The template with code page is used when a code-page
// title is given, not empty, and the code page has ranges (an empty range
// array is not valid C).
std::string FillFontHeaderTemplate(const char* fontName, const char* symbolTitle, const char* codePageTitle,
                                   uint32_t rangeCount, uint32_t symbolCount, uint32_t width, uint32_t height,
                                   uint32_t bytesPerSymbol, const char* symbolHeaderType);

// The whole file for the current data set (template and the extra line feed).
std::string FormatFontHeader();

// Path and title of the current data set's font header (1024-byte slots, not
// kept in the settings file).
char* FontHeaderPath();
char* FontHeaderTitle();

// Derives a companion file's path from a source path: the extension of the
// file name (not of a directory) replaced, or "." and the extension appended
// when the name has none. Refuses with a message (false) a result that would
// equal the source or exceed 1023 characters.
bool DeriveFilePath(const char* source, const char* extension, char* outPath, char* outTitle);

// Writes the current data set's font header to FontHeaderPath() through a
// temporary file. Leaves the modified flag and undo depths alone.
bool WriteFontHeader();
// "Save FontHeader As" (10659) after the chooser.
bool SaveFontHeaderAs();

// Commands of the main window.
void CommandSaveCodePageFileAs();  // 10360
void CommandSaveFontHeaderAs();    // 10659
void CommandImportTextAsCodePage(int command);  // 10652 / 10651
// The code-page and font-header part of "&Save All" (10661), run after the
// symbol file was saved: nothing unless the saved type is `Font Ver.2` (1027)
// and the view mode is not Single Icon. False when a write failed.
bool SaveAllCodePageAndFontHeader();

}  // namespace dw

#endif
