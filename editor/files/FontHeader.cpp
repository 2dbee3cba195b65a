#include "files/FontHeader.h"

#include <cstdio>
#include <cstring>

#include "core/EditorState.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "files/CodePageFile.h"
#include "files/FileChooser.h"
#include "files/FileIo.h"
#include "files/FileServices.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"
#include "views/StatusLine.h"

namespace dw {

int32_t BitsPerPaletteIndex(int32_t command) {
  int32_t k = command >= 10262 ? command - 10262 : command - 10244;
  if (k <= 0) return 1;
  if (k == 1) return 2;
  if (k <= 3) return 4;
  if (k <= 7) return 8;
  return 16;
}

int32_t BytesPerSymbol(const DataSet& s, int32_t w, int32_t h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  int64_t bytes;
  if (s.colorMode != 10666) {
    // The symbol writer's packing: for Horizontal bytes ((w + 7) / 8) x h,
    // for Vertical bytes the columns are padded instead, and the header's
    // array must hold exactly what a record holds.
    PackLayout l;
    l.byteOrganization = s.byteOrganization;
    l.bitOrganization = s.bitOrganization;
    bytes = PackedByteCount(l, w, h);
  } else if (s.colorKind == 10668) {
    int64_t b = BitsPerPaletteIndex(s.paletteSizeCommand);
    bytes = ((b * w + 7) / 8) * h;
  } else if (s.grayNotColor) {
    int32_t g = s.grayBits;
    int32_t perByte = g == 1 ? 8 : g == 2 ? 4 : (g == 3 || g == 4) ? 2 : 1;
    bytes = static_cast<int64_t>((w + perByte - 1) / perByte) * h;
  } else {
    int64_t bits = static_cast<int64_t>(s.redBits) + s.greenBits + s.blueBits;
    if (bits < 0) bits = 0;
    bytes = ((bits + 7) / 8) * w * h;
  }
  return bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bytes);
}

// The same rule names the symbol file's table, so both files agree.
std::string FontIdentifier(const char* title) { return MakeCIdentifier(title ? title : ""); }

std::string FillFontHeaderTemplate(const char* fontName, const char* symbolTitle, const char* codePageTitle,
                                   uint32_t rangeCount, uint32_t symbolCount, uint32_t width, uint32_t height,
                                   uint32_t bytesPerSymbol, const char* headerType) {
  const bool cp = codePageTitle && *codePageTitle && rangeCount > 0;
  const char* name = fontName ? fontName : "";
  std::string out;
  // Lines are formatted one at a time; only the names vary in length.
  std::string buf;
  auto line = [&](const char* fmt, auto... args) {
    int n = std::snprintf(nullptr, 0, fmt, args...);
    buf.assign(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    std::snprintf(&buf[0], buf.size(), fmt, args...);
    buf.pop_back();
    out += buf;
    out += '\n';
  };
  if (cp) line("/**************************** %8s.c ***********************", name);
  else line("/***************************** %8s.c ************************", name);
  out += '\n';
  line(cp ? "   %s font table and code page structure definitions." : "   %s font table structure definitions.",
       name);
  line("   This file has been auto-generated with the Dotwerk tool.");
  out += '\n';
  line("*****************************************************************/");
  line("#include <gdisphw.h>");
  out += '\n';
  if (cp) {
    line("/* Code page entry (one codepage range element) */");
    line("static struct");
    line("   {");
    line("   GCPHEAD chp;");
    line("   GCP_RANGE cpr[%u];     /* Adjust this index if more codepage segments are added */", rangeCount);
    line("   }");
    line("GCODE FCODE %scp =", name);
    line("   {");
    line("   #include \"%s\" /* Codepage table */", codePageTitle);
    line("   };");
    out += '\n';
  }
  line("typedef struct          /* Structure used for automatic word alignment */");
  line("   {");
  line("   SGUCHAR b[%u];       /* Symbol data, \"variable length\" array */", bytesPerSymbol);
  line("   } GSYMDAT;");
  out += '\n';
  line("/* Symbol table entry with fixed sized symbols */");
  line("static struct");
  line("   {");
  line(cp ? "   %s sh;         /* Symbol header */" : "   %s sh;        /* Symbol header */",
       headerType ? headerType : "GSYMHEAD");
  line("   SGUCHAR b[%u];       /* Symbol data, \"variable length\" */", bytesPerSymbol);
  line("   }");
  line("GCODE FCODE %ssym[%u] =", name, symbolCount);
  line("   {");
  line("   #include \"%s\" /* Include symbols */", symbolTitle ? symbolTitle : "");
  line("   };");
  out += '\n';
  line("/* Font structure */");
  line("GCODE GFONT FCODE %s =", name);
  line("   {");
  line("   %u,       /* width */", width);
  line("   %u,       /* height */", height);
  line("   sizeof(GSYMDAT),    /* number of bytes in a symbol  (must include any alignment padding)*/");
  line("   (PGSYMBOL)%ssym, /* pointer to array of SYMBOLS */", name);
  line("   %u,      /* num symbols */", symbolCount);
  if (cp) line("   (PGCODEPAGE)&%scp", name);
  else line("   (PGCODEPAGE)(NULL)");
  line("   };");
  return out;
}

// Mean of the elements' own widths, rounded up; a set without elements (the
// reader never makes one) gives the element width.
static uint32_t MeanWidth(const DataSet& s) {
  int32_t n = s.elementCount;
  if (n > kMaxElements) n = kMaxElements;
  if (!s.variableElementSizes || n <= 0 || !s.elementWidths) return static_cast<uint32_t>(s.elementWidth);
  int64_t sum = 0;
  for (int32_t i = 0; i < n; ++i) sum += s.elementWidths[i];
  if (sum < 0) sum = 0;
  return static_cast<uint32_t>((sum + n - 1) / n);
}

std::string FormatFontHeader() {
  DataSet& s = g_ed->Cur();
  std::string name = FontIdentifier(s.symbolTitle);
  const char* cpTitle = s.useCodePage ? s.codePageTitle : nullptr;
  int32_t ranges = s.codePageRangeCount < 0 ? 0 : s.codePageRangeCount;
  std::string text = FillFontHeaderTemplate(
      name.c_str(), s.symbolTitle, cpTitle, static_cast<uint32_t>(ranges), static_cast<uint32_t>(s.elementCount),
      MeanWidth(s), static_cast<uint32_t>(s.elementHeight),
      static_cast<uint32_t>(BytesPerSymbol(s, s.elementWidth, s.elementHeight)),
      s.colorMode == 10666 ? "GCSYMHEAD" : "GSYMHEAD");
  text += '\n';
  return text;
}

namespace {
struct HeaderSlots {
  const EditorState* owner = nullptr;
  char path[2][kPathSlot] = {};
  char title[2][kPathSlot] = {};
};
HeaderSlots& Slots() {
  static HeaderSlots h;
  // A fresh editor state starts without a font-header name, as at start-up.
  if (h.owner != g_ed) {
    h = HeaderSlots();
    h.owner = g_ed;
  }
  return h;
}
}  // namespace

char* FontHeaderPath() { return Slots().path[g_ed ? g_ed->currentDataSet & 1 : 0]; }
char* FontHeaderTitle() { return Slots().title[g_ed ? g_ed->currentDataSet & 1 : 0]; }

static const char* FileNamePart(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  return name;
}

bool DeriveFilePath(const char* source, const char* extension, char* outPath, char* outTitle) {
  std::string src = source ? source : "";
  const char* name = FileNamePart(src.c_str());
  size_t nameAt = static_cast<size_t>(name - src.c_str());
  size_t dot = src.rfind('.');
  std::string path = (dot != std::string::npos && dot >= nameAt) ? src.substr(0, dot) : src;
  path += '.';
  path += extension;
  IPrompter& p = *Svc().prompter;
  if (path.size() > kPathSlot - 1) {
    p.Ask(path.c_str(), "File name too long", MBX_OK | MBX_ICONEXCLAMATION);
    return false;
  }
  if (path == src) {
    // Writing there would overwrite the file it was derived from.
    p.Ask(path.c_str(), "File name equals the symbol file", MBX_OK | MBX_ICONEXCLAMATION);
    return false;
  }
  CopyText(outPath, kPathSlot, path.c_str());
  CopyText(outTitle, kPathSlot, FileNamePart(outPath));
  return true;
}

bool WriteFontHeader() {
  IWindowOps& w = *Svc().windows;
  w.WaitCursor(true);
  bool ok = WriteTextFileSafely(FontHeaderPath(), FormatFontHeader(), false);
  w.WaitCursor(false);
  return ok;
}

bool SaveFontHeaderAs() {
  DataSet& s = g_ed->Cur();
  char path[kPathSlot], title[kPathSlot];
  CopyText(path, sizeof path, FontHeaderPath());
  CopyText(title, sizeof title, FontHeaderTitle());
  FileChoice c;
  c.save = true;
  c.path = path;
  c.title = title;
  c.initialDir = s.initialDir;
  c.filterIndex = LastFilterIndex();
  if (!Chooser().Choose(c)) {
    char text[80];
    std::snprintf(text, sizeof text, "Err %ld in Save File Common Dialog", static_cast<long>(c.extendedError));
    Svc().prompter->Ask(text, kProgramTitle, MBX_OK | MBX_ICONINFORMATION);
    return false;
  }
  LastFilterIndex() = c.filterIndex;
  CopyText(FontHeaderPath(), kPathSlot, path);
  CopyText(FontHeaderTitle(), kPathSlot, title);
  RememberFileDirectory(s.symbolPath);
  return WriteFontHeader();
}

void CommandSaveCodePageFileAs() {
  DataSet& s = g_ed->Cur();
  if (!s.codePagePath[0] && !DeriveFilePath(s.symbolPath, "cp", s.codePagePath, s.codePageTitle)) return;
  SaveCodePageFileAs();
}

void CommandSaveFontHeaderAs() {
  DataSet& s = g_ed->Cur();
  if (!FontHeaderPath()[0] && !DeriveFilePath(s.symbolPath, "c", FontHeaderPath(), FontHeaderTitle())) return;
  SaveFontHeaderAs();
}

void CommandImportTextAsCodePage(int) {
  DataSet& s = g_ed->Cur();
  int32_t tool = s.currentTool;
  // The mouse code-page tool ends first; the import runs as tool 10651 (the
  // ToolBox button's command) whichever of the two commands started it.
  if (tool == 10356) tool = s.previousTool;
  s.currentTool = 10651;
  MakeCodePageFromText();
  s.currentTool = tool;
  // The import may have switched the code page on; its menu items follow.
  DisableDataSetMenus(g_ed->currentDataSet);
  EnableDataSetMenus(g_ed->currentDataSet);
  UpdateCodePageViewScrollBars();
  IWindowOps& w = *Svc().windows;
  w.InvalidateWorkSheet(true);
  w.Invalidate(WIN_CODEPAGE, true);
  w.Invalidate(WIN_FONTVIEW, true);
}

bool SaveAllCodePageAndFontHeader() {
  DataSet& s = g_ed->Cur();
  if (s.bwFileFormat != 1027 || s.viewMode == 10097) return true;
  bool ok = true;
  if (s.useCodePage) {
    if (!s.codePagePath[0]) {
      CopyText(s.codePagePath, kPathSlot, "NewCodePageFile.cp");
      CopyText(s.codePageTitle, kPathSlot, "NewCodePageFile.cp");
      ok = SaveCodePageFileAs();
    } else {
      ok = WriteCodePageFile();
    }
  }
  if (!DeriveFilePath(s.symbolPath, "c", FontHeaderPath(), FontHeaderTitle())) return false;
  return WriteFontHeader() && ok;
}

}  // namespace dw
