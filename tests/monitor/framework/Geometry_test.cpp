// Layout arithmetic: the emptiness, containment, intersection and union
// rules the window layout code relies on, and mouse positions unpacked with
// their sign.
#include "framework/CRect.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameworkGeometry, RectMeasuresAndContains) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(100, r.Width());
  EXPECT_EQ(50, r.Height());
  EXPECT_EQ(CSize(100, 50), r.Size());
  EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
  // Left/top edges belong to the rectangle, right/bottom edges do not.
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 70)));
  EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
  EXPECT_TRUE(CRect(5, 5, 4, 9).IsRectEmpty());
  EXPECT_FALSE(CRect(5, 5, 6, 6).IsRectEmpty());
  EXPECT_TRUE(CRect().IsRectNull());
  // The centre truncates toward zero like C division.
  EXPECT_EQ(CPoint(-2, -2), CRect(-5, -5, 0, 0).CenterPoint());
}

TEST(FrameworkGeometry, IntersectAndUnionFollowTheSystemRules) {
  struct Case {
    CRect a, b;
    bool overlaps;
    CRect inter, uni;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}, {0, 0, 15, 15}},
      // Touching edges do not overlap.
      {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {0, 0, 0, 0}, {0, 0, 20, 10}},
      // An empty rectangle takes no part in a union.
      {{0, 0, 10, 10}, {50, 50, 50, 60}, false, {0, 0, 0, 0}, {0, 0, 10, 10}},
      {{3, 3, 3, 3}, {7, 7, 7, 9}, false, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    CRect inter, uni;
    EXPECT_EQ(c.overlaps, inter.IntersectRect(&c.a, &c.b));
    EXPECT_EQ(c.inter, inter);
    uni.UnionRect(&c.a, &c.b);
    EXPECT_EQ(c.uni, uni);
    EXPECT_EQ(c.inter, c.a & c.b);
    EXPECT_EQ(c.uni, c.a | c.b);
  }
}

TEST(FrameworkGeometry, MovesInflatesAndNormalises) {
  CRect r(10, 10, 20, 30);
  r.OffsetRect(-5, 5);
  EXPECT_EQ(CRect(5, 15, 15, 35), r);
  r.InflateRect(1, 2);
  EXPECT_EQ(CRect(4, 13, 16, 37), r);
  r.DeflateRect(1, 2, 3, 4);
  EXPECT_EQ(CRect(5, 15, 13, 33), r);
  r.MoveToXY(0, 0);
  EXPECT_EQ(CRect(0, 0, 8, 18), r);
  CRect flipped(10, 10, 0, 0);
  flipped.NormalizeRect();
  EXPECT_EQ(CRect(0, 0, 10, 10), flipped);
  EXPECT_EQ(CRect(1, 2, 11, 12), CRect(0, 0, 10, 10) + CPoint(1, 2));
  EXPECT_EQ(CSize(3, -4), CPoint(4, 1) - CPoint(1, 5));
}

TEST(FrameworkGeometry, PackedMousePositionsKeepTheirSign) {
  // A position left of or above a window arrives as 16-bit negatives.
  EXPECT_EQ(CPoint(-3, 7), CPoint(static_cast<DWORD>(MAKELONG(-3, 7))));
  EXPECT_EQ(CPoint(120, -1), CPoint(static_cast<DWORD>(MAKELONG(120, -1))));
}

}  // namespace
