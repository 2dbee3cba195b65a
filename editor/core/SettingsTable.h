// The one table of every key of the settings file. Reading, writing, the
// defaults and the valid range of each value come from here; no key name is
// spelled anywhere else.
#ifndef DOTWERK_CORE_SETTINGSTABLE_H
#define DOTWERK_CORE_SETTINGSTABLE_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/EditorState.h"

namespace dw {

// Groups of rows; the reader and the writer visit them in their own orders.
enum SettingGroup : uint8_t {
  G_VERSION,
  G_SIZE,
  G_ELEMENT,
  G_FILESET,
  G_TOOLS,
  G_PAL_A,    // up to and including the palette-size command
  G_PAL_B,    // channel resolutions .. SaveGrayPaletteAs
  G_PAL_SYM,  // RgbSymbol%d
  G_PAL_C,    // system colours .. saturation
  G_WINDOW,
  G_VIEWPIX,  // Pixel View and Swap View cell sizes
  G_PIXEL,
  G_TOOL,
  G_FILE_ANSI,
  G_MENU_SAVE,
  G_MENU,
  G_PRINT,
  G_FONT_A,
  G_SHOW,
  G_FILE_SKIP,
  G_MOUSE,
  G_COLOR,
  G_EDIT,
  G_LOGFONT,
  G_FONT_B,
  G_FILE_RELOAD,
};

enum class SettingKind : uint8_t {
  Int,        // int32_t
  Color,      // uint32_t 0x00BBGGRR
  Text,       // char[slot]
  Scale100,   // double, stored x 100
  Scale1000,  // double, stored x 1000
  Scale255,   // double, stored x 255
};

enum class SettingAccess : uint8_t { ReadWrite, ReadOnly, WriteOnly };

// What the reader does with a stored value outside the valid range.
enum class RangeRule : uint8_t {
  Clamp,           // brought to the nearest limit
  DefaultOutside,  // nonsense: the row's default is taken
  OneOf,           // must be one of the listed values, else the default
};

// Which window value a row of the "Window" section holds.
enum class WindowPart : uint8_t { None, X, Y, Width, Height, Show };

struct SettingRow {
  using Bind = void* (*)(EditorState&, int set, int index);
  using DynInt = int32_t (*)(EditorState&, int set, int index);
  using Count = int (*)(EditorState&, int set);
  using Fix = int32_t (*)(EditorState&, int set, int32_t value, int32_t def);
  using Value = int32_t (*)(EditorState&, int set);

  SettingGroup group;
  const char* section;  // "%d" takes the data-set number in per-set sections
  const char* key;      // "%d" takes the index in array rows
  bool perSet = false;
  SettingKind kind = SettingKind::Int;
  SettingAccess access = SettingAccess::ReadWrite;
  Bind bind = nullptr;
  int32_t def = 0;
  const char* defText = "";
  size_t slot = 0;  // text slot size, terminator included
  int32_t lo = INT32_MIN, hi = INT32_MAX;
  RangeRule rule = RangeRule::Clamp;
  std::vector<int32_t> allowed;  // OneOf
  int count = 0;                 // array rows: fixed count
  Count dynCount = nullptr;      // array rows: count from the state
  DynInt dynDefault = nullptr;   // default computed from the state
  Fix fix = nullptr;             // custom range rule (window clamps)
  Value writeValue = nullptr;    // value written in place of the bound one
  const char* altKey = nullptr;  // read when the key itself is missing
  WindowId window = WIN_MAIN;
  WindowPart part = WindowPart::None;
};

const std::vector<SettingRow>& SettingsTable();

// Section and key of a row for a data set and an index.
void FormatSection(const SettingRow& row, int set, char* out, size_t size);
void FormatKey(const SettingRow& row, int index, char* out, size_t size);
int RowCount(const SettingRow& row, EditorState& st, int set);  // 1 for plain rows
int32_t RowDefault(const SettingRow& row, EditorState& st, int set, int index);
// Brings a value read from the file into the row's range.
int32_t ApplyRange(const SettingRow& row, EditorState& st, int set, int32_t value, int32_t def);
// Signed decimal as the profile stores it; false when there is no number.
bool ParseStoredInt(const char* text, int32_t* value);

}  // namespace dw

#endif
