#include "files/SymbolFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/EditorState.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "files/FileChooser.h"
#include "files/FileIo.h"
#include "files/FileServices.h"
#include "core/MenuState.h"
#include "views/CodePage.h"
#include "views/StatusLine.h"

namespace dw {

// ---------------------------------------------------------------- packing

static bool IsVertical(const PackLayout& l) { return l.byteOrganization == 1033; }
static bool IsTopBottom(const PackLayout& l) { return l.bitOrganization == 1029 || l.bitOrganization == 1030; }

bool IsRunLayout(const PackLayout& l) { return IsVertical(l) == IsTopBottom(l); }

int32_t PackedGroupLength(const PackLayout& l, int32_t w, int32_t h) {
  if (IsVertical(l)) return IsTopBottom(l) ? (h + 7) / 8 : h;
  return IsTopBottom(l) ? w : (w + 7) / 8;
}

int32_t PackedByteCount(const PackLayout& l, int32_t w, int32_t h) {
  if (w <= 0 || h <= 0) return 0;
  if (IsVertical(l)) return IsTopBottom(l) ? w * ((h + 7) / 8) : ((w + 7) / 8) * h;
  return IsTopBottom(l) ? ((h + 7) / 8) * w : h * ((w + 7) / 8);
}

void PackedBitCell(const PackLayout& l, int32_t w, int32_t h, int32_t k, int b, int32_t* x, int32_t* y) {
  int32_t n = PackedGroupLength(l, w, h);
  if (n <= 0) {
    *x = w;
    *y = h;
    return;
  }
  int32_t major = k / n, minor = k % n;
  // Within a run of 8 cells: Top and Left put bit 0 first, Bottom and Right bit 7.
  bool lowFirst = l.bitOrganization == 1029 || l.bitOrganization == 1032;
  int32_t off = lowFirst ? b : 7 - b;
  if (IsVertical(l)) {
    if (IsTopBottom(l)) {  // columns from the left, bytes from the top
      *x = major;
      *y = minor * 8 + off;
    } else {  // stripes of 8 columns, one byte per row
      *x = major * 8 + off;
      *y = minor;
    }
  } else {
    if (IsTopBottom(l)) {  // stripes of 8 rows, one byte per column
      *x = minor;
      *y = major * 8 + off;
    } else {  // rows from the top, bytes from the left
      *x = minor * 8 + off;
      *y = major;
    }
  }
}

// The cells of byte k's bits: bit b's cell is (x + b * dx, y + b * dy), as
// PackedBitCell gives it, worked out once a byte.
static void PackedByteCells(const PackLayout& l, int32_t w, int32_t h, int32_t k, int32_t* x, int32_t* y, int32_t* dx,
                            int32_t* dy) {
  PackedBitCell(l, w, h, k, 0, x, y);
  int32_t x1 = 0, y1 = 0;
  PackedBitCell(l, w, h, k, 1, &x1, &y1);
  *dx = x1 - *x;
  *dy = y1 - *y;
}

// "0x" and the byte in two upper-case hex digits.
static void AppendHexByte(std::string* out, uint32_t byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  const char text[4] = {'0', 'x', kDigits[(byte >> 4) & 0xF], kDigits[byte & 0xF]};
  out->append(text, sizeof text);
}

char MarkCharacter(const PackLayout& l) {
  if (IsVertical(l)) {
    switch (l.bitOrganization) {
      case 1031: return '$';
      case 1032: return '#';
      default: return static_cast<char>(0xA4);
    }
  }
  switch (l.bitOrganization) {
    case 1029: return '@';
    case 1030: return static_cast<char>(0xA7);
    case 1032: return '&';
    default: return '%';
  }
}

// ---------------------------------------------------------------- helpers

HeaderComments& HeaderCommentsOf(int set) {
  static HeaderComments comments[2];
  return comments[set & 1];
}

std::string MakeCIdentifier(const std::string& title) {
  std::string name = title.substr(0, title.find('.'));
  if (name.size() > 1023) name.resize(1023);
  for (char& c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) c = '_';
  }
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) name.insert(name.begin(), '_');
  return name;
}

std::string CharacterLiteral(uint8_t c, bool singleIcon) {
  switch (c) {
    case 0: return "\\0";
    case '"': return "\\\"";
    case '\'': return "\\'";
    case '\\': return "\\\\";
    default: break;
  }
  // A single icon's control or high character is escaped too, so the file
  // stays plain text (the reader takes either form).
  int top = singleIcon ? 126 : 127;
  if (c < 32 || c > top) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02x", c);
    return buf;
  }
  return std::string(1, static_cast<char>(c));
}

static uint32_t CellValue(DataSet& s, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= kMaxPictureWidth || y >= kMaxPictureHeight) return 0;
  return s.cells[static_cast<size_t>(x) * kColumnStride + y];
}

static void SetCell(DataSet& s, int32_t x, int32_t y, uint32_t v) {
  if (x < 0 || y < 0 || x >= kMaxPictureWidth || y >= kMaxPictureHeight) return;
  if (x >= s.pictureWidth || y >= s.pictureHeight) return;
  WidenCells(s, static_cast<int64_t>(x) + 1, static_cast<int64_t>(y) + 1);
  s.cells[static_cast<size_t>(x) * kColumnStride + y] = v;
}

static std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
static std::string Format(const char* fmt, ...) {
  char buf[1200];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

static void Message(const char* text, const char* caption, unsigned flags) {
  if (Svc().prompter) Svc().prompter->Ask(text, caption, flags);
}

void ReportWriteError(int err) {
  Message(err == kErrNoSpace ? "Out of disk space" : "Invalid file handle", "Write Error", MBX_OK | MBX_ICONEXCLAMATION);
}

void ReportCreateError(const char* path) {
  Message(path, "Cannot Open File for Writing: Access denied", MBX_OK | MBX_ICONEXCLAMATION);
}

// ---------------------------------------------------------------- writing

// Writes one element record: head, character literal, sizes and the bytes
// of the active area.
static int WriteElementRecord(SafeFileWriter& out, DataSet& s, int32_t element, int32_t recW, int32_t recH,
                              bool singleIcon) {
  std::string head;
  int32_t ch = ElementToChar(element);
  if (s.useHexInCodePage)
    head = Format("\r\n/* Element 0x%04X - Char 0x%04X */\r\n{{", static_cast<unsigned>(element),
                  static_cast<unsigned>(ch));
  else
    head = Format("\r\n/* Element %d - Char %d */\r\n{{", static_cast<int>(element), static_cast<int>(ch));
  bool literal = s.bwFileFormat == 1028 || (s.bwFileFormat == 1026 && !s.noCharInElement);
  if (literal) {
    uint8_t c = singleIcon ? static_cast<uint8_t>(s.elementChar) : s.elementChars[element & (kMaxElements - 1)];
    head += "'" + CharacterLiteral(c, singleIcon) + "', ";
  }
  head += Format("%d, %d},{\r\n", static_cast<int>(recW), static_cast<int>(recH));
  if (!out.Write(head)) return out.Error();

  PackLayout l{s.byteOrganization, s.bitOrganization};
  int32_t w = s.activeRight - s.activeLeft, h = s.activeBottom - s.activeTop;
  int32_t total = PackedByteCount(l, w, h);
  int32_t group = PackedGroupLength(l, w, h);
  char mark = MarkCharacter(l);
  bool run = IsRunLayout(l);
  std::string items, pictures;
  for (int32_t k = 0; k < total; ++k) {
    uint8_t byte = 0;
    int32_t x, y, dx, dy;
    PackedByteCells(l, w, h, k, &x, &y, &dx, &dy);
    for (int b = 0; b < 8; ++b, x += dx, y += dy) {
      if (x < w && y < h && CellValue(s, s.activeLeft + x, s.activeTop + y) != 0) byte |= static_cast<uint8_t>(1u << b);
    }
    bool last = k == total - 1;
    char pic[9];
    for (int b = 7; b >= 0; --b) pic[7 - b] = (byte >> b) & 1 ? mark : '.';
    pic[8] = '\0';
    if (run) {
      AppendHexByte(&items, byte);
      items += last ? ' ' : ',';
      pictures += pic;
      int32_t inGroup = k % group;
      bool lineEnd = last || inGroup == group - 1 || (inGroup % 8) == 7;
      if (lineEnd) {
        if (!out.Write(items + "  /*  " + pictures + "  */\r\n")) return out.Error();
        items.clear();
        pictures.clear();
      }
    } else {
      std::string line;
      AppendHexByte(&line, byte);
      line += last ? "     /*  " : ",    /*  ";
      line += pic;
      line += "  */\r\n";
      // An empty line after each stripe but the last.
      if (!last && k % group == group - 1) line += "\r\n";
      if (!out.Write(line)) return out.Error();
    }
  }
  if (!out.Write("}}\r\n")) return out.Error();
  return 0;
}

static std::string TitleOf(const DataSet& s) {
  if (s.symbolTitle[0]) return s.symbolTitle;
  const char* p = s.symbolPath;
  const char* b = std::strrchr(p, '\\');
  const char* f = std::strrchr(p, '/');
  if (f && (!b || f > b)) b = f;
  return b ? b + 1 : p;
}

int WriteBwSymbolFile(SafeFileWriter& out) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int set = st.currentDataSet & 1;
  BuildFileDescriptor();
  bool single = s.viewMode == 10097;
  std::string title = TitleOf(s);

  DescriptorLine d;
  d.code = StoredDescriptorCode(set);
  d.group = !single;
  d.fileFormat = s.bwFileFormat;
  d.noCharInElement = s.noCharInElement != 0;
  d.width = s.elementWidth;
  d.height = s.elementHeight;
  d.countX = s.elementCountX;
  d.elementCount = s.elementCount;
  d.useCodePage = s.useCodePage != 0;
  d.codePageTitle = s.codePageTitle;
  d.title = title;
  d.tableName = MakeCIdentifier(title);
  if (!out.Write(ComposeBwDescriptorLine(d))) return out.Error();

  HeaderComments& hc = HeaderCommentsOf(set);
  int n = hc.count < 0 ? 0 : (hc.count > kHeaderCommentLines ? kHeaderCommentLines : hc.count);
  if (n == 0) {
    if (!out.Write("/* Put Your Comments Here */\r\n")) return out.Error();
    n = 1;
  } else {
    for (int i = 0; i < n; ++i) {
      std::string line = hc.lines[i];
      if (st.cfg.convertToAnsi && line.size() >= 2 && line[0] == '/' && line[1] == '/') {
        line[1] = '*';
        line += " */\r\n";
      }
      if (line.empty() || line.back() != '\n') line += "\r\n";
      if (!out.Write(line)) return out.Error();
    }
  }
  for (int i = n; i < kHeaderCommentLines; ++i)
    if (!out.Write("/* */\r\n")) return out.Error();

  int32_t saveL = s.activeLeft, saveT = s.activeTop, saveR = s.activeRight, saveB = s.activeBottom;
  int32_t saveEw = s.elementWidth, saveEh = s.elementHeight;
  int err = 0;
  if (single) {
    s.activeLeft = 0;
    s.activeTop = 0;
    s.activeRight = s.pictureWidth;
    s.activeBottom = s.pictureHeight;
    s.elementWidth = s.pictureWidth;
    s.elementHeight = s.pictureHeight;
    err = WriteElementRecord(out, s, 0, s.pictureWidth, s.pictureHeight, true);
  } else {
    if (s.bwFileFormat == 1026 &&
        !out.Write(Format("sUnit %s[%d] = \n{\n", d.tableName.c_str(), static_cast<int>(s.elementCount))))
      err = out.Error();
    int32_t countX = s.elementCountX > 0 ? s.elementCountX : 1;
    for (int32_t i = 0; !err && i < s.elementCount && i < kMaxElements; ++i) {
      if (i % 7 == 0) {
        st.statusText = Format("Element %d / %d", static_cast<int>(i), static_cast<int>(s.elementCount));
        ShowStatus(0);
      }
      s.activeLeft = (i % countX) * s.elementWidth;
      s.activeTop = (i / countX) * s.elementHeight;
      s.activeRight = s.activeLeft + s.elementWidth;
      s.activeBottom = s.activeTop + s.elementHeight;
      int32_t rw = s.variableElementSizes ? s.elementWidths[i] : s.elementWidth;
      int32_t rh = s.variableElementSizes ? s.elementHeights[i] : s.elementHeight;
      err = WriteElementRecord(out, s, i, rw, rh, false);
      if (!err && i < s.elementCount - 1 && !out.Write(",\r\n")) err = out.Error();
    }
    if (s.bwFileFormat == 1026) out.Write("};\r\n");
  }
  s.activeLeft = saveL;
  s.activeTop = saveT;
  s.activeRight = saveR;
  s.activeBottom = saveB;
  s.elementWidth = saveEw;
  s.elementHeight = saveEh;
  out.Write("\n");
  if (!err) err = out.Error();
  if (!err) {
    st.statusText = Format("Data Saved in %s", s.symbolPath);
    ShowStatus(0);
  }
  return err;
}

bool SaveSymbolFile() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps* w = Svc().windows;
  if (w) w->WaitCursor(true);
  // The other writers (bitmap, binary, colour) arrive with their formats;
  // until then nothing is written for them and the set stays modified.
  bool bw = s.colorMode == 10665;
  if (!bw || s.bwFileFormat < 1026 || s.bwFileFormat > 1028) {
    if (w) w->WaitCursor(false);
    return false;
  }
  SafeFileWriter out;
  if (!out.Open(s.symbolPath)) {
    if (w) w->WaitCursor(false);
    ReportCreateError(s.symbolPath);
    return false;
  }
  int err = WriteBwSymbolFile(out);
  bool ok = !err && out.Commit();
  if (w) w->WaitCursor(false);
  if (!ok) {
    ReportWriteError(err ? err : out.Error());
    return false;
  }
  // The saved state starts the set's history, as an open does: the first
  // edit after a save can be undone back to what the file holds.
  s.undoDepth = 0;
  s.redoCount = 0;
  PushUndo();
  s.modified = false;
  return true;
}

bool SaveSymbolFileAs() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  std::string oldPath = s.symbolPath, oldTitle = s.symbolTitle;
  FileChoice c;
  c.save = true;
  c.path = s.symbolPath;
  c.title = s.symbolTitle;
  c.initialDir = s.initialDir;
  c.filterIndex = LastFilterIndex();
  if (!Chooser().Choose(c)) {
    CopyText(s.symbolPath, kPathSlot, oldPath.c_str());
    CopyText(s.symbolTitle, kPathSlot, oldTitle.c_str());
    std::string text = Format("Err %ld in Save File Common Dialog", static_cast<long>(c.extendedError));
    Message(text.c_str(), kProgramTitle, MBX_OK | MBX_ICONINFORMATION);
    return false;
  }
  LastFilterIndex() = c.filterIndex;
  RememberFileDirectory(s.symbolPath);
  std::string title = std::string(s.symbolTitle) + " - ";
  if (s.useCodePage) title += std::string(s.codePageTitle) + " - ";
  title += kProgramTitle;
  if (Svc().windows) {
    Svc().windows->SetTitle(WIN_MAIN, title.c_str());
    Svc().windows->SetTitle(WIN_PIXELVIEW, (std::string("Pixel View  - ") + s.symbolTitle).c_str());
  }
  bool ok = SaveSymbolFile();
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  return ok;
}

// ---------------------------------------------------------------- reading

namespace {

// Comments of the file, stored into the header comments while fewer than
// 21 are held; shared by the pre-scan and the record reader.
struct CommentTracker {
  enum { NONE, BLOCK, LINE } mode = NONE;
  std::string text;
  int prev = -1;

  void Store(HeaderComments& hc) {
    if (hc.count < kHeaderCommentLines) hc.lines[hc.count++] = text;
  }
  // Feeds a byte while inside a comment; returns true while it was one.
  // Outside, starts a comment on "/*" or "//" and returns true then too.
  bool Feed(int c, HeaderComments& hc) {
    if (mode == NONE) {
      if (prev == '/' && (c == '*' || c == '/')) {
        mode = c == '*' ? BLOCK : LINE;
        text = c == '*' ? "/*" : "//";
        prev = -1;
        return true;
      }
      prev = c;
      return false;
    }
    text += static_cast<char>(c);
    bool closed = mode == BLOCK ? (prev == '*' && c == '/' && text.size() >= 4)
                                : ((prev == '\r' && c == '\n') || (prev == '\n' && c == '\r'));
    if (closed) {
      Store(hc);
      mode = NONE;
      text.clear();
      prev = -1;
      return true;
    }
    if (text.size() >= kHeaderCommentText) {
      // Too long for a slot: close it here and go on in the next one.
      bool block = mode == BLOCK;
      text += block ? "*/" : "\r\n";
      Store(hc);
      text = block ? "/*" : "//";
    }
    prev = c;
    return true;
  }
};

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void Notify(const std::string& text, const char* caption) {
  if (g_ed->fontLoading) return;  // a font being loaded keeps quiet about sizes
  Message(text.c_str(), caption, MBX_OK | MBX_ICONEXCLAMATION);
}

// Fits the grid of `count` elements into the picture.
int32_t FitGrid(DataSet& s, int32_t count) {
  int32_t ew = s.elementWidth < 1 ? 1 : s.elementWidth;
  int32_t eh = s.elementHeight < 1 ? 1 : s.elementHeight;
  int32_t cx = s.elementCountX < 1 ? 1 : s.elementCountX;
  if (static_cast<int64_t>(cx) * ew > kMaxPictureWidth) {
    int32_t nx = kMaxPictureWidth / ew;
    if (nx < 1) nx = 1;
    if (nx != cx) Notify(Format("Element Count X %d reduced to %d", cx, nx), "Line too long");
    cx = nx;
  }
  int32_t rows = (count + cx - 1) / cx;
  if (static_cast<int64_t>(rows) * eh > kMaxPictureHeight) {
    int32_t nx = kMaxPictureWidth / ew;
    if (nx < 1) nx = 1;
    int32_t nrows = (count + nx - 1) / nx;
    if (nx != cx)
      Notify(Format("Element Count X %d increased to %d\nElement Count Y %d reduced to %d", cx, nx, rows, nrows),
             "Column too high");
    else
      Notify(Format("Element Count Y %d reduced to %d", rows, nrows), "Column too high");
    cx = nx;
    rows = nrows;
    if (static_cast<int64_t>(rows) * eh > kMaxPictureHeight) {
      rows = kMaxPictureHeight / eh;
      int32_t n = cx * rows;
      if (n > kMaxElements) n = kMaxElements;
      Notify(Format("There is %d Chars in source but there is only room for %d", count, n), "Too many Elements ");
      count = n;
    }
  }
  if (count > kMaxElements) {
    Notify(Format("There is %d Chars in source but there is only room for %d", count, kMaxElements),
           "Too many Elements");
    count = kMaxElements;
  }
  rows = (count + cx - 1) / cx;
  s.elementCountX = cx;
  // A group shorter than one row gets no empty columns (as the count step
  // of the pre-scan sizes it).
  s.pictureWidth = (count < cx ? count : cx) * ew;
  s.pictureHeight = rows * eh;
  return count;
}

}  // namespace

int32_t ScanSymbolSource(IByteSource& src, const SymbolReadContext& ctx) {
  DataSet& s = g_ed->Cur();
  HeaderComments& hc = HeaderCommentsOf(g_ed->currentDataSet);
  CommentTracker ct;
  enum { NAME, COUNT, AFTER } state = NAME;
  std::string name;
  int64_t count = 0;
  bool hex = false, digits = false;
  int prev = -1;
  for (int c = src.Next(); c >= 0; prev = c, c = src.Next()) {
    if (ct.Feed(c, hc)) {
      if (!name.empty() && name.back() == '/') name.pop_back();
      continue;
    }
    if (state == NAME) {
      if (c == '[') {
        state = COUNT;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        name.clear();
      } else if (name.size() < 1023) {
        name += static_cast<char>(c);
      }
    } else if (state == COUNT) {
      int v = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
      if (!hex && count == 0 && prev == '0' && (c == 'x' || c == 'X')) {
        hex = true;
        continue;
      }
      if (v >= 0) {
        digits = true;
        if (count < 10000000) count = count * (hex ? 16 : 10) + v;
      } else if (digits && count > 0) {
        state = AFTER;
      }
      if (c == '{' && state == AFTER) break;
    } else if (c == '{') {
      break;
    }
  }
  (void)ctx;
  if (count <= 0) return 0;
  int32_t n = static_cast<int32_t>(count);
  if (ctx.defaultCodePage && s.codePageEnd) s.codePageEnd[0] = n - 1;
  n = FitGrid(s, n);
  if (ctx.defaultCodePage && s.codePageEnd) s.codePageEnd[0] = n - 1;
  return n;
}

int InterpretElementCode(IByteSource& src, int32_t element, bool singleIcon) {
  DataSet& s = g_ed->Cur();
  HeaderComments& hc = HeaderCommentsOf(g_ed->currentDataSet);
  CommentTracker ct;
  enum { WAIT, CHAR_OPEN, CHAR_ESC, CHAR_HEX, WIDTH, HEIGHT, WAIT_BRACE, BYTES, BYTE_HEX, WAIT_END } state = WAIT;
  const bool braceStarts = s.bwFileFormat == 1027 || s.noCharInElement;
  int32_t value = 0;
  bool hex = false;
  int prev = -1;
  int32_t k = 0, total = 0, aw = 0, ah = 0;
  int digitsInByte = 0;
  PackLayout l{s.byteOrganization, s.bitOrganization};
  const int32_t slot = element & (kMaxElements - 1);

  auto storeChar = [&](int32_t c) {
    if (singleIcon) s.elementChar = c & 0xFF;
    else s.elementChars[slot] = static_cast<uint8_t>(c);
  };
  auto spreadByte = [&](uint32_t byte) {
    int32_t x, y, dx, dy;
    PackedByteCells(l, aw, ah, k, &x, &y, &dx, &dy);
    for (int b = 0; b < 8; ++b, x += dx, y += dy) {
      if (x < aw && y < ah) SetCell(s, s.activeLeft + x, s.activeTop + y, (byte >> b) & 1);
    }
    ++k;
  };

  for (int c = src.Next(); c >= 0; prev = c, c = src.Next()) {
    switch (state) {
      case WAIT:
        if (ct.Feed(c, hc)) break;
        if (c == '\'') state = CHAR_OPEN;
        else if (c == '{' && braceStarts) state = WIDTH, value = 0, hex = false;
        break;
      case CHAR_OPEN:
        if (c == '\\') {
          state = CHAR_ESC;
        } else {
          storeChar(c);
          state = WIDTH, value = 0, hex = false;
        }
        break;
      case CHAR_ESC:
        if (c == 'x' || c == 'X') {
          state = CHAR_HEX;
          value = 0;
        } else {
          storeChar(c == '0' ? 0 : c);
          state = WIDTH, value = 0, hex = false;
        }
        break;
      case CHAR_HEX:
        if (HexValue(c) >= 0) {
          value = ((value << 4) | HexValue(c)) & 0xFFFF;
        } else {
          storeChar(value);
          state = WIDTH, value = 0, hex = false;
        }
        break;
      case WIDTH:
      case HEIGHT: {
        if (!hex && value == 0 && prev == '0' && (c == 'x' || c == 'X')) {
          hex = true;
          break;
        }
        int v = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (v >= 0) {
          if (value < 0x100000) value = value * (hex ? 16 : 10) + v;
          break;
        }
        if (value == 0) break;
        if (state == WIDTH) {
          if (singleIcon) {
            if (value > kMaxPictureWidth) {
              Message("X outside range", "Read elements", MBX_OK | MBX_ICONEXCLAMATION);
              return -1;
            }
            s.elementWidth = value;
            if (s.pictureWidth == 0) {
              s.pictureWidth = value;
              s.activeRight = s.activeLeft + value;
            }
          } else {
            if (value > kMaxPictureWidth) value = kMaxPictureWidth;
            s.elementWidths[slot] = value;
            if (value != s.elementWidth) s.variableElementSizes = true;
          }
          state = HEIGHT;
        } else {
          if (singleIcon) {
            if (value > kMaxPictureHeight) {
              Message("Y outside range", "Read elements", MBX_OK | MBX_ICONEXCLAMATION);
              return -1;
            }
            s.elementHeight = value;
            if (s.pictureHeight == 0) {
              s.pictureHeight = value;
              s.activeBottom = s.activeTop + value;
            }
          } else {
            if (value > kMaxPictureHeight) value = kMaxPictureHeight;
            s.elementHeights[slot] = value;
            if (value != s.elementHeight) s.variableElementSizes = true;
          }
          state = WAIT_BRACE;
        }
        value = 0;
        hex = false;
        break;
      }
      case WAIT_BRACE:
        if (c == '{') {
          state = BYTES;
          aw = s.activeRight - s.activeLeft;
          ah = s.activeBottom - s.activeTop;
          total = PackedByteCount(l, aw, ah);
          k = 0;
          if (total == 0) state = WAIT_END;
        }
        break;
      case BYTES:
        if (c == '}') return 1;
        if (prev == '0' && (c == 'x' || c == 'X')) {
          state = BYTE_HEX;
          value = 0;
          digitsInByte = 0;
        }
        break;
      case BYTE_HEX: {
        int v = HexValue(c);
        if (v >= 0) {
          value = ((value << 4) | v) & 0xFFFF;
          ++digitsInByte;
          break;
        }
        if (digitsInByte > 0) spreadByte(static_cast<uint32_t>(value) & 0xFF);
        state = k >= total ? WAIT_END : BYTES;
        if (c == '}') return 1;
        break;
      }
      case WAIT_END:
        if (c == '}') return 1;
        break;
    }
  }
  return 0;
}

int ReadSymbolElements(IByteSource& src, const SymbolReadContext& ctx) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  HeaderCommentsOf(st.currentDataSet).count = 0;
  if (!ctx.group) {
    s.pictureWidth = 0;
    s.pictureHeight = 0;
    s.activeLeft = s.activeTop = s.activeRight = s.activeBottom = 0;
    int r = InterpretElementCode(src, 0, true);
    if (r <= 0 || s.pictureWidth <= 0 || s.pictureHeight <= 0) {
      if (r == 0) {
        std::string text = Format("Unexpected End Of File in %s\nat or near Element number %d\nInterpretation abandoned!",
                                  ctx.path, 0);
        Message(text.c_str(), "Read Error", MBX_OK | MBX_ICONEXCLAMATION);
      }
      return 0;
    }
    s.elementCount = 1;
    s.elementCountX = 1;
    return 1;
  }
  if (ctx.preScan) {
    int32_t n = ScanSymbolSource(src, ctx);
    if (n > 0) s.elementCount = n;
  }
  if (s.elementCount < 1) return 0;
  if (s.elementCount > kMaxElements) s.elementCount = kMaxElements;
  if (!ctx.preScan) FitGrid(s, s.elementCount);
  st.statusText.clear();
  int32_t countX = s.elementCountX;
  int32_t count = s.elementCount;
  for (int32_t i = 0; i < count; ++i) {
    if (i % 7 == 0) {
      st.statusText = Format("Element %d / %d", static_cast<int>(i), static_cast<int>(count));
      ShowStatus(0);
    }
    s.activeLeft = (i % countX) * s.elementWidth;
    s.activeTop = (i / countX) * s.elementHeight;
    s.activeRight = s.activeLeft + s.elementWidth;
    s.activeBottom = s.activeTop + s.elementHeight;
    if (s.activeRight > kMaxPictureWidth) Message("X outside range", "Read elements", MBX_OK);
    if (s.activeBottom > kMaxPictureHeight) Message("Y outside range", "Read elements", MBX_OK);
    if (InterpretElementCode(src, i, false) != 1) {
      std::string text = Format("Unexpected End Of File in %s\nat or near Element number %d\nInterpretation abandoned!",
                                ctx.path, static_cast<int>(i));
      Message(text.c_str(), "Read Error", MBX_OK | MBX_ICONEXCLAMATION);
      s.elementCount = i;
      break;
    }
  }
  s.activeLeft = 0;
  s.activeTop = 0;
  s.activeRight = s.elementWidth;
  s.activeBottom = s.elementHeight;
  if (Svc().windows) Svc().windows->SetTitle(WIN_TOOLBOX, "ToolBox");
  return s.elementCount >= 1 ? 1 : 0;
}

}  // namespace dw
