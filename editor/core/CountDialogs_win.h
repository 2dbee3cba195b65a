// The Win32 side of the count dialogs: thin procedures over the models of
// core/CountDialogs.h, shown from the dialog templates of the same names.
#ifndef DOTWERK_CORE_COUNTDIALOGS_WIN_H
#define DOTWERK_CORE_COUNTDIALOGS_WIN_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/CountDialogs.h"

namespace dw {

// What a procedure works on: the model, its answer (-1 while open, then 1
// for OK or 0 for Cancel, also for modeless use) and a guard so that the
// procedure's own writes into the fields are not taken for typing.
template <class Model>
struct DialogSession {
  Model* model = nullptr;
  int result = -1;
  bool writing = false;
};

// Procedures; WM_INITDIALOG's lParam is the DialogSession of the model.
INT_PTR CALLBACK PixelSizeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AddRemoveColumnRowDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PixelScrollDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ElementInsertDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ElementDeleteDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Modal runs over the main window: 1 OK, 0 Cancel (or no dialog).
int ShowPixelSizeDialog(PixelSizeModel& model);
int ShowAddRemoveColumnRowDialog(AddRemoveModel& model);
int ShowPixelScrollDialog(RepeatCountModel& model);
int ShowElementCountDialog(ElementCountModel& model);

}  // namespace dw

#endif
