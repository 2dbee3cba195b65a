// The colour dialogs: the element grid colours (GRIDCOLORRGB), the black and
// white LCD colours (LCDCOLORRGB) and the tool colour (TOOLCOLORGRAY for a
// gray palette, TOOLCOLORRGB otherwise).
#ifndef DOTWERK_VIEWS_COLORDIALOGS_H
#define DOTWERK_VIEWS_COLORDIALOGS_H

namespace dw {

// Each: OK (1) with the colours stored, Cancel (0) changing nothing.
int RunGridColorRgbDialog();
int RunLcdColorRgbDialog();
int RunToolColorDialog(bool grayPalette);

}  // namespace dw

#endif
