// The clipboard binding and the CLIPSIZE dialog on its real template: a
// bitmap goes to the platform's clipboard and back pixel for pixel, text is
// told apart, and the dialog's fields, buttons and corrections work through
// the procedure as a user meets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ClipSize.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/Paste.h"
#include "core/Win32Host.h"

namespace dw {
// The dialog procedure (core/ClipSize_win.cpp), driven here without the modal loop.
INT_PTR CALLBACK ClipSizeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace dw

namespace {

using namespace dw;

struct CountingPrompter : IPrompter {
  std::vector<std::string> texts;
  int Ask(const char* text, const char*, unsigned) override {
    texts.push_back(text);
    return ANS_OK;
  }
  void Beep(unsigned) override {}
};

class ClipSizeWin : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateEditorState();
    ResetPasteState();
    Services s;
    s.clipboard = Win32Clipboard();
    s.prompter = &prompter;
    InstallServices(s);
  }
  void TearDown() override {
    if (dlg_) DestroyWindow(dlg_);
    InstallServices(Services());
    DestroyEditorState();
  }

  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  HWND Open(ClipSizeDialog& d) {
    dlg_ = CreateDialogParamA(GetModuleHandleA(nullptr), "CLIPSIZE", nullptr, ClipSizeDlgProc,
                              reinterpret_cast<LPARAM>(&d));
    Pump();
    return dlg_;
  }
  std::string Text(int id) {
    char t[128] = "";
    GetDlgItemTextA(dlg_, id, t, sizeof t);
    return t;
  }
  // Without pump the posted repaste waits, so the field shows the dialog's
  // own correction before the paste size's.
  void Click(int id, bool pump = true) {
    SendMessageA(dlg_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg_, id)));
    if (pump) Pump();
  }
  void Type(int id, const char* text, bool pump = true) {
    SetDlgItemTextA(dlg_, id, text);  // sends EN_CHANGE as typing does
    if (pump) Pump();
  }
  static ClipBitmap Pattern(int32_t w, int32_t h) {
    ClipBitmap b;
    b.width = w;
    b.height = h;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) b.pixels.push_back((x * 6) | (y * 12) << 8 | 0x80u << 16);
    return b;
  }

  CountingPrompter prompter;
  HWND dlg_ = nullptr;
};

TEST_F(ClipSizeWin, ABitmapGoesToTheClipboardAndBackUnchanged) {
  ClipBitmap b = Pattern(40, 20);
  ASSERT_TRUE(Win32Clipboard()->WriteBitmap(b));
  ClipBitmap back;
  ASSERT_TRUE(Win32Clipboard()->ReadBitmap(&back));
  EXPECT_EQ(back.width, 40);
  EXPECT_EQ(back.height, 20);
  EXPECT_EQ(back.pixels, b.pixels);
  EXPECT_FALSE(Win32Clipboard()->HasText());
}

TEST_F(ClipSizeWin, TextIsToldApartAndTheDialogSaysSoOnce) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 6);
  memcpy(GlobalLock(mem), "hello", 6);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  ClipBitmap none;
  EXPECT_FALSE(Win32Clipboard()->ReadBitmap(&none));
  EXPECT_TRUE(Win32Clipboard()->HasText());
  EXPECT_EQ(RunClipSizeDialog(nullptr), 0);
  ASSERT_EQ(prompter.texts.size(), 1u);
  EXPECT_EQ(prompter.texts[0], kClipboardHoldsText);
}

TEST_F(ClipSizeWin, FieldsButtonsAndCorrectionsOnTheTemplate) {
  ASSERT_TRUE(Win32Clipboard()->WriteBitmap(Pattern(40, 20)));
  ClipSizeDialog d(nullptr);
  ASSERT_TRUE(d.Open());
  ASSERT_TRUE(Open(d));
  EXPECT_EQ(Text(IDC_CLIP_SIZE_TEXT), "Clip 40 x 20");
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "32");
  EXPECT_EQ(Text(IDC_CLIP_BRIGHTNESS), "-1");
  EXPECT_EQ(IsDlgButtonChecked(dlg_, IDC_CLIP_FIT_CLIPBOARD), BST_CHECKED);
  EXPECT_FALSE(d.Dirty());  // the opening paste ran

  // "-" from 1 gives 0, then 1 again.
  Type(IDC_CLIP_WIDTH, "1");
  EXPECT_EQ(d.Width(), 1);
  Click(IDC_CLIP_WIDTH_MINUS);
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "0");
  Click(IDC_CLIP_WIDTH_MINUS);
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "1");

  // Typed values out of range are corrected in the field.
  Type(IDC_CLIP_HEIGHT, "-7");
  EXPECT_EQ(Text(IDC_CLIP_HEIGHT), "1");
  Type(IDC_CLIP_HEIGHT, "5000");
  EXPECT_EQ(Text(IDC_CLIP_HEIGHT), "1200");

  // Fitting the picture to the clipboard shows the bitmap's size.
  Click(IDC_CLIP_FIT_PICTURE);
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "40");
  EXPECT_EQ(Text(IDC_CLIP_HEIGHT), "20");
  EXPECT_EQ(IsDlgButtonChecked(dlg_, IDC_CLIP_FIT_PICTURE), BST_CHECKED);
  EXPECT_EQ(g_ed->Cur().pictureWidth, 40);

  // The brightness bar: value = 255 - position.
  SendMessageA(dlg_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 55),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg_, IDC_CLIP_BRIGHTNESS_BAR)));
  Pump();
  EXPECT_EQ(Text(IDC_CLIP_BRIGHTNESS), "72");
  Click(IDC_CLIP_ZERO);
  EXPECT_EQ(Text(IDC_CLIP_BRIGHTNESS), "0");

  SendMessageA(dlg_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(g_ed->Cur().pictureWidth, 32);
}

TEST_F(ClipSizeWin, FromColumn1000TheWidthStopsAt600) {
  ASSERT_TRUE(Win32Clipboard()->WriteBitmap(Pattern(40, 20)));
  DataSet& s = g_ed->Cur();
  s.viewMode = 10096;
  s.elementWidth = 100;
  s.elementHeight = 10;
  s.elementCountX = 16;
  s.elementCount = 64;
  s.currentElement = 10;
  s.pictureWidth = 1600;
  s.pictureHeight = 40;
  UpdateWorkSheetGeometry();
  ASSERT_EQ(s.activeLeft, 1000);
  ClipSizeDialog d(nullptr);
  ASSERT_TRUE(d.Open());
  ASSERT_TRUE(Open(d));
  EXPECT_EQ(Text(IDC_CLIP_COPY_PIXEL), "Copy Pixel to Pixel Inside Element");
  Type(IDC_CLIP_WIDTH, "700", false);
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "600");
  Click(IDC_CLIP_WIDTH_PLUS, false);
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "600");
  // The paste itself then cuts the size to the element.
  Pump();
  EXPECT_EQ(Text(IDC_CLIP_WIDTH), "100");
  SendMessageA(dlg_, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(ClipSizeWin, ThePreviewShowsTheBitmapScaled) {
  ClipBitmap red;
  red.width = 3;
  red.height = 2;
  red.pixels.assign(6, 0x0000FF);
  ClipSizeDialog d(&red);
  ASSERT_TRUE(d.Open());
  ASSERT_TRUE(Open(d));
  ShowWindow(dlg_, SW_SHOWNORMAL);
  UpdateWindow(dlg_);
  Pump();
  HWND preview = GetDlgItem(dlg_, IDC_CLIP_PREVIEW);
  RECT r;
  GetClientRect(preview, &r);
  HDC dc = GetDC(preview);
  COLORREF centre = GetPixel(dc, r.right / 2, r.bottom / 2);
  ReleaseDC(preview, dc);
  EXPECT_EQ(centre, RGB(255, 0, 0));
  SendMessageA(dlg_, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
