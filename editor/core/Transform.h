// Whole-picture transformations: scroll, mirror, turn, grow and shrink,
// double and half, and the twist-and-turn dialog of the ToolBox.
#ifndef DOTWERK_CORE_TRANSFORM_H
#define DOTWERK_CORE_TRANSFORM_H

namespace dw {

// One picture command (scroll 10025..10028, mirror 10039/10042/10045/10048,
// turn 10043/10044, 10283, double/half 10071/10072 and 10214..10219, grow
// and shrink 10073..10076).
void RunPictureCommand(int id);

// The ToolBox's twist-and-turn buttons: mode and dialog choice are set in
// the state (twistTool, twistDialogChoice) before the call.
void RunTwistAndTurn();

}  // namespace dw

#endif
