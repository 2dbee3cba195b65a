// The decisions of the small controls that do not need a window: the check
// combo's summary text, the lamp's colour schemes and the pressed-content
// offset of the drawn button. Portable, tested natively.
#pragma once

#include <vector>

#include "framework/CString.h"
#include "framework/WinTypes.h"

// The separator the check combo puts between checked items: the locale's
// list separator (at most 10 characters are used, ";" when it is empty),
// trimmed, then one blank.
CString CheckComboSeparator(const char* localeListSeparator);

// The closed check combo's text: the texts of the checked items in list
// order joined by the separator above. Empty when nothing is checked.
// `checked` is indexed like `items`; missing entries count as unchecked.
CString BuildCheckComboSummary(const std::vector<CString>& items, const std::vector<bool>& checked,
                               const char* localeListSeparator);

// The two shades of a lamp colour scheme (0-6). False for any other scheme.
bool GetBlinkerShades(int scheme, COLORREF* first, COLORREF* second);

// How far a pressed button's content moves for a pressed style: 0 → (1, 1),
// 1 → (0, 2). False for any other style.
bool GetPressedOffset(int style, int* dx, int* dy);
