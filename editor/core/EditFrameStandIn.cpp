// Stand-in for the edit frame's narrowing until the mouse tools bring it
// (declared with them in core/MouseTools.h); without a frame nothing narrows.
// Goes when the mouse tools land.
namespace dw {

void ToggleEditFrame(int) {}

}  // namespace dw
