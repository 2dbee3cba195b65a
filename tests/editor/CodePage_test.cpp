// Code pages: the table operations, the ".cp" file writer and reader, and
// the import of a code page from a text.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "Fakes.h"
#include "core/CodePageDialogs.h"
#include "core/Dispatch.h"
#include "files/CodePageFile.h"
#include "files/FileChooser.h"
#include "files/FileIo.h"
#include "views/CodePage.h"

namespace dwtest {
namespace {

using Range = std::tuple<int32_t, int32_t, int32_t>;  // start, end, base

struct StringSource : IByteSource {
  std::string data;
  size_t pos = 0;
  explicit StringSource(std::string d) : data(std::move(d)) {}
  int Next() override { return pos < data.size() ? static_cast<uint8_t>(data[pos++]) : -1; }
  void Unget() override {
    if (pos) --pos;
  }
};

struct ScriptedChooser : IFileChooser {
  bool ok = true;
  std::string path, title;
  int calls = 0;
  bool Choose(FileChoice& c) override {
    ++calls;
    if (!ok) {
      c.extendedError = 0;
      return false;
    }
    CopyText(c.path, kPathSlot, path.c_str());
    CopyText(c.title, kPathSlot, title.c_str());
    return true;
  }
};

class CodePageTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetFileLayer(&files);
    InstallFileChooser(&chooser);
    SetCodePageTextFormatHook(nullptr);
  }
  void TearDown() override {
    SetFileLayer(nullptr);
    InstallFileChooser(nullptr);
    SetCodePageTextFormatHook(nullptr);
    EditorTest::TearDown();
  }
  CodePageTable T() { return CurrentCodePage(); }
  void Set(const std::vector<Range>& ranges, int32_t def = 0x20) {
    ClearCodePageRanges(T());
    for (const Range& r : ranges) ASSERT_TRUE(AddCodePageRange(T(), std::get<0>(r), std::get<1>(r), std::get<2>(r)));
    *T().defaultChar = def;
  }
  std::vector<Range> Get() {
    std::vector<Range> out;
    CodePageTable t = T();
    for (int32_t i = 0; i < *t.count; ++i) out.emplace_back(t.startChar[i], t.endChar[i], t.symbolBase[i]);
    return out;
  }
  MemoryFileLayer files;
  ScriptedChooser chooser;
};

TEST(ParseNumberTest, Vectors) {
  struct Case {
    const char* text;
    uint32_t value;
  } cases[] = {{"0x41", 65}, {"65", 65}, {"0X1f", 31}, {"x41", 41}, {"1A", 20}, {"12 34", 1234}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
  // Nothing after the 127th character counts.
  std::string longText(127, ' ');
  EXPECT_EQ(ParseNumber((longText + "7").c_str()), 0u);
  EXPECT_EQ(ParseNumber((std::string(126, ' ') + "78").c_str()), 7u);
}

TEST_F(CodePageTest, InsertKeepsStartOrderAndEqualStartGoesAfter) {
  Set({{0x40, 0x41, 0}, {0x20, 0x21, 5}, {0x40, 0x40, 9}, {0x10, 0x10, 7}});
  EXPECT_EQ(Get(), (std::vector<Range>{{0x10, 0x10, 7}, {0x20, 0x21, 5}, {0x40, 0x41, 0}, {0x40, 0x40, 9}}));
}

TEST_F(CodePageTest, SortTakesUnsortedWorkingCopy) {
  std::vector<int32_t> b(kCodePageEntries, 0), s(kCodePageEntries, 0), e(kCodePageEntries, 0);
  s[0] = 0x60; e[0] = 0x61; b[0] = 1;
  s[1] = 0x20; e[1] = 0x21; b[1] = 2;
  s[2] = 0x60; e[2] = 0x60; b[2] = 3;
  s[3] = 99;  // beyond the count: cleared by the sort
  EXPECT_EQ(SortCodePageRanges(3, b.data(), s.data(), e.data()), 3);
  EXPECT_EQ(s[0], 0x20);
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[2], 3);
  EXPECT_EQ(s[3], 0);
}

TEST_F(CodePageTest, LookupsLaterForCharacterEarlierForElement) {
  Set({{0x20, 0x30, 0}, {0x28, 0x2A, 50}});
  EXPECT_EQ(CharToElement(0x29, st().currentDataSet), 51);  // the later range
  EXPECT_EQ(CharToElement(0x20, st().currentDataSet), 0);
  EXPECT_EQ(CharToElement(0x31, st().currentDataSet), -1);
  Set({{0x20, 0x30, 0}, {0x40, 0x45, 2}});
  EXPECT_EQ(ElementToChar(3), 0x23);  // the earlier range
  EXPECT_EQ(ElementToChar(17), -1);
  // Slot 2 is the Font View's own table.
  CodePageTable font = CodePageSlot(kFontCodePageSlot);
  ClearCodePageRanges(font);
  AddCodePageRange(font, 0x41, 0x41, 7);
  EXPECT_EQ(CharToElement(0x41, kFontCodePageSlot), 7);
  EXPECT_EQ(CharToElement(0x41, st().currentDataSet), 3);
}

TEST_F(CodePageTest, ShiftVectors) {
  cur().elementCount = 95;
  struct Case {
    const char* what;
    bool insert;
    int32_t at, n, first;
    std::vector<Range> before, after;
  } cases[] = {
      {"insert 3 at 5", true, 5, 3, 0x100, {{0x20, 0x7E, 0}}, {{0x20, 0x24, 0}, {0x25, 0x7E, 8}, {0x100, 0x102, 5}}},
      {"insert 3 at 0", true, 0, 3, 0x100, {{0x20, 0x7E, 0}}, {{0x20, 0x7E, 3}, {0x100, 0x102, 0}}},
      {"append at the end", true, 95, 2, 0x200, {{0x20, 0x7E, 0}}, {{0x20, 0x7E, 0}, {0x200, 0x201, 95}}},
      {"delete 0", false, 0, 0, 0, {{0x20, 0x7E, 0}}, {{0x21, 0x7E, 0}}},
      {"delete last", false, 94, 0, 0, {{0x20, 0x7E, 0}}, {{0x20, 0x7D, 0}}},
      {"delete inside", false, 10, 0, 0, {{0x20, 0x7E, 0}}, {{0x20, 0x29, 0}, {0x2B, 0x7E, 10}}},
      {"delete one-element range", false, 3, 0, 0, {{0x20, 0x22, 0}, {0x41, 0x41, 3}, {0x50, 0x51, 4}},
       {{0x20, 0x22, 0}, {0x50, 0x51, 3}}},
  };
  for (const Case& c : cases) {
    Set(c.before);
    int32_t r = c.insert ? ShiftCodePageForInsert(c.at, c.n, c.first) : ShiftCodePageForDelete(c.at);
    EXPECT_EQ(r, static_cast<int32_t>(c.before.size())) << c.what;
    EXPECT_EQ(Get(), c.after) << c.what;
  }
}

TEST_F(CodePageTest, ShiftsRefuseWhenTheTableCouldOverflow) {
  cur().elementCount = 65536;
  CodePageTable t = T();
  auto fill = [&](int32_t n, int32_t width) {
    ClearCodePageRanges(t);
    for (int32_t i = 0; i < n; ++i) {
      t.startChar[i] = i * width;
      t.endChar[i] = i * width + width - 1;
      t.symbolBase[i] = i * width;
    }
    *t.count = n;
    t.startChar[kCodePageScratch] = 0x5A5A;  // the scratch entry is never past
  };
  fill(16382, 1);
  std::vector<Range> before = Get();
  EXPECT_EQ(ShiftCodePageForInsert(5, 1, 0x100000), -1);
  EXPECT_EQ(Get(), before);
  fill(16381, 1);
  EXPECT_EQ(ShiftCodePageForInsert(5, 1, 0x100000), 16381);
  EXPECT_EQ(*t.count, 16382);

  // A full table: deleting inside a range would split it.
  ClearCodePageRanges(t);
  for (int32_t i = 0; i < kMaxCodePageRanges; ++i) {
    t.startChar[i] = i * 4;
    t.endChar[i] = i * 4 + 2;
    t.symbolBase[i] = i * 3;
  }
  *t.count = kMaxCodePageRanges;
  before = Get();
  EXPECT_EQ(ShiftCodePageForDelete(4), -1);
  EXPECT_EQ(Get(), before);
  // The first element of a range does not split: allowed.
  EXPECT_EQ(ShiftCodePageForDelete(3), kMaxCodePageRanges);
  EXPECT_EQ(*t.count, kMaxCodePageRanges);
  EXPECT_EQ(std::get<0>(Get()[1]), 5);
}

TEST_F(CodePageTest, FileTextExact) {
  Set({{0x20, 0x7E, 0}});
  EXPECT_EQ(FormatCodePageFile(T(), "New.cp"),
            "/*W  New.cp    Dotwerk FileDescriptor: Do not edit or move */\r\n"
            "{1,0x20},{ /*  First number is number of ranges, last number is default Character F.x. ASCII space  */\r\n"
            "{ 0x0020, 0x007E, 0x0000 }/* Segment 0, 0x005F Symbols */\r\n"
            "}\r\n");
  Set({{0x20, 0x21, 0}, {0x30, 0x30, 2}, {0x10000, 0x10001, 3}}, 0x2022);
  EXPECT_EQ(FormatCodePageFile(T(), "a.cp"),
            "/*W  a.cp    Dotwerk FileDescriptor: Do not edit or move */\r\n"
            "{3,0x2022},{ /*  First number is number of ranges, last number is default Character F.x. ASCII space  */\r\n"
            "{ 0x0020, 0x0021, 0x0000 },/* Segment 0, 0x0002 Symbols */\r\n"
            "{ 0x0030, 0x0030, 0x0002 },/* Segment 1, 0x0001 Symbols */\r\n"
            "{ 0x10000, 0x10001, 0x0003 }/* Segment 2, 0x0002 Symbols */\r\n"
            "}\r\n");
}

TEST_F(CodePageTest, ReaderRoundTripsAndEdges) {
  struct Case {
    const char* what;
    std::vector<Range> ranges;
    int32_t def;
  } cases[] = {
      {"two ranges", {{0x20, 0x7E, 0}, {0xA0, 0xFF, 95}}, 0x20},
      {"empty keeps its default", {}, 0x20},
      {"empty with another default", {}, 0x2022},
      {"negative and wide values", {{-5, -1, 3}, {0x10000, 0x7FFFFFFF, 0}}, 0x41},
  };
  for (const Case& c : cases) {
    Set(c.ranges, c.def);
    std::string text = FormatCodePageFile(T(), "x.cp");
    Set({{1, 2, 3}}, 0);
    StringSource src(text.substr(3));
    EXPECT_EQ(ReadCodePageFile(src), static_cast<int32_t>(c.ranges.size())) << c.what;
    EXPECT_EQ(Get(), c.ranges) << c.what;
    EXPECT_EQ(*T().defaultChar, c.def) << c.what;
  }
  EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(CodePageTest, ReaderSortsCutsAndBounds) {
  // Hand-edited, unsorted, uppercase hex, a "//" descriptor without "*/".
  StringSource unsorted(
      " x.cp   Dotwerk\r\n{3,0X41},{\r\n{ 0X60, 0X61, 0x0005 },\r\n{ 0x20, 0x22, 0 },{ 0x40,0x40,3 }\r\n}\r\n");
  ReadCodePageFile(unsorted, true);
  EXPECT_EQ(Get(), (std::vector<Range>{{0x20, 0x22, 0}, {0x40, 0x40, 3}, {0x60, 0x61, 5}}));
  EXPECT_EQ(*T().defaultChar, 0x41);

  // A file ending inside the second range keeps the first only.
  Set({{0x20, 0x7E, 0}, {0xA0, 0xFF, 95}});
  std::string text = FormatCodePageFile(T(), "x.cp");
  std::string cut = text.substr(3, text.find("0x00FF") - 3);
  StringSource shortSrc(cut);
  EXPECT_EQ(ReadCodePageFile(shortSrc), 1);
  EXPECT_EQ(Get(), (std::vector<Range>{{0x20, 0x7E, 0}}));

  // More declared ranges than fit: 16384 stored, one message.
  std::string many = " d */\r\n{16385,0x20},{\r\n";
  for (int i = 0; i < 16385; ++i) many += "{ " + std::to_string(i) + ", " + std::to_string(i) + ", 0 },\r\n";
  StringSource big(many);
  prompter.prompts.clear();
  EXPECT_EQ(ReadCodePageFile(big), kMaxCodePageRanges);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Maximum number of CodePage Ranges (16384) reached, have to stop");
  EXPECT_EQ(T().startChar[kMaxCodePageRanges - 1], 16383);
}

TEST_F(CodePageTest, TextImportBuilder) {
  struct Case {
    const char* what;
    std::string bytes;
    int32_t format;
    std::vector<Range> ranges;
    int32_t def;
  } cases[] = {
      {"ascii", "ABCabc", CPTEXT_ASCII, {{0x41, 0x43, 0}, {0x61, 0x63, 3}}, 0x41},
      {"le", std::string("A\0B\0", 4), CPTEXT_UTF16LE, {{0x41, 0x42, 0}}, 0x41},
      {"be", std::string("A\0B\0", 4), CPTEXT_UTF16BE, {{0x4100, 0x4100, 0}, {0x4200, 0x4200, 1}}, 0x4100},
      {"odd byte ignored", std::string("A\0B", 3), CPTEXT_UTF16LE, {{0x41, 0x41, 0}}, 0x41},
      {"0xFFFF closes its run", std::string("\xFE\xFF\xFF\xFF\xFF\xFF", 6), CPTEXT_UTF16BE,
       {{0xFEFF, 0xFEFF, 0}, {0xFFFF, 0xFFFF, 1}}, 0xFFFF},
      {"most frequent, lowest on a tie", "zzyyx", CPTEXT_ASCII, {{0x78, 0x7A, 0}}, 0x79},
      {"empty", "", CPTEXT_ASCII, {}, 0},
  };
  for (const Case& c : cases) {
    bool full = true;
    BuildCodePageFromText(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), c.format, T(), &full);
    EXPECT_FALSE(full) << c.what;
    EXPECT_EQ(Get(), c.ranges) << c.what;
    EXPECT_EQ(*T().defaultChar, c.def) << c.what;
  }
  // Every other 16-bit character: the table fills at 16384 ranges.
  std::string alt;
  for (unsigned c = 0; c < 65536; c += 2) {
    alt += static_cast<char>(c & 0xFF);
    alt += static_cast<char>(c >> 8);
  }
  bool full = false;
  EXPECT_EQ(BuildCodePageFromText(reinterpret_cast<const uint8_t*>(alt.data()), alt.size(), CPTEXT_UTF16LE, T(),
                                  &full),
            kMaxCodePageRanges);
  EXPECT_TRUE(full);
  EXPECT_EQ(T().startChar[kMaxCodePageRanges - 1], 32766);
  EXPECT_EQ(T().symbolBase[kMaxCodePageRanges - 1], kMaxCodePageRanges - 1);
}

TEST_F(CodePageTest, ImportCommandMessagesAndCancel) {
  Set({{0x20, 0x7E, 0}}, 0x20);
  std::vector<Range> before = Get();
  files.files["/t/text.txt"] = "ABCabc";
  chooser.path = "/t/text.txt";
  chooser.title = "text.txt";
  // Cancel in CODEPAGETEXTFORMAT leaves the code page as it was.
  SetCodePageTextFormatHook([](int32_t*) { return 0; });
  DispatchCommand(nullptr, 10652);
  EXPECT_EQ(Get(), before);
  EXPECT_EQ(cur().useCodePage, 0);

  SetCodePageTextFormatHook([](int32_t* f) {
    *f = CPTEXT_ASCII;
    return 1;
  });
  DispatchCommand(nullptr, 10651);
  EXPECT_EQ(Get(), (std::vector<Range>{{0x41, 0x43, 0}, {0x61, 0x63, 3}}));
  EXPECT_EQ(cur().useCodePage, 1);
  EXPECT_EQ(st().cfg.codePageTextFormat, CPTEXT_ASCII);

  // Every other 16-bit character: the message, the ranges made so far stay.
  std::string alt;
  for (unsigned c = 0; c < 65536; c += 2) {
    alt += static_cast<char>(c >> 8);
    alt += static_cast<char>(c & 0xFF);
  }
  files.files["/t/text.txt"] = alt;
  SetCodePageTextFormatHook([](int32_t* f) {
    *f = CPTEXT_UTF16BE;
    return 1;
  });
  prompter.prompts.clear();
  DispatchCommand(nullptr, 10652);
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Maximum number of CodePage Ranges (16384) reached, have to stop");
  EXPECT_EQ(prompter.prompts[0].caption, "Make CodePage from Text");
  EXPECT_EQ(*T().count, kMaxCodePageRanges);

  struct Refusal {
    std::string path, caption;
  } refusals[] = {{"/t/*.txt", "Cannot Open File: * in File Name"},
                  {"/t/missing.txt", "Cannot Open File Text for Reading, Access denied"}};
  for (const Refusal& r : refusals) {
    Set({{0x20, 0x7E, 0}}, 0x20);
    chooser.path = r.path;
    prompter.prompts.clear();
    DispatchCommand(nullptr, 10652);
    ASSERT_EQ(prompter.prompts.size(), 1u) << r.path;
    EXPECT_EQ(prompter.prompts[0].text, r.path);
    EXPECT_EQ(prompter.prompts[0].caption, r.caption);
    EXPECT_EQ(Get(), before);
  }
}

TEST_F(CodePageTest, SaveCodePageFileKeepsOldFileOnFailureAndNeverClearsModified) {
  Set({{0x20, 0x7E, 0}}, 0x20);
  CopyText(cur().symbolPath, kPathSlot, "/w/font.sym");
  CopyText(cur().codePagePath, kPathSlot, "/w/font.cp");
  CopyText(cur().codePageTitle, kPathSlot, "font.cp");
  cur().modified = true;
  cur().undoDepth = 3;
  files.files["/w/font.cp"] = "old";
  struct Case {
    const char* what;
    int failAt, err;
    std::string text, caption;
  } cases[] = {
      {"disk full at line 3", 3, kErrNoSpace, "Out of disk space", "Write Error"},
      {"bad handle", 2, kErrBadFile, "Invalid file handle", "Write Error"},
  };
  for (const Case& c : cases) {
    files.ArmWriteFault(c.failAt, c.err);
    prompter.prompts.clear();
    EXPECT_FALSE(WriteCodePageFile()) << c.what;
    EXPECT_EQ(files.files["/w/font.cp"], "old") << c.what;
    EXPECT_EQ(files.files.count("/w/font.cp.$$$"), 0u) << c.what;
    ASSERT_EQ(prompter.prompts.size(), 1u) << c.what;
    EXPECT_EQ(prompter.prompts[0].text, c.text);
    EXPECT_EQ(prompter.prompts[0].caption, c.caption);
  }
  files.ArmWriteFault(0, 0);
  files.failOpen = "/w/font.cp.$$$";
  prompter.prompts.clear();
  EXPECT_FALSE(WriteCodePageFile());
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "/w/font.cp");
  EXPECT_EQ(prompter.prompts[0].caption, "Cannot Open File for Writing: Access denied");
  EXPECT_EQ(files.files["/w/font.cp"], "old");
  files.failOpen.clear();

  // The command: chooser, write, code page in use, modified flag kept.
  chooser.path = "/w/other.cp";
  chooser.title = "other.cp";
  DispatchCommand(nullptr, 10360);
  EXPECT_EQ(files.files["/w/other.cp"], FormatCodePageFile(T(), "other.cp"));
  EXPECT_EQ(cur().useCodePage, 1);
  EXPECT_TRUE(cur().modified);
  EXPECT_EQ(cur().undoDepth, 3);

  // A cancelled Save As writes nothing.
  chooser.ok = false;
  files.files.clear();
  prompter.prompts.clear();
  DispatchCommand(nullptr, 10360);
  EXPECT_TRUE(files.files.empty());
  ASSERT_EQ(prompter.prompts.size(), 1u);
  EXPECT_EQ(prompter.prompts[0].text, "Err 0 in Save File Common Dialog");
}

}  // namespace
}  // namespace dwtest
