// The code-page range dialogs on their real templates under Wine: a timer
// plays the user inside the modal loop, reading and typing the start field
// and pressing a button.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/EditorState.h"
#include "views/CodePage.h"
#include "views/EditCodePage.h"

namespace {

using namespace dw;

const char kIndexStartTitle[] = "Character Index For First Symbol In Range";
constexpr int kStartField = 1225;

// What the timer does once the dialog is up.
struct Script {
  const char* type = nullptr;  // text for the start field, or none
  int button = IDOK;
  std::string shown;           // the start field as the dialog showed it
  bool found = false;
};
Script* g_script = nullptr;

void CALLBACK PlayUser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowA(nullptr, kIndexStartTitle);
  if (!dlg || !g_script) return;
  KillTimer(nullptr, id);
  g_script->found = true;
  char text[64] = "";
  GetDlgItemTextA(dlg, kStartField, text, sizeof text);
  g_script->shown = text;
  if (g_script->type) SetDlgItemTextA(dlg, kStartField, g_script->type);
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(g_script->button, BN_CLICKED), 0);
}

class EditCodePageWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateEditorState();
    SetEditCodePageHook(nullptr);
    CodePageTable t = CurrentCodePage();
    *t.count = 2;
    t.startChar[0] = 0x20;
    t.endChar[0] = 0x3F;
    t.startChar[1] = 0x41;
    t.endChar[1] = 0x5A;
    g_ed->Cur().useHexInCodePage = 1;
  }
  void TearDown() override {
    g_script = nullptr;
    DestroyEditorState();
  }
  int Run(Script& s, int32_t* start) {
    g_script = &s;
    SetTimer(nullptr, 0, 50, PlayUser);
    return RunEditIndexStartDialog(start);
  }
};

TEST_F(EditCodePageWin32Test, IndexStartProposesAndTakesTheStart) {
  Script s;
  s.type = "0x0061";
  int32_t start = 0;
  EXPECT_EQ(Run(s, &start), 1);
  EXPECT_TRUE(s.found);
  EXPECT_EQ(s.shown, "0x005A");  // the previous range's end
  EXPECT_EQ(start, 0x61);
}

TEST_F(EditCodePageWin32Test, IndexStartCancelLeavesTheStart) {
  Script s;
  s.type = "77";
  s.button = IDCANCEL;
  int32_t start = 5;
  EXPECT_EQ(Run(s, &start), 0);
  EXPECT_TRUE(s.found);
  EXPECT_EQ(start, 5);
}

TEST_F(EditCodePageWin32Test, RangeEditorAnswersCancel) { EXPECT_EQ(RunEditCodePageDialog(), 0); }

}  // namespace
