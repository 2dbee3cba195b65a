// The undo ring: five snapshots per set, exact restores, the ends of the
// history refused without a trace, saves starting a new history.
#include <functional>
#include <vector>

#include "Fakes.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/StateDigest.h"
#include "core/Undo.h"
#include "files/FileIo.h"
#include "files/SymbolFile.h"
#include "views/ColorModel.h"

namespace dwtest {
namespace {

const char kEndOfUndo[] = "\nSorry...\n\nEnd of undo buffer\n";
const char kEndOfRedo[] = "\nSorry...\n\nEnd of redo buffer\n";

class UndoTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    HandleCreate();  // the start-up snapshot of both sets
    prompter.prompts.clear();
    prompter.beeps = 0;
  }

  // A small edit as every tool makes one: snapshot, then change.
  void Edit(int k) {
    PushUndo();
    *CellPtr(st(), st().currentDataSet, k, k) = 100 + k;
    *CellPtr(st(), st().currentDataSet, kMaxPictureWidth - 1, kMaxPictureHeight - 1 - k) = 200 + k;
    cur().elementChars[k] = static_cast<uint8_t>(k + 1);
  }

  uint64_t Content(int set) { return DigestDataSetContent(st(), set); }
  uint64_t Full(int set) { return DigestDataSet(st(), set); }

  // The step was refused: one beep, the message once, nothing changed.
  void ExpectRefused(void (*step)(), const char* text) {
    uint64_t before = Full(0), other = Full(1);
    int beeps = prompter.beeps;
    prompter.prompts.clear();
    step();
    EXPECT_EQ(prompter.beeps, beeps + 1);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, text);
    EXPECT_EQ(prompter.prompts[0].caption, kProgramTitle);
    EXPECT_EQ(prompter.prompts[0].flags, static_cast<unsigned>(MBX_OK | MBX_ICONHAND));
    EXPECT_EQ(Full(0), before);
    EXPECT_EQ(Full(1), other);
    EXPECT_EQ(st().pressedToolbarButton, -1);
  }
};

TEST_F(UndoTest, StartUpHoldsOneSnapshotThatIsNeverUndone) {
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(st().set[s].undoDepth, 1) << s;
    EXPECT_EQ(st().set[s].undoPosition, 1) << s;
    EXPECT_EQ(st().set[s].redoCount, 0) << s;
    EXPECT_FALSE(st().set[s].modified) << s;
  }
  st().pressedToolbarButton = 7;
  ExpectRefused(UndoEdit, kEndOfUndo);
  EXPECT_FALSE(cur().modified);
  ExpectRefused(RedoEdit, kEndOfRedo);
  EXPECT_FALSE(cur().modified);
}

TEST_F(UndoTest, SixEditsGiveFourUndosAndFourRedos) {
  std::vector<uint64_t> before;  // content before edit k
  for (int k = 0; k < 6; ++k) {
    before.push_back(Content(0));
    Edit(k);
  }
  uint64_t last = Content(0), other = Full(1);
  EXPECT_EQ(cur().undoDepth, kUndoSlots);
  for (int k = 5; k >= 2; --k) {
    UndoEdit();
    EXPECT_EQ(Content(0), before[k]) << "undo to before edit " << k;
    EXPECT_TRUE(cur().modified);
  }
  ExpectRefused(UndoEdit, kEndOfUndo);
  for (int k = 3; k <= 5; ++k) {
    RedoEdit();
    EXPECT_EQ(Content(0), before[k]) << "redo to before edit " << k;
  }
  RedoEdit();
  EXPECT_EQ(Content(0), last);
  ExpectRefused(RedoEdit, kEndOfRedo);
  EXPECT_EQ(Full(1), other);
}

TEST_F(UndoTest, AnEditAfterUndoEndsTheRedoHistory) {
  Edit(1);
  uint64_t afterA = Content(0);
  UndoEdit();
  EXPECT_EQ(cur().redoCount, 1);
  Edit(2);
  EXPECT_EQ(cur().redoCount, 0);
  uint64_t afterB = Content(0);
  ExpectRefused(RedoEdit, kEndOfRedo);
  EXPECT_EQ(Content(0), afterB);
  UndoEdit();
  EXPECT_NE(Content(0), afterA);  // B's snapshot is the state A was undone to
  ExpectRefused(UndoEdit, kEndOfUndo);
}

TEST_F(UndoTest, UndoOfASizeChangeRestoresLayoutPaletteAndCodePage) {
  DataSet& s = cur();
  uint64_t start = Content(0), other = Full(1);
  // A doubling as the picture commands make it: every part of the set moves.
  PushUndo();
  s.pictureWidth *= 2;
  s.pictureHeight *= 2;
  s.elementWidth *= 2;
  s.elementHeight *= 2;
  s.variableElementSizes = true;
  for (int i = 0; i < kMaxElements; ++i) {
    s.elementWidths[i] = 16 + i % 3;
    s.elementHeights[i] = 16;
  }
  s.elementChars[65535] = 0x7F;
  s.palette[4095] = 0x123456;
  s.paletteSizeCommand = 10253;
  ApplyPaletteSize();
  s.useCodePage = 1;
  s.codePageRangeCount = 2;
  s.codePageStart[16384] = 5;
  s.codePageEnd[1] = 0x7E;
  s.colorKind = 10668;
  s.saturation = 0.25;
  *CellPtr(st(), 0, 63, 63) = 7;
  UpdateWorkSheetGeometry();
  uint64_t doubled = Content(0);

  UndoEdit();
  EXPECT_EQ(Content(0), start);
  EXPECT_EQ(s.pictureWidth, 32);
  EXPECT_EQ(s.paletteSize, 256);
  EXPECT_EQ(windows.titles[WIN_PALETTE], "New.pal - Palette Size 256");
  EXPECT_TRUE(menu.Checked(10153));
  EXPECT_EQ(Full(1), other);

  RedoEdit();
  EXPECT_EQ(Content(0), doubled);
  EXPECT_EQ(windows.titles[WIN_PALETTE], "New.pal - Palette Size 1024");
  EXPECT_EQ(Full(1), other);
}

TEST_F(UndoTest, EachSetHasItsOwnRing) {
  Edit(1);
  uint64_t set0 = Full(0);
  st().currentDataSet = 1;
  UpdateWorkSheetGeometry();  // as the switch to set 1 does
  uint64_t set1Start = Content(1);
  Edit(2);
  Edit(3);
  UndoEdit();
  UndoEdit();
  EXPECT_EQ(Content(1), set1Start);
  EXPECT_EQ(Full(0), set0);
  ExpectRefused(UndoEdit, kEndOfUndo);
  st().currentDataSet = 0;
  EXPECT_EQ(cur().redoCount, 0);
  UndoEdit();
  EXPECT_EQ(cur().undoDepth, 1);
}

TEST_F(UndoTest, SuspendedSnapshotsTakeNothing) {
  uint64_t before = Full(0);
  st().undoSuspended = true;
  PushUndo();
  EXPECT_EQ(Full(0), before);
  st().undoSuspended = false;
}

// A key held on an open end-of-history box repeats the command: it beeps,
// the box is not stacked.
TEST_F(UndoTest, ASecondMessageIsNotStacked) {
  struct Reentrant : FakePrompter {
    std::function<void()> during;
    int Ask(const char* text, const char* caption, unsigned flags) override {
      if (during) {
        auto f = during;
        during = nullptr;
        f();
      }
      return FakePrompter::Ask(text, caption, flags);
    }
  } p;
  Services s = Svc();
  s.prompter = &p;
  InstallServices(s);
  for (void (*step)() : {UndoEdit, RedoEdit}) {
    p.prompts.clear();
    p.beeps = 0;
    p.during = [&] {
      UndoEdit();
      RedoEdit();
    };
    step();
    EXPECT_EQ(p.prompts.size(), 1u);
    EXPECT_EQ(p.beeps, 3);
  }
  // Once the box is closed the next refusal shows it again.
  p.prompts.clear();
  UndoEdit();
  EXPECT_EQ(p.prompts.size(), 1u);
}

// A cancelled edit gives its snapshot back: ring, flag and redo as before.
TEST_F(UndoTest, DroppingASnapshotRestoresTheRing) {
  Edit(1);
  uint64_t afterA = Content(0);
  UndoEdit();
  cur().modified = false;
  uint64_t before = Full(0);
  UndoMark mark = MarkUndo();
  PushUndo();
  uint32_t* c = CellPtr(st(), 0, 4, 4);
  uint32_t kept = *c;
  *c = 99;  // the live preview ...
  *c = kept;  // ... and the dialog's Cancel putting the backup back
  DropUndoSince(mark);
  EXPECT_EQ(Full(0), before);
  RedoEdit();
  EXPECT_EQ(Content(0), afterA);
}

TEST_F(UndoTest, UndoAfterASaveGivesTheSavedState) {
  MemoryFileLayer fs;
  SetFileLayer(&fs);
  cur().colorMode = 10665;
  CopyText(cur().symbolPath, kPathSlot, "C:\\w\\u.sym");
  Edit(1);
  ASSERT_TRUE(SaveSymbolFile());
  EXPECT_FALSE(cur().modified);
  EXPECT_EQ(cur().undoDepth, 1);
  uint64_t saved = Content(0);
  Edit(2);
  UndoEdit();
  EXPECT_EQ(Content(0), saved);
  EXPECT_TRUE(cur().modified);
  ExpectRefused(UndoEdit, kEndOfUndo);
  SetFileLayer(nullptr);
}

}  // namespace
}  // namespace dwtest
