// TWISTANDTURNDOTMAP: a thin procedure over TwistSession. The session holds
// the values and recomputes the picture; the procedure only moves them
// between the controls and the session.
#include "core/Twist_win.h"

#include <string>

#include "core/Transform.h"
#include "core/Win32Host.h"

namespace dw {
namespace {

constexpr int kAmountField = 128;  // characters read from the amount field

struct DialogData {
  TwistSession* session = nullptr;
  bool writing = false;  // the procedure is writing its own fields
};

DialogData* Data(HWND dlg) { return reinterpret_cast<DialogData*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

// Shows the session's mode, bar position and amount.
void ShowModel(HWND dlg, DialogData& d) {
  const TwistModel& m = d.session->Model();
  d.writing = true;
  CheckRadioButton(dlg, IDC_TWIST_MODE_FIRST, IDC_TWIST_MODE_LAST, m.Choice());
  SetScrollPos(GetDlgItem(dlg, IDC_TWIST_BAR), SB_CTL, m.ScrollPosition(), TRUE);
  SetDlgItemTextA(dlg, IDC_TWIST_AMOUNT, m.AmountText().c_str());
  d.writing = false;
}

void Finish(HWND dlg, DialogData& d, int result) {
  d.session->Finish(result);
  EndDialog(dlg, result);
}

}  // namespace

INT_PTR CALLBACK TwistAndTurnDotMapDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogData* d = Data(dlg);
  switch (msg) {
    case WM_INITDIALOG: {
      auto* session = reinterpret_cast<TwistSession*>(lParam);
      if (!session) {
        EndDialog(dlg, 0);
        return TRUE;
      }
      d = new DialogData;
      d->session = session;
      SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
      SetScrollRange(GetDlgItem(dlg, IDC_TWIST_BAR), SB_CTL, 0, kTwistLevelMax, FALSE);
      ShowModel(dlg, *d);
      // The first picture is computed once the dialog shows.
      PostMessageA(dlg, WM_USER, 0, 0);
      return TRUE;
    }
    case WM_USER:
      if (!d) return FALSE;
      d->session->Recompute();
      ShowModel(dlg, *d);
      return TRUE;
    case WM_VSCROLL:
      if (!d || reinterpret_cast<HWND>(lParam) != GetDlgItem(dlg, IDC_TWIST_BAR)) return FALSE;
      d->session->Scroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      ShowModel(dlg, *d);
      return TRUE;
    case WM_COMMAND: {
      if (!d) return FALSE;
      int id = LOWORD(wParam);
      if (id == IDC_TWIST_AMOUNT) return d->writing ? TRUE : FALSE;
      if (id >= IDC_TWIST_MODE_FIRST && id <= IDC_TWIST_MODE_LAST) {
        d->session->SelectMode(id - IDC_TWIST_MODE_FIRST);
        ShowModel(dlg, *d);
        return TRUE;
      }
      if (id == IDC_TWIST_APPLY) {
        char text[kAmountField] = "";
        GetDlgItemTextA(dlg, IDC_TWIST_AMOUNT, text, sizeof text);
        d->session->Apply(text);
        ShowModel(dlg, *d);
        return TRUE;
      }
      if (id == IDOK || id == IDCANCEL) {
        Finish(dlg, *d, id == IDOK ? 1 : 0);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      if (d) Finish(dlg, *d, 0);
      return TRUE;
    case WM_DESTROY:
      delete d;
      SetWindowLongPtrA(dlg, DWLP_USER, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

namespace {
// The modal dialog over the main window; -1 when it could not be shown.
int RunTwistDialogWindow(TwistSession& session) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), "TWISTANDTURNDOTMAP", g_hwnd[WIN_MAIN],
                              TwistAndTurnDotMapDlgProc, reinterpret_cast<LPARAM>(&session));
  return r == 1 ? 1 : r == 0 ? 0 : -1;
}
}  // namespace

void RunTwistAndTurn() { RunTwistAndTurnWith(RunTwistDialogWindow); }

}  // namespace dw
