// Code pages: which element (symbol) of a data set draws which character.
// A table of up to 16384 ranges (first character, last character, element of
// the first character) in ascending order of the first character; entry 16384
// of each array is the scratch entry a new range is written to before it is
// moved into place. Slots 0 and 1 are the two data sets, slot 2 the font
// loaded into the Font View.
//
// The operations on a table are pure (they touch only the table handed in);
// the wrappers with the old names work on the current data set.
#ifndef DOTWERK_VIEWS_CODEPAGE_H
#define DOTWERK_VIEWS_CODEPAGE_H

#include <cstdint>

namespace dw {

constexpr int32_t kMaxCodePageRanges = 16384;
constexpr int32_t kCodePageScratch = 16384;  // index of the scratch entry
constexpr int kCodePageSlots = 3;
constexpr int kFontCodePageSlot = 2;

// A code-page table in place: three parallel arrays of kCodePageEntries
// (16385) entries, the range count and the default character.
struct CodePageTable {
  int32_t* symbolBase = nullptr;
  int32_t* startChar = nullptr;
  int32_t* endChar = nullptr;
  int32_t* count = nullptr;
  int32_t* defaultChar = nullptr;
  bool Valid() const { return symbolBase && startChar && endChar && count && defaultChar; }
};

// The table of slot 0 or 1 (a data set of the editor state) or 2 (the Font
// View's font, kept by this module). An invalid table for any other slot or
// before the editor state exists.
CodePageTable CodePageSlot(int slot);
// The current data set's table.
CodePageTable CurrentCodePage();

// The number in a text field of a code-page or element dialog: decimal, or
// hexadecimal after "0x"/"0X"; the letters a-f count in either radix; every
// other character is skipped; at most 127 characters are looked at.
uint32_t ParseNumber(const char* text);

// Moves the scratch entry into sorted position among the first n - 1 ranges
// (n counts the new range); an equal start goes after. Returns its index.
int32_t InsertCodePageRange(int32_t n, int32_t* symbolBase, int32_t* startChar, int32_t* endChar);

// Sorts count ranges by start character (stable) through 16385-entry heap
// temporaries; entries from count to 16383 become 0. Returns count.
int32_t SortCodePageRanges(int32_t count, int32_t* symbolBase, int32_t* startChar, int32_t* endChar);

// Appends range (start, end, base) in start order. False (table unchanged)
// when the table already holds 16384 ranges.
bool AddCodePageRange(const CodePageTable& t, int32_t start, int32_t end, int32_t base);

// Empties the table: count 0, entries 0 to 16383 cleared; the default
// character stays.
void ClearCodePageRanges(const CodePageTable& t);

// Element that draws character c in table t (the last covering range wins),
// or -1.
int32_t CharToElementIn(const CodePageTable& t, int32_t c);
// Character of element e in table t (the first covering range wins), or -1.
int32_t ElementToCharIn(const CodePageTable& t, int32_t e);

// Rebuilds t after n elements were inserted at element `at` of a set with
// elementCount elements (the count before the insertion); the inserted
// elements get the characters firstChar onwards. Returns the number of old
// ranges processed, or -1 (table unchanged) when the result might not fit.
int32_t ShiftCodePageForInsertIn(const CodePageTable& t, int32_t elementCount, int32_t at, int32_t n,
                                 int32_t firstChar);
// Rebuilds t after element d was deleted. Returns the number of old ranges
// processed, or -1 (table unchanged) when a split would need a 16385th range.
int32_t ShiftCodePageForDeleteIn(const CodePageTable& t, int32_t d);

// The same on the current data set (and slot s for CharToElement). A shift
// that refuses answers -1 and leaves the table as it was, so the element
// tools can refuse the whole edit; a table without ranges answers 0.
int32_t CharToElement(int32_t character, int slot);
int32_t ElementToChar(int32_t element);
int32_t ShiftCodePageForInsert(int32_t at, int32_t n, int32_t firstChar);
int32_t ShiftCodePageForDelete(int32_t element);

}  // namespace dw

#endif
