#include "core/CodePageDialogs.h"

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#include <vector>
#endif

namespace dw {

static FontCodePageMatchHook g_matchHook = nullptr;
static CodePageTextFormatHook g_formatHook = nullptr;

void SetFontCodePageMatchHook(FontCodePageMatchHook hook) { g_matchHook = hook; }
void SetCodePageTextFormatHook(CodePageTextFormatHook hook) { g_formatHook = hook; }

#ifdef _WIN32
// The two dialogs are built from in-memory templates until their resources
// arrive with the font dialogs; the procedures keep their final names.

// Stand-in: answers "Ignore !" at once, so a mismatch never blocks an open.
INT_PTR CALLBACK FontCodePageMatchDlgProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    EndDialog(dlg, FCPM_IGNORE);
    return TRUE;
  }
  return FALSE;
}

// CODEPAGETEXTFORMAT: the three encodings as radios 1941-1943, OK and Cancel.
INT_PTR CALLBACK CodePageTextFormatDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  static int32_t* format = nullptr;
  switch (msg) {
    case WM_INITDIALOG: {
      format = reinterpret_cast<int32_t*>(lParam);
      int id = (format && *format >= 1941 && *format <= 1943) ? *format : 1941;
      CheckRadioButton(dlg, 1941, 1943, id);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          for (int id = 1941; id <= 1943; ++id)
            if (IsDlgButtonChecked(dlg, id) == BST_CHECKED && format) *format = id;
          EndDialog(dlg, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dlg, 0);
          return TRUE;
        case 1941:
        case 1942:
        case 1943:
          CheckRadioButton(dlg, 1941, 1943, LOWORD(wParam));
          return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dlg, 0);
      return TRUE;
  }
  return FALSE;
}

namespace {
// A DLGTEMPLATE with its items, WORD-aligned as the dialog manager wants.
class Template {
 public:
  Template(const wchar_t* caption, short w, short h, int items) {
    Align(4);
    DLGTEMPLATE t = {};
    t.style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    t.cdit = static_cast<WORD>(items);
    t.cx = w;
    t.cy = h;
    Put(&t, sizeof t);
    Word(0);  // menu
    Word(0);  // class
    Text(caption);
    Word(8);
    Text(L"MS Shell Dlg");
  }
  void Item(DWORD style, short x, short y, short w, short h, WORD id, WORD cls, const wchar_t* text) {
    Align(4);
    DLGITEMTEMPLATE it = {};
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = x;
    it.y = y;
    it.cx = w;
    it.cy = h;
    it.id = id;
    Put(&it, sizeof it);
    Word(0xFFFF);
    Word(cls);
    Text(text);
    Word(0);  // no creation data
  }
  LPCDLGTEMPLATEA Get() const { return reinterpret_cast<LPCDLGTEMPLATEA>(bytes_.data()); }

 private:
  void Put(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, sizeof w); }
  void Text(const wchar_t* s) { Put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
  void Align(size_t a) {
    while (bytes_.size() % a) bytes_.push_back(0);
  }
  std::vector<BYTE> bytes_;
};
}  // namespace

static HWND OwnerWindow() { return GetActiveWindow(); }

int RunFontCodePageMatchDialog(int32_t codePageSymbols, int32_t elementCount) {
  if (g_matchHook) return g_matchHook(codePageSymbols, elementCount);
  Template t(L"Mismatch between Font and CodePage", 200, 60, 1);
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 35, 50, 14, FCPM_IGNORE, 0x0080, L"Ignore !");
  INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), OwnerWindow(), FontCodePageMatchDlgProc, 0);
  return r > 0 ? static_cast<int>(r) : FCPM_IGNORE;
}

int RunCodePageTextFormatDialog(int32_t* format) {
  if (g_formatHook) return g_formatHook(format);
  Template t(L"Text Format", 180, 90, 5);
  t.Item(BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 10, 8, 160, 12, 1941, 0x0080, L"ASCII, one byte per character");
  t.Item(BS_AUTORADIOBUTTON, 10, 24, 160, 12, 1942, 0x0080, L"UTF-16, least significant byte first");
  t.Item(BS_AUTORADIOBUTTON, 10, 40, 160, 12, 1943, 0x0080, L"UTF-16, most significant byte first");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 30, 68, 50, 14, IDOK, 0x0080, L"OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 100, 68, 50, 14, IDCANCEL, 0x0080, L"Cancel");
  INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), OwnerWindow(), CodePageTextFormatDlgProc,
                                      reinterpret_cast<LPARAM>(format));
  return r == 1 ? 1 : 0;
}
#else
int RunFontCodePageMatchDialog(int32_t codePageSymbols, int32_t elementCount) {
  return g_matchHook ? g_matchHook(codePageSymbols, elementCount) : FCPM_IGNORE;
}

// Without a user to ask, the format chosen last stands.
int RunCodePageTextFormatDialog(int32_t* format) { return g_formatHook ? g_formatHook(format) : 1; }
#endif

}  // namespace dw
