// The palette and system palette files of a set.
#ifndef DOTWERK_FILES_PALETTEFILE_H
#define DOTWERK_FILES_PALETTEFILE_H

namespace dw {

// Ask the name with the common save dialog and write the current set's
// palette (system palette); false when cancelled or not written.
bool SavePaletteFileAs();
bool SaveSystemPaletteAs();

}  // namespace dw

#endif
