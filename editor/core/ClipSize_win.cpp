// The CLIPSIZE dialog's window procedure: copies between the model
// (core/ClipSize.h) and the controls, and draws the preview. Every change
// posts WM_USER, which pastes again.
#include <string>
#include <vector>

#include "core/ClipSize.h"
#include "core/Win32Host.h"

namespace dw {

INT_PTR CALLBACK ClipSizeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

constexpr UINT kRepaste = WM_USER;

// Per-window state: the model and the guards of the procedure's own writes.
struct ClipSizeWindow {
  ClipSizeDialog* model = nullptr;
  bool writing = false;     // the procedure writes a field: its EN_CHANGE is not the user's
  bool previewing = false;  // a preview is being drawn
};

ClipSizeWindow* StateOf(HWND dlg) { return reinterpret_cast<ClipSizeWindow*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

void WriteSize(HWND dlg, ClipSizeWindow& w) {
  w.writing = true;
  SetDlgItemInt(dlg, IDC_CLIP_WIDTH, static_cast<UINT>(w.model->Width()), TRUE);
  SetDlgItemInt(dlg, IDC_CLIP_HEIGHT, static_cast<UINT>(w.model->Height()), TRUE);
  w.writing = false;
}

void WriteBrightness(HWND dlg, const ClipSizeDialog& m) {
  SetDlgItemTextA(dlg, IDC_CLIP_BRIGHTNESS, m.BrightnessText().c_str());
  SetScrollPos(GetDlgItem(dlg, IDC_CLIP_BRIGHTNESS_BAR), SB_CTL, m.BarPosition(), TRUE);
}

void WriteChoices(HWND dlg, const ClipSizeDialog& m) {
  CheckRadioButton(dlg, IDC_CLIP_COPY_PIXEL, IDC_CLIP_FIT_PICTURE, m.Action());
  CheckRadioButton(dlg, IDC_CLIP_INTERPOLATE_2, IDC_CLIP_INTERPOLATE_3,
                   m.InterpolationOn() ? m.InterpolationPixels() : 0);
  CheckDlgButton(dlg, IDC_CLIP_INTERPOLATE_NO, m.InterpolationOn() ? BST_UNCHECKED : BST_CHECKED);
  CheckRadioButton(dlg, IDC_CLIP_VERTICAL, IDC_CLIP_BOTH, m.Direction());
}

void FillControls(HWND dlg, ClipSizeWindow& w) {
  const ClipSizeDialog& m = *w.model;
  SetDlgItemTextA(dlg, IDC_CLIP_SIZE_TEXT, m.ClipText().c_str());
  for (int id = IDC_CLIP_COPY_PIXEL; id <= IDC_CLIP_FIT_PICTURE; ++id)
    SetDlgItemTextA(dlg, id, m.ActionText(id).c_str());
  SetDlgItemTextA(dlg, IDC_CLIP_SIZE_GROUP, m.SizeGroupText().c_str());
  WriteChoices(dlg, m);
  WriteSize(dlg, w);
  SetScrollRange(GetDlgItem(dlg, IDC_CLIP_BRIGHTNESS_BAR), SB_CTL, 0, ClipSizeDialog::kBrightnessMax, FALSE);
  WriteBrightness(dlg, m);
  EnableWindow(GetDlgItem(dlg, IDC_CLIP_APPLY), m.ApplyEnabled());
}

// The bitmap scaled into the preview control, plain (no interpolation), in
// one blit.
void DrawPreview(const DRAWITEMSTRUCT& item, ClipSizeWindow& w) {
  const RECT& r = item.rcItem;
  LONG width = r.right - r.left, height = r.bottom - r.top;
  const ClipBitmap& b = w.model->Bitmap();
  if (width <= 0 || height <= 0 || w.previewing) return;
  w.previewing = true;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xFFFFFF);
  ConvertPictureSize(pixels.data(), 0, 0, width, height, b.pixels.data(), b.width, b.height, Interpolation());
  for (uint32_t& p : pixels) p = (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(item.hDC, r.left, r.top, width, height, 0, 0, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
  w.previewing = false;
}

void Changed(HWND dlg) { PostMessageA(dlg, kRepaste, 0, 0); }

void OnCommand(HWND dlg, ClipSizeWindow& w, int id, int code) {
  ClipSizeDialog& m = *w.model;
  switch (id) {
    case IDOK:
      EndDialog(dlg, m.Ok(IsDlgButtonChecked(dlg, IDC_CLIP_DONT_SHOW) == BST_CHECKED));
      return;
    case IDCANCEL:
      EndDialog(dlg, m.Cancel());
      return;
    case IDC_CLIP_WIDTH:
    case IDC_CLIP_HEIGHT: {
      if (code != EN_CHANGE || w.writing) return;
      char text[32] = "";
      GetDlgItemTextA(dlg, id, text, sizeof text);
      bool rewrite = false;
      int32_t value = m.FieldChanged(id, text, &rewrite);
      if (rewrite) {
        w.writing = true;
        SetDlgItemInt(dlg, id, static_cast<UINT>(value), TRUE);
        w.writing = false;
      }
      if (m.Dirty()) Changed(dlg);
      return;
    }
    default:
      if (code != BN_CLICKED || !m.Command(id)) return;
      WriteChoices(dlg, m);
      WriteSize(dlg, w);
      WriteBrightness(dlg, m);
      Changed(dlg);
      return;
  }
}

}  // namespace

INT_PTR CALLBACK ClipSizeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  ClipSizeWindow* w = msg == WM_INITDIALOG ? nullptr : StateOf(dlg);
  switch (msg) {
    case WM_INITDIALOG: {
      // lParam: the opened model; the window keeps its own small state.
      w = new ClipSizeWindow;
      w->model = reinterpret_cast<ClipSizeDialog*>(lParam);
      SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(w));
      if (!w->model) {
        EndDialog(dlg, 0);
        return TRUE;
      }
      FillControls(dlg, *w);
      Changed(dlg);  // the first paste
      return TRUE;
    }
    case WM_NCDESTROY:
      delete w;
      SetWindowLongPtrA(dlg, DWLP_USER, 0);
      return FALSE;
  }
  if (!w || !w->model) return FALSE;
  switch (msg) {
    case kRepaste:
      if (w->previewing) return TRUE;
      if (w->model->Repaste()) WriteSize(dlg, *w);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dlg, *w, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dlg, IDC_CLIP_BRIGHTNESS_BAR)) return FALSE;
      if (w->model->Scroll(LOWORD(wParam), HIWORD(wParam))) {
        WriteBrightness(dlg, *w->model);
        if (w->model->PastesAtOnce()) Changed(dlg);
      }
      return TRUE;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!item || item->CtlID != IDC_CLIP_PREVIEW) return FALSE;
      DrawPreview(*item, *w);
      return TRUE;
    }
  }
  return FALSE;
}

int RunClipSizeDialogWindow(ClipSizeDialog& dialog) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), "CLIPSIZE", g_hwnd[WIN_MAIN], ClipSizeDlgProc,
                              reinterpret_cast<LPARAM>(&dialog));
  if (r == 1) return 1;
  // No dialog could be made: give back what opening it did.
  if (r != 0) dialog.Cancel();
  return 0;
}

}  // namespace dw
