// Symbol files: the descriptor code and line, the exact text the writer
// produces, the reader's edge cases, every layout's round trip and the
// save's behaviour when the disk fails.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Fakes.h"
#include "files/FileChooser.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"

namespace dwtest {
namespace {

const char kPath[] = "C:\\w\\t.sym";

class SymbolFileTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetFileLayer(&fs);
    for (int s = 0; s < 2; ++s) HeaderCommentsOf(s).count = 0;
    OpenMode() = OpenModes();
    cur().colorMode = 10665;
    cur().openToPresentFormat = 0;
    cur().useHexInCodePage = 0;
  }
  void TearDown() override {
    SetFileLayer(nullptr);
    InstallFileChooser(nullptr);
    EditorTest::TearDown();
  }

  // A group of n elements of w x h, perRow a row, with the one-range code
  // page from `first`.
  void MakeGroup(int32_t format, int32_t byteOrg, int32_t bitOrg, int32_t w, int32_t h, int32_t n, int32_t perRow,
                 int noChar, int32_t first = 0x20) {
    DataSet& s = cur();
    s.bwFileFormat = format;
    s.byteOrganization = byteOrg;
    s.bitOrganization = bitOrg;
    s.viewMode = 10099;
    s.elementWidth = w;
    s.elementHeight = h;
    s.elementCount = n;
    s.elementCountX = perRow;
    s.pictureWidth = perRow * w;
    s.pictureHeight = ((n + perRow - 1) / perRow) * h;
    s.noCharInElement = noChar;
    s.variableElementSizes = false;
    for (int i = 0; i < kMaxElements; ++i) {
      s.elementWidths[i] = w;
      s.elementHeights[i] = h;
    }
    s.codePageRangeCount = 1;
    s.codePageStart[0] = first;
    s.codePageEnd[0] = first + n - 1;
    s.codePageBase[0] = 0;
    s.useCodePage = 0;
    CopyText(s.symbolPath, kPathSlot, kPath);
    CopyText(s.symbolTitle, kPathSlot, "t.sym");
  }
  void MakeSingle(int32_t format, int32_t byteOrg, int32_t bitOrg, int32_t w, int32_t h, int noChar) {
    MakeGroup(format, byteOrg, bitOrg, w, h, 1, 1, noChar);
    cur().viewMode = 10097;
  }
  void Set(int32_t x, int32_t y, uint32_t v = 1) { *CellPtr(st(), st().currentDataSet, x, y) = v; }
  uint32_t Get(int32_t x, int32_t y) { return *CellPtr(st(), st().currentDataSet, x, y); }
  void Pattern(uint32_t seed) {
    DataSet& s = cur();
    for (int32_t x = 0; x < s.pictureWidth; ++x)
      for (int32_t y = 0; y < s.pictureHeight; ++y) Set(x, y, ((x * 7 + y * 13 + seed) % 5) < 2 ? 1u : 0u);
  }
  std::string Save() {
    EXPECT_TRUE(SaveSymbolFile());
    return fs.files[kPath];
  }

  MemoryFileLayer fs;
};

std::string Descriptor(const char* head) {
  return std::string(head) + "   Dotwerk FileDescriptor: Do not edit or move */\r\n";
}

TEST_F(SymbolFileTest, DescriptorCodeOfEveryFormatDecodesBack) {
  const int32_t bytes[] = {1034, 1033};
  const int32_t bits[] = {1031, 1032, 1029, 1030};  // the order of the code's low bits
  for (int32_t format : {1025, 1026, 1027, 1028})
    for (int32_t view : {10097, 10099})
      for (int v = 0; v < 2; ++v)
        for (int b = 0; b < 4; ++b)
          for (bool single : {false, true}) {
            DescriptorFormat f{format, view, bytes[v], bits[b], single};
            uint8_t code = ComputeDescriptorCode(f);
            bool group = view != 10097 && !single;
            SCOPED_TRACE(std::to_string(format) + " " + std::to_string(view) + " " + std::to_string(v * 4 + b));
            if (format == 1027) {
              EXPECT_EQ(group ? 'Y' : 'X', code);
            } else if (format == 1028) {
              EXPECT_EQ(group ? 'Z' : 'U', code);
            } else {
              int base = format == 1026 ? 'E' : 4;
              EXPECT_EQ(base + (group ? 8 : 0) + v * 4 + b, code);
            }
            if (format == 1025) continue;
            BwCodeInfo info = DecodeBwCode(code);
            EXPECT_EQ(group ? BW_CODE_GROUP : BW_CODE_SINGLE, info.kind);
            EXPECT_EQ(format, info.fileFormat);
            EXPECT_EQ(format == 1026 ? bytes[v] : 1034, info.byteOrganization);
            EXPECT_EQ(format == 1026 ? bits[b] : 1031, info.bitOrganization);
          }
  EXPECT_EQ(19, ComputeDescriptorCode({1025, 10099, 1033, 1030, false}));
  EXPECT_EQ(4, ComputeDescriptorCode({1025, 10097, 1034, 1031, false}));
  // The letters of older files keep the geometry and read no fields.
  BwCodeInfo c = DecodeBwCode('C');
  EXPECT_EQ(BW_CODE_LEGACY, c.kind);
  EXPECT_EQ(1034, c.byteOrganization);
  EXPECT_EQ(1029, c.bitOrganization);
  EXPECT_EQ(BW_CODE_INVALID, DecodeBwCode('V').kind);
  EXPECT_EQ(BW_CODE_INVALID, DecodeBwCode('W').kind);
}

TEST_F(SymbolFileTest, DescriptorLinesAreExact) {
  DescriptorLine t;
  t.code = 'T';
  t.group = true;
  t.fileFormat = 1026;
  t.width = t.height = t.countX = 16;
  t.useCodePage = true;
  t.codePageTitle = "font.cp";
  t.title = "font.sym";
  EXPECT_EQ(Descriptor("/*T 8 16 16 16  CP<font.cp>  font.sym"), ComposeBwDescriptorLine(t));
  t.code = 'Y';
  t.fileFormat = 1027;
  t.noCharInElement = true;  // never written for the library types
  t.elementCount = 96;
  t.tableName = "font";
  EXPECT_EQ(Descriptor("/*Y 8 16 16 16  CP<font.cp> . font[96]={  font.sym"), ComposeBwDescriptorLine(t));
  DescriptorLine e;
  e.code = 'E';
  e.group = false;
  e.fileFormat = 1026;
  e.noCharInElement = true;
  e.title = "icon.sym";
  EXPECT_EQ(Descriptor("/*E A 8  icon.sym"), ComposeBwDescriptorLine(e));
}

TEST_F(SymbolFileTest, DescriptorFieldsAreRead) {
  struct Case {
    const char* text;
    bool group, noChar;
    int32_t w, h, cx;
    const char* cp;
  } cases[] = {
      {"  8 8 8 4 ", true, false, 8, 8, 4, nullptr},
      {" A 8 16 12 3  CP<x.cp>  t.sym", true, true, 16, 12, 3, "x.cp"},
      {" A 8  icon.sym", false, true, 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    MemoryByteSource src(c.text, std::strlen(c.text));
    DescriptorFields f;
    ReadDescriptorFields(src, c.group, &f);
    EXPECT_TRUE(f.complete) << c.text;
    EXPECT_EQ(c.noChar, f.noCharInElement) << c.text;
    EXPECT_EQ(c.w, f.width);
    EXPECT_EQ(c.h, f.height);
    EXPECT_EQ(c.cx, f.countX);
    EXPECT_EQ(c.cp != nullptr, f.hasCodePageRef);
    if (c.cp) {
      EXPECT_EQ(c.cp, f.codePageName);
    }
  }
}

TEST_F(SymbolFileTest, GoldenGroupFileIsExactAndReadsBack) {
  MakeGroup(1026, 1034, 1031, 8, 2, 2, 2, 1);
  Set(0, 0);
  Set(7, 1);
  for (int x = 8; x < 16; ++x) Set(x, 1);
  std::string golden = Descriptor("/*M A 8 8 2 2  t.sym") + "/* Put Your Comments Here */\r\n";
  for (int i = 0; i < 20; ++i) golden += "/* */\r\n";
  golden +=
      "sUnit t[2] = \n{\n"
      "\r\n/* Element 0 - Char 32 */\r\n{{8, 2},{\r\n"
      "0x80,  /*  %.......  */\r\n"
      "0x01   /*  .......%  */\r\n"
      "}}\r\n"
      ",\r\n"
      "\r\n/* Element 1 - Char 33 */\r\n{{8, 2},{\r\n"
      "0x00,  /*  ........  */\r\n"
      "0xFF   /*  %%%%%%%%  */\r\n"
      "}}\r\n"
      "};\r\n"
      "\n";
  EXPECT_EQ(golden, Save());

  // Wipe the set, read the file back, write it again.
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 2; ++y) Set(x, y, 0);
  cur().elementWidth = 3;
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_EQ(2, cur().elementCount);
  EXPECT_EQ(8, cur().elementWidth);
  EXPECT_EQ(2, cur().elementHeight);
  EXPECT_EQ(16, cur().pictureWidth);
  EXPECT_EQ(2, cur().pictureHeight);
  EXPECT_EQ(1u, Get(0, 0));
  EXPECT_EQ(1u, Get(7, 1));
  EXPECT_EQ(0u, Get(8, 0));
  EXPECT_EQ(1u, Get(15, 1));
  cur().codePageRangeCount = 1;
  cur().codePageStart[0] = 0x20;
  cur().codePageEnd[0] = 0x21;
  EXPECT_EQ(golden, Save());
}

TEST_F(SymbolFileTest, TwelveByTwelveVerticalTopIsTwelveRunLinesOfTwoBytes) {
  MakeGroup(1026, 1033, 1029, 12, 12, 1, 1, 1);
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 12; ++y) Set(x, y);
  std::string text = Save();
  size_t at = text.find("{{12, 12},{\r\n");
  ASSERT_NE(std::string::npos, at);
  std::string body = text.substr(at + 13);
  std::string line = "0xFF,0x0F,  /*  \xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4....\xA4\xA4\xA4\xA4  */\r\n";
  std::string expect;
  for (int i = 0; i < 11; ++i) expect += line;
  expect += "0xFF,0x0F   /*  \xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4....\xA4\xA4\xA4\xA4  */\r\n}}\r\n";
  EXPECT_EQ(0u, body.find(expect));
}

TEST_F(SymbolFileTest, CharactersAndUnmappedElementsAreWrittenAndReadBack) {
  MakeGroup(1026, 1034, 1031, 8, 8, 3, 3, 0);
  cur().useHexInCodePage = 1;
  cur().codePageRangeCount = 1;
  cur().codePageStart[0] = 0x41;
  cur().codePageEnd[0] = 0x42;
  cur().codePageBase[0] = 1;  // element 0 is mapped by no range
  cur().elementChars[0] = 0x81;
  cur().elementChars[1] = 0;
  cur().elementChars[2] = '\'';
  std::string text = Save();
  EXPECT_NE(std::string::npos, text.find("/* Element 0x0000 - Char 0xFFFFFFFF */\r\n{{'\\x81', 8, 8},{"));
  EXPECT_NE(std::string::npos, text.find("{{'\\0', 8, 8},{"));
  EXPECT_NE(std::string::npos, text.find("{{'\\'', 8, 8},{"));
  for (int i = 0; i < 3; ++i) cur().elementChars[i] = 'z';
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_EQ(0x81, cur().elementChars[0]);
  EXPECT_EQ(0, cur().elementChars[1]);
  EXPECT_EQ('\'', cur().elementChars[2]);
  // A single icon's control character is escaped too.
  EXPECT_EQ("\\x07", CharacterLiteral(7, true));
  EXPECT_EQ("\\x7f", CharacterLiteral(127, true));
  EXPECT_EQ("\x7f", CharacterLiteral(127, false));
  EXPECT_EQ("\\\\", CharacterLiteral('\\', false));
}

TEST_F(SymbolFileTest, VariableSizeRecordKeepsItsNominalBytes) {
  MakeGroup(1026, 1034, 1031, 8, 8, 2, 2, 1);
  cur().variableElementSizes = true;
  cur().elementWidths[1] = 6;
  Set(15, 7);  // beyond the record's own width, inside the nominal cell
  std::string text = Save();
  EXPECT_NE(std::string::npos, text.find("{{6, 8},{\r\n"));
  cur().variableElementSizes = false;
  cur().elementWidths[1] = 8;
  Set(15, 7, 0);
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_TRUE(cur().variableElementSizes);
  EXPECT_EQ(6, cur().elementWidths[1]);
  EXPECT_EQ(8, cur().elementHeights[1]);
  EXPECT_EQ(1u, Get(15, 7));
}

TEST_F(SymbolFileTest, HeaderCommentsAreKeptConvertedAndFilledUp) {
  MakeGroup(1026, 1034, 1031, 8, 8, 1, 1, 1);
  st().cfg.convertToAnsi = 1;
  HeaderComments& hc = HeaderCommentsOf(0);
  hc.count = 2;
  hc.lines[0] = "// note\r\n";
  hc.lines[1] = "/* two */";
  std::string text = Save();
  std::string head = Descriptor("/*M A 8 8 8 1  t.sym") + "/* note\r\n */\r\n/* two */\r\n";
  for (int i = 2; i < 21; ++i) head += "/* */\r\n";
  EXPECT_EQ(0u, text.find(head));
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_EQ(21, HeaderCommentsOf(0).count);
  EXPECT_EQ("/* note\r\n */", HeaderCommentsOf(0).lines[0]);

  // Fewer than 21 comments in the file: the element comments fill up.
  std::string few = Descriptor("/*M A 8 8 8 3  t.sym") + "/* a */\r\nsUnit t[3] = \n{\n";
  for (int i = 0; i < 3; ++i)
    few += "\r\n/* Element " + std::to_string(i) + " */\r\n{{8, 8},{\r\n0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08 }}\r\n";
  fs.files["C:\\w\\few.sym"] = few + "};\r\n\n";
  ASSERT_EQ(1, OpenDataFile("C:\\w\\few.sym"));
  EXPECT_EQ(4, HeaderCommentsOf(0).count);
  EXPECT_EQ("/* Element 2 */", HeaderCommentsOf(0).lines[3]);
}

TEST_F(SymbolFileTest, ReaderFitsTruncatesAndTakesUppercaseHex) {
  // Element Count X 200 at width 10 does not fit in 1600 cells.
  std::string wide = Descriptor("/*M A 8 10 8 200  w.sym") + "sUnit w[0X2] = \n{\n";
  for (int i = 0; i < 2; ++i) wide += "{{0XA, 0X8},{0XFF,0XC0,0,0,0,0,0,0,0,0,0,0,0,0,0,0}}\r\n";
  fs.files["C:\\w\\w.sym"] = wide;
  ASSERT_EQ(1, OpenDataFile("C:\\w\\w.sym"));
  ASSERT_FALSE(prompter.prompts.empty());
  EXPECT_EQ("Element Count X 200 reduced to 160", prompter.prompts[0].text);
  EXPECT_EQ("Line too long", prompter.prompts[0].caption);
  EXPECT_EQ(160, cur().elementCountX);
  EXPECT_EQ(2, cur().elementCount);
  EXPECT_EQ(10, cur().elementWidth);
  EXPECT_EQ(1u, Get(0, 0));
  EXPECT_EQ(1u, Get(9, 0));
  EXPECT_EQ(0u, Get(0, 1));
  EXPECT_EQ(1u, Get(10, 0));

  // A file ending inside element 5 of 10 keeps 5 elements.
  prompter.prompts.clear();
  std::string cut = Descriptor("/*M A 8 8 8 10  c.sym") + "sUnit c[10] = \n{\n";
  for (int i = 0; i < 5; ++i) cut += "{{8, 8},{0x01,0x01,0x01,0x01,0x01,0x01,0x01,0x01}},\r\n";
  cut += "{{8, 8},{0x01,0x01";
  fs.files["C:\\w\\c.sym"] = cut;
  ASSERT_EQ(1, OpenDataFile("C:\\w\\c.sym"));
  ASSERT_EQ(1u, prompter.prompts.size());
  EXPECT_EQ("Unexpected End Of File in C:\\w\\c.sym\nat or near Element number 5\nInterpretation abandoned!",
            prompter.prompts[0].text);
  EXPECT_EQ("Read Error", prompter.prompts[0].caption);
  EXPECT_EQ(5, cur().elementCount);
}

TEST_F(SymbolFileTest, TitleWithBracketsReopensWithItsRealCount) {
  MakeGroup(1026, 1034, 1031, 8, 8, 3, 3, 1);
  CopyText(cur().symbolTitle, kPathSlot, "f[2].sym");
  Pattern(3);
  std::string text = Save();
  EXPECT_NE(std::string::npos, text.find("sUnit f_2_[3] = \n{\n"));
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_EQ(3, cur().elementCount);
  EXPECT_EQ("my_font", MakeCIdentifier("my-font.sym"));
  EXPECT_EQ("_1font", MakeCIdentifier("1font.sym"));
  EXPECT_EQ("my", MakeCIdentifier("my.font.sym"));
}

// Every layout, both kinds, every file type, both comment radixes and both
// element-size kinds: write, read, compare, write again.
TEST_F(SymbolFileTest, EveryLayoutRoundTrips) {
  const int32_t bytes[] = {1033, 1034};
  const int32_t bits[] = {1029, 1030, 1031, 1032};
  struct Type {
    int32_t format;
    int noChar;
  } types[] = {{1026, 1}, {1026, 0}, {1027, 0}, {1028, 0}};
  struct Size {
    int32_t w, h;
  } sizes[] = {{1, 1}, {7, 9}, {12, 12}, {16, 16}};
  int runs = 0;
  for (int32_t byteOrg : bytes)
    for (int32_t bitOrg : bits)
      for (const Type& t : types)
        for (bool single : {false, true})
          for (int hexComments = 0; hexComments < 2; ++hexComments)
            for (bool variable : {false, true})
              for (const Size& z : sizes) {
                if (single && variable) continue;
                // The library types have one layout only.
                int32_t bo = t.format == 1026 ? byteOrg : 1034, bi = t.format == 1026 ? bitOrg : 1031;
                if (t.format != 1026 && (byteOrg != 1034 || bitOrg != 1031)) continue;
                SCOPED_TRACE(::testing::Message() << bo << " " << bi << " " << t.format << "/" << t.noChar << " "
                                                  << single << " " << hexComments << " " << variable << " " << z.w
                                                  << "x" << z.h);
                HeaderCommentsOf(0).count = 0;
                if (single) MakeSingle(t.format, bo, bi, z.w * 3, z.h, t.noChar);
                else MakeGroup(t.format, bo, bi, z.w, z.h, 5, 3, t.noChar);
                cur().useHexInCodePage = hexComments;
                if (variable) {
                  cur().variableElementSizes = true;
                  cur().elementWidths[2] = z.w + 1;
                }
                for (int i = 0; i < 5; ++i) cur().elementChars[i] = static_cast<uint8_t>(i * 61 + 1);
                cur().elementChar = 0x9C;
                Pattern(static_cast<uint32_t>(runs));
                // The grid's spare slot holds no element and is not written.
                if (!single)
                  for (int32_t x = 2 * z.w; x < 3 * z.w; ++x)
                    for (int32_t y = z.h; y < 2 * z.h; ++y) Set(x, y, 0);
                std::vector<uint32_t> before;
                for (int32_t x = 0; x < cur().pictureWidth; ++x)
                  for (int32_t y = 0; y < cur().pictureHeight; ++y) before.push_back(Get(x, y));
                int32_t pw = cur().pictureWidth, ph = cur().pictureHeight;
                uint8_t code = StoredDescriptorCode(0);
                std::string first = Save();
                code = StoredDescriptorCode(0);

                for (int32_t x = 0; x < pw; ++x)
                  for (int32_t y = 0; y < ph; ++y) Set(x, y, 0);
                for (int i = 0; i < 5; ++i) cur().elementChars[i] = 0;
                cur().elementChar = 0;
                cur().variableElementSizes = false;
                cur().elementWidths[2] = z.w;
                cur().byteOrganization = 1034;
                cur().bitOrganization = 1031;
                ASSERT_EQ(1, OpenDataFile(kPath));
                // Elements under 4 cells get the geometry warning, nothing else.
                EXPECT_EQ(!single && z.w * z.h < 4 ? 1u : 0u, prompter.prompts.size());
                prompter.prompts.clear();
                EXPECT_EQ(pw, cur().pictureWidth);
                EXPECT_EQ(ph, cur().pictureHeight);
                EXPECT_EQ(bo, cur().byteOrganization);
                EXPECT_EQ(bi, cur().bitOrganization);
                EXPECT_EQ(t.format, cur().bwFileFormat);
                EXPECT_EQ(code, StoredDescriptorCode(0));
                EXPECT_EQ(single ? 10097 : 10099, cur().viewMode);
                EXPECT_EQ(variable, cur().variableElementSizes);
                size_t k = 0;
                bool same = true;
                for (int32_t x = 0; x < pw; ++x)
                  for (int32_t y = 0; y < ph; ++y) same = same && before[k++] == Get(x, y);
                EXPECT_TRUE(same);
                bool literal = t.format == 1028 || (t.format == 1026 && t.noChar == 0);
                if (literal && !single) {
                  for (int i = 0; i < 5; ++i) EXPECT_EQ(static_cast<uint8_t>(i * 61 + 1), cur().elementChars[i]);
                }
                if (literal && single) {
                  EXPECT_EQ(0x9C, cur().elementChar);
                }
                // The code page the file was written with, for the comments.
                cur().codePageRangeCount = 1;
                cur().codePageStart[0] = 0x20;
                cur().codePageEnd[0] = 0x20 + cur().elementCount - 1;
                cur().codePageBase[0] = 0;
                EXPECT_EQ(first, Save());
                ++runs;
              }
  EXPECT_GT(runs, 100);
}

TEST_F(SymbolFileTest, WideSingleIconRoundTrips) {
  MakeSingle(1026, 1034, 1032, 1600, 3, 1);
  Pattern(9);
  Set(1599, 2);
  std::string first = Save();
  Set(1599, 2, 0);
  ASSERT_EQ(1, OpenDataFile(kPath));
  EXPECT_EQ(1600, cur().pictureWidth);
  EXPECT_EQ(1u, Get(1599, 2));
  EXPECT_EQ(first, Save());
}

// A failing disk keeps the old file and the set's unsaved state.
TEST_F(SymbolFileTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
  MakeGroup(1026, 1034, 1031, 8, 8, 6, 3, 1);
  Pattern(1);
  std::string old = "previous contents";
  struct Case {
    int writeAt;  // 0: the open fails
    int err;
    const char* text;
    const char* caption;
  } cases[] = {
      {30, kErrNoSpace, "Out of disk space", "Write Error"},
      {2, kErrBadFile, "Invalid file handle", "Write Error"},
      {0, 0, "C:\\w\\t.sym", "Cannot Open File for Writing: Access denied"},
  };
  for (const Case& c : cases) {
    fs.files[kPath] = old;
    fs.failOpen.clear();
    if (c.writeAt) fs.ArmWriteFault(c.writeAt, c.err);
    else fs.failOpen = std::string(kPath) + ".$$$";
    cur().modified = true;
    cur().undoDepth = 3;
    prompter.prompts.clear();
    EXPECT_FALSE(SaveSymbolFile());
    EXPECT_EQ(old, fs.files[kPath]);
    EXPECT_EQ(0u, fs.files.count(std::string(kPath) + ".$$$"));
    EXPECT_TRUE(cur().modified);
    EXPECT_EQ(3, cur().undoDepth);
    ASSERT_EQ(1u, prompter.prompts.size());
    EXPECT_EQ(c.text, prompter.prompts[0].text);
    EXPECT_EQ(c.caption, prompter.prompts[0].caption);
    fs.ArmWriteFault(0, 0);
  }
  fs.failOpen.clear();
  fs.failClose = true;
  EXPECT_FALSE(SaveSymbolFile());
  EXPECT_EQ(old, fs.files[kPath]);
  fs.failClose = false;
  EXPECT_TRUE(SaveSymbolFile());
  EXPECT_FALSE(cur().modified);
  EXPECT_EQ(1, cur().undoDepth);  // the saved state is the new history's start
}

struct CancelWithError : IFileChooser {
  bool Choose(FileChoice& c) override {
    c.extendedError = 0;
    return false;
  }
};

TEST_F(SymbolFileTest, CancelledSaveAsWritesNothing) {
  MakeGroup(1026, 1034, 1031, 8, 8, 1, 1, 1);
  CancelWithError chooser;
  InstallFileChooser(&chooser);
  EXPECT_FALSE(SaveSymbolFileAs());
  EXPECT_TRUE(fs.files.empty());
  ASSERT_EQ(1u, prompter.prompts.size());
  EXPECT_EQ("Err 0 in Save File Common Dialog", prompter.prompts[0].text);
  EXPECT_STREQ(kPath, cur().symbolPath);
}

}  // namespace
}  // namespace dwtest
