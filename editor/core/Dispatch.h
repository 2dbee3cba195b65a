// The main window's command dispatcher.
#ifndef DOTWERK_CORE_DISPATCH_H
#define DOTWERK_CORE_DISPATCH_H

#include <vector>

namespace dw {

// Runs the routine of a command of the main window, whatever sent it: the
// menus and accelerators, the toolbar strip and the mouse tools, the
// ToolBox and the other views, dialogs and routines that post commands.
// Ids without a routine go no further. The window argument is the main
// window's handle (unused).
void DispatchCommand(void* window, int commandId);

// Commands that reached the dispatcher without a routine (for tests; the
// stand-ins of modules still to be built record theirs here too).
std::vector<int>& IgnoredCommands();

// The data-set switch (10153 / 10154).
void SwitchDataSet(int newSet);

}  // namespace dw

#endif
