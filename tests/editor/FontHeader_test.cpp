// The C font header: the exact text, the numbers in it, the files it is
// written to, and a compile of the header with its code-page and symbol
// files against the tests' own gdisphw.h.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Fakes.h"
#include "core/Dispatch.h"
#include "files/CodePageFile.h"
#include "files/FileChooser.h"
#include "files/FileIo.h"
#include "files/FontHeader.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"

namespace dwtest {
namespace {

const char kGoldenNoCodePage[] =
    "/*****************************      New.c ************************\n"
    "\n"
    "   New font table structure definitions.\n"
    "   This file has been auto-generated with the Dotwerk tool.\n"
    "\n"
    "*****************************************************************/\n"
    "#include <gdisphw.h>\n"
    "\n"
    "typedef struct          /* Structure used for automatic word alignment */\n"
    "   {\n"
    "   SGUCHAR b[12];       /* Symbol data, \"variable length\" array */\n"
    "   } GSYMDAT;\n"
    "\n"
    "/* Symbol table entry with fixed sized symbols */\n"
    "static struct\n"
    "   {\n"
    "   GSYMHEAD sh;        /* Symbol header */\n"
    "   SGUCHAR b[12];       /* Symbol data, \"variable length\" */\n"
    "   }\n"
    "GCODE FCODE Newsym[96] =\n"
    "   {\n"
    "   #include \"New.sym\" /* Include symbols */\n"
    "   };\n"
    "\n"
    "/* Font structure */\n"
    "GCODE GFONT FCODE New =\n"
    "   {\n"
    "   8,       /* width */\n"
    "   12,       /* height */\n"
    "   sizeof(GSYMDAT),    /* number of bytes in a symbol  (must include any alignment padding)*/\n"
    "   (PGSYMBOL)Newsym, /* pointer to array of SYMBOLS */\n"
    "   96,      /* num symbols */\n"
    "   (PGCODEPAGE)(NULL)\n"
    "   };\n"
    "\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream ss(text);
  std::string line;
  while (std::getline(ss, line)) out.push_back(line);
  return out;
}

struct ScriptedChooser : IFileChooser {
  bool ok = true;
  std::string path, title;
  bool Choose(FileChoice& c) override {
    if (!ok) {
      c.extendedError = 0;
      return false;
    }
    CopyText(c.path, kPathSlot, path.c_str());
    CopyText(c.title, kPathSlot, title.c_str());
    return true;
  }
};

class FontHeaderTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetFileLayer(&files);
    InstallFileChooser(&chooser);
    DataSet& s = cur();
    s.colorMode = 10665;
    s.bwFileFormat = 1027;
    s.viewMode = 10099;
    s.elementCount = 96;
    s.elementCountX = 16;
    s.elementWidth = 8;
    s.elementHeight = 12;
    s.useCodePage = 0;
    CopyText(s.symbolPath, kPathSlot, "New.sym");
    CopyText(s.symbolTitle, kPathSlot, "New.sym");
    ClearCodePageRanges(CurrentCodePage());
    AddCodePageRange(CurrentCodePage(), 0x20, 0x7F, 0);
    s.codePageDefaultChar = 0x20;
  }
  void TearDown() override {
    SetFileLayer(nullptr);
    InstallFileChooser(nullptr);
    EditorTest::TearDown();
  }
  MemoryFileLayer files;
  ScriptedChooser chooser;
};

TEST_F(FontHeaderTest, GoldenWithoutCodePage) { EXPECT_EQ(FormatFontHeader(), kGoldenNoCodePage); }

TEST_F(FontHeaderTest, TemplateWithCodePage) {
  cur().useCodePage = 1;
  CopyText(cur().codePageTitle, kPathSlot, "New.cp");
  std::vector<std::string> lines = Lines(FormatFontHeader());
  ASSERT_EQ(lines.size(), 46u);  // 45 lines and the empty one of the extra line feed
  EXPECT_EQ(lines[0], "/**************************** " + std::string("     New") + ".c ***********************");
  EXPECT_EQ(lines[2], "   New font table and code page structure definitions.");
  EXPECT_EQ(lines[12], "   GCP_RANGE cpr[1];     /* Adjust this index if more codepage segments are added */");
  EXPECT_EQ(lines[14], "GCODE FCODE Newcp =");
  EXPECT_EQ(lines[16], "   #include \"New.cp\" /* Codepage table */");
  EXPECT_EQ(lines[27], "   GSYMHEAD sh;         /* Symbol header */");
  EXPECT_EQ(lines[43], "   (PGCODEPAGE)&Newcp");
  EXPECT_EQ(lines[45], "");
}

TEST_F(FontHeaderTest, WithoutCodePageWhenTitleEmptyOrNoRanges) {
  cur().useCodePage = 1;
  CopyText(cur().codePageTitle, kPathSlot, "");
  EXPECT_EQ(FormatFontHeader(), kGoldenNoCodePage);
  CopyText(cur().codePageTitle, kPathSlot, "New.cp");
  ClearCodePageRanges(CurrentCodePage());
  EXPECT_EQ(FormatFontHeader(), kGoldenNoCodePage);
}

TEST_F(FontHeaderTest, NumbersAndNames) {
  // Mean width of own widths, rounded up.
  DataSet& s = cur();
  s.variableElementSizes = true;
  s.elementCount = 3;
  s.elementWidths[0] = 5;
  s.elementWidths[1] = 6;
  s.elementWidths[2] = 8;
  EXPECT_NE(FormatFontHeader().find("   7,       /* width */\n"), std::string::npos);

  struct Name {
    const char* title;
    const char* id;
  } names[] = {{"New.sym", "New"}, {"my.font.sym", "my"}, {"my-font.sym", "my_font"}, {"1font.sym", "_1font"},
               {"plain", "plain"}, {"a b.sym", "a_b"}};
  for (const Name& n : names) EXPECT_EQ(FontIdentifier(n.title), n.id) << n.title;

  struct Bytes {
    const char* what;
    int32_t mode, kind, gray, paletteCommand, r, g, b, grayBits, w, h, bytes;
  } bytes[] = {
      {"black and white 8x12", 10665, 10668, 0, 10251, 8, 8, 8, 8, 8, 12, 12},
      {"black and white 9x2", 10665, 10668, 0, 10251, 8, 8, 8, 8, 9, 2, 4},
      {"16 colours 10x16", 10666, 10668, 0, 10247, 8, 8, 8, 8, 10, 16, 80},
      {"2 colours 10x2", 10666, 10668, 0, 10244, 8, 8, 8, 8, 10, 2, 4},
      {"256 colours 3x3", 10666, 10668, 0, 10251, 8, 8, 8, 8, 3, 3, 9},
      {"4096 colours 3x3: 16 bits", 10666, 10668, 0, 10255, 8, 8, 8, 8, 3, 3, 18},
      {"gray palette 4 entries 5x1", 10666, 10668, 1, 10263, 8, 8, 8, 8, 5, 1, 2},
      {"RGB 5/6/5", 10666, 10667, 0, 10251, 5, 6, 5, 8, 7, 3, 42},
      {"2-bit gray 8x8", 10666, 10667, 1, 10251, 8, 8, 8, 2, 8, 8, 16},
      {"3-bit gray 5x2", 10666, 10667, 1, 10251, 8, 8, 8, 3, 5, 2, 6},
      {"8-bit gray 5x2", 10666, 10667, 1, 10251, 8, 8, 8, 8, 5, 2, 10},
  };
  for (const Bytes& c : bytes) {
    DataSet d;
    d.colorMode = c.mode;
    d.colorKind = c.kind;
    d.grayNotColor = c.gray;
    d.paletteSizeCommand = c.paletteCommand;
    d.redBits = c.r;
    d.greenBits = c.g;
    d.blueBits = c.b;
    d.grayBits = c.grayBits;
    EXPECT_EQ(BytesPerSymbol(d, c.w, c.h), c.bytes) << c.what;
  }
}

TEST_F(FontHeaderTest, DerivedPaths) {
  struct Case {
    const char* source;
    const char* ext;
    bool ok;
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\w\\FONT", "c", true, "C:\\w\\FONT.c", "FONT.c"},
      {"C:\\w\\FONT", "cp", true, "C:\\w\\FONT.cp", "FONT.cp"},
      {"C:\\proj.v2\\FONT", "c", true, "C:\\proj.v2\\FONT.c", "FONT.c"},
      {"C:\\w\\font.sym", "c", true, "C:\\w\\font.c", "font.c"},
      {"/w/a.b.sym", "cp", true, "/w/a.b.cp", "a.b.cp"},
      {"C:\\w\\x.c", "c", false, "", ""},
  };
  for (const Case& c : cases) {
    char path[kPathSlot] = "", title[kPathSlot] = "";
    EXPECT_EQ(DeriveFilePath(c.source, c.ext, path, title), c.ok) << c.source;
    EXPECT_STREQ(path, c.path) << c.source;
    EXPECT_STREQ(title, c.title) << c.source;
  }
  char path[kPathSlot] = "", title[kPathSlot] = "";
  std::string longPath = "C:\\" + std::string(1020, 'a');
  prompter.prompts.clear();
  EXPECT_FALSE(DeriveFilePath(longPath.c_str(), "c", path, title));
  EXPECT_EQ(prompter.prompts.size(), 1u);
}

TEST_F(FontHeaderTest, SaveAllWritesCodePageAndHeaderAndKeepsModified) {
  DataSet& s = cur();
  CopyText(s.symbolPath, kPathSlot, "C:\\w\\FONT");
  CopyText(s.symbolTitle, kPathSlot, "FONT");
  CopyText(s.codePagePath, kPathSlot, "C:\\w\\FONT.cp");
  CopyText(s.codePageTitle, kPathSlot, "FONT.cp");
  s.useCodePage = 1;
  s.modified = true;
  s.undoDepth = 2;
  DispatchCommand(nullptr, 10661);
  ASSERT_EQ(files.files.count("C:\\w\\FONT.c"), 1u);
  EXPECT_EQ(files.files["C:\\w\\FONT.c"], FormatFontHeader());
  EXPECT_EQ(files.files["C:\\w\\FONT.cp"], FormatCodePageFile(CurrentCodePage(), "FONT.cp"));
  // The symbol file keeps its own path; the header never lands on it.
  ASSERT_EQ(files.files.count("C:\\w\\FONT"), 1u);
  EXPECT_NE(files.files["C:\\w\\FONT"], files.files["C:\\w\\FONT.c"]);

  // Single Icon: the symbol file only.
  files.files.clear();
  s.viewMode = 10097;
  DispatchCommand(nullptr, 10661);
  EXPECT_EQ(files.files.count("C:\\w\\FONT.c"), 0u);
  EXPECT_EQ(files.files.count("C:\\w\\FONT.cp"), 0u);
}

TEST_F(FontHeaderTest, CompanionWritesAloneKeepModified) {
  DataSet& s = cur();
  CopyText(s.symbolPath, kPathSlot, "/w/FONT.sym");
  CopyText(s.codePagePath, kPathSlot, "/w/FONT.cp");
  CopyText(s.codePageTitle, kPathSlot, "FONT.cp");
  s.useCodePage = 1;
  s.modified = true;
  s.undoDepth = 2;
  s.redoCount = 1;
  EXPECT_TRUE(SaveAllCodePageAndFontHeader());
  EXPECT_EQ(files.files.count("/w/FONT.c"), 1u);
  EXPECT_EQ(files.files.count("/w/FONT.cp"), 1u);
  EXPECT_TRUE(s.modified);
  EXPECT_EQ(s.undoDepth, 2);
  EXPECT_EQ(s.redoCount, 1);
}

// ---- compile check ----------------------------------------------------------

std::string Dir(const std::string& file) { return file.substr(0, file.find_last_of('/')); }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

bool CellOn(int i, int x, int y) { return (x * 3 + y * 5 + i) % 7 == 0; }

// The font header, the code-page file and the symbol file as Save All
// writes them to disk, compiled and run as C: the numbers of the font and
// every symbol's bytes against the packing of the set's cells.
TEST_F(FontHeaderTest, SavedFilesCompileAsC) {
  if (std::system("cc --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no C compiler";
  SetFileLayer(nullptr);  // the real files this time
  const std::string include = Dir(__FILE__) + "/gdisphw";
  char tmpl[] = "/tmp/dwfontXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  struct Case {
    bool codePage;
    int symbols, perRow, w, h, byteOrg, bitOrg;
  } cases[] = {
      {false, 96, 16, 10, 12, 1034, 1031}, {true, 96, 16, 10, 12, 1034, 1031}, {false, 1, 1, 10, 12, 1034, 1031},
      {true, 1, 1, 10, 12, 1034, 1031},    {true, 5, 5, 12, 10, 1033, 1029},   {false, 3, 3, 9, 9, 1033, 1032},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.symbols) + " symbols, code page " + std::to_string(c.codePage) + ", layout " +
                 std::to_string(c.byteOrg) + "/" + std::to_string(c.bitOrg));
    HeaderCommentsOf(st().currentDataSet).count = 0;
    DataSet& s = cur();
    CopyText(s.symbolPath, kPathSlot, (dir + "/my-font.sym").c_str());
    CopyText(s.symbolTitle, kPathSlot, "my-font.sym");
    CopyText(s.codePagePath, kPathSlot, (dir + "/my-font.cp").c_str());
    CopyText(s.codePageTitle, kPathSlot, "my-font.cp");
    s.bwFileFormat = 1027;
    s.viewMode = 10099;
    s.byteOrganization = c.byteOrg;
    s.bitOrganization = c.bitOrg;
    s.elementCount = c.symbols;
    s.elementCountX = c.perRow;
    s.elementWidth = c.w;
    s.elementHeight = c.h;
    s.variableElementSizes = false;
    s.pictureWidth = c.perRow * c.w;
    s.pictureHeight = ((c.symbols + c.perRow - 1) / c.perRow) * c.h;
    for (int i = 0; i < c.symbols; ++i) {
      s.elementWidths[i] = c.w;
      s.elementHeights[i] = c.h;
      for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
          *CellPtr(st(), st().currentDataSet, (i % c.perRow) * c.w + x, (i / c.perRow) * c.h + y) =
              CellOn(i, x, y) ? 1 : 0;
    }
    s.useCodePage = c.codePage ? 1 : 0;
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    if (c.symbols > 1) {
      AddCodePageRange(t, 0xA0, 0xA0 + c.symbols / 2 - 1, c.symbols - c.symbols / 2);
      AddCodePageRange(t, 0x20, 0x20 + c.symbols - c.symbols / 2 - 1, 0);
    } else {
      AddCodePageRange(t, 0x41, 0x41, 0);
    }
    *t.defaultChar = 0x20;
    prompter.prompts.clear();
    DispatchCommand(nullptr, 10661);
    ASSERT_TRUE(prompter.prompts.empty()) << prompter.prompts[0].caption << ": " << prompter.prompts[0].text;

    PackLayout l;
    l.byteOrganization = c.byteOrg;
    l.bitOrganization = c.bitOrg;
    const int bytes = PackedByteCount(l, c.w, c.h);
    ASSERT_EQ(BytesPerSymbol(s, c.w, c.h), bytes);
    std::string expected = "static const unsigned char expected[" + std::to_string(c.symbols) + "][" +
                           std::to_string(bytes) + "] = {\n";
    for (int i = 0; i < c.symbols; ++i) {
      expected += "{";
      for (int k = 0; k < bytes; ++k) {
        int v = 0;
        for (int b = 0; b < 8; ++b) {
          int32_t x, y;
          PackedBitCell(l, c.w, c.h, k, b, &x, &y);
          if (x < c.w && y < c.h && CellOn(i, x, y)) v |= 1 << b;
        }
        expected += std::to_string(v) + (k + 1 < bytes ? "," : "");
      }
      expected += i + 1 < c.symbols ? "},\n" : "}\n";
    }
    expected += "};\n";
    std::string check = "#include <gdisphw.h>\n#include <stdio.h>\n" + expected +
                        "extern GCODE GFONT FCODE my_font;\n"
                        "int main(void) {\n"
                        "  unsigned i, k; int bad = 0;\n"
                        "  const GFONT* f = &my_font;\n"
                        "  if (f->symwidth != " + std::to_string(c.w) + " || f->symheight != " + std::to_string(c.h) +
                        " || f->symsize != " + std::to_string(bytes) + " || f->numsym != " +
                        std::to_string(c.symbols) + ") bad |= 1;\n"
                        "  for (i = 0; i < f->numsym; ++i) {\n"
                        "    const unsigned char* p = (const unsigned char*)f->psymbols +\n"
                        "        i * ((sizeof(GSYMHEAD) + f->symsize + 1) & ~1u);\n"
                        "    const GSYMHEAD* h = (const GSYMHEAD*)p;\n"
                        "    if (h->cxpix != " + std::to_string(c.w) + " || h->cypix != " + std::to_string(c.h) +
                        ") bad |= 2;\n"
                        "    for (k = 0; k < f->symsize; ++k) if (p[sizeof(GSYMHEAD) + k] != expected[i][k]) bad |= 4;\n"
                        "  }\n";
    if (c.codePage) {
      check += "  if (!f->pcodepage || f->pcodepage->chp.def_wch != 0x20) bad |= 8;\n";
      check += "  else if (f->pcodepage->chp.numentries != " + std::to_string(*t.count) +
               " || f->pcodepage->cpr[0].min != " + std::to_string(t.startChar[0]) +
               " || f->pcodepage->cpr[0].idx != " + std::to_string(t.symbolBase[0]) + ") bad |= 16;\n";
    } else {
      check += "  if (f->pcodepage != NULL) bad |= 8;\n";
    }
    check += "  if (bad) printf(\"bad %d\\n\", bad);\n  return bad;\n}\n";
    WriteText(dir + "/check.c", check);
    const std::string flags = " -std=c99 -Wall -Wextra -Werror -I " + include + " -I " + dir + " ";
    std::string cmd = "cc" + flags + dir + "/my-font.c " + dir + "/check.c -o " + dir + "/check 2> " + dir +
                      "/cc.log && " + dir + "/check";
    int rc = std::system(cmd.c_str());
    std::ifstream log(dir + "/cc.log");
    std::string diag((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(rc, 0) << diag;
    // The cross compiler of the target side, when this machine has one.
    if (std::system("i686-w64-mingw32-gcc --version > /dev/null 2>&1") == 0) {
      std::string cross = "i686-w64-mingw32-gcc -c" + flags + dir + "/my-font.c -o " + dir + "/my-font.o";
      EXPECT_EQ(std::system(cross.c_str()), 0);
    }
  }
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace dwtest
