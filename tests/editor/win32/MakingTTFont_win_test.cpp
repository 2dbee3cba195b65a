// The "Making TrueType Font" box on its template: opened with a title,
// retitled per character, ended by the drawing or by the user.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "views/FontRender.h"

using namespace dw;

namespace {

HWND FindBox(const char* title) { return FindWindowA(reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32770)), title); }

std::string Text(HWND w) {
  char t[256] = "";
  GetWindowTextA(w, t, sizeof t);
  return t;
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

class MakingTTFontWin : public ::testing::Test {
 protected:
  void SetUp() override { SetMakingTTFontWindow(Win32MakingTTFontWindow()); }
  void TearDown() override {
    CloseMakingTTFont();
    SetMakingTTFontWindow(nullptr);
  }
};

TEST_F(MakingTTFontWin, OpensRetitlesAndEndsOnWmUser) {
  OpenMakingTTFont("Making TrueType Font");
  Pump();
  HWND box = FindBox("Making TrueType Font");
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(IsWindowVisible(box));
  HWND preview = GetDlgItem(box, 1057);
  ASSERT_NE(nullptr, preview);
  EXPECT_EQ("TT-Char", Text(preview));
  SetMakingTTFontTitle("Unicode 0x0041");
  EXPECT_EQ("Unicode 0x0041", Text(box));
  CloseMakingTTFont();
  Pump();
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(MakingTTFontOpen());
}

TEST_F(MakingTTFontWin, TheUserMayCloseItFirst) {
  OpenMakingTTFont("Making TrueType Font");
  HWND box = FindBox("Making TrueType Font");
  ASSERT_NE(nullptr, box);
  SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindow(box));
  // The drawing goes on retitling and closing a box that is gone.
  SetMakingTTFontTitle("Unicode 0x0042");
  CloseMakingTTFont();
  // A new drawing opens a new box.
  OpenMakingTTFont("Making TrueType Font");
  HWND again = FindBox("Making TrueType Font");
  ASSERT_NE(nullptr, again);
  CloseMakingTTFont();
  EXPECT_FALSE(IsWindow(again));
}

}  // namespace
