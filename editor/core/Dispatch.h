// The main window's command dispatcher.
#ifndef DOTWERK_CORE_DISPATCH_H
#define DOTWERK_CORE_DISPATCH_H

#include <vector>

namespace dw {

// Stand-in: the data-set switch, Reset to Defaults, the two exit switches,
// Exit and a reduced view-mode routine run; every other command is recorded
// and ignored. The window argument is the main window's handle (unused here).
void DispatchCommand(void* window, int commandId);

// Commands that reached the dispatcher without a routine (for tests).
std::vector<int>& IgnoredCommands();

// The data-set switch (10153 / 10154).
void SwitchDataSet(int newSet);

}  // namespace dw

#endif
