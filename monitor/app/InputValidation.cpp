#include "app/InputValidation.h"

namespace {

// The blanks CString::Trim removes, so a line trims the same way whichever
// caller looks at it.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

bool IsCommentLine(const char* text)
{
    if (text == nullptr) return true;
    while (IsBlank(*text)) ++text;
    // Only the first non-blank character matters; trailing blanks never change it.
    return *text == '\0' || *text == '/' || *text == ';';
}
