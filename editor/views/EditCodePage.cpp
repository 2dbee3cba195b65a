#include "views/EditCodePage.h"

#include <cstdio>

#include "core/EditorState.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace dw {

namespace {

EditCodePageHook g_hook = nullptr;

// What one run of the procedure works on.
struct EditCodePageRun {
  bool indexStart = false;
  IndexStartModel model;
};

}  // namespace

std::string IndexStartModel::Text() const {
  char text[24];
  if (hex) std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(start));
  else std::snprintf(text, sizeof text, "%d", static_cast<int>(start));
  return text;
}

void IndexStartModel::Take(const char* text) {
  uint32_t v = ParseNumber(text ? text : "");
  start = v > static_cast<uint32_t>(kMaxRangeCharacter) ? kMaxRangeCharacter : static_cast<int32_t>(v);
}

int32_t ProposedRangeStart(const CodePageTable& t, int32_t index, bool fontCodePage) {
  if (!t.Valid() || index < 0 || index > kCodePageScratch) return 0;
  if (index >= kMaxCodePageRanges - 1) return t.startChar[index];
  if (index == 0 || fontCodePage) return t.endChar[0];
  return t.endChar[index - 1];
}

void SetEditCodePageHook(EditCodePageHook hook) { g_hook = hook; }

#ifdef _WIN32
// Control of EDITINDEXSTART (and of EDITCODEPAGE later): the start character.
constexpr int kStartField = 1225;

INT_PTR CALLBACK EditCodePageDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditCodePageRun* run = reinterpret_cast<EditCodePageRun*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      run = reinterpret_cast<EditCodePageRun*>(lParam);
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      // EDITCODEPAGE answers Cancel until its range editor is built.
      if (!run || !run->indexStart) {
        EndDialog(dlg, 0);
        return TRUE;
      }
      SetDlgItemTextA(dlg, kStartField, run->model.Text().c_str());
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          char text[128];
          GetDlgItemTextA(dlg, kStartField, text, sizeof text);
          if (run) run->model.Take(text);
          EndDialog(dlg, 1);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dlg, 0);
          return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dlg, 0);
      return TRUE;
  }
  return FALSE;
}

static int RunDialog(const char* templateName, EditCodePageRun* run) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), templateName, GetActiveWindow(), EditCodePageDlgProc,
                              reinterpret_cast<LPARAM>(run));
  return r == 1 ? 1 : 0;
}
#else
// Without a user to ask the dialogs are cancelled.
static int RunDialog(const char*, EditCodePageRun*) { return 0; }
#endif

int RunEditIndexStartDialog(int32_t* startChar) {
  if (!startChar) return 0;
  DataSet& s = g_ed->Cur();
  CodePageTable t = CurrentCodePage();
  if (!t.Valid()) return 0;
  EditCodePageRun run;
  run.indexStart = true;
  run.model.hex = s.useHexInCodePage != 0;
  run.model.start = ProposedRangeStart(t, *t.count, s.codePageModeFlag);
  int answer;
  if (g_hook) {
    int32_t start = run.model.start;
    answer = g_hook(true, &start);
    run.model.start = start < 0 ? 0 : (start > kMaxRangeCharacter ? kMaxRangeCharacter : start);
  } else {
    answer = RunDialog("EDITINDEXSTART", &run);
  }
  if (answer != 1) return 0;
  *startChar = run.model.start;
  return 1;
}

int RunEditCodePageDialog() {
  if (g_hook) {
    int32_t unused = 0;
    return g_hook(false, &unused) == 1 ? 1 : 0;
  }
  EditCodePageRun run;
  return RunDialog("EDITCODEPAGE", &run);
}

}  // namespace dw
