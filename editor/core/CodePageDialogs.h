// The font and code-page dialogs that the file readers and the text import
// ask (FONTCODEPAGEMATCH, CODEPAGETEXTFORMAT). The program shows the real
// dialogs; tests script the answers through the hooks.
#ifndef DOTWERK_CORE_CODEPAGEDIALOGS_H
#define DOTWERK_CORE_CODEPAGEDIALOGS_H

#include <cstdint>

namespace dw {

// FONTCODEPAGEMATCH answers.
enum : int { FCPM_IGNORE = 1605 };

// Asks how to resolve a code page whose characters differ in number from the
// elements. Until the choices are built, the answer is always "Ignore !".
int RunFontCodePageMatchDialog(int32_t codePageSymbols, int32_t elementCount);

// Asks the encoding of a text to import; on OK stores it in *format
// (1941, 1942 or 1943) and returns 1; Cancel returns 0 and leaves *format.
int RunCodePageTextFormatDialog(int32_t* format);

// Hooks: the program installs the real dialogs, tests a script; null falls
// back to "Ignore !" and to OK with the format unchanged.
typedef int (*FontCodePageMatchHook)(int32_t codePageSymbols, int32_t elementCount);
typedef int (*CodePageTextFormatHook)(int32_t* format);
void SetFontCodePageMatchHook(FontCodePageMatchHook hook);
void SetCodePageTextFormatHook(CodePageTextFormatHook hook);

}  // namespace dw

#endif
