// The golden files of the end-to-end draw run (tests/e2e/dotwerk_edit.sh):
// the two symbol files Dotwerk must save after the run's mouse, key,
// clipboard and element steps on the seeded settings
// (tests/editor/golden/edit_seed.ini).
//
// The expected cells are built here from what each step means (the pens, the
// shape rasteriser, a plain flood fill, column and row shifts, the pasted
// bitmap, element moves), written by the symbol-file writer and compared with
// the files in tests/editor/golden/. The same steps are also replayed through
// the editor core at the run's client positions, so a disagreement between
// the model and the editor shows here before the run under Wine.
// DOTWERK_WRITE_GOLDEN=1 writes the golden files instead of comparing.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Fakes.h"
#include "core/ClipSize.h"
#include "core/CountDialogs.h"
#include "core/Dispatch.h"
#include "core/MainInit.h"
#include "core/MouseTools.h"
#include "core/Raster.h"
#include "core/Transform.h"
#include "core/Twist.h"
#include "files/FileIo.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"

namespace dwtest {
namespace {

std::string GoldenDir() {
  std::string f = __FILE__;
  return f.substr(0, f.find_last_of('/')) + "/golden/";
}

bool ReadText(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *out = s.str();
  return true;
}

// The run's geometry: 6-pixel cells (10206) under a 32-pixel icon strip.
constexpr int32_t kCell = 6;
constexpr int32_t kTop = 32 + 12;

// Client position of the middle of cell (x, y), as the run clicks it.
intptr_t CellAt(int32_t x, int32_t y) { return MousePosition(x * kCell + kCell / 2 - 1, kTop + y * kCell + kCell / 2 - 1); }
// Client position on the boundary left of column x (row y), and above row y.
intptr_t ColumnBoundary(int32_t x, int32_t y) { return MousePosition(x * kCell, kTop + y * kCell + kCell / 2 - 1); }
intptr_t RowBoundary(int32_t x, int32_t y) { return MousePosition(x * kCell + kCell / 2 - 1, kTop + y * kCell); }

// ---- The run's steps -------------------------------------------------------

struct CellPoint {
  int32_t x, y;
};

// Set 0 (48 x 32, black and white, Single Icon).
constexpr CellPoint kBlackStroke[] = {{10, 1}, {14, 1}};
constexpr CellPoint kWhiteClick = {12, 1};
constexpr CellPoint kToggleStroke[] = {{9, 1}, {13, 1}};
struct ShapeStep {
  int command;
  CellPoint from, to;
};
constexpr ShapeStep kShapes[] = {
    {10018, {16, 1}, {20, 5}},   // line
    {10016, {23, 1}, {29, 6}},   // hollow rectangle
    {10017, {31, 1}, {35, 4}},   // solid rectangle
    {10014, {37, 1}, {43, 7}},   // hollow ellipse
    {10015, {10, 9}, {16, 15}},  // solid ellipse
};
constexpr CellPoint kFillSeed = {26, 3};  // inside the hollow rectangle
constexpr int32_t kInsertColumnAt = 40, kInsertColumnRow = 20;
constexpr int32_t kInsertRowAt = 20, kInsertRowColumn = 33;
constexpr CellPoint kDeleteColumnCell = {5, 25};
constexpr CellPoint kDeleteRowCell = {30, 12};

// Set 1 (10 elements of 8 x 8, 4 a row): one dot in each element, 3 empty
// elements inserted before element 5, element 0 deleted.
constexpr int32_t kElements = 10, kElementSide = 8, kPerRow = 4;
CellPoint DotOf(int32_t n) {
  return {kElementSide * (n % kPerRow) + n % kElementSide, kElementSide * (n / kPerRow) + kElementSide - 1 - n / kElementSide};
}
constexpr CellPoint kInsertBefore5 = {8, 12};  // the boundary between elements 4 and 5
constexpr int32_t kInsertCount = 3;
constexpr CellPoint kDeleteElement0 = {3, 3};
// The characters follow the elements: the three new ones are numbered from
// the dialog's start value 0, and deleting element 0 takes its character.
struct CodeRange {
  int32_t start, end, base;
};
constexpr CodeRange kExpectedRanges[] = {{0, 2, 4}, {1, 4, 0}, {5, 9, 7}};

// The second run (tests/e2e/dotwerk_edit_more.sh) on set 0: a bar and a
// dot, then refused and cancelled pastes and a cancelled twist that must
// leave them, then the ToolBox's turn by "90" kept with OK.
constexpr ShapeStep kMoreShapes[] = {
    {10017, {4, 3}, {21, 7}},    // a solid bar
    {10018, {30, 20}, {30, 20}},  // a dot (a line of one cell)
};
constexpr int kTurnMode = 6;  // ToolBox button 54
const char kTurnAmount[] = "90";

// ---- The model ---------------------------------------------------------------

struct Grid {
  int32_t w, h;
  std::vector<uint32_t> c;
  Grid(int32_t width, int32_t height) : w(width), h(height), c(static_cast<size_t>(width) * height, 0) {}
  uint32_t& At(int32_t x, int32_t y) { return c[static_cast<size_t>(y) * w + x]; }
};

// The cells a straight drag from a to b enters, in order (the run moves a
// few pixels at a time, so no cell is skipped).
std::vector<CellPoint> CellsAlong(CellPoint a, CellPoint b) {
  std::vector<CellPoint> out{a};
  int32_t n = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
  for (int32_t k = 1; k <= n; ++k) out.push_back({a.x + (b.x - a.x) * k / n, a.y + (b.y - a.y) * k / n});
  return out;
}

struct GridSink : dw::SpanSink {
  Grid* g;
  explicit GridSink(Grid* grid) : g(grid) {}
  void Span(int32_t y, int32_t x0, int32_t x1) override {
    for (int32_t x = x0; x < x1; ++x) g->At(x, y) = 1;
  }
};

void Fill(Grid& g, CellPoint seed, uint32_t value) {
  uint32_t old = g.At(seed.x, seed.y);
  if (old == value) return;
  std::vector<CellPoint> todo{seed};
  while (!todo.empty()) {
    CellPoint p = todo.back();
    todo.pop_back();
    if (p.x < 0 || p.y < 0 || p.x >= g.w || p.y >= g.h || g.At(p.x, p.y) != old) continue;
    g.At(p.x, p.y) = value;
    todo.insert(todo.end(), {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}});
  }
}

// Insert at boundary b: the cells from b on move one place on, the last
// falls off, b keeps its cells. Delete at k: the cells after k move one back,
// the last keeps its cells.
void InsertColumn(Grid& g, int32_t b) {
  for (int32_t y = 0; y < g.h; ++y)
    for (int32_t x = g.w - 1; x > b; --x) g.At(x, y) = g.At(x - 1, y);
}
void DeleteColumn(Grid& g, int32_t k) {
  for (int32_t y = 0; y < g.h; ++y)
    for (int32_t x = k; x < g.w - 1; ++x) g.At(x, y) = g.At(x + 1, y);
}
void InsertRow(Grid& g, int32_t b) {
  for (int32_t x = 0; x < g.w; ++x)
    for (int32_t y = g.h - 1; y > b; --y) g.At(x, y) = g.At(x, y - 1);
}
void DeleteRow(Grid& g, int32_t k) {
  for (int32_t x = 0; x < g.w; ++x)
    for (int32_t y = k; y < g.h - 1; ++y) g.At(x, y) = g.At(x, y + 1);
}

// The plain PBM the run turns into its clipboard bitmap (1 = black).
Grid PasteBitmap() {
  std::string text;
  EXPECT_TRUE(ReadText(GoldenDir() + "paste8x8.pbm", &text));
  std::istringstream in(text);
  std::string word;
  std::vector<int32_t> numbers;
  while (in >> word) {
    if (word[0] == '#') {
      std::getline(in, word);
      continue;
    }
    if (word != "P1") numbers.push_back(std::atoi(word.c_str()));
  }
  Grid g(numbers.size() > 1 ? numbers[0] : 0, numbers.size() > 1 ? numbers[1] : 0);
  for (size_t i = 2; i < numbers.size() && i - 2 < g.c.size(); ++i) g.c[i - 2] = static_cast<uint32_t>(numbers[i]);
  return g;
}

Grid ExpectedSet0() {
  Grid g(48, 32);
  for (CellPoint p : CellsAlong(kBlackStroke[0], kBlackStroke[1])) g.At(p.x, p.y) = 1;
  g.At(kWhiteClick.x, kWhiteClick.y) = 0;
  for (CellPoint p : CellsAlong(kToggleStroke[0], kToggleStroke[1])) g.At(p.x, p.y) ^= 1u;
  GridSink sink(&g);
  for (const ShapeStep& s : kShapes)
    dw::RasterShape(s.command - 10014, s.from.x, s.from.y, s.to.x, s.to.y, dw::Rect{0, 0, g.w, g.h}, sink);
  Fill(g, kFillSeed, 1);
  InsertColumn(g, kInsertColumnAt);
  InsertRow(g, kInsertRowAt);
  DeleteColumn(g, kDeleteColumnCell.x);
  DeleteRow(g, kDeleteRowCell.y);
  Grid paste = PasteBitmap();
  for (int32_t y = 0; y < paste.h; ++y)
    for (int32_t x = 0; x < paste.w; ++x) g.At(x, y) = paste.At(x, y);
  return g;
}

Grid ExpectedSet1(int32_t* count) {
  std::vector<int> order;
  for (int n = 0; n < kElements; ++n) order.push_back(n);
  order.insert(order.begin() + 5, kInsertCount, -1);
  order.erase(order.begin());
  *count = static_cast<int32_t>(order.size());
  int32_t rows = (*count + kPerRow - 1) / kPerRow;
  Grid g(kPerRow * kElementSide, rows * kElementSide);
  for (int32_t e = 0; e < *count; ++e) {
    int n = order[static_cast<size_t>(e)];
    if (n < 0) continue;
    CellPoint d = DotOf(n);
    g.At(kElementSide * (e % kPerRow) + d.x % kElementSide, kElementSide * (e / kPerRow) + d.y % kElementSide) = 1;
  }
  return g;
}

Grid MoreDrawn() {
  Grid g(48, 32);
  GridSink sink(&g);
  for (const ShapeStep& s : kMoreShapes)
    dw::RasterShape(s.command - 10014, s.from.x, s.from.y, s.to.x, s.to.y, dw::Rect{0, 0, g.w, g.h}, sink);
  return g;
}

// Each cell from its source by the twist mapping; no source: the Black
// pen's background, 0.
Grid Turned(Grid from) {
  Grid g(from.w, from.h);
  for (int32_t y = 0; y < g.h; ++y)
    for (int32_t x = 0; x < g.w; ++x) {
      int32_t sx = 0, sy = 0;
      if (dw::TwistSource(kTurnMode, std::atof(kTurnAmount), x, y, g.w, g.h, &sx, &sy)) g.At(x, y) = from.At(sx, sy);
    }
  return g;
}

// ---- The editor -----------------------------------------------------------------

class EditGoldenTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ASSERT_TRUE(ReadText(GoldenDir() + "edit_seed.ini", &seed_));
    profile.Parse(seed_);
    windows.onSend = [](int id) { dw::DispatchCommand(nullptr, id); };
    SetFileLayer(&files_);
    st().metrics.iconWidth = st().metrics.iconHeight = 32;
    st().clientWidth = 938;
    st().workSheetHeight = 600;
    dw::InitMainWindow(profile);
    Drain();
  }
  void TearDown() override {
    SetFileLayer(nullptr);
    dw::SetClipSizeHook(nullptr);
    EditorTest::TearDown();
  }
  // What the message loop would run next: the posted commands.
  void Drain() {
    for (size_t i = 0; i < windows.posted.size() && i < 100; ++i) dw::DispatchCommand(nullptr, windows.posted[i]);
    windows.posted.clear();
  }
  void Command(int id) {
    dw::DispatchCommand(nullptr, id);
    Drain();
  }
  void Click(intptr_t at) {
    dw::HandleLButtonDown(kMkLButton, at);
    dw::HandleLButtonUp(0, at);
    Drain();
  }
  // A drag through the middles of the cells from a to b.
  void Drag(CellPoint a, CellPoint b) {
    dw::HandleLButtonDown(kMkLButton, CellAt(a.x, a.y));
    for (CellPoint p : CellsAlong(a, b)) dw::HandleMouseMove(kMkLButton, CellAt(p.x, p.y));
    dw::HandleLButtonUp(0, CellAt(b.x, b.y));
    Drain();
  }
  Grid Cells(int32_t w, int32_t h) {
    Grid g(w, h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) g.At(x, y) = *dw::CellPtr(st(), st().currentDataSet, x, y);
    return g;
  }
  // The state the program starts with on the seeded settings.
  void FreshFromSeed() {
    dw::CreateEditorState();
    dw::ResetMouseTools();
    Install();
    st().metrics.iconWidth = st().metrics.iconHeight = 32;
    st().clientWidth = 938;
    st().workSheetHeight = 600;
    dw::InitMainWindow(profile);
    Drain();
  }
  // Sets the current set's picture to `g` and saves it through the writer.
  std::string SaveWith(const Grid& g) {
    dw::DataSet& s = cur();
    std::fill(s.cells, s.cells + dw::kCellsPerSet, 0u);
    for (int32_t y = 0; y < g.h; ++y)
      for (int32_t x = 0; x < g.w; ++x) *dw::CellPtr(st(), st().currentDataSet, x, y) = const_cast<Grid&>(g).At(x, y);
    EXPECT_TRUE(dw::SaveSymbolFile());
    return files_.files[s.symbolPath];
  }
  // Compares with the golden file (or writes it).
  void Golden(const std::string& name, const std::string& text) {
    std::string path = GoldenDir() + name;
    const char* write = std::getenv("DOTWERK_WRITE_GOLDEN");
    if (write && *write == '1') {
      std::ofstream(path, std::ios::binary) << text;
      return;
    }
    std::string golden;
    ASSERT_TRUE(ReadText(path, &golden)) << path << " missing: run with DOTWERK_WRITE_GOLDEN=1";
    EXPECT_EQ(golden, text) << name;
  }

  static constexpr uintptr_t kMkLButton = 1;
  std::string seed_;
  dw::MemoryFileLayer files_;
};

std::string Picture(Grid g) {
  std::string s;
  for (int32_t y = 0; y < g.h; ++y) {
    for (int32_t x = 0; x < g.w; ++x) s += g.At(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

// The pasted bitmap as the clipboard hands it over: black and white pixels.
ClipBitmap ClipOf(Grid g) {
  ClipBitmap b;
  b.width = g.w;
  b.height = g.h;
  for (int32_t y = 0; y < g.h; ++y)
    for (int32_t x = 0; x < g.w; ++x) b.pixels.push_back(g.At(x, y) ? 0x000000u : 0xFFFFFFu);
  return b;
}

// CLIPSIZE as the run answers it: "Copy Pixel to Pixel", OK.
int PasteCopyPixel(dw::ClipSizeDialog& dialog, bool*) {
  if (dialog.Command(dw::kPasteCopyPixel)) dialog.Repaste();
  return 1;
}

TEST_F(EditGoldenTest, Set0DrawnByMouseKeysAndPaste) {
  const Grid expected = ExpectedSet0();
  Command(10079);  // Put Pixel
  Command(10019);
  Drag(kBlackStroke[0], kBlackStroke[1]);
  Command(10020);
  Click(CellAt(kWhiteClick.x, kWhiteClick.y));
  Command(10078);
  Drag(kToggleStroke[0], kToggleStroke[1]);
  Command(10019);
  for (const ShapeStep& s : kShapes) {
    Command(s.command);
    Drag(s.from, s.to);
  }
  Command(10282);
  Click(CellAt(kFillSeed.x, kFillSeed.y));
  Command(10034);
  Click(ColumnBoundary(kInsertColumnAt, kInsertColumnRow));
  Command(10035);
  Click(RowBoundary(kInsertRowColumn, kInsertRowAt));
  Command(10037);
  Click(CellAt(kDeleteColumnCell.x, kDeleteColumnCell.y));
  Command(10038);
  Click(CellAt(kDeleteRowCell.x, kDeleteRowCell.y));
  const std::string beforeUndo = Picture(Cells(48, 32));
  Command(57643);  // Ctrl+Z
  EXPECT_NE(beforeUndo, Picture(Cells(48, 32)));
  Command(57644);  // Ctrl+A
  EXPECT_EQ(beforeUndo, Picture(Cells(48, 32)));
  clipboard.bitmap = ClipOf(PasteBitmap());
  clipboard.hasBitmap = true;
  dw::SetClipSizeHook(PasteCopyPixel);
  Command(57637);  // Ctrl+V
  EXPECT_EQ(Picture(expected), Picture(Cells(48, 32)));
  Command(57603);
  const std::string saved = files_.files["C:\\w\\edit0.sym"];

  // The golden file: the seeded start with the expected cells.
  FreshFromSeed();
  const std::string golden = SaveWith(expected);
  EXPECT_EQ(golden, saved);
  Golden("edit0.sym", golden);
}

TEST_F(EditGoldenTest, Set1ElementsInsertedAndDeleted) {
  int32_t count = 0;
  const Grid expected = ExpectedSet1(&count);
  Command(10154);
  Command(10079);
  Command(10019);
  for (int32_t n = 0; n < kElements; ++n) Click(CellAt(DotOf(n).x, DotOf(n).y));
  dw::SetElementInsertHook([](int32_t* n, int32_t*) {
    *n = kInsertCount;
    return 1;
  });
  Command(10350);
  Click(CellAt(kInsertBefore5.x, kInsertBefore5.y));
  Command(10503);
  Command(10352);
  Click(CellAt(kDeleteElement0.x, kDeleteElement0.y));
  EXPECT_EQ(count, cur().elementCount);
  EXPECT_EQ(expected.w, cur().pictureWidth);
  EXPECT_EQ(expected.h, cur().pictureHeight);
  EXPECT_EQ(Picture(expected), Picture(Cells(expected.w, expected.h)));
  Command(57603);
  const std::string saved = files_.files["C:\\w\\edit1.sym"];

  FreshFromSeed();
  Command(10154);
  dw::DataSet& s = cur();
  s.elementCount = count;
  s.pictureWidth = expected.w;
  s.pictureHeight = expected.h;
  const dw::CodePageTable table = dw::CurrentCodePage();
  dw::ClearCodePageRanges(table);
  for (const CodeRange& r : kExpectedRanges) EXPECT_TRUE(dw::AddCodePageRange(table, r.start, r.end, r.base));
  const std::string golden = SaveWith(expected);
  EXPECT_EQ(golden, saved);
  Golden("edit1.sym", golden);
}

// The twist dialog as the second run answers it: "90", Apply, OK.
int TurnBy90(dw::TwistSession& session) {
  session.Apply(kTurnAmount);
  return 1;
}

TEST_F(EditGoldenTest, Set0TurnedByTheToolBox) {
  const Grid drawn = MoreDrawn();
  const Grid expected = Turned(drawn);
  Command(10019);
  for (const ShapeStep& s : kMoreShapes) {
    Command(s.command);
    Drag(s.from, s.to);
  }
  EXPECT_EQ(Picture(drawn), Picture(Cells(48, 32)));
  dw::SetTwistDialogHook(TurnBy90);
  st().twistTool = kTurnMode;
  st().twistDialogChoice = dw::kTwistFirstChoice + kTurnMode;
  dw::RunTwistAndTurn();
  dw::SetTwistDialogHook(nullptr);
  EXPECT_EQ(Picture(expected), Picture(Cells(48, 32)));
  EXPECT_NE(Picture(drawn), Picture(expected));
  Command(57603);
  const std::string saved = files_.files["C:\\w\\edit0.sym"];

  FreshFromSeed();
  const std::string golden = SaveWith(expected);
  EXPECT_EQ(golden, saved);
  Golden("edit0_turned.sym", golden);
}

}  // namespace
}  // namespace dwtest
