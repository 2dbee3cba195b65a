// Status line and the scroll bars of the work sheet and the views.
#ifndef DOTWERK_VIEWS_STATUSLINE_H
#define DOTWERK_VIEWS_STATUSLINE_H

namespace dw {

// Stand-in: keeps g_statusText; the painted status line arrives with the views.
void ShowStatus(int full);
void UpdateMainScrollBars();
void UpdatePixelViewScrollBars();
void UpdateSwapViewScrollBars();
void UpdateCodePageViewScrollBars();

}  // namespace dw

#endif
