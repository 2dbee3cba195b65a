// Dialogs, controls and the application pump: which handler a command, a
// notification or a reflected message reaches; dialog data checks that keep
// the dialog open; self-deleting modeless dialogs; the pump ending with the
// main window only. Message boxes go to a scripted prompter.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/afx.h"
#include "DialogTemplate.h"

namespace {

const UINT kBtnEx = 100;      // reflects BN_CLICKED and lets the parent have it
const UINT kBtnEat = 101;     // reflects BN_CLICKED and uses it up
const UINT kEdit = 200;
const UINT kLabel = 300;
const UINT kDrawCombo = 400;
const UINT kBarCombo = 36004;
const UINT kExitCmd = 1047;
const UINT kLinkEvent = 0x464;

std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s) {
  if (g_log != nullptr) g_log->push_back(s);
}

class CReflectExButton : public CButton {
public:
  bool presubclassed = false;

protected:
  void PreSubclassWindow() override { presubclassed = true; }
  afx_msg BOOL OnClicked() {
    Log("child ex clicked");
    return FALSE;  // the parent still hears about it
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectExButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, &CReflectExButton::OnClicked)
END_MESSAGE_MAP()

class CReflectEatButton : public CButton {
protected:
  afx_msg void OnClicked() { Log("child eat clicked"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectEatButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, &CReflectEatButton::OnClicked)
END_MESSAGE_MAP()

class CColorLabel : public CStatic {
public:
  CBrush brush{RGB(1, 2, 3)};

protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
    Log("label ctlcolor " + std::to_string(nCtlColor));
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CDrawCombo : public CComboBox {
public:
  int measured = 0;
  int drawn = 0;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override {
    ++measured;
    lpMIS->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
};

class CTestDlg : public CDialog {
public:
  CReflectExButton btnEx;
  CReflectEatButton btnEat;
  CColorLabel label;
  CDrawCombo drawCombo;
  CToolBar toolBar;
  CComboBox barCombo;
  CToolTipCtrl tip;
  int value = 3;
  int initCalls = 0;
  BOOL lastUpdate = -1;

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kBtnEx, btnEx);
    DDX_Control(pDX, kBtnEat, btnEat);
    DDX_Control(pDX, kLabel, label);
    DDX_Text(pDX, kEdit, value);
    DDV_MinMaxInt(pDX, value, 1, 10);
  }
  BOOL OnInitDialog() override {
    ++initCalls;
    CDialog::OnInitDialog();
    CRect r(0, 0, 100, 200);
    drawCombo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, r,
                     this, kDrawCombo);
    toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS);
    barCombo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 80, 120), &toolBar, kBarCombo);
    tip.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX);
    return TRUE;
  }
  afx_msg void OnParentClickEx() { Log("parent ex clicked"); }
  afx_msg void OnParentClickEat() { Log("parent eat clicked"); }
  afx_msg void OnExit() { Log("exit command"); }
  afx_msg void OnBarComboChange() { Log("bar combo selchange"); }
  afx_msg LRESULT OnLinkEvent(WPARAM w, LPARAM l) {
    Log("link event " + std::to_string(w));
    return 5;
  }
  afx_msg BOOL OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult) {
    Log("tooltip text id " + std::to_string(id) + " code " + std::to_string(static_cast<int>(pNMHDR->code)));
    *pResult = 9;
    return TRUE;
  }
  afx_msg void OnUpdateExit(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  void OnOK() override {
    lastUpdate = UpdateData(TRUE);
    if (lastUpdate) EndDialog(IDOK);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_BN_CLICKED(kBtnEx, &CTestDlg::OnParentClickEx)
  ON_BN_CLICKED(kBtnEat, &CTestDlg::OnParentClickEat)
  ON_COMMAND(kExitCmd, &CTestDlg::OnExit)
  ON_CBN_SELCHANGE(kBarCombo, &CTestDlg::OnBarComboChange)
  ON_MESSAGE(kLinkEvent, &CTestDlg::OnLinkEvent)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, &CTestDlg::OnToolTipText)
  ON_UPDATE_COMMAND_UI(kBtnEat, &CTestDlg::OnUpdateExit)
END_MESSAGE_MAP()

DialogTemplate TestTemplate() {
  DialogTemplate t("Framework test", WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 120);
  t.Item(DialogTemplate::Button, kBtnEx, BS_PUSHBUTTON | WS_TABSTOP, "Ex", 5, 40, 40, 14)
      .Item(DialogTemplate::Button, kBtnEat, BS_PUSHBUTTON | WS_TABSTOP, "Eat", 50, 40, 40, 14)
      .Item(DialogTemplate::Edit, kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 5, 60, 60, 12)
      .Item(DialogTemplate::Static, kLabel, SS_LEFT, "label", 5, 80, 60, 10);
  return t;
}

struct LogScope {
  std::vector<std::string> log;
  LogScope() { g_log = &log; }
  ~LogScope() { g_log = nullptr; }
};

TEST(FrameworkDialog, CommandsNotificationsAndReflectionReachTheirHandlers) {
  LogScope logs;
  ScriptedPrompter prompter;
  CPrompterScope scope(&prompter);
  DialogTemplate tmpl = TestTemplate();
  CTestDlg dlg;
  ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get()));
  EXPECT_EQ(1, dlg.initCalls);
  EXPECT_TRUE(dlg.btnEx.presubclassed);  // bound through DDX_Control
  EXPECT_EQ(&dlg.btnEx, CWnd::FromHandlePermanent(dlg.GetDlgItem(kBtnEx)->m_hWnd));
  EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDialog)));
  EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_FALSE(dlg.btnEx.IsKindOf(RUNTIME_CLASS(CDialog)));
  EXPECT_TRUE(dlg.toolBar.IsKindOf(RUNTIME_CLASS(CControlBar)));
  EXPECT_EQ(CString("3"), [&] { CString s; dlg.GetDlgItemText(kEdit, s); return s; }());

  // A real click on each button: reflection first, then the parent unless
  // the control used it up.
  dlg.btnEx.SendMessage(BM_CLICK);
  dlg.btnEat.SendMessage(BM_CLICK);
  std::vector<std::string> expected = {"child ex clicked", "parent ex clicked", "child eat clicked"};
  EXPECT_EQ(expected, logs.log);

  // Menu/accelerator commands and private messages.
  logs.log.clear();
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kExitCmd, 0), 0);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kExitCmd, 1), 0);  // from an accelerator
  EXPECT_EQ(5, dlg.SendMessage(kLinkEvent, 7, 0));
  expected = {"exit command", "exit command", "link event 7"};
  EXPECT_EQ(expected, logs.log);

  // A combo on the tool bar notifies the bar, which forwards to its owner.
  logs.log.clear();
  ASSERT_NE(nullptr, dlg.barCombo.m_hWnd);
  EXPECT_EQ(dlg.toolBar.m_hWnd, ::GetParent(dlg.barCombo.m_hWnd));
  ::SendMessageA(::GetParent(dlg.barCombo.m_hWnd), WM_COMMAND, MAKEWPARAM(kBarCombo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dlg.barCombo.m_hWnd));
  // A tooltip's text request through the bar reaches the range handler.
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = dlg.tip.m_hWnd;
  info.hdr.idFrom = kBarCombo;
  info.hdr.code = TTN_NEEDTEXTA;
  EXPECT_EQ(9, ::SendMessageA(dlg.toolBar.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)));
  expected = {"bar combo selchange", "tooltip text id 0 code " + std::to_string(static_cast<int>(TTN_NEEDTEXTA))};
  EXPECT_EQ(expected, logs.log);

  // Reflected colours: the label picks its own brush.
  logs.log.clear();
  HDC hdc = ::GetDC(dlg.m_hWnd);
  LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                  reinterpret_cast<LPARAM>(dlg.label.m_hWnd));
  ::ReleaseDC(dlg.m_hWnd, hdc);
  EXPECT_EQ(reinterpret_cast<LRESULT>(static_cast<HBRUSH>(dlg.label.brush)), brush);
  expected = {"label ctlcolor " + std::to_string(CTLCOLOR_STATIC)};
  EXPECT_EQ(expected, logs.log);

  // Owner-draw: measured while being created, drawn on request.
  EXPECT_GT(dlg.drawCombo.measured, 0);
  DRAWITEMSTRUCT dis = {};
  dis.CtlType = ODT_COMBOBOX;
  dis.CtlID = kDrawCombo;
  dis.hwndItem = dlg.drawCombo.m_hWnd;
  dlg.SendMessage(WM_DRAWITEM, kDrawCombo, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(1, dlg.drawCombo.drawn);

  // Command state: a handler disables its control; with no handler a push
  // button is disabled only when asked to.
  dlg.UpdateDialogControls(&dlg, FALSE);
  EXPECT_FALSE(dlg.btnEat.IsWindowEnabled());
  EXPECT_TRUE(dlg.btnEx.IsWindowEnabled());
  dlg.UpdateDialogControls(&dlg, TRUE);
  EXPECT_FALSE(dlg.btnEx.IsWindowEnabled());  // BN_CLICKED has no update handler

  EXPECT_TRUE(prompter.boxes.empty());
  EXPECT_TRUE(dlg.DestroyWindow());
}

TEST(FrameworkDialog, FailingDataCheckKeepsTheDialogOpen) {
  ScriptedPrompter prompter;
  CPrompterScope scope(&prompter);
  DialogTemplate tmpl = TestTemplate();
  CTestDlg dlg;
  ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get()));
  dlg.ShowWindow(SW_SHOW);
  struct Step {
    const char* text;
    BOOL ok;
    const char* message;  // nullptr: none
  };
  const Step steps[] = {
      {"abc", FALSE, "Please enter an integer."},
      {"50", FALSE, "Please enter an integer between 1 and 10."},
      {" 7 ", TRUE, nullptr},
  };
  for (const Step& s : steps) {
    prompter.boxes.clear();
    dlg.SetDlgItemText(kEdit, s.text);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
    EXPECT_EQ(s.ok, dlg.lastUpdate) << s.text;
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_EQ(!s.ok, dlg.IsWindowVisible() != FALSE) << s.text;
    if (s.message != nullptr) {
      ASSERT_EQ(1u, prompter.boxes.size()) << s.text;
      EXPECT_EQ(s.message, prompter.boxes[0].text);
      EXPECT_EQ(dlg.GetDlgItem(kEdit)->m_hWnd, ::GetFocus());  // back on the bad field
    } else {
      EXPECT_TRUE(prompter.boxes.empty());
    }
  }
  EXPECT_EQ(7, dlg.value);
  dlg.DestroyWindow();
}

// Answers the first box by correcting the field and pressing Enter again,
// as a user would.
class CFixingPrompter : public IMessagePrompter {
public:
  HWND dlg = nullptr;
  std::vector<std::string> texts;
  int Prompt(LPCTSTR pszText, UINT, UINT) override {
    texts.push_back(pszText);
    ::SetDlgItemTextA(dlg, kEdit, "4");
    ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return IDOK;
  }
};

class CModalDlg : public CTestDlg {
public:
  CFixingPrompter* prompter = nullptr;

protected:
  BOOL OnInitDialog() override {
    CTestDlg::OnInitDialog();
    prompter->dlg = m_hWnd;
    SetDlgItemText(kEdit, "99");
    PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
  }
};

TEST(FrameworkDialog, ModalDialogRunsUntilItsDataIsValid) {
  CFixingPrompter prompter;
  CPrompterScope scope(&prompter);
  DialogTemplate tmpl = TestTemplate();
  CModalDlg dlg;
  dlg.prompter = &prompter;
  ASSERT_TRUE(dlg.InitModalIndirect(tmpl.Get()));
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(std::vector<std::string>{"Please enter an integer between 1 and 10."}, prompter.texts);
  EXPECT_EQ(4, dlg.value);
  EXPECT_EQ(nullptr, dlg.m_hWnd);  // destroyed when the loop ended
}

class CSelfDeletingDlg : public CDialog {
public:
  explicit CSelfDeletingDlg(bool* deleted) : m_deleted(deleted) {}
  ~CSelfDeletingDlg() override { *m_deleted = true; }

protected:
  void PostNcDestroy() override { delete this; }

private:
  bool* m_deleted;
};

TEST(FrameworkDialog, ModelessDialogDeletesItselfAfterItsWindow) {
  DialogTemplate tmpl = TestTemplate();
  bool deleted = false;
  CSelfDeletingDlg* pDlg = new CSelfDeletingDlg(&deleted);
  ASSERT_TRUE(pDlg->CreateIndirect(tmpl.Get()));
  HWND h = pDlg->m_hWnd;
  EXPECT_FALSE(deleted);
  ::DestroyWindow(h);  // from outside, as closing the window would
  EXPECT_TRUE(deleted);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

// ---- The application pump ---------------------------------------------------

const UINT kDestroySelf = WM_APP + 40;
const UINT kGuardTimer = 77;

class CPumpDlg : public CDialog {
public:
  std::string name;
  std::vector<UINT>* seen = nullptr;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (seen != nullptr && pMsg->message == WM_KEYDOWN) seen->push_back(static_cast<UINT>(pMsg->wParam));
    return CDialog::PreTranslateMessage(pMsg);
  }

protected:
  afx_msg LRESULT OnDestroySelf(WPARAM, LPARAM) {
    Log(name + " destroys itself");
    DestroyWindow();
    return 0;
  }
  afx_msg void OnTimer(UINT_PTR) {
    Log(name + " guard fired");  // only when the loop failed to end
    DestroyWindow();
  }
  void OnCancel() override { Log(name + " cancel"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPumpDlg, CDialog)
  ON_MESSAGE(kDestroySelf, &CPumpDlg::OnDestroySelf)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp("Framework Pump Test") {}
  int ExitInstance() override {
    Log("exit instance");
    return CWinApp::ExitInstance() + 40;
  }
};

TEST(FrameworkApp, PumpEndsWithTheMainWindowOnly) {
  LogScope logs;
  ScriptedPrompter prompter;
  CPrompterScope scope(&prompter);
  CTestApp app;
  ASSERT_EQ(&app, AfxGetApp());
  DialogTemplate tmpl = TestTemplate();
  std::vector<UINT> mainKeys;
  CPumpDlg mainDlg, second;
  mainDlg.name = "main";
  second.name = "second";
  mainDlg.seen = &mainKeys;
  ASSERT_TRUE(mainDlg.CreateIndirect(tmpl.Get()));
  ASSERT_TRUE(second.CreateIndirect(tmpl.Get()));
  second.ShowWindow(SW_SHOW);
  app.m_pMainWnd = &mainDlg;
  mainDlg.SetTimer(kGuardTimer, 20000);  // a guard so a broken pump cannot hang the run

  // Escape in the secondary (modeless) dialog's edit: the dialog manager
  // turns it into IDCANCEL through IsDialogMessage in the pump.
  ::PostMessageA(second.GetDlgItem(kEdit)->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  second.PostMessage(kDestroySelf);
  // Reaching this message proves the loop outlived the secondary window.
  mainDlg.PostMessage(kDestroySelf);
  int code = app.Run();

  std::vector<std::string> expected = {"second cancel", "second destroys itself",
                                       "main destroys itself", "exit instance"};
  EXPECT_EQ(expected, logs.log);
  EXPECT_EQ(40, code);
  EXPECT_EQ(nullptr, app.m_pMainWnd);
  EXPECT_EQ(nullptr, mainDlg.m_hWnd);
  EXPECT_TRUE(mainKeys.empty());  // the secondary dialog's keys are not the main window's
}

// Named as the program is, so the round trip goes through the monitor's own key.
class CMonitorNamedApp : public CWinApp {
public:
  CMonitorNamedApp() : CWinApp("Velmara GPS Monitor") {}
};

TEST(FrameworkApp, ProfileRoundTripsThroughTheRegistry) {
  CMonitorNamedApp app;
  app.SetRegistryKey("Velmara Divizuvozo Ltd.");
  const char* section = "FrameworkTest";
  EXPECT_EQ(17u, app.GetProfileInt(section, "missing", 17));
  EXPECT_EQ(CString("dflt"), app.GetProfileString(section, "missing", "dflt"));
  EXPECT_TRUE(app.WriteProfileInt(section, "com", 5));
  EXPECT_TRUE(app.WriteProfileInt(section, "negative", -2));
  EXPECT_TRUE(app.WriteProfileString(section, "name", "SIM-1 GPS Receiver"));
  BYTE bytes[8] = {1, 2, 3, 4, 0, 0xFF, 7, 8};
  EXPECT_TRUE(app.WriteProfileBinary(section, "posMapRefLat", bytes, sizeof bytes));
  EXPECT_EQ(5u, app.GetProfileInt(section, "com", 0));
  EXPECT_EQ(-2, static_cast<int>(app.GetProfileInt(section, "negative", 0)));
  EXPECT_EQ(CString("SIM-1 GPS Receiver"), app.GetProfileString(section, "name"));
  LPBYTE data = nullptr;
  UINT size = 0;
  ASSERT_TRUE(app.GetProfileBinary(section, "posMapRefLat", &data, &size));
  EXPECT_EQ(8u, size);
  EXPECT_EQ(0, memcmp(bytes, data, sizeof bytes));
  delete[] data;
  // A string is not an integer, nor binary.
  EXPECT_EQ(3u, app.GetProfileInt(section, "name", 3));
  EXPECT_FALSE(app.GetProfileBinary(section, "name", &data, &size));
  EXPECT_EQ(nullptr, data);
  EXPECT_EQ(0u, size);

  // Stored where the program's settings live.
  HKEY hKey = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CURRENT_USER,
                          "Software\\Velmara Divizuvozo Ltd.\\Velmara GPS Monitor\\FrameworkTest", 0,
                          KEY_READ, &hKey));
  DWORD value = 0, type = 0, cb = sizeof value;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(hKey, "com", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &cb));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(5u, value);
  RegCloseKey(hKey);

  // The recent-file list comes back in order with its size limit.
  app.LoadStdProfileSettings(2);
  app.AddToRecentFileList("a.log");
  app.AddToRecentFileList("b.log");
  app.AddToRecentFileList("A.LOG");
  app.AddToRecentFileList("c.log");
  ASSERT_EQ(2, app.GetRecentFiles().GetSize());
  EXPECT_EQ(CString("c.log"), app.GetRecentFiles()[0]);
  EXPECT_EQ(CString("A.LOG"), app.GetRecentFiles()[1]);

  EXPECT_TRUE(app.WriteProfileString(section, nullptr, nullptr));  // removes the section
  EXPECT_EQ(0u, app.GetProfileInt(section, "com", 0));
  app.WriteProfileString(section, nullptr, nullptr);
}

}  // namespace
