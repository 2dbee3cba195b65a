// Whole-store copies limited to the part in use: every save and restore
// gives back exactly the contents a copy of the whole store would, whatever
// the store held in between.
#include <cstdint>
#include <functional>
#include <vector>

#include "Fakes.h"
#include "core/CellExtent.h"
#include "core/MainWindow.h"
#include "core/StateDigest.h"
#include "core/Undo.h"

namespace dwtest {
namespace {

using namespace dw;

constexpr size_t kN = 5000;  // more than one comparison block

// An array of kN entries: `prefix` distinct leading entries, then `tail`.
std::vector<int32_t> Pattern(size_t prefix, int32_t tail) {
  std::vector<int32_t> a(kN, tail);
  for (size_t i = 0; i < prefix; ++i) a[i] = static_cast<int32_t>(i * 7 + 1);
  return a;
}

TEST(CellExtentArrays, UniformTailStart) {
  struct Case {
    size_t prefix;
    int32_t tail;
    size_t start;
  };
  const Case cases[] = {
      {0, 0, 0}, {0, 9, 0}, {1, 0, 1}, {100, 0, 100}, {4097, 3, 4097}, {kN - 1, 0, kN - 1},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> a = Pattern(c.prefix, c.tail);
    EXPECT_EQ(UniformTailStart(a.data(), a.size()), c.start) << c.prefix;
  }
  // The last two entries differ: the run is the last entry alone.
  std::vector<int32_t> a(kN, 4);
  a[kN - 1] = 5;
  EXPECT_EQ(UniformTailStart(a.data(), a.size()), kN - 1);
}

// One entry that differs from the run, at every place (inside and across the
// comparison blocks and the wide compares within them), ends the run there.
template <class T>
void OneDifferentEntryEndsTheRun(T run, T other) {
  constexpr size_t kLength = 2100;  // more than two blocks, not a whole number of vectors
  std::vector<T> a(kLength, run);
  for (size_t p = 0; p + 1 < kLength; ++p) {
    a[p] = other;
    ASSERT_EQ(UniformTailStart(a.data(), a.size()), p + 1) << p;
    a[p] = run;
  }
  EXPECT_EQ(UniformTailStart(a.data(), a.size()), 0u);
}

TEST(CellExtentArrays, OneDifferentEntryEndsTheRun) {
  OneDifferentEntryEndsTheRun<int32_t>(7, 0x107);  // differ in one byte only
  OneDifferentEntryEndsTheRun<uint8_t>(0, 1);
  OneDifferentEntryEndsTheRun<uint32_t>(0xFFFFFFFFu, 0x7FFFFFFFu);
}

// Saved from one array, restored over another: the saved contents come back,
// for every combination of runs and tail values.
TEST(CellExtentArrays, RestoreGivesBackTheSavedArray) {
  const std::vector<int32_t> shapes[] = {Pattern(0, 0), Pattern(10, 0),   Pattern(10, 8),
                                         Pattern(4500, 0), Pattern(4500, 8), Pattern(kN - 1, 2)};
  for (const std::vector<int32_t>& saved : shapes) {
    for (const std::vector<int32_t>& live : shapes) {
      std::vector<int32_t> kept(kN, -1);
      StoreExtent e = SaveArray(saved.data(), kept.data(), kN);
      std::vector<int32_t> a = live;
      RestoreArray(a.data(), kept.data(), kN, e);
      EXPECT_EQ(a, saved);
      std::vector<int32_t> held;
      e = KeepArray(saved.data(), kN, &held);
      EXPECT_EQ(held.size(), static_cast<size_t>(e.used));
      a = live;
      RestoreArray(a.data(), held.data(), kN, e);
      EXPECT_EQ(a, saved);
    }
  }
}

class CellExtentTest : public EditorTest {
 protected:
  std::vector<uint32_t> Store() const { return {cur().cells, cur().cells + kCellsPerSet}; }
  DataSet& cur() const { return g_ed->Cur(); }
};

// A store saved and restored over a store changed in every way the
// bookkeeping tells apart: wider, with another rest value, refilled.
TEST_F(CellExtentTest, RestoreGivesBackTheWholeStore) {
  cur().pictureWidth = 20;
  FillAllCells(cur(), 5);
  *CellPtr(st(), st().currentDataSet, 3, 1199) = 7;
  *CellPtr(st(), st().currentDataSet, 40, 0) = 8;  // outside the picture, widened by CellPtr
  const std::vector<uint32_t> before = Store();
  std::vector<uint32_t> kept(kCellsPerSet, 0xDEAD);
  const StoreExtent e = SaveAllCells(cur(), kept.data());
  EXPECT_EQ(e.used, 41);
  EXPECT_EQ(e.rest, 5u);

  const std::vector<std::function<void()>> changes = {
      [&] { *CellPtr(st(), st().currentDataSet, 1500, 600) = 1; },
      [&] { FillAllCells(cur(), 9); },
      [&] { FillAllCells(cur(), 5); },
      [&] { SetCellRest(cur(), 6); },
      [&] {
        cur().pictureWidth = 1600;
        FillAllCells(cur(), 0);
        *CellPtr(st(), st().currentDataSet, 1599, 1199) = 3;
      },
  };
  for (size_t k = 0; k < changes.size(); ++k) {
    SCOPED_TRACE(k);
    changes[k]();
    RestoreAllCells(cur(), kept.data(), e);
    EXPECT_TRUE(CellExtentHolds(cur()));
    EXPECT_TRUE(Store() == before);
    cur().pictureWidth = 20;
  }
}

// A short picture keeps only its rows: writers that say how far down they
// wrote widen the rows, and a packed save over every kind of change (cells
// further down, another rest value, a whole refill) gives the store back.
TEST_F(CellExtentTest, RowsInUseGiveBackTheWholeStore) {
  cur().pictureWidth = 20;
  cur().pictureHeight = 10;
  cur().activeRight = 20;
  cur().activeBottom = 10;
  FillAllCells(cur(), 5);
  cur().cells[static_cast<size_t>(19) * kColumnStride + 9] = 6;  // inside the picture, direct
  WidenCells(cur(), 31, 25);
  cur().cells[static_cast<size_t>(30) * kColumnStride + 24] = 7;  // outside it, told
  const std::vector<uint32_t> before = Store();
  std::vector<uint32_t> kept(kCellsPerSet, 0xDEAD);
  const StoreExtent e = SaveAllCells(cur(), kept.data(), true);
  EXPECT_EQ(e.used, 31);
  EXPECT_EQ(e.rows, 25);
  EXPECT_EQ(e.stride, 25);

  const std::vector<std::function<void()>> changes = {
      [&] { *CellPtr(st(), st().currentDataSet, 2, 1100) = 1; },
      [&] {
        WidenCells(cur(), 5, 300);
        cur().cells[static_cast<size_t>(4) * kColumnStride + 299] = 2;
      },
      [&] { FillAllCells(cur(), 9); },
      [&] { SetCellRest(cur(), 6); },
      [&] { std::fill(cur().cells, cur().cells + kCellsPerSet, 5u); },
  };
  for (size_t k = 0; k < changes.size(); ++k) {
    SCOPED_TRACE(k);
    changes[k]();
    RestoreAllCells(cur(), kept.data(), e);
    EXPECT_TRUE(CellExtentHolds(cur()));
    EXPECT_TRUE(Store() == before);
  }
}

// Cells written past the bookkeeping's back inside the picture count, and a
// store filled whole behind its back makes every column count.
TEST_F(CellExtentTest, DirectWritesAreTakenIn) {
  cur().pictureWidth = 30;
  cur().activeRight = 30;
  FillAllCells(cur(), 0);
  cur().cells[static_cast<size_t>(29) * kColumnStride + 5] = 4;
  EXPECT_EQ(CellColumnsInUse(cur()), 30);
  std::fill(cur().cells, cur().cells + kCellsPerSet, 2u);
  EXPECT_EQ(CellColumnsInUse(cur()), kMaxPictureWidth);
  EXPECT_TRUE(CellExtentHolds(cur()));
}

// The undo ring over stores of different extents and rest values gives back
// each state exactly (the whole-store digest).
TEST_F(CellExtentTest, UndoAcrossFillsGivesBackEachState) {
  HandleCreate();  // the start-up: geometry and the first snapshot
  FillAllCells(cur(), 1);
  std::vector<uint64_t> digests;
  std::vector<std::vector<uint32_t>> stores;
  const uint32_t fills[] = {1, 3, 3, 0, 2};
  for (int k = 0; k < 5; ++k) {
    digests.push_back(DigestDataSetContent(st(), st().currentDataSet));
    stores.push_back(Store());
    PushUndo();
    FillAllCells(cur(), fills[k]);
    *CellPtr(st(), st().currentDataSet, 100 * k + 50, k) = 40 + k;
    cur().elementWidths[kMaxElements - 1 - k] = k;
  }
  const uint64_t last = DigestDataSetContent(st(), st().currentDataSet);
  // Four steps back reach the state before the second edit.
  for (int k = 4; k >= 1; --k) {
    UndoEdit();
    EXPECT_EQ(DigestDataSetContent(st(), st().currentDataSet), digests[k]) << k;
    EXPECT_TRUE(Store() == stores[k]) << k;
  }
  for (int k = 0; k < 4; ++k) RedoEdit();
  EXPECT_EQ(DigestDataSetContent(st(), st().currentDataSet), last);
}

}  // namespace
}  // namespace dwtest
