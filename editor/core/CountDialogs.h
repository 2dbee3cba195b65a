// The small count dialogs: LCD geometry (PIXELSIZE), add/remove columns or
// rows, scroll a number of pixels, insert and delete elements. Each runs
// modally over the main window; tests script them through the hooks.
//
// Each dialog is a model (values, field texts, corrections, OK) and a thin
// Win32 procedure over it (core/CountDialogs_win.cpp), so everything but the
// window itself is tested on the host.
#ifndef DOTWERK_CORE_COUNTDIALOGS_H
#define DOTWERK_CORE_COUNTDIALOGS_H

#include <cstdint>
#include <functional>
#include <string>

#include "core/EditorState.h"

namespace dw {

// PIXELSIZE: on OK (1) the LCD counts, sizes, spacings and shape choice are
// stored in the settings globals; Cancel (0) changes nothing.
int RunPixelSizeDialog();
// ADDREMOVECOLUMNROW with mode 0 remove, 1 add rows, 2 add columns: OK (1)
// leaves the count (never negative) in *count and stores the corner setting;
// Cancel (0) sets *count to 0.
int RunAddRemoveColumnRowDialog(int mode, int32_t* count);
// PIXELSCROLL: OK (1) leaves the count (never negative) in *count; Cancel (0)
// sets it to 0.
int RunPixelScrollDialog(int32_t* count);
// ELEMENTINSERT: *count starts as the previous operation count; OK (1)
// gives the count (0..65535) and the first character and stores the set's
// hexadecimal choice; Cancel (0) changes nothing.
int RunElementInsertDialog(int32_t* count, int32_t* firstChar);
// ELEMENTDELETE: as ELEMENTINSERT without the character; OK stores the
// delete method: check box 1221 checked gives 10503 (one element a click),
// unchecked keeps the dialog (10505).
int RunElementDeleteDialog(int32_t* count);

// Hooks: when set, a Run function only calls its hook (tests script the
// answer and the values; reset them to null afterwards). Without a hook the
// program shows the real dialog and the host answers Cancel.
using PixelSizeHook = std::function<int()>;
using AddRemoveColumnRowHook = std::function<int(int mode, int32_t* count)>;
using PixelScrollHook = std::function<int(int32_t* count)>;
using ElementInsertHook = std::function<int(int32_t* count, int32_t* firstChar)>;
using ElementDeleteHook = std::function<int(int32_t* count)>;
void SetPixelSizeHook(PixelSizeHook hook);
void SetAddRemoveColumnRowHook(AddRemoveColumnRowHook hook);
void SetPixelScrollHook(PixelScrollHook hook);
void SetElementInsertHook(ElementInsertHook hook);
void SetElementDeleteHook(ElementDeleteHook hook);

// Control ids of the five templates.
enum CountDialogControl : int {
  // PIXELSIZE
  IDC_LCD_COUNT_X = 1019,
  IDC_LCD_COUNT_Y = 1020,
  IDC_LCD_SIZE_X = 1078,
  IDC_LCD_SIZE_Y = 1079,
  IDC_LCD_SPACING_X = 1004,
  IDC_LCD_SPACING_Y = 1005,
  IDC_KEEP_ASPECT = 1030,
  IDC_FIT_TO_WINDOW = 1031,
  // ADDREMOVECOLUMNROW
  IDC_ADDREMOVE_COUNT = 1910,
  IDC_ADDREMOVE_PLUS = 1911,
  IDC_ADDREMOVE_MINUS = 1912,
  IDC_FILL_FROM_CORNER = 1081,
  // PIXELSCROLL
  IDC_SCROLL_COUNT = 1900,
  IDC_SCROLL_PLUS = 1901,
  IDC_SCROLL_MINUS = 1902,
  // ELEMENTINSERT and ELEMENTDELETE
  IDC_ELEMENT_COUNT = 1695,
  IDC_ELEMENT_START = 1225,
  IDC_ELEMENT_PLUS = 1218,
  IDC_ELEMENT_MINUS = 1219,
  IDC_SHOW_HEX = 1081,
  IDC_DELETE_ONE_A_CLICK = 1221,
};

// Signed decimal as an edit field holds it ("-12", blanks around); false
// when the text is no number or does not fit 32 bits.
bool ParseFieldInt(const char* text, int32_t* value);

// PIXELSIZE: a working copy of the LCD geometry.
struct PixelSizeModel {
  int32_t countX = 0, countY = 0;
  double sizeX = 0, sizeY = 0, spacingX = 0, spacingY = 0;
  int32_t shape = IDC_KEEP_ASPECT;

  static const int kFields[6];  // the six edit fields in tab order

  void Load(const GlobalSettings& c);
  // Text of an edit field: counts as "%d", millimetres as "%4.2lf".
  std::string FieldText(int id) const;
  // The user changed a field: counts read as signed integers (0 when no
  // number), millimetres as "%lf"; text that is no finite number leaves the
  // millimetre value as it was.
  void FieldEdited(int id, const char* text);
  void ChooseShape(int id);
  // OK: every value brought into its settings row's range.
  void Store(GlobalSettings& c) const;
};

// PIXELSCROLL and ADDREMOVECOLUMNROW: a repeat count starting at 1.
struct RepeatCountModel {
  static constexpr int32_t kWidthLimit = 1600, kWidthCorrection = 1599;
  static constexpr int32_t kHeightLimit = 1200, kHeightCorrection = 1199;

  int32_t count = 1;

  std::string Text() const;
  // "+" and "-" step without limits; the field shows the new count as is.
  void Plus();
  void Minus();
  // A typed count: below 0 becomes 0, above 1200 becomes 1199 (above 1600
  // first 1599). True when corrected, so the field is written back.
  bool Typed(const char* text);
  // OK hands on the count, never below 0.
  int32_t Result() const { return count < 0 ? 0 : count; }
};

// ADDREMOVECOLUMNROW: the count and the "Fill From Corner" check box.
struct AddRemoveModel : RepeatCountModel {
  int mode = 0;  // 0 remove, 1 add rows, 2 add columns
  bool corner = false;

  void Load(const GlobalSettings& c, int mode);
  bool CornerEnabled() const { return mode == 1 || mode == 2; }
  // The check box text for the mode (nullptr: the template's text stays).
  const char* CornerText() const;
  // OK: the check box goes to the mode's setting.
  void Store(GlobalSettings& c) const;
};

// ELEMENTINSERT and ELEMENTDELETE: the element count (0..65535), the first
// character (insert only) and the base the numbers are shown in.
struct ElementCountModel {
  static constexpr int32_t kMaxCount = kMaxElements - 1;

  bool insert = true;
  bool hex = false;
  int32_t count = 1;
  int32_t start = 0;
  bool oneAClick = false;  // delete: check box 1221

  void Load(bool insert, int32_t count, int32_t start, bool hex);
  // "0x%04X" in hexadecimal, "%d" otherwise.
  std::string Number(int32_t value) const;
  std::string CountText() const { return Number(count); }
  std::string StartText() const { return Number(start); }
  // The buttons read the count field as it stands, then step within 0..65535.
  void Plus(const char* countField);
  void Minus(const char* countField);
  // The check box switches the base; the typed count is kept.
  void ToggleHex(const char* countField);
  void StartEdited(const char* text);
  // OK reads the count field.
  void Ok(const char* countField);
  // The delete method OK stores.
  int32_t DeleteMethod() const { return oneAClick ? 10503 : 10505; }
};

}  // namespace dw

#endif
