#include "core/CountDialogs_win.h"

#include <string>

#include "core/Win32Host.h"

namespace dw {

namespace {

// Edit fields hold at most this much text for the models.
constexpr int kFieldText = 126;

template <class Model>
DialogSession<Model>* SessionOf(HWND dlg) {
  return reinterpret_cast<DialogSession<Model>*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

template <class Model>
DialogSession<Model>* Begin(HWND dlg, LPARAM lParam) {
  auto* s = reinterpret_cast<DialogSession<Model>*>(lParam);
  SetWindowLongPtrA(dlg, DWLP_USER, static_cast<LONG_PTR>(lParam));
  if (s) s->result = -1;
  return s;
}

std::string FieldText(HWND dlg, int id) {
  char text[kFieldText] = "";
  GetDlgItemTextA(dlg, id, text, sizeof text);
  return text;
}

// Writes a field without the write being read back as typing.
template <class Model>
void Write(HWND dlg, DialogSession<Model>& s, int id, const std::string& text) {
  s.writing = true;
  SetDlgItemTextA(dlg, id, text.c_str());
  s.writing = false;
}

template <class Model>
void End(HWND dlg, DialogSession<Model>& s, int result) {
  s.result = result;
  EndDialog(dlg, result);
}

// OK and Cancel, shared by all five; false for other controls.
template <class Model>
bool HandleEnd(HWND dlg, DialogSession<Model>& s, int id) {
  if (id == IDOK) {
    End(dlg, s, 1);
    return true;
  }
  if (id == IDCANCEL) {
    End(dlg, s, 0);
    return true;
  }
  return false;
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

// The controls of a repeat-count dialog.
struct RepeatIds {
  int count, plus, minus;
};

// Steps 1 to 3 shared by PIXELSCROLL and ADDREMOVECOLUMNROW.
template <class Model>
bool HandleRepeat(HWND dlg, DialogSession<Model>& s, const RepeatIds& ids, int id, int code) {
  Model& m = *s.model;
  if (id == ids.plus || id == ids.minus) {
    if (id == ids.plus) m.Plus();
    else m.Minus();
    Write(dlg, s, ids.count, m.Text());
    return true;
  }
  if (id == ids.count && code == EN_CHANGE) {
    if (!s.writing && m.Typed(FieldText(dlg, ids.count).c_str())) Write(dlg, s, ids.count, m.Text());
    return true;
  }
  return false;
}

const RepeatIds kScrollIds = {IDC_SCROLL_COUNT, IDC_SCROLL_PLUS, IDC_SCROLL_MINUS};
const RepeatIds kAddRemoveIds = {IDC_ADDREMOVE_COUNT, IDC_ADDREMOVE_PLUS, IDC_ADDREMOVE_MINUS};

void ShowElementNumbers(HWND dlg, DialogSession<ElementCountModel>& s) {
  const ElementCountModel& m = *s.model;
  CheckDlgButton(dlg, IDC_SHOW_HEX, m.hex ? BST_CHECKED : BST_UNCHECKED);
  Write(dlg, s, IDC_ELEMENT_COUNT, m.CountText());
  if (m.insert) Write(dlg, s, IDC_ELEMENT_START, m.StartText());
}

// ELEMENTINSERT and ELEMENTDELETE differ only in the start field and 1221.
INT_PTR ElementCountProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* s = Begin<ElementCountModel>(dlg, lParam);
    if (!s || !s->model) return TRUE;
    ShowElementNumbers(dlg, *s);
    if (!s->model->insert) CheckDlgButton(dlg, IDC_DELETE_ONE_A_CLICK, s->model->oneAClick ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  auto* s = SessionOf<ElementCountModel>(dlg);
  if (!s || !s->model) return FALSE;
  ElementCountModel& m = *s->model;
  int id = LOWORD(wParam), code = HIWORD(wParam);
  std::string count = FieldText(dlg, IDC_ELEMENT_COUNT);
  switch (id) {
    case IDOK: m.Ok(count.c_str()); break;
    case IDC_ELEMENT_PLUS: m.Plus(count.c_str()); ShowElementNumbers(dlg, *s); return TRUE;
    case IDC_ELEMENT_MINUS: m.Minus(count.c_str()); ShowElementNumbers(dlg, *s); return TRUE;
    case IDC_SHOW_HEX: m.ToggleHex(count.c_str()); ShowElementNumbers(dlg, *s); return TRUE;
    case IDC_DELETE_ONE_A_CLICK: m.oneAClick = Checked(dlg, id); return TRUE;
    case IDC_ELEMENT_START:
      if (code == EN_CHANGE && !s->writing && m.insert) m.StartEdited(FieldText(dlg, id).c_str());
      return TRUE;
    default: break;
  }
  return HandleEnd(dlg, *s, id) ? TRUE : FALSE;
}

HWND Owner() { return g_hwnd[WIN_MAIN]; }

template <class Model>
int ShowModal(const char* name, DLGPROC proc, Model& model) {
  DialogSession<Model> s;
  s.model = &model;
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), name, Owner(), proc, reinterpret_cast<LPARAM>(&s));
  return r == 1 && s.result == 1 ? 1 : 0;
}

}  // namespace

INT_PTR CALLBACK PixelSizeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* s = Begin<PixelSizeModel>(dlg, lParam);
    if (!s || !s->model) return TRUE;
    for (int id : PixelSizeModel::kFields) Write(dlg, *s, id, s->model->FieldText(id));
    CheckRadioButton(dlg, IDC_KEEP_ASPECT, IDC_FIT_TO_WINDOW, s->model->shape);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  auto* s = SessionOf<PixelSizeModel>(dlg);
  if (!s || !s->model) return FALSE;
  int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDC_KEEP_ASPECT || id == IDC_FIT_TO_WINDOW) {
    CheckRadioButton(dlg, IDC_KEEP_ASPECT, IDC_FIT_TO_WINDOW, id);
    s->model->ChooseShape(id);
    return TRUE;
  }
  for (int field : PixelSizeModel::kFields) {
    if (id != field) continue;
    if (code == EN_CHANGE && !s->writing) s->model->FieldEdited(id, FieldText(dlg, id).c_str());
    return TRUE;
  }
  return HandleEnd(dlg, *s, id) ? TRUE : FALSE;
}

INT_PTR CALLBACK AddRemoveColumnRowDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* s = Begin<AddRemoveModel>(dlg, lParam);
    if (!s || !s->model) return TRUE;
    AddRemoveModel& m = *s->model;
    Write(dlg, *s, IDC_ADDREMOVE_COUNT, m.Text());
    if (m.CornerEnabled()) {
      SetDlgItemTextA(dlg, IDC_FILL_FROM_CORNER, m.CornerText());
      CheckDlgButton(dlg, IDC_FILL_FROM_CORNER, m.corner ? BST_CHECKED : BST_UNCHECKED);
    } else {
      EnableWindow(GetDlgItem(dlg, IDC_FILL_FROM_CORNER), FALSE);
    }
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  auto* s = SessionOf<AddRemoveModel>(dlg);
  if (!s || !s->model) return FALSE;
  int id = LOWORD(wParam), code = HIWORD(wParam);
  if (HandleRepeat(dlg, *s, kAddRemoveIds, id, code)) return TRUE;
  if (id == IDC_FILL_FROM_CORNER) {
    s->model->corner = Checked(dlg, id);
    return TRUE;
  }
  if (id == IDOK) s->model->corner = Checked(dlg, IDC_FILL_FROM_CORNER);
  return HandleEnd(dlg, *s, id) ? TRUE : FALSE;
}

INT_PTR CALLBACK PixelScrollDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* s = Begin<RepeatCountModel>(dlg, lParam);
    if (s && s->model) Write(dlg, *s, IDC_SCROLL_COUNT, s->model->Text());
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  auto* s = SessionOf<RepeatCountModel>(dlg);
  if (!s || !s->model) return FALSE;
  int id = LOWORD(wParam), code = HIWORD(wParam);
  if (HandleRepeat(dlg, *s, kScrollIds, id, code)) return TRUE;
  return HandleEnd(dlg, *s, id) ? TRUE : FALSE;
}

INT_PTR CALLBACK ElementInsertDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ElementCountProc(dlg, msg, wParam, lParam);
}

INT_PTR CALLBACK ElementDeleteDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ElementCountProc(dlg, msg, wParam, lParam);
}

int ShowPixelSizeDialog(PixelSizeModel& model) { return ShowModal("PIXELSIZE", PixelSizeDlgProc, model); }

int ShowAddRemoveColumnRowDialog(AddRemoveModel& model) {
  return ShowModal("ADDREMOVECOLUMNROW", AddRemoveColumnRowDlgProc, model);
}

int ShowPixelScrollDialog(RepeatCountModel& model) { return ShowModal("PIXELSCROLL", PixelScrollDlgProc, model); }

int ShowElementCountDialog(ElementCountModel& model) {
  return model.insert ? ShowModal("ELEMENTINSERT", ElementInsertDlgProc, model)
                      : ShowModal("ELEMENTDELETE", ElementDeleteDlgProc, model);
}

}  // namespace dw
