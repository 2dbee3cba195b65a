// Opening files: recognition by the first bytes, what each kind of file does
// to the set, that every refusal leaves the set exactly as it was, and the
// path helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Fakes.h"
#include "core/Dispatch.h"
#include "files/FileChooser.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"
#include "files/FileServices.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"

namespace dwtest {
namespace {

std::string Descriptor(const char* head) {
  return std::string(head) + "   Dotwerk FileDescriptor: Do not edit or move */\r\n";
}

// A small C Source group of n 8 x 8 elements, 2 a row, without "CP<".
std::string GroupFile(int n, const char* head = "/*M A 8 8 8 2  g.sym") {
  std::string f = Descriptor(head) + "sUnit g[" + std::to_string(n) + "] = \n{\n";
  for (int i = 0; i < n; ++i) f += "{{8, 8},{0x81,0,0,0,0,0,0,0x81}}" + std::string(i < n - 1 ? ",\r\n" : "\r\n");
  return f + "};\r\n\n";
}

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

// A bitmap file head with the given info size and compression.
std::string Bitmap(uint32_t infoSize, uint32_t compression, size_t size = 70) {
  std::string b(size, '\0');
  b[0] = 'B';
  b[1] = 'M';
  b[2] = static_cast<char>(size);
  b[14] = static_cast<char>(infoSize);
  b[18] = 4;
  b[22] = 4;
  b[28] = 1;
  b[30] = static_cast<char>(compression);
  return b;
}

class OpenFileTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetFileLayer(&fs);
    for (int s = 0; s < 2; ++s) HeaderCommentsOf(s).count = 0;
    OpenMode() = OpenModes();
    DataSet& s = cur();
    s.colorMode = 10665;
    s.bwFileFormat = 1026;
    s.viewMode = 10099;
    s.elementWidth = 4;
    s.elementHeight = 4;
    s.elementCount = 6;
    s.elementCountX = 3;
    s.pictureWidth = 12;
    s.pictureHeight = 8;
    for (int x = 0; x < 12; ++x) *CellPtr(st(), 0, x, x % 8) = 1;
    s.modified = true;
    s.undoDepth = 2;
    CopyText(s.symbolPath, kPathSlot, "C:\\old\\old.sym");
    CopyText(s.symbolTitle, kPathSlot, "old.sym");
  }
  void TearDown() override {
    SetFileLayer(nullptr);
    InstallFileChooser(nullptr);
    EditorTest::TearDown();
  }
  // Everything a refused open must leave alone.
  std::string Digest() {
    const DataSet& s = cur();
    std::string d;
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < kCellsPerSet; ++i) h = (h ^ s.cells[i]) * 1099511628211ull;
    for (int i = 0; i < 64; ++i) h = (h ^ static_cast<uint32_t>(s.elementWidths[i] * 7 + s.elementHeights[i])) * 1099511628211ull;
    for (int i = 0; i < 16; ++i)
      h = (h ^ static_cast<uint32_t>(s.codePageStart[i] + 3 * s.codePageEnd[i] + 5 * s.codePageBase[i])) * 1099511628211ull;
    d += std::to_string(h);
    for (int32_t v : {s.pictureWidth, s.pictureHeight, s.elementWidth, s.elementHeight, s.elementCount, s.elementCountX,
                      s.viewMode, s.bwFileFormat, s.byteOrganization, s.bitOrganization, s.colorMode,
                      s.noCharInElement, s.useCodePage, s.codePageRangeCount, s.codePageDefaultChar, s.undoDepth,
                      static_cast<int32_t>(s.modified), static_cast<int32_t>(s.variableElementSizes),
                      static_cast<int32_t>(StoredDescriptorCode(0))})
      d += " " + std::to_string(v);
    d += std::string(" ") + s.symbolPath + "|" + s.symbolTitle + "|" + s.codePagePath + "|" + s.codePageTitle + "|" +
         s.initialDir;
    return d;
  }
  MemoryFileLayer fs;
};

TEST_F(OpenFileTest, ClassifierTellsKindsByTheFirstBytes) {
  struct Case {
    const char* bytes;
    const char* word;
    OpenKind kind;
  } cases[] = {
      {"STA", "RTFONT", OPEN_BDF},  {"STA", "RTFOO", OPEN_UNKNOWN}, {"/*W", "", OPEN_CODE_PAGE},
      {"//W", "", OPEN_CODE_PAGE},  {"/*V", "", OPEN_COLOR},        {"BMx", "", OPEN_BITMAP},
      {"/*M", "", OPEN_BW_SYMBOL},  {"//Z", "", OPEN_BW_SYMBOL},    {"/*?", "", OPEN_UNKNOWN_C},
      {"/*a", "", OPEN_UNKNOWN_C},  {"xyW", "", OPEN_UNKNOWN},      {"abc", "", OPEN_UNKNOWN},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.kind, ClassifyOpening(c.bytes[0], c.bytes[1], c.bytes[2], c.word)) << c.bytes;
  EXPECT_EQ(OPEN_BINARY_LEGACY, ClassifyOpening(16, 24, 2, ""));
  EXPECT_EQ(OPEN_BINARY, ClassifyOpening(0, 0, 12, ""));
  EXPECT_EQ(OPEN_UNKNOWN, ClassifyOpening(1, 0, 5, ""));

  BinaryHeaderInfo bin;
  const uint8_t legacy[] = {16, 24, 2};
  ASSERT_TRUE(CheckBinaryHeader(legacy, 3, &bin));
  EXPECT_EQ(16, bin.width);
  EXPECT_EQ(24, bin.height);
  EXPECT_EQ(1033, bin.byteOrganization);
  EXPECT_EQ(1029, bin.bitOrganization);
  const uint8_t five[] = {3, 0, 5, 8, 1, 0, 1, 0};
  EXPECT_FALSE(CheckBinaryHeader(five, sizeof five, &bin));

  struct Bmp {
    uint32_t info, compression;
    int result;
  } bmps[] = {{12, 0, 0}, {40, 0, 0}, {108, 0, 0}, {124, 0, 0}, {64, 0, 1}, {40, 1, 2}};
  for (const Bmp& b : bmps) {
    std::string f = Bitmap(b.info, b.compression);
    BitmapHeaderInfo info;
    EXPECT_EQ(b.result, CheckBitmapHeader(reinterpret_cast<const uint8_t*>(f.data()), f.size(), &info)) << b.info;
  }
  BitmapHeaderInfo info;
  std::string shortHead = Bitmap(40, 0).substr(0, 20);
  EXPECT_EQ(1, CheckBitmapHeader(reinterpret_cast<const uint8_t*>(shortHead.data()), shortHead.size(), &info));
}

// Every refused file shows its message and leaves the set as it was.
TEST_F(OpenFileTest, RefusalsLoseNothing) {
  std::string wideIcon = Descriptor("/*E A 8  w.sym") + "{{1601, 1},{0x00}}\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    const char* text;  // the first message (null: the unknown-format text)
    const char* caption;
  } cases[] = {
      {"bdf", "STARTFONT 2.1\n", nullptr, kProgramTitle},
      {"sta", "STAR WARS\n", nullptr, kProgramTitle},
      {"text", "hello world\r\n", nullptr, kProgramTitle},
      {"colour", "/*V 1 2 3\r\n", nullptr, kProgramTitle},
      {"bmp", Bitmap(40, 0), nullptr, kProgramTitle},
      {"bmp64", Bitmap(64, 0), "", ""},
      {"rle", Bitmap(40, 1), "Compressed Bitmaps are not supported by this program", "BitMap"},
      {"bmpshort", Bitmap(40, 0).substr(0, 16), "", ""},
      {"legacy", Bytes({16, 24, 2, 0xFF, 0x00}), nullptr, kProgramTitle},
      {"bin5", Bytes({3, 0, 5, 8, 1, 0, 1, 0}), nullptr, kProgramTitle},
      {"countx0", Descriptor("/*M A 8 8 8 0"), "ElementX=8  ElementY=8  ElementCountX=0", "Error reading C:\\in\\f"},
      {"width0", Descriptor("/*M A 8 0 8 2"), "ElementX=0  ElementY=8  ElementCountX=2", "Error reading C:\\in\\f"},
      {"wideicon", wideIcon, "X outside range", "Read elements"},
      {"nodata", Descriptor("/*M A 8 8 8 2  g.sym"), "Unexpected End Of File in C:\\in\\f\nat or near Element number 0\nInterpretation abandoned!", "Read Error"},
      {"empty", "", nullptr, kProgramTitle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs.files["C:\\in\\f"] = c.bytes;
    prompter.prompts.clear();
    std::string before = Digest();
    EXPECT_EQ(0, OpenDataFile("C:\\in\\f"));
    EXPECT_EQ(before, Digest());
    if (c.text && !*c.text) {
      EXPECT_TRUE(prompter.prompts.empty());
      continue;
    }
    ASSERT_FALSE(prompter.prompts.empty());
    EXPECT_EQ(c.text ? c.text : kUnknownFormatText, prompter.prompts[0].text);
    EXPECT_EQ(c.caption, prompter.prompts[0].caption);
  }
  // Names and unreadable files.
  prompter.prompts.clear();
  std::string before = Digest();
  EXPECT_EQ(0, OpenDataFile("C:\\in\\*.sym"));
  EXPECT_EQ(0, OpenDataFile("C:\\in\\missing.sym"));
  EXPECT_EQ(before, Digest());
  ASSERT_EQ(2u, prompter.prompts.size());
  EXPECT_EQ("Cannot Open File: * in File Name", prompter.prompts[0].caption);
  EXPECT_EQ("C:\\in\\missing.sym", prompter.prompts[1].text);
  EXPECT_EQ("Cannot Open File for Reading, Access denied", prompter.prompts[1].caption);
}

TEST_F(OpenFileTest, UndescribedCFileAsksAndFollowsTheAnswer) {
  std::string body = "/*? a comment */\r\n{{8, 8},{0x80,0,0,0,0,0,0,0}}\r\n";
  fs.files["C:\\in\\u.c"] = body;
  struct Case {
    int answer;
    int result;
    size_t prompts;
  } cases[] = {{ANS_CANCEL, 0, 1}, {ANS_NO, 0, 2}, {ANS_YES, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    prompter.prompts.clear();
    prompter.answers = {c.answer};
    cur().viewMode = 10097;
    cur().noCharInElement = 1;
    SetStoredDescriptorCode(0, 'E');
    std::string before = Digest();
    EXPECT_EQ(c.result, OpenDataFile("C:\\in\\u.c"));
    ASSERT_EQ(c.prompts, prompter.prompts.size());
    EXPECT_EQ(MBX_YESNOCANCEL | MBX_ICONQUESTION, prompter.prompts[0].flags);
    if (c.result == 0) EXPECT_EQ(before, Digest());
    else {
      EXPECT_EQ(8, cur().pictureWidth);
      EXPECT_EQ(1u, *CellPtr(st(), 0, 0, 0));
    }
  }
  // A set of another file type is not asked.
  cur().bwFileFormat = 1025;
  prompter.prompts.clear();
  EXPECT_EQ(0, OpenDataFile("C:\\in\\u.c"));
  ASSERT_EQ(1u, prompter.prompts.size());
  EXPECT_EQ(0u, prompter.prompts[0].text.find("Unknown C-format"));
}

TEST_F(OpenFileTest, GroupWithoutReferenceGetsTheDefaultCodePage) {
  fs.files["C:\\in\\g.sym"] = GroupFile(5);
  ASSERT_EQ(1, OpenDataFile("C:\\in\\g.sym"));
  const DataSet& s = cur();
  EXPECT_EQ(5, s.elementCount);
  EXPECT_EQ(1, s.codePageRangeCount);
  EXPECT_EQ(0, s.codePageStart[0]);
  EXPECT_EQ(4, s.codePageEnd[0]);
  EXPECT_EQ(0, s.codePageBase[0]);
  EXPECT_EQ(0x20, s.codePageDefaultChar);
  EXPECT_EQ(0, s.useCodePage);
  EXPECT_FALSE(s.pendingCodePageFile);
  EXPECT_STREQ("C:\\in\\g.cp", s.codePagePath);
  EXPECT_STREQ("g.cp", s.codePageTitle);
  EXPECT_FALSE(s.modified);
  EXPECT_EQ(0, s.undoDepth);
  // Old letters keep the geometry as set.
  fs.files["C:\\in\\c.sym"] = Descriptor("/*C") + "{{8, 8},{0x01,0,0,0,0,0,0,0}}\r\n";
  cur().viewMode = 10097;
  ASSERT_EQ(1, OpenDataFile("C:\\in\\c.sym"));
  EXPECT_EQ(1034, cur().byteOrganization);
  EXPECT_EQ(1029, cur().bitOrganization);
  EXPECT_EQ(10097, cur().viewMode);
}

TEST_F(OpenFileTest, CodePageReferenceAndCodePageStage) {
  fs.files["C:\\in\\g.sym"] = GroupFile(2, "/*M A 8 8 8 2  CP<x.cp>  g.sym");
  st().set[0].initialDir[0] = '\0';
  CopyText(cur().initialDir, kPathSlot, "D:\\elsewhere\\");
  // The referenced file is missing: the default stays in force, result 2.
  ASSERT_EQ(1, RunOpenSequence("C:\\in\\g.sym"));
  EXPECT_FALSE(cur().pendingCodePageFile);
  ASSERT_FALSE(prompter.prompts.empty());
  EXPECT_EQ("Error Opening CodePage File, Using Default", prompter.prompts.back().caption);
  EXPECT_EQ(1, cur().codePageRangeCount);
  EXPECT_EQ(1, cur().codePageEnd[0]);
  EXPECT_STREQ("C:\\in\\", cur().initialDir);

  // With the file present it is read from the symbol file's directory.
  prompter.prompts.clear();
  fs.files["C:\\in\\x.cp"] =
      Descriptor("/*W  x.cp ") +
      "{1,0x41},{ /*  First number is number of ranges, last number is default Character F.x. ASCII space  */\r\n"
      "{ 0x0041, 0x0042, 0x0000 }/* Segment 0, 0x0002 Symbols */\r\n}\r\n";
  ASSERT_EQ(1, RunOpenSequence("C:\\in\\g.sym"));
  EXPECT_STREQ("C:\\in\\x.cp", cur().codePagePath);
  EXPECT_EQ(1, cur().useCodePage);
  EXPECT_EQ(0x41, cur().codePageStart[0]);
  EXPECT_EQ(0x42, cur().codePageEnd[0]);
  EXPECT_TRUE(prompter.prompts.empty());

  // A code-page file alone touches neither picture nor format.
  int32_t w = cur().pictureWidth, h = cur().pictureHeight, f = cur().bwFileFormat;
  cur().useCodePage = 0;
  fs.files["C:\\in\\y.cp"] = "//W  y.cp\r\n{1,0x20},{\r\n{ 0x0030, 0x0031, 0x0000 }\r\n}\r\n";
  EXPECT_EQ(1, OpenDataFile("C:\\in\\y.cp"));
  EXPECT_EQ(1, cur().useCodePage);
  EXPECT_EQ(w, cur().pictureWidth);
  EXPECT_EQ(h, cur().pictureHeight);
  EXPECT_EQ(f, cur().bwFileFormat);
}

struct ScriptedChooser : IFileChooser {
  std::string path, title;
  bool ok = true;
  bool Choose(FileChoice& c) override {
    if (!ok) return false;
    CopyText(c.path, kPathSlot, path.c_str());
    CopyText(c.title, kPathSlot, title.c_str());
    return true;
  }
};

TEST_F(OpenFileTest, OpenCommandRefusingKeepsTheSymbolSlot) {
  ScriptedChooser chooser;
  chooser.path = "C:\\in\\t.txt";
  chooser.title = "t.txt";
  InstallFileChooser(&chooser);
  fs.files["C:\\in\\t.txt"] = "just text\r\n";
  std::string before = Digest();
  DispatchCommand(nullptr, 57601);
  EXPECT_EQ(before, Digest());
  EXPECT_STREQ("C:\\old\\old.sym", cur().symbolPath);

  fs.files["C:\\in\\g.sym"] = GroupFile(3);
  chooser.path = "C:\\in\\g.sym";
  chooser.title = "g.sym";
  DispatchCommand(nullptr, 57601);
  EXPECT_EQ(3, cur().elementCount);
  EXPECT_STREQ("C:\\in\\g.sym", cur().symbolPath);
  EXPECT_EQ("Pixel View  - g.sym", windows.titles[WIN_PIXELVIEW]);
  EXPECT_FALSE(cur().modified);

  // Save writes it back through the dispatcher; a failed Save All leaves the
  // modified flag.
  cur().modified = true;
  DispatchCommand(nullptr, 57603);
  EXPECT_FALSE(cur().modified);
  EXPECT_EQ(0u, fs.files["C:\\in\\g.sym"].find(Descriptor("/*M A 8 8 8 2  g.sym")));
}

TEST_F(OpenFileTest, PathHelpers) {
  struct Case {
    const char* src;
    const char* ext;
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\w\\FONT.sym", "c", "C:\\w\\FONT.c", "FONT.c"},
      {"C:\\w\\FONT.sym", "cp", "C:\\w\\FONT.cp", "FONT.cp"},
      {"C:\\proj.v2\\FONT.sym", "c", "C:\\proj.v2\\FONT.c", "FONT.c"},
      {"C:\\w\\FONT", "c", "C:\\w\\FONT", "FONT"},
      {"my.font.sym", "cp", "my.font.cp", "my.font.cp"},
  };
  for (const Case& c : cases) {
    char path[kPathSlot], name[kPathSlot];
    EXPECT_EQ(static_cast<int32_t>(std::strlen(c.path)), MakePathWithExtension(c.src, c.ext, path, name));
    EXPECT_STREQ(c.path, path);
    EXPECT_STREQ(c.name, name);
  }
  std::string longPath(1020, 'a');
  longPath += ".s";
  char path[kPathSlot], name[kPathSlot];
  EXPECT_EQ(0, MakePathWithExtension(longPath.c_str(), "sym", path, name));

  CopyText(cur().initialDir, kPathSlot, "C:\\work");
  CopyText(cur().codePageTitle, kPathSlot, "a.cp");
  cur().paletteTitle[0] = '\0';
  CopyText(cur().palettePath, kPathSlot, "keep");
  BuildWorkspaceFilePaths();
  EXPECT_STREQ("C:\\work\\", cur().initialDir);
  EXPECT_STREQ("C:\\work\\a.cp", cur().codePagePath);
  EXPECT_STREQ("keep", cur().palettePath);

  RememberFileDirectory("C:\\a\\b\\c.sym");
  EXPECT_STREQ("C:\\a\\b\\", cur().initialDir);
  RememberFileDirectory("C:\\a\\*.sym");
  EXPECT_STREQ("", cur().initialDir);
  EXPECT_EQ("Cannot Open File", prompter.prompts.back().caption);
}

TEST_F(OpenFileTest, ImportCModeIgnoresTheFirstBytes) {
  OpenMode().importC = true;
  cur().viewMode = 10097;
  cur().noCharInElement = 1;
  cur().bwFileFormat = 1026;
  SetStoredDescriptorCode(0, 'E');
  fs.files["C:\\in\\i.c"] = "STA{{8, 8},{0xFF,0,0,0,0,0,0,0}}";
  EXPECT_EQ(1, OpenDataFile("C:\\in\\i.c"));
  EXPECT_EQ(8, cur().pictureWidth);
  EXPECT_EQ(1u, *CellPtr(st(), 0, 7, 0));
}

}  // namespace
}  // namespace dwtest

namespace dwtest {
namespace {

// The runtime's own file layer: a committed write replaces the file, an
// abandoned one leaves it and no temporary file behind.
TEST(FileIoHost, SafeWriteReplacesOnlyAfterSuccess) {
  SetFileLayer(nullptr);
  std::string path = ::testing::TempDir() + "dotwerk_safe.sym";
  auto readAll = [&](const std::string& p) {
    int fd = Files().Open(p.c_str(), FILE_READ);
    if (fd < 0) return std::string("<missing>");
    FileByteReader in(fd);
    std::string s;
    for (int c = in.Next(); c >= 0; c = in.Next()) s += static_cast<char>(c);
    Files().Close(fd);
    return s;
  };
  for (const char* text : {"first\r\n", "second, longer\r\n"}) {
    SafeFileWriter w;
    ASSERT_TRUE(w.Open(path.c_str()));
    ASSERT_TRUE(w.Write(std::string(text)));
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ(text, readAll(path));
  }
  {
    SafeFileWriter w;
    ASSERT_TRUE(w.Open(path.c_str()));
    w.Write(std::string("abandoned"));
  }
  EXPECT_EQ("second, longer\r\n", readAll(path));
  EXPECT_EQ("<missing>", readAll(path + ".$$$"));
  SafeFileWriter bad;
  EXPECT_FALSE(bad.Open((::testing::TempDir() + "no_such_dir_dw/x.sym").c_str()));
  Files().Remove(path.c_str());
}

}  // namespace
}  // namespace dwtest
