// Menu checks, greyed items and ToolBox buttons that follow a data set.
#ifndef DOTWERK_CORE_MENUSTATE_H
#define DOTWERK_CORE_MENUSTATE_H

namespace dw {

void EnableDataSetMenus(int set);
void DisableDataSetMenus(int set);
void ActivateDataSet(int set);
void DeactivateDataSet(int set);

// Shows a tool window by its saved show value (0 hides it).
void ShowBySavedState(int window);

}  // namespace dw

#endif
