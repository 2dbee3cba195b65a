// The count dialogs on their real templates under Wine: the procedures
// write and correct the fields, the buttons step and switch, and a modal run
// over the main window stores what OK gives.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/CountDialogs_win.h"
#include "core/EditorState.h"

namespace {

using namespace dw;

// A dialog opened modeless from its template, so the test can type and
// click and then read the model and the fields.
template <class Model>
class OpenDialog {
 public:
  OpenDialog(const char* name, DLGPROC proc, Model& model) {
    session_.model = &model;
    dlg_ = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, proc, reinterpret_cast<LPARAM>(&session_));
  }
  ~OpenDialog() {
    if (dlg_) DestroyWindow(dlg_);
  }
  HWND Window() const { return dlg_; }
  int Result() const { return session_.result; }
  std::string Title() const { return Text(0); }
  // The text of a control, or the dialog's title for id 0.
  std::string Text(int id) const {
    char text[256] = "";
    GetWindowTextA(id ? GetDlgItem(dlg_, id) : dlg_, text, sizeof text);
    return text;
  }
  // Typing: the edit control tells the dialog of the change.
  void Type(int id, const char* text) { SetDlgItemTextA(dlg_, id, text); }
  void Click(int id) { SendMessageA(GetDlgItem(dlg_, id), BM_CLICK, 0, 0); }
  bool Checked(int id) const { return IsDlgButtonChecked(dlg_, id) == BST_CHECKED; }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dlg_, id)) != FALSE; }

 private:
  DialogSession<Model> session_;
  HWND dlg_ = nullptr;
};

class CountDialogsWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { CreateEditorState(); }
  void TearDown() override { DestroyEditorState(); }
};

TEST_F(CountDialogsWin32Test, PixelSizeShowsAndReadsTheGeometry) {
  PixelSizeModel m;
  m.Load(g_ed->cfg);
  OpenDialog<PixelSizeModel> d("PIXELSIZE", PixelSizeDlgProc, m);
  ASSERT_NE(d.Window(), nullptr);
  EXPECT_EQ(d.Title(), "LCD Size and Shape");
  EXPECT_EQ(d.Text(IDC_LCD_COUNT_X), "128");
  EXPECT_EQ(d.Text(IDC_LCD_SIZE_X), "0.50");
  EXPECT_EQ(d.Text(IDC_LCD_SPACING_Y), "0.10");
  EXPECT_TRUE(d.Checked(IDC_KEEP_ASPECT));
  d.Type(IDC_LCD_SIZE_X, "0.75");
  d.Type(IDC_LCD_SIZE_Y, "nan");
  d.Type(IDC_LCD_COUNT_Y, "64");
  d.Click(IDC_FIT_TO_WINDOW);
  EXPECT_DOUBLE_EQ(m.sizeX, 0.75);
  EXPECT_DOUBLE_EQ(m.sizeY, 0.5);
  EXPECT_EQ(m.countY, 64);
  EXPECT_EQ(m.shape, IDC_FIT_TO_WINDOW);
  EXPECT_TRUE(d.Checked(IDC_FIT_TO_WINDOW));
  EXPECT_FALSE(d.Checked(IDC_KEEP_ASPECT));
  d.Click(IDOK);
  EXPECT_EQ(d.Result(), 1);
}

TEST_F(CountDialogsWin32Test, AddRemoveCorrectsTypedCounts) {
  g_ed->cfg.addRowFromCornerPixel = 1;
  AddRemoveModel m;
  m.Load(g_ed->cfg, 1);
  OpenDialog<AddRemoveModel> d("ADDREMOVECOLUMNROW", AddRemoveColumnRowDlgProc, m);
  ASSERT_NE(d.Window(), nullptr);
  EXPECT_EQ(d.Title(), "Add or Remove Columns or Rows");
  EXPECT_EQ(d.Text(IDC_ADDREMOVE_COUNT), "1");
  EXPECT_EQ(d.Text(IDC_FILL_FROM_CORNER), "Fill Row From Left-Bottom Corner");
  EXPECT_TRUE(d.Checked(IDC_FILL_FROM_CORNER));
  struct Case {
    const char* typed;
    const char* shown;
  };
  for (const Case& c : {Case{"1500", "1199"}, Case{"1200", "1200"}, Case{"-3", "0"}, Case{"12", "12"}}) {
    d.Type(IDC_ADDREMOVE_COUNT, c.typed);
    EXPECT_EQ(d.Text(IDC_ADDREMOVE_COUNT), c.shown) << c.typed;
  }
  d.Click(IDC_FILL_FROM_CORNER);
  EXPECT_FALSE(m.corner);
  d.Click(IDCANCEL);
  EXPECT_EQ(d.Result(), 0);

  AddRemoveModel removing;
  removing.Load(g_ed->cfg, 0);
  OpenDialog<AddRemoveModel> r("ADDREMOVECOLUMNROW", AddRemoveColumnRowDlgProc, removing);
  EXPECT_FALSE(r.Enabled(IDC_FILL_FROM_CORNER));
}

TEST_F(CountDialogsWin32Test, ScrollMinusShowsMinusOneAndOkGivesZero) {
  RepeatCountModel m;
  OpenDialog<RepeatCountModel> d("PIXELSCROLL", PixelScrollDlgProc, m);
  ASSERT_NE(d.Window(), nullptr);
  EXPECT_EQ(d.Title(), "Scroll a Number of Pixels");
  d.Click(IDC_SCROLL_MINUS);
  EXPECT_EQ(d.Text(IDC_SCROLL_COUNT), "0");
  d.Click(IDC_SCROLL_MINUS);
  EXPECT_EQ(d.Text(IDC_SCROLL_COUNT), "-1");
  d.Click(IDOK);
  EXPECT_EQ(d.Result(), 1);
  EXPECT_EQ(m.Result(), 0);
}

TEST_F(CountDialogsWin32Test, ElementInsertStepsAndSwitchesBase) {
  ElementCountModel m;
  m.Load(true, 65534, 0x41, false);
  OpenDialog<ElementCountModel> d("ELEMENTINSERT", ElementInsertDlgProc, m);
  ASSERT_NE(d.Window(), nullptr);
  EXPECT_EQ(d.Title(), "Insert Elements");
  EXPECT_EQ(d.Text(IDC_ELEMENT_START), "65");
  d.Click(IDC_ELEMENT_PLUS);
  EXPECT_EQ(d.Text(IDC_ELEMENT_COUNT), "65535");
  d.Click(IDC_ELEMENT_PLUS);
  EXPECT_EQ(d.Text(IDC_ELEMENT_COUNT), "65535");
  d.Click(IDC_SHOW_HEX);
  EXPECT_TRUE(d.Checked(IDC_SHOW_HEX));
  EXPECT_EQ(d.Text(IDC_ELEMENT_COUNT), "0xFFFF");
  d.Click(IDC_SHOW_HEX);
  d.Type(IDC_ELEMENT_COUNT, "16");
  d.Click(IDC_SHOW_HEX);
  EXPECT_EQ(d.Text(IDC_ELEMENT_COUNT), "0x0010");
  EXPECT_EQ(d.Text(IDC_ELEMENT_START), "0x0041");
  d.Type(IDC_ELEMENT_START, "0x30");
  d.Click(IDOK);
  EXPECT_EQ(d.Result(), 1);
  EXPECT_EQ(m.count, 16);
  EXPECT_EQ(m.start, 0x30);
  EXPECT_TRUE(m.hex);
}

TEST_F(CountDialogsWin32Test, ElementDeleteHasTheMethodBoxAndNoStart) {
  ElementCountModel m;
  m.Load(false, 3, 0, false);
  OpenDialog<ElementCountModel> d("ELEMENTDELETE", ElementDeleteDlgProc, m);
  ASSERT_NE(d.Window(), nullptr);
  EXPECT_EQ(d.Title(), "Delete Elements");
  EXPECT_EQ(GetDlgItem(d.Window(), IDC_ELEMENT_START), nullptr);
  EXPECT_EQ(d.Text(IDC_ELEMENT_COUNT), "3");
  EXPECT_FALSE(d.Checked(IDC_DELETE_ONE_A_CLICK));
  d.Click(IDC_DELETE_ONE_A_CLICK);
  EXPECT_TRUE(m.oneAClick);
  d.Click(IDC_ELEMENT_MINUS);
  d.Click(IDOK);
  EXPECT_EQ(m.count, 2);
  EXPECT_EQ(m.DeleteMethod(), 10503);
}

// Modal runs: a thread timer waits for the dialog by its title and acts on
// it while DialogBoxParam's loop runs.
std::function<void(HWND)> g_action;
const char* g_awaitedTitle = nullptr;
int g_ticks = 0;

void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowA("#32770", g_awaitedTitle);
  if (!dlg && ++g_ticks < 200) return;
  KillTimer(nullptr, id);
  if (dlg && g_action) g_action(dlg);
}

void Script(const char* title, std::function<void(HWND)> action) {
  g_awaitedTitle = title;
  g_action = std::move(action);
  g_ticks = 0;
  SetTimer(nullptr, 0, 20, ActOnDialog);
}

void ClickIn(HWND dlg, int id) { SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

TEST_F(CountDialogsWin32Test, ModalRunsStoreWhatOkGives) {
  int32_t count = 4;
  Script("Delete Elements", [](HWND dlg) {
    ClickIn(dlg, IDC_DELETE_ONE_A_CLICK);
    ClickIn(dlg, IDC_SHOW_HEX);
    ClickIn(dlg, IDOK);
  });
  g_ed->cfg.elementDeleteMethod = 10505;
  g_ed->Cur().useHexInCodePage = 0;
  EXPECT_EQ(RunElementDeleteDialog(&count), 1);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(g_ed->cfg.elementDeleteMethod, 10503);
  EXPECT_EQ(g_ed->Cur().useHexInCodePage, 1);

  Script("Scroll a Number of Pixels", [](HWND dlg) {
    ClickIn(dlg, IDC_SCROLL_MINUS);
    ClickIn(dlg, IDC_SCROLL_MINUS);
    ClickIn(dlg, IDOK);
  });
  count = 9;
  EXPECT_EQ(RunPixelScrollDialog(&count), 1);
  EXPECT_EQ(count, 0);

  g_ed->cfg.addColumnFromCornerPixel = 0;
  Script("Add or Remove Columns or Rows", [](HWND dlg) {
    ClickIn(dlg, IDC_FILL_FROM_CORNER);
    ClickIn(dlg, IDCANCEL);
  });
  count = 9;
  EXPECT_EQ(RunAddRemoveColumnRowDialog(2, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(g_ed->cfg.addColumnFromCornerPixel, 0);

  Script("LCD Size and Shape", [](HWND dlg) {
    SetDlgItemTextA(dlg, IDC_LCD_SIZE_X, "0");
    SetDlgItemTextA(dlg, IDC_LCD_COUNT_X, "240");
    ClickIn(dlg, IDOK);
  });
  EXPECT_EQ(RunPixelSizeDialog(), 1);
  EXPECT_DOUBLE_EQ(g_ed->cfg.pixelSizeXmm, 0.01);
  EXPECT_EQ(g_ed->cfg.lcdCountX, 240);
}

}  // namespace
