// The code-page range dialogs: EDITINDEXSTART asks the first character of a
// range being added by mouse, EDITCODEPAGE edits the ranges of the current
// set. One procedure serves both (index-start mode for the first). The
// program shows the real dialogs; tests script them through the hook.
#ifndef DOTWERK_VIEWS_EDITCODEPAGE_H
#define DOTWERK_VIEWS_EDITCODEPAGE_H

#include <cstdint>
#include <string>

#include "views/CodePage.h"

namespace dw {

// The largest character a range may start with (the last Unicode plane).
constexpr int32_t kMaxRangeCharacter = 0x10FFFF;

// What EDITINDEXSTART edits: the start character, shown in hexadecimal or
// decimal by the set's "UseHexInCodePage".
struct IndexStartModel {
  int32_t start = 0;
  bool hex = true;
  // "0x%04X" or "%d".
  std::string Text() const;
  // Takes the field's text (decimal, or hexadecimal after "0x"), limited to
  // 0..kMaxRangeCharacter.
  void Take(const char* text);
};

// The start EDITINDEXSTART proposes for range `index`: the end character of
// the range before it, or of range 0 for the first range or while the code
// page is the one "Draw a Whole Font" made; past the last range its own start.
int32_t ProposedRangeStart(const CodePageTable& t, int32_t index, bool fontCodePage);

// EDITINDEXSTART for the range the current set is getting (the range count
// is its index): it proposes the start by ProposedRangeStart; OK (1) leaves
// the answer in *startChar, Cancel (0) leaves *startChar alone. The mouse
// tool's hook for the dialog.
int RunEditIndexStartDialog(int32_t* startChar);
// EDITCODEPAGE: OK (1) after the ranges were stored; Cancel (0) stores
// nothing. Until its range editor is built it answers Cancel.
int RunEditCodePageDialog();

// indexStart tells the two apart; for EDITINDEXSTART *start holds the
// proposal and takes the answer.
typedef int (*EditCodePageHook)(bool indexStart, int32_t* start);
void SetEditCodePageHook(EditCodePageHook hook);

}  // namespace dw

#endif
