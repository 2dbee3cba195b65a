// Colour model of a data set: palette sizes, channel resolution, default
// colours and the whole-picture conversions between black and white, palette
// indexes and RGB colours. The Palette and Rainbow windows build on it.
#ifndef DOTWERK_VIEWS_COLORMODEL_H
#define DOTWERK_VIEWS_COLORMODEL_H

#include <cstdint>

namespace dw {

struct DataSet;

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

// A colour is dark (a set black-and-white cell) when its root mean square is
// at most the gray threshold: r^2 + g^2 + b^2 <= 3 x threshold^2.
bool IsDarkColor(uint32_t color, int32_t threshold);
// The palette colour of a cell; an index past the palette reads entry 0.
uint32_t PaletteColorOf(const DataSet& s, uint32_t index);

// Whole-picture conversions of the current set, with progress in the status
// line. Into RGB and palette they first set the colour kind; into black and
// white they use the gray threshold ("Gray").
void ConvertPaletteToRgb();
void ConvertRgbToPalette();
void ConvertPaletteToBw();
void ConvertRgbToBw();
// Colour to black and white after asking the threshold (DOTMAPGREYCANCEL for
// palette indexes, DOTMAPGREY for RGB colours): 1 converted, 0 cancelled
// with the picture as it was. With "DisableDotMapConvertDlg" on they convert
// at once with the stored threshold.
int ConvertPaletteToBwAsk();
int ConvertRgbToBwAsk();
// The threshold dialogs as a hook (tests script 1 or 0 and may set the
// threshold); without one the stored threshold is taken, as with the dialog
// switched off.
typedef int (*GrayThresholdHook)(bool paletteSource);
void SetGrayThresholdHook(GrayThresholdHook hook);

// Colour schemes of a palette size the "Alternate" command cycles through.
int32_t AlternateSchemeCount(int32_t paletteSizeCommand);

}  // namespace dw

#endif
