#include "files/CodePageFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/CodePageDialogs.h"
#include "core/EditorState.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "files/FileChooser.h"
#include "files/FileIo.h"
#include "files/FileServices.h"
#include "views/StatusLine.h"

namespace dw {
namespace {

const char kTooManyRanges[] = "Maximum number of CodePage Ranges (%d) reached, have to stop";

// One number of a code-page file, byte by byte with the rules of
// ParseNumber: radix 10 until an 'x' right after a '0'; hexadecimal letters
// add digits in either radix; other bytes are skipped unless they end the
// field. Unsigned arithmetic wraps, as the dialogs' parser does, so values
// written from negative table entries ("0xFFFFFFFF") come back unchanged.
struct NumberField {
  uint32_t value = 0, radix = 10;
  int previous = 0;
  void Feed(int c) {
    if (c >= '0' && c <= '9') value = value * radix + static_cast<uint32_t>(c - '0');
    else if (c >= 'A' && c <= 'F') value = value * radix + static_cast<uint32_t>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') value = value * radix + static_cast<uint32_t>(c - 'a' + 10);
    else if ((c == 'x' || c == 'X') && previous == '0') radix = 16;
    previous = c;
  }
};

// Reads a number up to (and including) one of the terminators; returns the
// terminator met, or -1 at the end of the file.
int ReadField(IByteSource& in, const char* terminators, uint32_t* value) {
  NumberField f;
  for (;;) {
    int c = in.Next();
    if (c < 0) {
      *value = f.value;
      return -1;
    }
    if (std::strchr(terminators, c)) {
      *value = f.value;
      return c;
    }
    f.Feed(c);
  }
}

// Skips up to and including byte `target`; false at the end of the file.
bool SkipPast(IByteSource& in, int target) {
  for (;;) {
    int c = in.Next();
    if (c < 0) return false;
    if (c == target) return true;
  }
}

// The descriptor: up to and including the first "*/", or for "//" the end
// of its line.
bool SkipDescriptor(IByteSource& in, bool lineComment) {
  if (lineComment) return SkipPast(in, '\n');
  int previous = 0;
  for (;;) {
    int c = in.Next();
    if (c < 0) return false;
    if (previous == '*' && c == '/') return true;
    previous = c;
  }
}

struct Header {
  bool haveCount = false, haveDefault = false;
  uint32_t count = 0, defaultChar = 0;
};

// The header "{count,default},{": the count ends at ',' whatever its value,
// so an empty code page keeps its default character.
Header ReadHeader(IByteSource& in, bool lineComment) {
  Header h;
  if (!SkipDescriptor(in, lineComment)) return h;
  if (!SkipPast(in, '{')) return h;
  int t = ReadField(in, ",}", &h.count);
  if (t < 0) return h;
  h.haveCount = true;
  if (t == ',') {
    t = ReadField(in, "}", &h.defaultChar);
    if (t < 0) return h;
    h.haveDefault = true;
  }
  if (SkipPast(in, '{')) in.Next();
  return h;
}

// One range "{ start, end, base }" and the byte after it. False when the
// file ends inside it.
bool ReadRange(IByteSource& in, uint32_t* s, uint32_t* e, uint32_t* b) {
  if (!SkipPast(in, '{')) return false;
  if (ReadField(in, ",", s) < 0) return false;
  if (ReadField(in, ",", e) < 0) return false;
  if (ReadField(in, "}", b) < 0) return false;
  // The writer always puts one byte after '}'; a file that ends right there
  // still holds the whole range, so it is kept.
  in.Next();
  return true;
}

}  // namespace

int32_t ReadCodePageInto(IByteSource& in, const CodePageTable& t, bool lineComment, bool* truncated) {
  if (truncated) *truncated = false;
  if (!t.Valid()) return 0;
  Header h = ReadHeader(in, lineComment);
  ClearCodePageRanges(t);
  if (h.haveDefault) *t.defaultChar = static_cast<int32_t>(h.defaultChar);
  uint32_t declared = h.haveCount ? h.count : 0;
  for (uint32_t i = 0; i < declared; ++i) {
    if (*t.count >= kMaxCodePageRanges) {
      // No room past entry 16384: the rest of the declared ranges are skipped.
      if (truncated) *truncated = true;
      break;
    }
    uint32_t s, e, b;
    if (!ReadRange(in, &s, &e, &b)) break;
    AddCodePageRange(t, static_cast<int32_t>(s), static_cast<int32_t>(e), static_cast<int32_t>(b));
  }
  return *t.count;
}

int32_t ReadCodePageFile(IByteSource& in, bool lineComment) {
  bool truncated = false;
  int32_t n = ReadCodePageInto(in, CurrentCodePage(), lineComment, &truncated);
  if (truncated) {
    char text[96];
    std::snprintf(text, sizeof text, kTooManyRanges, kMaxCodePageRanges);
    Svc().prompter->Ask(text, kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION);
  }
  UpdateCodePageViewScrollBars();
  return n;
}

std::string FormatCodePageFile(const CodePageTable& t, const char* title) {
  std::string out;
  char line[1024];
  std::snprintf(line, sizeof line, "/*W  %s    Dotwerk FileDescriptor: Do not edit or move */\r\n",
                title ? title : "");
  out += line;
  int32_t n = t.Valid() ? *t.count : 0;
  if (n < 0) n = 0;
  if (n > kMaxCodePageRanges) n = kMaxCodePageRanges;
  uint32_t def = t.Valid() ? static_cast<uint32_t>(*t.defaultChar) : 0x20u;
  std::snprintf(line, sizeof line,
                "{%d,0x%02X},{ /*  First number is number of ranges, last number is default Character F.x. "
                "ASCII space  */\r\n",
                static_cast<int>(n), static_cast<unsigned>(def));
  out += line;
  for (int32_t i = 0; i < n; ++i) {
    uint32_t s = static_cast<uint32_t>(t.startChar[i]), e = static_cast<uint32_t>(t.endChar[i]);
    std::snprintf(line, sizeof line, "{ 0x%04X, 0x%04X, 0x%04X }%s/* Segment %d, 0x%04X Symbols */\r\n",
                  static_cast<unsigned>(s), static_cast<unsigned>(e), static_cast<unsigned>(t.symbolBase[i]),
                  i + 1 < n ? "," : "", static_cast<int>(i), static_cast<unsigned>(e - s + 1u));
    out += line;
  }
  out += "}\r\n";
  return out;
}

bool WriteTextFileSafely(const char* path, const std::string& text, bool lineByLine) {
  IPrompter& p = *Svc().prompter;
  SafeFileWriter out;
  if (!out.Open(path)) {
    p.Ask(path, "Cannot Open File for Writing: Access denied", MBX_OK);
    return false;
  }
  // Line by line where the file is read back line by line, so a full disk
  // is met where it happens; the old file stays until the new one is whole.
  size_t from = 0;
  while (from < text.size()) {
    size_t eol = lineByLine ? text.find('\n', from) : std::string::npos;
    size_t to = eol == std::string::npos ? text.size() : eol + 1;
    if (!out.Write(text.data() + from, to - from)) break;
    from = to;
  }
  if (out.Commit()) return true;
  int err = out.Error();
  if (err == kErrNoSpace) p.Ask("Out of disk space", "Write Error", MBX_OK | MBX_ICONEXCLAMATION);
  else if (err == kErrBadFile) p.Ask("Invalid file handle", "Write Error", MBX_OK | MBX_ICONEXCLAMATION);
  else p.Ask(path, "Cannot Open File for Writing: Access denied", MBX_OK);
  return false;
}

bool WriteCodePageFile() {
  DataSet& s = g_ed->Cur();
  IWindowOps& w = *Svc().windows;
  w.WaitCursor(true);
  bool ok = WriteTextFileSafely(s.codePagePath, FormatCodePageFile(CurrentCodePage(), s.codePageTitle), true);
  w.WaitCursor(false);
  return ok;
}

bool SaveCodePageFileAs() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  char path[kPathSlot], title[kPathSlot];
  CopyText(path, sizeof path, s.codePagePath);
  CopyText(title, sizeof title, s.codePageTitle);
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
  CopyText(s.codePagePath, kPathSlot, path);
  CopyText(s.codePageTitle, kPathSlot, title);
  RememberFileDirectory(s.symbolPath);
  bool ok = WriteCodePageFile();
  if (ok) s.useCodePage = 1;
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  return ok;
}

int32_t BuildCodePageFromText(const uint8_t* bytes, size_t size, int32_t format, const CodePageTable& t,
                              bool* full) {
  if (full) *full = false;
  if (!t.Valid()) return 0;
  // One counter per character and a last one that stays 0, so a run that
  // reaches 0xFFFF is closed like any other.
  std::vector<uint32_t> counts(65537, 0);
  if (format == CPTEXT_ASCII) {
    for (size_t i = 0; i < size; ++i) ++counts[bytes[i]];
  } else {
    bool le = format == CPTEXT_UTF16LE;
    for (size_t i = 0; i + 1 < size; i += 2) {
      unsigned c = le ? bytes[i + 1] * 256u + bytes[i] : bytes[i] * 256u + bytes[i + 1];
      ++counts[c];
    }
  }
  ClearCodePageRanges(t);
  int32_t n = 0, base = 0;
  int32_t start = -1;
  for (int32_t c = 0; c <= 65536; ++c) {
    if (counts[static_cast<size_t>(c)] != 0) {
      if (start < 0) start = c;
      continue;
    }
    if (start < 0) continue;
    // Ranges come in start order, so each is appended at the end.
    t.startChar[n] = start;
    t.endChar[n] = c - 1;
    t.symbolBase[n] = base;
    base += c - start;
    ++n;
    start = -1;
    if (n >= kMaxCodePageRanges) {
      if (full) *full = true;
      break;
    }
  }
  *t.count = n;
  uint32_t best = 0;
  int32_t def = 0;
  for (int32_t c = 0; c < 65536; ++c) {
    if (counts[static_cast<size_t>(c)] > best) {
      best = counts[static_cast<size_t>(c)];
      def = c;
    }
  }
  *t.defaultChar = def;
  return n;
}

// The whole of a file through the file layer; false when it cannot be opened.
static bool ReadWholeFile(const char* path, std::string* bytes) {
  int fd = Files().Open(path, FILE_READ);
  if (fd < 0) return false;
  bytes->clear();
  std::vector<char> buf(65536);
  for (;;) {
    // A read error ends the reading like the end of the file.
    int n = Files().Read(fd, buf.data(), static_cast<unsigned>(buf.size()));
    if (n <= 0) break;
    bytes->append(buf.data(), static_cast<size_t>(n));
  }
  Files().Close(fd);
  return true;
}

int MakeCodePageFromText() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IPrompter& p = *Svc().prompter;
  char path[kPathSlot], title[kPathSlot];
  CopyText(path, sizeof path, s.textPath);
  CopyText(title, sizeof title, s.textTitle);
  static int32_t filterIndex = 1;  // remembered from the last import
  FileChoice c;
  c.path = path;
  c.title = title;
  c.initialDir = s.initialDir;
  c.filter = "All (*.*)";
  c.filterIndex = filterIndex;
  if (!Chooser().Choose(c)) return 0;
  filterIndex = c.filterIndex;
  if (std::strchr(path, '*')) {
    p.Ask(path, "Cannot Open File: * in File Name", MBX_OK);
    return 0;
  }
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    p.Ask(path, "Cannot Open File Text for Reading, Access denied", MBX_OK);
    return 0;
  }
  CopyText(s.textPath, kPathSlot, path);
  CopyText(s.textTitle, kPathSlot, title);
  int32_t format = st.cfg.codePageTextFormat;
  if (!RunCodePageTextFormatDialog(&format)) return 0;
  if (format != CPTEXT_ASCII && format != CPTEXT_UTF16LE && format != CPTEXT_UTF16BE) format = CPTEXT_ASCII;
  st.cfg.codePageTextFormat = format;
  s.useCodePage = 1;
  bool full = false;
  BuildCodePageFromText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), format, CurrentCodePage(),
                        &full);
  if (full) {
    char text[96];
    std::snprintf(text, sizeof text, kTooManyRanges, kMaxCodePageRanges);
    p.Ask(text, "Make CodePage from Text", MBX_OK | MBX_ICONEXCLAMATION);
  }
  return 0;
}

}  // namespace dw
