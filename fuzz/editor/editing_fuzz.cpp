// Editing as a user could drive it: the input makes two small data sets
// (colour mode, view, element grid, picture, pens) and then a sequence of
// steps: commands through the dispatcher, mouse messages through the five
// handlers, clipboard contents (bitmaps up to 2048 x 2048, text, nothing),
// the ToolBox's twist dialog; every dialog a step opens is answered through
// its hook from the input. After each step:
//   - the other data set is exactly as before (unless the sets were switched,
//     or the grid was shown: one-pixel cells then become two in both sets),
//   - both pictures stay within 1..1600 x 1..1200 and element sizes >= 1,
//   - when the step changed the set, Undo then Redo gives it back exactly.
// The twist mapping is also tried with arbitrary doubles: its source cell lies
// inside the picture, or there is none.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ClipSize.h"
#include "core/CountDialogs.h"
#include "core/Dispatch.h"
#include "core/Elements.h"
#include "core/Geometry.h"
#include "core/MemoryClipboard.h"
#include "core/MouseTools.h"
#include "core/Paste.h"
#include "core/RecordingCanvas.h"
#include "core/StateDigest.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "core/Undo.h"
#include "files/FileIo.h"
#include "core/WindowLayout.h"
#include "views/ColorModel.h"
#include "views/EditCodePage.h"
// Last: its Check macro would clash with the menu service's Check.
#include "FuzzState.h"
#include "FuzzInput.h"

using namespace dw;

namespace {

FuzzInput* g_in = nullptr;  // the input the hooks read their answers from
// DW_FUZZ_TRACE=1 in the environment: each step, command and mouse message
// on stderr, to see what a failing input does.
const bool g_trace = std::getenv("DW_FUZZ_TRACE") != nullptr;
uint32_t Take(int bytes) { return g_in ? g_in->Take(bytes) : 0; }
int32_t TakeSigned16() { return static_cast<int16_t>(Take(2)); }

// ---- Services ----------------------------------------------------------------

// Sent commands run at once, as SendMessage runs them; posted ones wait for
// the end of the step, as the message loop would take them.
struct Windows : IWindowOps {
  std::vector<int> posted;
  int depth = 0;
  bool switched = false;  // the step switched the sets or changed both
  RecordingCanvas canvas{false};
  bool Exists(WindowId) override { return true; }
  void Show(WindowId, int) override {}
  void Invalidate(WindowId, bool) override {}
  void InvalidateWorkSheet(bool) override {}
  void SetTitle(WindowId, const char*) override {}
  void SetScroll(WindowId, int, int32_t, int32_t) override {}
  void Move(WindowId, int32_t, int32_t, int32_t, int32_t, bool) override {}
  void Resize(WindowId, int32_t, int32_t) override {}
  WindowSnapshot Snapshot(WindowId) override { return WindowSnapshot(); }
  void SendCommand(int id) override { Run(id); }
  void PostCommand(int id) override {
    if (posted.size() < kMaxPosted) posted.push_back(id);
  }
  void PostScroll(bool, int) override {}
  void SendTimerTick(WindowId) override {}
  void CloseWindow(WindowId) override {}
  void HideCaret() override {}
  void DestroyCaret() override {}
  void CreateCaret(int32_t, int32_t) override {}
  void SetCaretPos(int32_t, int32_t) override {}
  void ShowCaret() override {}
  void SetFocusMain() override {}
  void WaitCursor(bool) override {}
  ICanvas* ClientCanvas(WindowId) override { return &canvas; }
  void Run(int id) {
    if (depth >= kMaxDepth) return;
    if (g_trace) std::fprintf(stderr, "%*scommand %d (set %d)\n", 2 * depth, "", id, static_cast<int>(g_ed->currentDataSet));
    if (id == 10153 || id == 10154 || id == kShowGrid) switched = true;
    ++depth;
    DispatchCommand(nullptr, id);
    --depth;
  }
  void Drain() {
    for (size_t i = 0; i < posted.size(); ++i) Run(posted[i]);
    posted.clear();
  }
  static constexpr size_t kMaxPosted = 32;
  // Show Pixel Grid is global: shown, it makes one-pixel cells two pixels in
  // both sets.
  static constexpr int kShowGrid = 10118;
  static constexpr int kMaxDepth = 8;
};

struct Prompter : IPrompter {
  int Ask(const char*, const char*, unsigned flags) override {
    static const int kAnswers[] = {ANS_OK, ANS_CANCEL, ANS_YES, ANS_NO};
    return (flags & 0xF) == MBX_OK ? ANS_OK : kAnswers[Take(1) % 4];
  }
  void Beep(unsigned) override {}
};


Windows g_windows;
Prompter g_prompter;
MemoryClipboard g_clipboard;

// ---- Dialog answers ------------------------------------------------------------

int Answer() { return Take(1) & 1; }
int32_t Count() { return static_cast<int32_t>(Take(1) % 4 == 0 ? Take(4) : Take(1)); }

int ClipSizeAnswer(ClipSizeDialog& dialog, bool* dontShowAgain) {
  static const int kIds[] = {1016, 1017, 1018, 1083, 1990, 1991, 1995, 1996, 1997, 1944, 1945, 1946, 1947, 1960, 1961};
  for (uint32_t n = Take(1) % 4; n > 0; --n) {
    uint32_t what = Take(1);
    if (what % 3 == 0) {
      bool rewrite = false;
      std::string text = std::to_string(TakeSigned16());
      dialog.FieldChanged(what & 4 ? 1001 : 1000, text.c_str(), &rewrite);
    } else if (what % 3 == 1) {
      dialog.Scroll(static_cast<int>(Take(1) % 9), static_cast<int32_t>(Take(1)));
    } else {
      dialog.Command(kIds[Take(1) % (sizeof kIds / sizeof kIds[0])]);
    }
    dialog.Repaste();
  }
  *dontShowAgain = Take(1) & 1;
  return Answer() ? dialog.Ok(*dontShowAgain) : dialog.Cancel();
}

// Any double the input spells, NaN and infinities included.
double TakeDouble() {
  uint64_t bits = (static_cast<uint64_t>(Take(4)) << 32) | Take(4);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

int TwistAnswer(TwistSession& session) {
  for (uint32_t n = Take(1) % 3; n > 0; --n) {
    uint32_t what = Take(1);
    if (what % 3 == 0) {
      session.SelectMode(static_cast<int>(Take(1) % kTwistModes));
    } else if (what % 3 == 1) {
      session.Scroll(static_cast<int>(Take(1) % 8), static_cast<int>(Take(1)));
    } else {
      char text[64];
      std::snprintf(text, sizeof text, "%g", TakeDouble());
      session.Apply(text);
    }
  }
  return Answer();
}

void InstallHooks() {
  SetPixelSizeHook([] { return Answer(); });
  SetAddRemoveColumnRowHook([](int, int32_t* count) {
    *count = Count();
    return Answer();
  });
  SetPixelScrollHook([](int32_t* count) {
    *count = Count();
    return Answer();
  });
  SetElementInsertHook([](int32_t* count, int32_t* first) {
    *count = Count();
    *first = static_cast<int32_t>(Take(2));
    return Answer();
  });
  SetElementDeleteHook([](int32_t* count) {
    *count = Count();
    return Answer();
  });
  SetClipSizeHook(ClipSizeAnswer);
  SetTwistDialogHook(TwistAnswer);
  SetEditIndexStartHook([](int32_t* start) {
    *start = static_cast<int32_t>(Take(2));
    return Answer();
  });
  SetEditCodePageHook([](bool, int32_t* start) {
    *start = static_cast<int32_t>(Take(2));
    return Answer();
  });
  SetGrayThresholdHook([](bool) { return Answer(); });
}

// ---- The start ----------------------------------------------------------------

constexpr int32_t kTop = 32 + 12;  // the work sheet under a 32-pixel icon strip
constexpr int32_t kClientWidth = 320, kSheetHeight = 240;
constexpr uint32_t kPaletteStep = 0x010203;

void MakeSet(EditorState& st, int index) {
  DataSet& s = st.set[index];
  uint32_t kind = Take(1);
  s.colorMode = kind % 3 == 0 ? 10665 : 10666;
  s.colorKind = kind % 3 == 1 ? 10668 : 10667;
  s.paletteSize = 256;
  for (int i = 0; i < 256; ++i) s.palette[i] = static_cast<uint32_t>(i) * kPaletteStep;
  static const int32_t kViews[] = {10096, 10097, 10098, 10099};
  s.viewMode = kViews[(kind >> 2) & 3];
  s.variableElementSizes = (kind >> 4) & 1;
  s.useCodePage = (kind >> 5) & 1;
  static const int32_t kPens[] = {10019, 10020, 10078, 10019};
  s.penColor = kPens[(kind >> 6) & 3];
  s.toolColorIndex = static_cast<int32_t>(Take(1));
  s.backgroundColorIndex = static_cast<int32_t>(Take(1));
  s.rgbToolColor = Take(3);
  s.rgbBackgroundColor = Take(3);
  s.elementWidth = 1 + static_cast<int32_t>(Take(1) % 8);
  s.elementHeight = 1 + static_cast<int32_t>(Take(1) % 8);
  s.elementCountX = 1 + static_cast<int32_t>(Take(1) % 6);
  s.elementCount = 1 + static_cast<int32_t>(Take(1) % 16);
  for (int32_t i = 0; i < s.elementCount; ++i) {
    uint32_t own = s.variableElementSizes ? Take(1) : 0xFF;
    s.elementWidths[i] = own == 0xFF ? s.elementWidth : 1 + static_cast<int32_t>(own % 16) % s.elementWidth;
    s.elementHeights[i] = own == 0xFF ? s.elementHeight : 1 + static_cast<int32_t>((own >> 4) % 16) % s.elementHeight;
    s.elementChars[i] = static_cast<uint8_t>(0x20 + i);
  }
  if (s.viewMode == 10097 || s.viewMode == 10098) {
    s.pictureWidth = 1 + static_cast<int32_t>(Take(1) % 40);
    s.pictureHeight = 1 + static_cast<int32_t>(Take(1) % 30);
  } else {
    int32_t columns = std::min(s.elementCount, s.elementCountX);
    int32_t rows = (s.elementCount + s.elementCountX - 1) / s.elementCountX;
    s.pictureWidth = columns * s.elementWidth;
    s.pictureHeight = rows * s.elementHeight;
  }
  s.activeLeft = s.activeTop = 0;
  s.activeRight = s.pictureWidth;
  s.activeBottom = s.pictureHeight;
  s.currentElement = static_cast<int32_t>(Take(1)) % s.elementCount;
  s.currentElementColumn = s.currentElement % s.elementCountX;
  s.currentElementRow = s.currentElement / s.elementCountX;
  s.mainGroupPixSize = s.mainElementPixSize = 10201 + static_cast<int32_t>(Take(1) % 7);
  s.codePageRangeCount = 1;
  s.codePageStart[0] = 0x20;
  s.codePageEnd[0] = 0x20 + s.elementCount - 1;
  s.codePageBase[0] = 0;
  // Cells from the input: bits in black and white, bytes as palette
  // indexes or spread into colours.
  uint32_t seed = Take(4);
  for (int32_t x = 0; x < s.pictureWidth; ++x)
    for (int32_t y = 0; y < s.pictureHeight; ++y) {
      seed = seed * 1103515245u + 12345u;
      uint32_t v = seed >> 16;
      *CellPtr(st, index, x, y) = s.colorMode == 10665 ? (v & 1) : s.colorKind == 10668 ? (v & 0xFF) : v * 0x0101u;
    }
}

// ---- Steps --------------------------------------------------------------------

// The editing commands: tools and pens, picture commands, clipboard, undo,
// views and cell sizes, element methods, colour, font and code-page rows,
// and the data-set switch.
const int kCommands[] = {
    10014, 10015, 10016, 10017, 10018, 10019, 10020, 10078, 10079, 10034, 10035, 10037, 10038,
    10120, 10282, 10350, 10351, 10352, 10353, 10356, 10501, 10910,
    10025, 10026, 10027, 10028, 10039, 10042, 10043, 10044, 10045, 10048, 10283,
    10071, 10072, 10073, 10074, 10075, 10076, 10214, 10215, 10216, 10217, 10218, 10219,
    57634, 57635, 57637, 10049, 10141, 57643, 57644,
    10096, 10097, 10098, 10099, 10118, 10200, 10201, 10203, 10207, 10235, 10236, 10680, 10681,
    10087, 10088, 10089, 10233, 10234, 10682, 10683, 10148,
    10503, 10504, 10505, 10240, 10667, 10668, 10242, 10286, 10287,
    10123, 10914, 10912, 10650, 10405, 10502, 10361, 10355,
    10153, 10154,
};

void CommandStep() { g_windows.Run(kCommands[Take(1) % (sizeof kCommands / sizeof kCommands[0])]); }

// One mouse message at a position mostly on the work sheet.
void MouseStep() {
  uint32_t what = Take(1);
  int32_t x, y;
  if (what & 0x80) {
    x = TakeSigned16();
    y = TakeSigned16();
  } else {
    x = static_cast<int32_t>(Take(1)) + static_cast<int32_t>(Take(1) % 2) * 256 - 16;
    y = static_cast<int32_t>(Take(1)) - 8;
  }
  uintptr_t keys = Take(1) & (MKEY_LBUTTON | MKEY_RBUTTON | MKEY_SHIFT | MKEY_CONTROL);
  intptr_t at = MousePosition(x, y);
  if (g_trace) std::fprintf(stderr, "mouse %u at %d,%d keys %u\n", what % 5, static_cast<int>(x), static_cast<int>(y), static_cast<unsigned>(keys));
  switch (what % 5) {
    case 0: HandleLButtonDown(keys | MKEY_LBUTTON, at); break;
    case 1: HandleMouseMove(keys, at); break;
    case 2: HandleLButtonUp(keys & ~static_cast<uintptr_t>(MKEY_LBUTTON), at); break;
    case 3: HandleRButtonDown(keys | MKEY_RBUTTON, at); break;
    default: HandleRButtonUp(keys, at); break;
  }
}

constexpr int32_t kLargestBitmap = 2048;

// Pseudo-random pixels: the first row from the seed, every later row the one
// above it turned by a step the seed also gives (a large bitmap costs block
// copies, not a random number a pixel).
// The rows are made in a scratch store of the largest size, allocated once,
// and handed over by one block copy: growing the vector would first zero
// every pixel one by one under the coverage instrumentation.
void FillPixels(std::vector<uint32_t>* pixels, int32_t width, int32_t height, uint32_t seed) {
  static uint32_t* const scratch = new uint32_t[static_cast<size_t>(kLargestBitmap) * kLargestBitmap];
  const size_t w = static_cast<size_t>(width);
  uint32_t* p = scratch;
  for (size_t x = 0; x < w; ++x) {
    seed = seed * 1664525u + 1013904223u;
    p[x] = (seed >> 8) & 0xFFFFFF;
  }
  const size_t turn = 1 + seed % w % 61;
  for (int32_t y = 1; y < height; ++y) {
    const uint32_t* above = p + static_cast<size_t>(y - 1) * w;
    uint32_t* row = p + static_cast<size_t>(y) * w;
    const size_t k = turn % w;
    std::memcpy(row, above + k, (w - k) * sizeof(uint32_t));
    std::memcpy(row + (w - k), above, k * sizeof(uint32_t));
  }
  pixels->assign(p, p + w * static_cast<size_t>(height));
}

// The clipboard: nothing, text, or a bitmap, mostly small, up to 2048 x 2048.
void ClipboardStep() {
  uint32_t what = Take(1);
  g_clipboard.hasBitmap = g_clipboard.hasText = false;
  if (what % 3 == 0) return;
  if (what % 3 == 1) {
    g_clipboard.hasText = true;
    return;
  }
  constexpr int32_t kLargest = kLargestBitmap, kSmall = 48;
  bool large = (what & 0xC0) == 0xC0;
  ClipBitmap& b = g_clipboard.bitmap;
  b.width = 1 + static_cast<int32_t>(large ? Take(2) % kLargest : Take(1) % kSmall);
  b.height = 1 + static_cast<int32_t>(large ? Take(2) % kLargest : Take(1) % kSmall);
  FillPixels(&b.pixels, b.width, b.height, Take(4));
  g_clipboard.hasBitmap = true;
}

void TwistStep() {
  g_ed->twistTool = static_cast<int32_t>(Take(1) % kTwistModes);
  g_ed->twistDialogChoice = kTwistFirstChoice + g_ed->twistTool;
  RunTwistAndTurn();
}

// The twist mapping on its own: any doubles, any mode, any sizes.
void TwistMappingStep() {
  int mode = static_cast<int>(Take(1) % kTwistModes);
  double amount = TakeDouble();
  int32_t w = 1 + static_cast<int32_t>(Take(2) % kMaxPictureWidth);
  int32_t h = 1 + static_cast<int32_t>(Take(2) % kMaxPictureHeight);
  int32_t x = static_cast<int32_t>(Take(2)) % w, y = static_cast<int32_t>(Take(2)) % h;
  int32_t sx = -1, sy = -1;
  if (TwistSource(mode, amount, x, y, w, h, &sx, &sy)) Check(sx >= 0 && sx < w && sy >= 0 && sy < h);
}

// ---- Checks -------------------------------------------------------------------

// The cells a digest covers: what either set shows, and what a step may have
// written beyond it.
DigestCells Covered(const EditorState& st) {
  DigestCells c;
  c.columns = std::min(kMaxPictureWidth, std::max({st.set[0].pictureWidth, st.set[1].pictureWidth, 64}));
  c.rows = std::min(kMaxPictureHeight, std::max({st.set[0].pictureHeight, st.set[1].pictureHeight, 64}));
  return c;
}

void CheckSizes(const DataSet& s) {
  Check(s.pictureWidth >= 1 && s.pictureWidth <= kMaxPictureWidth);
  Check(s.pictureHeight >= 1 && s.pictureHeight <= kMaxPictureHeight);
  Check(s.elementWidth >= 1 && s.elementHeight >= 1);
  int32_t n = std::min(s.elementCount, 256);
  for (int32_t i = 0; i < n; ++i) Check(s.elementWidths[i] >= 1 && s.elementHeights[i] >= 1);
}

// Undo then Redo gives the set back exactly (when there was a step to undo).
void CheckUndoRedo(EditorState& st, DigestCells cells) {
  int set = st.currentDataSet;
  uint64_t before = DigestDataSetContent(st, set, cells);
  int32_t redo = st.Cur().redoCount;
  UndoEdit();
  if (st.Cur().redoCount <= redo) return;  // nothing to undo
  RedoEdit();
  Check(DigestDataSetContent(st, set, cells) == before);
}

constexpr int kMaxSteps = 16;

struct Ring {
  int32_t position, depth, redo;
  bool operator==(const Ring& o) const { return position == o.position && depth == o.depth && redo == o.redo; }
};
Ring RingOf(const DataSet& s) { return {s.undoPosition, s.undoDepth, s.redoCount}; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EditorState& st = dwfuzz::FreshState();
  ResetPasteState();
  IgnoredCommands().clear();
  FuzzInput in{data, size};
  g_in = &in;
  g_windows.posted.clear();
  g_windows.depth = 0;
  g_clipboard.hasBitmap = g_clipboard.hasText = false;
  Services svc;
  svc.windows = &g_windows;
  svc.prompter = &g_prompter;
  svc.clipboard = &g_clipboard;
  InstallServices(svc);
  InstallHooks();
  // Files a command writes (a save, a drawn font) stay in memory, so no
  // input sees what an earlier one wrote and nothing lands in the directory.
  MemoryFileLayer files;
  SetFileLayer(&files);

  st.metrics.iconWidth = st.metrics.iconHeight = 32;
  ComputeToolbarRects(32, 32, st.toolbarRects);
  st.workSheetTop = kTop;
  st.clientWidth = kClientWidth;
  st.workSheetHeight = kSheetHeight;
  MakeSet(st, 0);
  MakeSet(st, 1);
  st.currentDataSet = static_cast<int32_t>(Take(1) & 1);
  UpdateWorkSheetGeometry();

  // The other set must not change while one set is edited. It is compared
  // before each step that could switch the sets (a command or a mouse
  // message, which may post one) and at the end: any change an earlier step
  // made is seen there.
  int set = st.currentDataSet;
  DigestCells cells = Covered(st);
  uint64_t otherBefore = DigestDataSet(st, 1 - set, cells);
  for (int step = 0; step < kMaxSteps && in.n > 0; ++step) {
    const Ring ring = RingOf(st.Cur());
    g_windows.switched = false;
    const uint32_t kind = Take(1) % 8;
    if (g_trace) std::fprintf(stderr, "step %d kind %u\n", step, kind);
    if (kind <= 4) Check(DigestDataSet(st, 1 - set, cells) == otherBefore);
    switch (kind) {
      case 0:
      case 1:
      case 2: CommandStep(); break;
      case 3:
      case 4: MouseStep(); break;
      case 5: ClipboardStep(); break;
      case 6: TwistStep(); break;
      default: TwistMappingStep(); break;
    }
    g_windows.Drain();
    CheckSizes(st.set[0]);
    CheckSizes(st.set[1]);
    const DigestCells after = Covered(st);
    if (g_windows.switched || st.currentDataSet != set) {
      set = st.currentDataSet;
      cells = after;
      otherBefore = DigestDataSet(st, 1 - set, cells);
      continue;
    }
    // A step that moved the ring edited the set (or undid or redid an edit).
    if (!(RingOf(st.Cur()) == ring)) CheckUndoRedo(st, after);
  }
  Check(DigestDataSet(st, 1 - set, cells) == otherBefore);
  dwfuzz::CheckCellBookkeeping(data, size);
  SetFileLayer(nullptr);
  g_in = nullptr;
  return 0;
}
