// The code-page check: a range table against the current set's element grid.
#ifndef DOTWERK_VIEWS_CODEPAGECHECK_H
#define DOTWERK_VIEWS_CODEPAGECHECK_H

#include <cstdint>

namespace dw {

// Checks count ranges (symbol base, start and end character) and reports
// errors and warnings (hex: hexadecimal texts; quiet: no box when nothing
// was found). The arrays may be a dialog's working copy. Returns the number
// of errors, or minus it when the report file could not be written.
int CheckCodePage(int hex, int quiet, int32_t defaultChar, int32_t count, const int32_t* symbolBase,
                  const int32_t* startChar, const int32_t* endChar);

}  // namespace dw

#endif
