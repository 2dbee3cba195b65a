#include "framework/CString.h"

#include <string.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(FrameworkCString, ConstructionAndAccess) {
  EXPECT_EQ("", S(CString()));
  EXPECT_EQ("", S(CString(static_cast<const char*>(nullptr))));
  EXPECT_EQ("abc", S(CString("abc")));
  EXPECT_EQ("ab", S(CString("abcdef", 2)));
  EXPECT_EQ("", S(CString("abc", -1)));
  EXPECT_EQ("xxx", S(CString('x', 3)));
  EXPECT_EQ("", S(CString('x', 0)));
  EXPECT_EQ(std::string("a\0b", 3), S(CString("a\0b", 3)));

  CString s("hello");
  EXPECT_EQ(5, s.GetLength());
  EXPECT_FALSE(s.IsEmpty());
  EXPECT_EQ('h', s.GetAt(0));
  EXPECT_EQ('o', s[4]);
  // Outside the string: '\0', never a read past the buffer.
  EXPECT_EQ('\0', s.GetAt(5));
  EXPECT_EQ('\0', s.GetAt(-1));
  EXPECT_EQ('e', s[static_cast<size_t>(1)]);
  EXPECT_EQ('\0', s[static_cast<size_t>(-1)]);
  EXPECT_EQ('\0', s[5u]);
  s.SetAt(0, 'j');
  s.SetAt(99, 'z');
  s.SetAt(-1, 'z');
  EXPECT_STREQ("jello", s);
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_STREQ("", static_cast<LPCTSTR>(s));
}

TEST(FrameworkCString, ConcatenationAndAssignment) {
  CString s("ab");
  s += "cd";
  s += 'e';
  s += CString("f");
  s += static_cast<const char*>(nullptr);
  EXPECT_STREQ("abcdef", s);
  EXPECT_STREQ("abcdefX", s + "X");
  EXPECT_STREQ("Xabcdef", "X" + s);
  EXPECT_STREQ("abcdef!", s + '!');
  EXPECT_STREQ("!abcdef", '!' + s);
  EXPECT_STREQ("abcdefabcdef", s + s);
  // Assigning from a pointer into the string itself.
  s = static_cast<LPCTSTR>(s) + 2;
  EXPECT_STREQ("cdef", s);
  s = 'z';
  EXPECT_STREQ("z", s);
}

TEST(FrameworkCString, Comparisons) {
  struct Case {
    const char* a;
    const char* b;
    int cmp;        // sign of Compare
    int cmpNoCase;  // sign of CompareNoCase
  };
  const Case cases[] = {
      {"abc", "abc", 0, 0},      {"abc", "ABC", 1, 0},      {"abc", "abd", -1, -1},
      {"ab", "abc", -1, -1},     {"", "", 0, 0},            {"", "a", -1, -1},
      {"Zeta", "alpha", -1, 1},  {"_", "a", -1, -1},        {"_", "A", 1, -1},
      {"\xE9", "a", 1, 1},  // bytes above 0x7F compare unsigned
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const Case& c : cases) {
    CString a(c.a);
    EXPECT_EQ(c.cmp, sign(a.Compare(c.b))) << c.a << " vs " << c.b;
    EXPECT_EQ(c.cmpNoCase, sign(a.CompareNoCase(c.b))) << c.a << " vs " << c.b;
    EXPECT_EQ(c.cmp == 0, a == c.b);
    EXPECT_EQ(c.cmp == 0, a == CString(c.b));
    EXPECT_EQ(c.cmp == 0, c.b == a);
    EXPECT_EQ(c.cmp != 0, a != c.b);
    EXPECT_EQ(c.cmp < 0, a < CString(c.b));
    EXPECT_EQ(c.cmp < 0, a < c.b);
    EXPECT_EQ(c.cmp > 0, c.b < a);
  }
}

TEST(FrameworkCString, SubstringsClampLikeTheOriginal) {
  const CString s("abcdef");
  struct Case {
    int first;
    int count;
    const char* mid;
  };
  const Case mids[] = {
      {0, 3, "abc"}, {2, 2, "cd"},   {4, 10, "ef"}, {-3, 2, "ab"}, {2, -1, ""},
      {6, 1, ""},    {99, 5, ""},    {0, 0, ""},    {0, 6, "abcdef"},
      {5, 0x7fffffff, "f"},  // no overflow when first + count exceeds int
  };
  for (const Case& c : mids) EXPECT_STREQ(c.mid, s.Mid(c.first, c.count)) << c.first << "," << c.count;

  struct OneArg {
    int n;
    const char* mid;
    const char* left;
    const char* right;
  };
  const OneArg ones[] = {
      {0, "abcdef", "", ""},      {2, "cdef", "ab", "ef"},    {6, "", "abcdef", "abcdef"},
      {9, "", "abcdef", "abcdef"}, {-1, "abcdef", "", ""},
  };
  for (const OneArg& c : ones) {
    EXPECT_STREQ(c.mid, s.Mid(c.n)) << c.n;
    EXPECT_STREQ(c.left, s.Left(c.n)) << c.n;
    EXPECT_STREQ(c.right, s.Right(c.n)) << c.n;
  }
  EXPECT_STREQ("ab", CString("ab12").SpanIncluding("abc"));
  EXPECT_STREQ("ab", CString("ab12").SpanExcluding("0123456789"));
}

TEST(FrameworkCString, Searching) {
  const CString s("$GPGGA,1,2*7F");
  struct Case {
    const char* sub;
    int start;
    int expected;
  };
  const Case subs[] = {
      {",", 0, 6},   {",", 7, 8},     {",", 9, -1},  {"GG", 0, 3},   {"*7F", 0, 10},
      {"x", 0, -1},  {",", -1, -1},   {",", 13, -1}, {"", 0, 0},     {"", 13, 13},
      {"", 14, -1},  {"7F", 11, 11},  {"$", 1, -1},
  };
  for (const Case& c : subs) EXPECT_EQ(c.expected, s.Find(c.sub, c.start)) << c.sub << "@" << c.start;

  struct CharCase {
    char ch;
    int start;
    int expected;
  };
  const CharCase chars[] = {
      {'G', 0, 1}, {'G', 2, 3}, {'G', 5, -1}, {'F', 12, 12}, {'F', 13, -1}, {'$', -1, -1}, {'q', 0, -1},
  };
  for (const CharCase& c : chars) EXPECT_EQ(c.expected, s.Find(c.ch, c.start)) << c.ch << "@" << c.start;

  EXPECT_EQ(8, s.ReverseFind(','));
  EXPECT_EQ(0, s.ReverseFind('$'));
  EXPECT_EQ(-1, s.ReverseFind('q'));
  EXPECT_EQ(-1, CString().ReverseFind('a'));
  EXPECT_EQ(6, s.FindOneOf(",*"));
  EXPECT_EQ(-1, s.FindOneOf(""));
}

TEST(FrameworkCString, CaseInsertDeleteReplaceRemove) {
  CString s("Mixed Case 123 \xE9");
  s.MakeUpper();
  EXPECT_STREQ("MIXED CASE 123 \xE9", s);  // only ASCII letters change
  s.MakeLower();
  EXPECT_STREQ("mixed case 123 \xE9", s);

  struct InsertCase {
    int index;
    const char* text;
    const char* result;
  };
  const InsertCase inserts[] = {
      {0, "<", "<abc"}, {1, "--", "a--bc"}, {3, ">", "abc>"}, {99, ">", "abc>"}, {-5, "<", "<abc"}, {1, "", "abc"},
  };
  for (const InsertCase& c : inserts) {
    CString t("abc");
    EXPECT_EQ(static_cast<int>(strlen(c.result)), t.Insert(c.index, c.text));
    EXPECT_STREQ(c.result, t);
  }
  CString t("abc");
  EXPECT_EQ(4, t.Insert(2, 'X'));
  EXPECT_STREQ("abXc", t);
  EXPECT_EQ(8, t.Insert(0, static_cast<LPCTSTR>(t)));  // inserting itself
  EXPECT_STREQ("abXcabXc", t);

  struct DeleteCase {
    int index;
    int count;
    const char* result;
  };
  const DeleteCase deletes[] = {
      {0, 1, "bcdef"}, {2, 2, "abef"}, {4, 10, "abcd"}, {-2, 2, "cdef"}, {6, 1, "abcdef"},
      {9, 1, "abcdef"}, {1, 0, "abcdef"}, {1, -4, "abcdef"},
  };
  for (const DeleteCase& c : deletes) {
    CString d("abcdef");
    EXPECT_EQ(static_cast<int>(strlen(c.result)), d.Delete(c.index, c.count));
    EXPECT_STREQ(c.result, d) << c.index << "," << c.count;
  }

  struct ReplaceCase {
    const char* text;
    const char* from;
    const char* to;
    int count;
    const char* result;
  };
  const ReplaceCase replaces[] = {
      {"a,b,,c", ",", ";", 3, "a;b;;c"}, {"aaaa", "aa", "b", 2, "bb"},   {"abc", "", "x", 0, "abc"},
      {"abc", "b", "", 1, "ac"},         {"abc", "x", "y", 0, "abc"},    {"aXa", "a", "aa", 2, "aaXaa"},
  };
  for (const ReplaceCase& c : replaces) {
    CString r(c.text);
    EXPECT_EQ(c.count, r.Replace(c.from, c.to)) << c.text;
    EXPECT_STREQ(c.result, r) << c.text;
  }
  CString r("a-b-c");
  EXPECT_EQ(2, r.Replace('-', '+'));
  EXPECT_STREQ("a+b+c", r);
  EXPECT_EQ(0, r.Replace('+', '+'));
  EXPECT_EQ(2, r.Remove('+'));
  EXPECT_STREQ("abc", r);
}

TEST(FrameworkCString, Trimming) {
  struct Case {
    const char* text;
    const char* left;
    const char* right;
    const char* both;
  };
  const Case cases[] = {
      {"  a b \t\r\n", "a b \t\r\n", "  a b", "a b"},
      {"", "", "", ""},
      {" \t ", "", "", ""},
      {"x", "x", "x", "x"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.left, CString(c.text).TrimLeft());
    EXPECT_STREQ(c.right, CString(c.text).TrimRight());
    EXPECT_STREQ(c.both, CString(c.text).Trim());
  }
  EXPECT_STREQ("12300", CString("0012300").TrimLeft('0'));
  EXPECT_STREQ("00123", CString("0012300").TrimRight('0'));
  EXPECT_STREQ("abc", CString("*-abc-*").Trim("*-"));
  EXPECT_STREQ("*-abc-*", CString("*-abc-*").Trim(""));
}

TEST(FrameworkCString, Format) {
  CString s;
  s.Format("%d|%5.2f|%s|%c|%08X|%u", -42, 3.14159, "txt", 'Q', 0xBEEFu, 7u);
  EXPECT_STREQ("-42| 3.14|txt|Q|0000BEEF|7", s);
  // "%lf" is a double as "%f" is (printf ignores the l).
  s.Format("%d %s %.2lf", 7, "km", 2.345678);
  EXPECT_STREQ("7 km 2.35", s);

  // Output far beyond any fixed first buffer.
  std::string big(5000, 'x');
  s.Format("<%s>", big.c_str());
  EXPECT_EQ(5002, s.GetLength());
  EXPECT_EQ('<', s[0]);
  EXPECT_EQ('>', s[5001]);
  EXPECT_EQ(std::string(5000, 'x'), S(s.Mid(1, 5000)));

  // The arguments may come from the string being formatted.
  s = "abc";
  s.Format("%s-%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
  EXPECT_STREQ("abc-abc", s);

  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
  s = "n=";
  s.AppendFormat("%d", 5);
  EXPECT_STREQ("n=5", s);
  // 64-bit values format the same in both builds.
  s.Format("%lld %llu", static_cast<long long>(-1), 18446744073709551615ull);
  EXPECT_STREQ("-1 18446744073709551615", s);
}

TEST(FrameworkCString, GetBufferAndReleaseBuffer) {
  // Write a C string into the buffer, length taken from the terminator.
  CString s;
  char* p = s.GetBuffer(10);
  ASSERT_NE(nullptr, p);
  strcpy(p, "hello");
  s.ReleaseBuffer(-1);
  EXPECT_EQ(5, s.GetLength());
  EXPECT_STREQ("hello", s);

  // Explicit length keeps exactly that many chars.
  p = s.GetBuffer(20);
  EXPECT_STREQ("hello", p);  // existing text is kept
  memcpy(p, "abcdefghij", 10);
  s.ReleaseBuffer(3);
  EXPECT_STREQ("abc", s);

  // A smaller request than the text still gives the whole text.
  p = s.GetBuffer(1);
  p[0] = 'X';
  s.ReleaseBuffer();
  EXPECT_STREQ("Xbc", s);

  // A buffer filled to the brim with its terminator (n chars + '\0').
  p = s.GetBuffer(4);
  memcpy(p, "wxyz", 5);
  s.ReleaseBuffer();
  EXPECT_STREQ("wxyz", s);

  // A length beyond the buffer is clamped; the text stays terminated.
  p = s.GetBuffer(4);
  s.ReleaseBuffer(100);
  EXPECT_EQ(4, s.GetLength());

  p = s.GetBufferSetLength(2);
  EXPECT_EQ(2, s.GetLength());
  p[0] = '1';
  p[1] = '2';
  s.ReleaseBuffer();
  EXPECT_STREQ("12", s);

  // Nothing written: an empty string.
  CString e;
  p = e.GetBuffer(8);
  p[0] = '\0';
  e.ReleaseBuffer();
  EXPECT_TRUE(e.IsEmpty());
}

}  // namespace
