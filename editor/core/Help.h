// The program's help file.
#ifndef DOTWERK_CORE_HELP_H
#define DOTWERK_CORE_HELP_H

namespace dw {

// Opens "dotwerk.hlp" at its contents (nothing where there is no help viewer).
void ShowHelpContents();

}  // namespace dw

#endif
