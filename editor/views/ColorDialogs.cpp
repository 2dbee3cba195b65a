#include "views/ColorDialogs.h"

namespace dw {

// Stand-ins until the colour dialogs are built: each answers Cancel.
int RunGridColorRgbDialog() { return 0; }
int RunLcdColorRgbDialog() { return 0; }
int RunToolColorDialog(bool) { return 0; }

}  // namespace dw
