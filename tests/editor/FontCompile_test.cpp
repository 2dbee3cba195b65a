// The files the editor writes for the embedded graphics library compiled
// and run as C: the font header with its symbol and code-page files, and a C
// Source group against a structure of the test's own. The expected bytes
// are packed here by the library's rules, not by the editor's packing code,
// so a packing fault in the writer cannot hide behind itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "Fakes.h"
#include "core/Dispatch.h"
#include "files/FileIo.h"
#include "files/FontHeader.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"

namespace dwtest {
namespace {

std::string Dir(const std::string& file) { return file.substr(0, file.find_last_of('/')); }

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

bool HaveTool(const char* tool) { return std::system((std::string(tool) + " --version > /dev/null 2>&1").c_str()) == 0; }

// Runs a shell command with its diagnostics kept in `log`; the exit code.
int Shell(const std::string& cmd, const std::string& log, std::string* diag) {
  int rc = std::system((cmd + " > " + log + " 2>&1").c_str());
  *diag = ReadAll(log);
  return rc;
}

// A scattered pattern that differs per element, so swapped or shifted
// symbols are told apart; every element has at least one cell set.
bool CellOn(int i, int x, int y) { return (x * 3 + y * 5 + i) % 7 == 0 || (x == 0 && y == i % 3); }

enum RefLayout { ROWS_MSB_LEFT, ROWS_LSB_LEFT, COLUMNS_LSB_TOP };

// One element's bytes as the consumer of the file unpacks them: rows padded
// to whole bytes (most or least significant bit leftmost), or columns padded
// to whole bytes with the least significant bit at the top.
std::vector<int> RefPack(RefLayout l, int i, int w, int h) {
  std::vector<int> out;
  if (l == COLUMNS_LSB_TOP) {
    for (int x = 0; x < w; ++x)
      for (int y0 = 0; y0 < h; y0 += 8) {
        int v = 0;
        for (int b = 0; b < 8 && y0 + b < h; ++b)
          if (CellOn(i, x, y0 + b)) v |= 1 << b;
        out.push_back(v);
      }
    return out;
  }
  for (int y = 0; y < h; ++y)
    for (int x0 = 0; x0 < w; x0 += 8) {
      int v = 0;
      for (int b = 0; b < 8 && x0 + b < w; ++b)
        if (CellOn(i, x0 + b, y)) v |= l == ROWS_MSB_LEFT ? 0x80 >> b : 1 << b;
      out.push_back(v);
    }
  return out;
}

std::string CArray(const std::string& name, int count, int bytes, RefLayout l, int w, int h) {
  std::string a = "static const unsigned char " + name + "[" + std::to_string(count) + "][" +
                  std::to_string(bytes) + "] = {\n";
  for (int i = 0; i < count; ++i) {
    std::vector<int> v = RefPack(l, i, w, h);
    a += "  {";
    for (size_t k = 0; k < v.size(); ++k) a += std::to_string(v[k]) + (k + 1 < v.size() ? "," : "");
    a += i + 1 < count ? "},\n" : "}\n";
  }
  return a + "};\n";
}

class FontCompileTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    SetFileLayer(nullptr);  // the real files: the compilers read them from disk
    char tmpl[] = "/tmp/dwfcXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    include = Dir(__FILE__) + "/gdisphw";
  }
  void TearDown() override {
    if (!dir.empty()) std::system(("rm -rf " + dir).c_str());
    EditorTest::TearDown();
  }

  // A black-and-white group of `count` elements of w x h, `perRow` a row,
  // saved as "my-font.sym" in the temporary directory.
  void MakeSet(int32_t format, int count, int perRow, int w, int h, int32_t byteOrg, int32_t bitOrg) {
    HeaderCommentsOf(st().currentDataSet).count = 0;
    DataSet& s = cur();
    CopyText(s.symbolPath, kPathSlot, (dir + "/my-font.sym").c_str());
    CopyText(s.symbolTitle, kPathSlot, "my-font.sym");
    CopyText(s.codePagePath, kPathSlot, (dir + "/my-font.cp").c_str());
    CopyText(s.codePageTitle, kPathSlot, "my-font.cp");
    s.colorMode = 10665;
    s.bwFileFormat = format;
    s.viewMode = 10099;
    s.byteOrganization = byteOrg;
    s.bitOrganization = bitOrg;
    s.elementCount = count;
    s.elementCountX = perRow;
    s.elementWidth = w;
    s.elementHeight = h;
    s.variableElementSizes = false;
    s.pictureWidth = perRow * w;
    s.pictureHeight = ((count + perRow - 1) / perRow) * h;
    for (int i = 0; i < count; ++i) {
      s.elementWidths[i] = w;
      s.elementHeights[i] = h;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          *CellPtr(st(), st().currentDataSet, (i % perRow) * w + x, (i / perRow) * h + y) = CellOn(i, x, y) ? 1 : 0;
    }
  }

  std::string dir, include;
};

struct Range {
  int32_t first, last, symbol;
};

// The font header, the code-page file and the symbol file as Save All
// writes them, built into a program that checks the font's numbers, the
// code-page ranges and every symbol's bytes; the same program compiled by
// the target-side cross compiler.
TEST_F(FontCompileTest, FontHeaderWithItsFilesCompilesAndHoldsTheSet) {
  if (!HaveTool("cc")) GTEST_SKIP() << "no host C compiler (cc)";
  const bool cross = HaveTool("i686-w64-mingw32-gcc");
  struct Case {
    bool codePage;
    int symbols, perRow, w, h;
    std::vector<Range> ranges;
    int32_t defaultChar;
  } cases[] = {
      {false, 96, 16, 10, 12, {{0x20, 0x7F, 0}}, 0x20},
      {true, 96, 16, 10, 12, {{0x20, 0x3F, 0}, {0x40, 0x5F, 32}, {0x2020, 0x203F, 64}}, 0x2022},
      {false, 1, 1, 5, 7, {{0x41, 0x41, 0}}, 0x41},
      {true, 1, 1, 5, 7, {{0x41, 0x41, 0}}, 0x41},
      // Odd bytes per symbol: the word alignment the header's GSYMDAT is for.
      {true, 3, 3, 9, 3, {{0xA0, 0xA2, 0}}, 0xA0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.symbols) + " symbols of " + std::to_string(c.w) + "x" + std::to_string(c.h) +
                 (c.codePage ? ", code page" : ", no code page"));
    MakeSet(1027, c.symbols, c.perRow, c.w, c.h, 1034, 1031);
    cur().useCodePage = c.codePage ? 1 : 0;
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    for (const Range& r : c.ranges) ASSERT_TRUE(AddCodePageRange(t, r.first, r.last, r.symbol));
    *t.defaultChar = c.defaultChar;
    std::remove((dir + "/my-font.c").c_str());
    std::remove((dir + "/my-font.cp").c_str());
    prompter.prompts.clear();
    DispatchCommand(nullptr, 10661);
    ASSERT_TRUE(prompter.prompts.empty()) << prompter.prompts[0].caption << ": " << prompter.prompts[0].text;
    ASSERT_FALSE(ReadAll(dir + "/my-font.c").empty());
    // The code-page file comes along only with the code page in use.
    EXPECT_EQ(ReadAll(dir + "/my-font.cp").empty(), !c.codePage);

    const int bytes = ((c.w + 7) / 8) * c.h;
    const std::string n = std::to_string(c.symbols), w = std::to_string(c.w), h = std::to_string(c.h),
                      b = std::to_string(bytes);
    // The check includes the header itself so GSYMDAT and the tables are
    // seen by their declared types, not through the library's pointers only.
    std::string check = "#include <stdio.h>\n#include <string.h>\n#include \"my-font.c\"\n" +
                        CArray("expected", c.symbols, bytes, ROWS_MSB_LEFT, c.w, c.h) +
                        "int main(void) {\n"
                        "  unsigned i; int bad = 0;\n"
                        "  const GFONT *f = &my_font;\n"
                        "  if (f->symwidth != " + w + " || f->symheight != " + h + ") bad |= 1;\n"
                        "  if (f->numsym != " + n + " || sizeof(my_fontsym) / sizeof(my_fontsym[0]) != " + n +
                        ") bad |= 2;\n"
                        "  if (sizeof(GSYMDAT) != " + b + " || f->symsize != sizeof(GSYMDAT)) bad |= 4;\n"
                        "  if (f->psymbols != (PGSYMBOL)my_fontsym) bad |= 8;\n"
                        "  for (i = 0; i < " + n + "; ++i) {\n"
                        "    if (my_fontsym[i].sh.cxpix != " + w + " || my_fontsym[i].sh.cypix != " + h +
                        ") bad |= 16;\n"
                        "    if (memcmp(my_fontsym[i].b, expected[i], " + b + ") != 0) {\n"
                        "      printf(\"symbol %u differs\\n\", i); bad |= 32;\n"
                        "    }\n"
                        "  }\n";
    if (c.codePage) {
      check += "  if (f->pcodepage != (PGCODEPAGE)&my_fontcp) bad |= 64;\n";
      check += "  if (my_fontcp.chp.numentries != " + std::to_string(c.ranges.size()) +
               " || sizeof(my_fontcp.cpr) / sizeof(my_fontcp.cpr[0]) != " + std::to_string(c.ranges.size()) +
               " || my_fontcp.chp.def_wch != " + std::to_string(c.defaultChar) + ") bad |= 128;\n";
      for (size_t r = 0; r < c.ranges.size(); ++r) {
        const std::string e = "my_fontcp.cpr[" + std::to_string(r) + "]";
        check += "  if (" + e + ".min != " + std::to_string(c.ranges[r].first) + " || " + e +
                 ".max != " + std::to_string(c.ranges[r].last) + " || " + e + ".idx != " +
                 std::to_string(c.ranges[r].symbol) + ") bad |= 256;\n";
      }
    } else {
      check += "  if (f->pcodepage != NULL) bad |= 64;\n";
    }
    check += "  if (bad) printf(\"bad %d\\n\", bad);\n  return bad;\n}\n";
    WriteText(dir + "/check.c", check);

    const std::string flags = " -std=c99 -Wall -Wextra -Werror -I " + include + " -I " + dir + " ";
    std::string diag;
    ASSERT_EQ(Shell("cc" + flags + dir + "/check.c -o " + dir + "/check", dir + "/cc.log", &diag), 0)
        << diag << "\n" << ReadAll(dir + "/my-font.c");
    EXPECT_EQ(Shell(dir + "/check", dir + "/run.log", &diag), 0) << diag;
    if (cross) {
      EXPECT_EQ(Shell("i686-w64-mingw32-gcc -c" + flags + dir + "/check.c -o " + dir + "/check.o", dir + "/x.log", &diag),
                0)
          << diag;
    }
  }
  if (!cross) GTEST_SKIP() << "no i686-w64-mingw32-gcc: the host compile ran, the cross compile did not";
}

// A C Source group (the editor's plain C type) compiles against a record
// structure of the test's own and holds each element's size, character and
// bytes in the file's layout.
TEST_F(FontCompileTest, CSourceGroupCompilesWithTestSideUnit) {
  if (!HaveTool("cc")) GTEST_SKIP() << "no host C compiler (cc)";
  const bool cross = HaveTool("i686-w64-mingw32-gcc");
  struct Case {
    int32_t byteOrg, bitOrg;
    RefLayout ref;
    bool chars, hex;
    int w, h;
  } cases[] = {
      {1034, 1031, ROWS_MSB_LEFT, true, false, 10, 12},
      {1034, 1032, ROWS_LSB_LEFT, false, true, 9, 5},
      {1033, 1029, COLUMNS_LSB_TOP, true, true, 12, 12},
  };
  // Characters that need escapes in a C character literal.
  const uint8_t kChars[] = {'A', 0, '\'', '\\', '"', 0x81, 0x7F, '\n', 'z'};
  const int count = sizeof kChars;
  for (const Case& c : cases) {
    SCOPED_TRACE("layout " + std::to_string(c.byteOrg) + "/" + std::to_string(c.bitOrg));
    MakeSet(1026, count, 4, c.w, c.h, c.byteOrg, c.bitOrg);
    DataSet& s = cur();
    s.noCharInElement = c.chars ? 0 : 1;
    s.useHexInCodePage = c.hex ? 1 : 0;
    s.useCodePage = 0;
    for (int i = 0; i < count; ++i) s.elementChars[i] = kChars[i];
    CodePageTable t = CurrentCodePage();
    ClearCodePageRanges(t);
    AddCodePageRange(t, 0x20, 0x20 + count - 1, 0);
    prompter.prompts.clear();
    ASSERT_TRUE(SaveSymbolFile());
    ASSERT_TRUE(prompter.prompts.empty()) << prompter.prompts[0].caption << ": " << prompter.prompts[0].text;

    const int bytes = static_cast<int>(RefPack(c.ref, 0, c.w, c.h).size());
    const std::string n = std::to_string(count), b = std::to_string(bytes);
    // The head holds the character only when the file carries one; `char`
    // takes the escaped high characters without a conversion warning.
    std::string unit = std::string("typedef struct {\n  struct { ") + (c.chars ? "char c; " : "") +
                       "unsigned short w, h; } hd;\n  unsigned char b[" + b + "];\n} sUnit;\n";
    std::string check = "#include <stdio.h>\n#include <string.h>\n" + unit + "#include \"my-font.sym\"\n" +
                        CArray("expected", count, bytes, c.ref, c.w, c.h) +
                        "int main(void) {\n"
                        "  unsigned i; int bad = 0;\n"
                        "  if (sizeof(my_font) / sizeof(my_font[0]) != " + n + ") bad |= 1;\n"
                        "  for (i = 0; i < " + n + "; ++i) {\n"
                        "    if (my_font[i].hd.w != " + std::to_string(c.w) + " || my_font[i].hd.h != " +
                        std::to_string(c.h) + ") bad |= 2;\n"
                        "    if (memcmp(my_font[i].b, expected[i], " + b + ") != 0) {\n"
                        "      printf(\"element %u differs\\n\", i); bad |= 4;\n"
                        "    }\n"
                        "  }\n";
    if (c.chars) {
      check += "  {\n    static const unsigned char chars[] = {";
      for (int i = 0; i < count; ++i) check += std::to_string(kChars[i]) + (i + 1 < count ? "," : "");
      check += "};\n    for (i = 0; i < " + n +
               "; ++i) if ((unsigned char)my_font[i].hd.c != chars[i]) bad |= 8;\n  }\n";
    }
    check += "  if (bad) printf(\"bad %d\\n\", bad);\n  return bad;\n}\n";
    WriteText(dir + "/unit.c", check);

    const std::string flags = " -std=c99 -Wall -Wextra -Werror -I " + dir + " ";
    std::string diag;
    ASSERT_EQ(Shell("cc" + flags + dir + "/unit.c -o " + dir + "/unit", dir + "/cc.log", &diag), 0)
        << diag << "\n" << ReadAll(dir + "/my-font.sym");
    EXPECT_EQ(Shell(dir + "/unit", dir + "/run.log", &diag), 0) << diag;
    if (cross) {
      EXPECT_EQ(Shell("i686-w64-mingw32-gcc -c" + flags + dir + "/unit.c -o " + dir + "/unit.o", dir + "/x.log", &diag), 0)
          << diag;
    }
  }
  if (!cross) GTEST_SKIP() << "no i686-w64-mingw32-gcc: the host compile ran, the cross compile did not";
}

}  // namespace
}  // namespace dwtest
