// Recording fakes of the editor's platform seams and a fixture that gives
// every test a fresh editor state with them installed.
#ifndef DOTWERK_TESTS_FAKES_H
#define DOTWERK_TESTS_FAKES_H

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/CountDialogs.h"
#include "core/EditorState.h"
#include "core/MemoryClipboard.h"
#include "core/MemoryProfile.h"
#include "core/MouseTools.h"
#include "core/RecordingCanvas.h"
#include "core/Services.h"

namespace dwtest {

using namespace dw;

struct FakeMenu : IMenu {
  struct Item {
    bool checked = false;
    bool enabled = true;
    bool removed = false;
    std::string text;
  };
  std::map<int, Item> items;
  std::vector<std::string> log;  // "C+id", "C-id", "E+id", "E-id", "R id"
  void Check(int id, bool on) override {
    if (items[id].removed) return;
    items[id].checked = on;
    log.push_back(std::string(on ? "C+" : "C-") + std::to_string(id));
  }
  void Enable(int id, bool on) override {
    if (items[id].removed) return;
    items[id].enabled = on;
    log.push_back(std::string(on ? "E+" : "E-") + std::to_string(id));
  }
  void Remove(int id) override { items[id].removed = true; }
  void SetText(int id, const char* text) override {
    if (!items[id].removed) items[id].text = text;
  }
  bool Checked(int id) { return items[id].checked; }
  bool Enabled(int id) { return items[id].enabled; }
  bool Removed(int id) { return items[id].removed; }
};

struct FakeToolBox : IToolBoxSink {
  std::map<int, int> state;  // last state per button
  std::vector<std::pair<int, int>> log;
  void Button(int b, int s, bool) override {
    state[b] = s;
    log.emplace_back(b, s);
  }
};

struct FakePrompter : IPrompter {
  struct Prompt {
    std::string text, caption;
    unsigned flags;
  };
  std::vector<Prompt> prompts;
  std::deque<int> answers;  // scripted; ANS_NO / ANS_OK when empty
  int beeps = 0;
  int Ask(const char* text, const char* caption, unsigned flags) override {
    prompts.push_back(Prompt{text, caption, flags});
    if (!answers.empty()) {
      int a = answers.front();
      answers.pop_front();
      return a;
    }
    return (flags & 0xF) == MBX_OK ? ANS_OK : ANS_NO;
  }
  void Beep(unsigned) override { ++beeps; }
};

struct FakeTimer : ITimerHost {
  bool fail = false;
  std::vector<std::pair<uint32_t, uint32_t>> set;
  bool SetTimer(uint32_t id, uint32_t ms) override {
    set.emplace_back(id, ms);
    return !fail;
  }
  void KillTimer(uint32_t) override {}
};

struct FakeWindows : IWindowOps {
  std::set<int> existing;
  std::map<int, WindowSnapshot> snapshots;
  std::map<int, int> shown;  // last show code per window
  std::vector<std::pair<int, int>> showLog;
  std::map<int, std::string> titles;
  std::vector<int> sent, posted;
  std::vector<std::pair<bool, int>> scrolls;
  std::vector<std::pair<int, int>> ticks;
  std::vector<int> closed;
  std::vector<std::string> caretLog;
  std::vector<int> moved;
  int invalidations = 0, sheetInvalidations = 0;
  std::map<int, std::pair<int32_t, int32_t>> scrollBars;  // bar -> (max, pos)
  // Runs for each sent command (e.g. to model a save clearing the set's changes).
  std::function<void(int)> onSend;

  bool Exists(WindowId w) override { return existing.count(w) != 0; }
  void Show(WindowId w, int code) override {
    shown[w] = code;
    showLog.emplace_back(w, code);
  }
  void Invalidate(WindowId, bool) override { ++invalidations; }
  void InvalidateWorkSheet(bool) override { ++sheetInvalidations; }
  void SetTitle(WindowId w, const char* t) override { titles[w] = t; }
  void SetScroll(WindowId, int bar, int32_t max, int32_t pos) override { scrollBars[bar] = {max, pos}; }
  void Move(WindowId w, int32_t, int32_t, int32_t, int32_t, bool) override { moved.push_back(w); }
  void Resize(WindowId, int32_t, int32_t) override {}
  WindowSnapshot Snapshot(WindowId w) override {
    auto it = snapshots.find(w);
    return it == snapshots.end() ? WindowSnapshot() : it->second;
  }
  void SendCommand(int id) override {
    sent.push_back(id);
    if (onSend) onSend(id);
  }
  void PostCommand(int id) override { posted.push_back(id); }
  void PostScroll(bool v, int code) override { scrolls.emplace_back(v, code); }
  void SendTimerTick(WindowId w) override { ticks.emplace_back(w, 0); }
  void CloseWindow(WindowId w) override { closed.push_back(w); }
  void HideCaret() override { caretLog.push_back("hide"); }
  void DestroyCaret() override { caretLog.push_back("destroy"); }
  void CreateCaret(int32_t w, int32_t h) override {
    caretLog.push_back("create " + std::to_string(w) + "x" + std::to_string(h));
  }
  void SetCaretPos(int32_t x, int32_t y) override {
    caretLog.push_back("pos " + std::to_string(x) + "," + std::to_string(y));
  }
  void ShowCaret() override { caretLog.push_back("show"); }
  void SetFocusMain() override {}
  void WaitCursor(bool) override {}
  // Drawing outside WM_PAINT lands in one recording canvas per test.
  RecordingCanvas clientCanvas;
  int openCanvases = 0;
  ICanvas* ClientCanvas(WindowId) override {
    ++openCanvases;
    return &clientCanvas;
  }
  void ReleaseClientCanvas(ICanvas*) override { --openCanvases; }
  std::map<int, int> classCursor;  // window -> cursor resource id
  void SetClassCursor(WindowId w, int id) override { classCursor[w] = id; }
};

// The memory clipboard, counting reads, with helpers to fill it.
struct FakeClipboard : MemoryClipboard {
  int reads = 0;
  bool ReadBitmap(ClipBitmap* out) override {
    ++reads;
    return MemoryClipboard::ReadBitmap(out);
  }
  void PutBitmap(int32_t w, int32_t h, uint32_t fill) {
    bitmap.width = w;
    bitmap.height = h;
    bitmap.pixels.assign(static_cast<size_t>(w) * h, fill);
    hasBitmap = true;
    hasText = false;
  }
  void PutText() {
    hasBitmap = false;
    hasText = true;
  }
};

// Fresh state and fresh fakes for every test.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateEditorState();
    ResetMouseTools();  // no frame, drag or stroke of an earlier test
    Install();
  }
  void TearDown() override {
    // A test's scripted dialog answers end with it.
    SetPixelSizeHook(nullptr);
    SetAddRemoveColumnRowHook(nullptr);
    SetPixelScrollHook(nullptr);
    SetElementInsertHook(nullptr);
    SetElementDeleteHook(nullptr);
    InstallServices(Services());
    DestroyEditorState();
  }
  void Install() {
    Services s;
    s.profile = &profile;
    s.windowsProfile = &winProfile;
    s.prompter = &prompter;
    s.menu = &menu;
    s.toolbox = &toolbox;
    s.timer = &timer;
    s.windows = &windows;
    s.clipboard = &clipboard;
    InstallServices(s);
  }
  EditorState& st() { return *g_ed; }
  DataSet& cur() { return g_ed->Cur(); }

  MemoryProfile profile;
  MemoryProfile winProfile;
  FakePrompter prompter;
  FakeMenu menu;
  FakeToolBox toolbox;
  FakeTimer timer;
  FakeWindows windows;
  FakeClipboard clipboard;
};

}  // namespace dwtest

#endif
