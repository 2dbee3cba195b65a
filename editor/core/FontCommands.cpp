#include "core/FontCommands.h"

#include "core/Dispatch.h"

namespace dw {

// Stand-in until the font commands are built.
void RunFontCommand(int id) { IgnoredCommands().push_back(id); }

}  // namespace dw
