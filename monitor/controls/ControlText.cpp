#include "controls/ControlText.h"

#include <string.h>

CString CheckComboSeparator(const char* localeListSeparator) {
  CString sep;
  if (localeListSeparator != nullptr) {
    // The locale call fills at most 10 characters; never read further.
    size_t n = strnlen(localeListSeparator, 10);
    sep = CString(localeListSeparator, static_cast<int>(n));
  }
  if (sep.IsEmpty()) sep = ";";
  sep.TrimLeft();
  sep.TrimRight();
  sep += " ";
  return sep;
}

CString BuildCheckComboSummary(const std::vector<CString>& items, const std::vector<bool>& checked,
                               const char* localeListSeparator) {
  CString sep = CheckComboSeparator(localeListSeparator);
  CString text;
  bool first = true;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i >= checked.size() || !checked[i]) continue;
    if (!first) text += sep;
    text += items[i];
    first = false;
  }
  return text;
}

bool GetBlinkerShades(int scheme, COLORREF* first, COLORREF* second) {
  static const COLORREF kShades[7][2] = {
      {0x000096, 0x0000FA},  // red
      {0x009600, 0x00FF00},  // green
      {0x960000, 0xFA0000},  // blue
      {0x00D2D2, 0x00FFFF},  // yellow
      {0xFFFFFF, 0x00FFFF},  // white/yellow
      {0xFFFFFF, 0x00FF00},  // white/green
      {0x949494, 0x00FF00},  // grey/green
  };
  if (scheme < 0 || scheme > 6) return false;
  if (first != nullptr) *first = kShades[scheme][0];
  if (second != nullptr) *second = kShades[scheme][1];
  return true;
}

bool GetPressedOffset(int style, int* dx, int* dy) {
  if (style == 0) {
    *dx = 1, *dy = 1;
    return true;
  }
  if (style == 1) {
    *dx = 0, *dy = 2;
    return true;
  }
  return false;
}
