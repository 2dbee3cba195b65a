// Colour model of a data set: palette sizes, channel resolution, default
// colours. Only what the core needs now; the Palette and Rainbow windows and
// the conversions build on it later.
#ifndef DOTWERK_VIEWS_COLORMODEL_H
#define DOTWERK_VIEWS_COLORMODEL_H

#include <cstdint>

namespace dw {

extern const uint32_t kDefaultColorTable[16];

// Palette-size command 10244+k (colour) or 10262+k (gray), k = 0..11.
bool IsPaletteSizeCommand(int32_t command);
// Client size of the Palette window for a palette-size command (false when unknown).
bool PaletteClientSize(int32_t command, int32_t* width, int32_t* height, int32_t* columns, int32_t* rows);

void ApplyPaletteSize();
void UpdateChannelLevels();
void LoadDefaultColors();
uint32_t QuantizeColor(uint32_t color);
int32_t FindNearestPaletteIndex(uint32_t color);
// With no device context these only generate the default colours of that size
// when no palette is loaded.
void PaintPalette256Colors(void* dc);
void PaintPalette4096Colors(void* dc);

}  // namespace dw

#endif
