#include "files/PaletteFile.h"

namespace dw {

// Stand-ins until the palette files are built: as if the dialog was cancelled.
bool SavePaletteFileAs() { return false; }
bool SaveSystemPaletteAs() { return false; }

}  // namespace dw
