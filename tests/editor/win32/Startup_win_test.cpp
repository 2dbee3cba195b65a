// The editor's Win32 layer under Wine: start-up rules, typed characters and
// the highlight on a memory device context.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/EditorState.h"
#include "core/MemoryProfile.h"
#include "core/Paint.h"
#include "core/Win32Host.h"
#include "views/FontRender.h"

namespace {

using namespace dw;

// Under Wine without a window manager, every hidden window waits a second
// for a manager that never answers; letting Wine draw the frames itself
// avoids that. Only done when running under Wine.
struct WineFrames : ::testing::Environment {
  void SetUp() override {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
      RegCloseKey(key);
    }
  }
};
::testing::Environment* const g_wineFrames = ::testing::AddGlobalTestEnvironment(new WineFrames);

const char kCurrentVersion[] = "[Version]\nVersion=Color Dotwerk Editor  5.3.61\n";

struct RecordingPrompter : IPrompter {
  struct Prompt {
    std::string text, caption;
    unsigned flags;
  };
  std::vector<Prompt> prompts;
  int Ask(const char* text, const char* caption, unsigned flags) override {
    prompts.push_back(Prompt{text, caption, flags});
    return ANS_NO;
  }
  void Beep(unsigned) override {}
};

struct ScriptedTimer : ITimerHost {
  bool fail = false;
  bool SetTimer(uint32_t id, uint32_t ms) override {
    if (fail) return false;
    return ::SetTimer(g_hwnd[WIN_MAIN], id, ms, nullptr) != 0;
  }
  void KillTimer(uint32_t id) override { ::KillTimer(g_hwnd[WIN_MAIN], id); }
};

class EditorWin32Test : public ::testing::Test {
 protected:
  void TearDown() override { ShutdownDotwerk(); }
  bool Start(const std::string& ini) {
    profile.Parse(ini);
    StartOptions o;
    o.profile = &profile;
    o.windowsProfile = &winProfile;
    o.prompter = &prompter;
    o.timer = &timer;
    return StartDotwerk(GetModuleHandleA(nullptr), o);
  }
  // Lets posted start-up commands run.
  void Pump() {
    MSG msg;
    for (int i = 0; i < 50 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      if (msg.message == WM_TIMER) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  MemoryProfile profile, winProfile;
  RecordingPrompter prompter;
  ScriptedTimer timer;
};

TEST_F(EditorWin32Test, TimerFailureEndsTheProgramWithItsMessage) {
  timer.fail = true;
  EXPECT_FALSE(Start(kCurrentVersion));
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Too many clocks or timers!");
  EXPECT_EQ(prompter.prompts[0].caption, "Color Dotwerk Editor  5.3.61");
  EXPECT_EQ(prompter.prompts[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
  EXPECT_TRUE(profile.Writes().empty());
}

TEST_F(EditorWin32Test, ShowRulesAtStart) {
  struct Case {
    const char* what;
    std::string ini;
    WindowId window;
    bool visible;
  };
  const Case cases[] = {
      {"palette in black and white", std::string(kCurrentVersion) + "[Window]\nPaletteShow=1\n[Palette0]\nInternalColorType=10665\n",
       WIN_PALETTE, false},
      {"palette in colour", std::string(kCurrentVersion) + "[Window]\nPaletteShow=1\n", WIN_PALETTE, true},
      {"rainbow with palette kind", std::string(kCurrentVersion) + "[Palette0]\nInternalPaletteType=10668\n", WIN_RAINBOW,
       false},
      {"code page in single icon view",
       std::string(kCurrentVersion) + "[Element0]\nShowIconOrGroup=10097\nUseCodePage=1\n[Window]\nCodePageShow=1\n",
       WIN_CODEPAGE, false},
      {"code page in group view",
       std::string(kCurrentVersion) + "[Element0]\nShowIconOrGroup=10099\nUseCodePage=1\n[Window]\nCodePageShow=1\n",
       WIN_CODEPAGE, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    profile = MemoryProfile();
    ASSERT_TRUE(Start(c.ini));
    Pump();
    ASSERT_TRUE(IsWindow(g_hwnd[c.window]));
    EXPECT_EQ(IsWindowVisible(g_hwnd[c.window]) != 0, c.visible);
    if (c.window == WIN_RAINBOW) {
      EXPECT_EQ(g_ed->set[0].rainbowShown, 0);
    }
    ShutdownDotwerk();
  }
}

TEST_F(EditorWin32Test, TypedCharactersReachTheFontAsTheFontWants) {
  ASSERT_TRUE(Start(kCurrentVersion));
  Pump();
  g_ed->Cur().mouseMode = 104;
  HWND main = g_hwnd[WIN_MAIN];

  g_ed->cfg.fontType = 10418;
  RenderedCharacters().clear();
  SendMessageA(main, WM_CHAR, 0x09, 0);
  EXPECT_TRUE(RenderedCharacters().empty());

  g_ed->cfg.fontType = 10405;
  RenderedCharacters().clear();
  SendMessageA(main, WM_CHAR, 0xC4, 0);
  ASSERT_EQ(RenderedCharacters().size(), 1u);
  char in[2] = {static_cast<char>(0xC4), 0}, out[2] = {0, 0};
  CharToOemBuffA(in, out, 1);
  EXPECT_EQ(RenderedCharacters()[0], static_cast<unsigned char>(out[0]));
  if (GetOEMCP() == 437) {
    EXPECT_EQ(RenderedCharacters()[0], 0x8E);
  }
}

TEST_F(EditorWin32Test, HighlightTwiceLeavesTheMemoryBitmapAsItWas) {
  ASSERT_TRUE(Start(kCurrentVersion));
  DataSet& s = g_ed->Cur();
  s.viewMode = 10099;
  s.currentElement = 3;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 60);
  HGDIOBJ old = SelectObject(mem, bmp);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) SetPixelV(mem, x, y, RGB(x, y * 3, (x + y) & 0xFF));
  auto grab = [&]() {
    std::vector<COLORREF> px;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x) px.push_back(GetPixel(mem, x, y));
    return px;
  };
  std::vector<COLORREF> before = grab();
  {
    GdiCanvas canvas(mem);
    HighlightActiveElement(canvas, 2, 2);
    EXPECT_NE(grab(), before);
    HighlightActiveElement(canvas, 2, 2);
  }
  EXPECT_EQ(grab(), before);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

}  // namespace
