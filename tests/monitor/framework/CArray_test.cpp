#include "framework/CArray.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

template <class A>
std::vector<int> Items(const A& a) {
  std::vector<int> v;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) v.push_back(static_cast<int>(a[i]));
  return v;
}

CDWordArray Make(std::initializer_list<DWORD> items) {
  CDWordArray a;
  for (DWORD d : items) a.Add(d);
  return a;
}

TEST(FrameworkArray, AddGetSetAndBounds) {
  CByteArray a;
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(-1, a.GetUpperBound());
  EXPECT_EQ(nullptr, a.GetData());
  EXPECT_EQ(0, a.Add(0x10));
  EXPECT_EQ(1, a.Add(0x20));
  EXPECT_EQ(2, a.GetSize());
  EXPECT_EQ(2, a.GetCount());
  EXPECT_EQ(1, a.GetUpperBound());
  a.SetAt(0, 0x11);
  a.ElementAt(1) = 0x21;
  a[1] += 1;
  EXPECT_EQ((std::vector<int>{0x11, 0x22}), Items(a));
  EXPECT_EQ(0x11, a.GetData()[0]);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
}

TEST(FrameworkArray, SetSizeGrowsWithZerosAndShrinks) {
  CDWordArray a = Make({7, 8});
  a.SetSize(5);
  EXPECT_EQ((std::vector<int>{7, 8, 0, 0, 0}), Items(a));
  a.SetSize(1, 32);
  EXPECT_EQ((std::vector<int>{7}), Items(a));
  a.SetSize(0);
  EXPECT_TRUE(a.IsEmpty());
  // Growing again after a shrink must not bring old values back.
  a.SetSize(3);
  EXPECT_EQ((std::vector<int>{0, 0, 0}), Items(a));

  CDWordArray g;
  g.SetAtGrow(3, 9);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 9}), Items(g));
  g.SetAtGrow(1, 5);
  EXPECT_EQ((std::vector<int>{0, 5, 0, 9}), Items(g));
  // The new element may come from the array itself while it reallocates.
  g.SetAtGrow(100, g[3]);
  EXPECT_EQ(101, g.GetSize());
  EXPECT_EQ(9u, g[100]);
}

TEST(FrameworkArray, InsertAt) {
  struct Case {
    INT_PTR index;
    DWORD value;
    INT_PTR count;
    std::vector<int> result;
  };
  const Case cases[] = {
      {0, 9, 1, {9, 1, 2, 3}},
      {1, 9, 2, {1, 9, 9, 2, 3}},
      {3, 9, 1, {1, 2, 3, 9}},
      {5, 9, 1, {1, 2, 3, 0, 0, 9}},  // past the end: the gap is zero-filled
      {1, 9, 0, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    CDWordArray a = Make({1, 2, 3});
    a.InsertAt(c.index, c.value, c.count);
    EXPECT_EQ(c.result, Items(a)) << "at " << c.index;
  }
  CDWordArray a = Make({1, 2});
  a.InsertAt(1, a[0], 3);  // the element inserted lives in the array
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 2}), Items(a));

  CDWordArray b = Make({7, 8});
  a = Make({1, 2});
  a.InsertAt(1, &b);
  EXPECT_EQ((std::vector<int>{1, 7, 8, 2}), Items(a));
  a.InsertAt(0, &a);  // itself
  EXPECT_EQ((std::vector<int>{1, 7, 8, 2, 1, 7, 8, 2}), Items(a));
}

TEST(FrameworkArray, RemoveAt) {
  struct Case {
    INT_PTR index;
    INT_PTR count;
    std::vector<int> result;
  };
  const Case cases[] = {
      {0, 1, {2, 3, 4}}, {1, 2, {1, 4}}, {3, 1, {1, 2, 3}}, {0, 4, {}}, {2, 0, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    CDWordArray a = Make({1, 2, 3, 4});
    a.RemoveAt(c.index, c.count);
    EXPECT_EQ(c.result, Items(a)) << c.index << "," << c.count;
  }
}

TEST(FrameworkArray, AppendCopyAndValueSemantics) {
  CDWordArray a = Make({1, 2});
  CDWordArray b = Make({3});
  EXPECT_EQ(2, a.Append(b));
  EXPECT_EQ((std::vector<int>{1, 2, 3}), Items(a));
  EXPECT_EQ(3, a.Append(a));
  EXPECT_EQ((std::vector<int>{1, 2, 3, 1, 2, 3}), Items(a));
  b.Copy(a);
  EXPECT_EQ(Items(a), Items(b));
  b[0] = 99;
  EXPECT_EQ(1u, a[0]);  // a copy, not shared storage
  b.Copy(b);
  EXPECT_EQ(6, b.GetSize());
}

TEST(FrameworkArray, NamedArraysAndTemplate) {
  CStringArray s;
  s.Add("one");
  s.Add(CString("two"));
  s.InsertAt(0, "zero");
  s.SetAtGrow(4, "four");
  ASSERT_EQ(5, s.GetSize());
  EXPECT_STREQ("zero", s[0]);
  EXPECT_STREQ("two", s.GetAt(2));
  EXPECT_TRUE(s[3].IsEmpty());
  s.RemoveAt(0);
  EXPECT_STREQ("one", s[0]);

  CWordArray w;
  w.Add(0xFFFF);
  EXPECT_EQ(0xFFFF, w[0]);
  CUIntArray u;
  u.Add(4000000000u);
  EXPECT_EQ(4000000000u, u[0]);

  int x = 0;
  CPtrArray p;
  p.Add(&x);
  p.SetSize(2);
  EXPECT_EQ(&x, p[0]);
  EXPECT_EQ(nullptr, p[1]);

  struct Point {
    int x, y;
  };
  CArray<Point, const Point&> pts;
  pts.Add(Point{1, 2});
  pts.SetSize(2);
  EXPECT_EQ(2, pts[0].y);
  EXPECT_EQ(0, pts[1].x);

  CArray<HWND, HWND> handles;
  handles.Add(nullptr);
  EXPECT_EQ(1, handles.GetSize());
}

}  // namespace
