#include "core/Transform.h"

#include "core/Dispatch.h"

namespace dw {

// Stand-ins until the transformations are built.
void RunPictureCommand(int id) { IgnoredCommands().push_back(id); }
void RunTwistAndTurn() {}

}  // namespace dw
