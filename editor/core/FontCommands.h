// The font commands of the main window: choosing, loading and measuring
// fonts, drawing a whole font, renumbering the element characters.
#ifndef DOTWERK_CORE_FONTCOMMANDS_H
#define DOTWERK_CORE_FONTCOMMANDS_H

namespace dw {

// One font command (10405..10413, 10418, 10092, 10655, 10368, 10600..10616,
// 10103, 10650, 10912, 10284, 10285, 10123, 10914, 10121, 10210,
// 10223..10226, 10690..10693, 10082..10085, 10237, 10238, 10080).
void RunFontCommand(int id);

}  // namespace dw

#endif
