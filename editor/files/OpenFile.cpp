#include "files/OpenFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/CodePageDialogs.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "files/CodePageFile.h"
#include "files/FileChooser.h"
#include "files/FileDescriptor.h"
#include "files/FileIo.h"
#include "files/FileServices.h"
#include "files/SymbolFile.h"
#include "views/StatusLine.h"

namespace dw {

void SetBackup::Take() {
  set = g_ed->currentDataSet & 1;
  DataSet& s = g_ed->set[set];
  // Only the part in use, its columns one after the other.
  CellColumnsInUse(s);
  cells.resize(static_cast<size_t>(s.cellColumnsUsed) * static_cast<size_t>(s.cellRowsUsed));
  cellsKept = SaveAllCells(s, cells.data(), true);
  fields = s;
  palette.assign(s.palette, s.palette + kMaxPaletteEntries);
  widthsKept = KeepArray(s.elementWidths, kMaxElements, &widths);
  heightsKept = KeepArray(s.elementHeights, kMaxElements, &heights);
  charsKept = KeepArray(s.elementChars, kMaxElements, &chars);
  cpBaseKept = KeepArray(s.codePageBase, kCodePageEntries, &cpBase);
  cpStartKept = KeepArray(s.codePageStart, kCodePageEntries, &cpStart);
  cpEndKept = KeepArray(s.codePageEnd, kCodePageEntries, &cpEnd);
  comments = HeaderCommentsOf(set);
  code = StoredDescriptorCode(set);
}

void SetBackup::Restore() {
  DataSet& s = g_ed->set[set];
  // The live store's bookkeeping stays with the live store until the
  // restore below replaces it.
  CellColumnsInUse(s);
  const int32_t liveColumns = s.cellColumnsUsed, liveRows = s.cellRowsUsed;
  const uint32_t liveRest = s.cellRest;
  s = fields;  // the store pointers are the same
  s.cellColumnsUsed = liveColumns;
  s.cellRowsUsed = liveRows;
  s.cellRest = liveRest;
  RestoreAllCells(s, cells.data(), cellsKept);
  std::memcpy(s.palette, palette.data(), palette.size() * sizeof(uint32_t));
  RestoreArray(s.elementWidths, widths.data(), kMaxElements, widthsKept);
  RestoreArray(s.elementHeights, heights.data(), kMaxElements, heightsKept);
  RestoreArray(s.elementChars, chars.data(), kMaxElements, charsKept);
  RestoreArray(s.codePageBase, cpBase.data(), kCodePageEntries, cpBaseKept);
  RestoreArray(s.codePageStart, cpStart.data(), kCodePageEntries, cpStartKept);
  RestoreArray(s.codePageEnd, cpEnd.data(), kCodePageEntries, cpEndKept);
  HeaderCommentsOf(set) = comments;
  SetStoredDescriptorCode(set, code);
}


const char kUnknownFormatText[] =
    "Unknown format\n\nIf this is a C-format it MUST start with /* */\n else try the Import Binary or C utility "
    "AFTER setting the appropriate parameters in the Setup menu";

namespace {

void Message(const char* text, const char* caption, unsigned flags) {
  if (Svc().prompter) Svc().prompter->Ask(text, caption, flags);
}

void UnknownFormat() { Message(kUnknownFormatText, kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION); }

bool IsOpener(uint8_t b0, uint8_t b1) { return b0 == '/' && (b1 == '/' || b1 == '*'); }

// Holds the file open for one call and closes it on every way out.
struct HeldFile {
  int fd;
  explicit HeldFile(int f) : fd(f) {}
  ~HeldFile() {
    if (fd >= 0) Files().Close(fd);
  }
};

OpenKind g_lastKind = OPEN_UNKNOWN;

void SetMainTitle() {
  const DataSet& s = g_ed->Cur();
  std::string title = std::string(s.symbolTitle) + " - ";
  if (s.useCodePage) title += std::string(s.codePageTitle) + " - ";
  title += kProgramTitle;
  if (Svc().windows) Svc().windows->SetTitle(WIN_MAIN, title.c_str());
}

void SetViewModeQuietly(DataSet& s, int32_t mode) {
  if (s.viewMode == mode) return;
  if (Svc().menu) {
    Svc().menu->Check(s.viewMode, false);
    Svc().menu->Check(mode, true);
  }
  s.viewMode = mode;
}

std::string DirectoryOf(const char* path) {
  const char* b = std::strrchr(path, '\\');
  const char* f = std::strrchr(path, '/');
  if (f && (!b || f > b)) b = f;
  return b ? std::string(path, static_cast<size_t>(b - path) + 1) : std::string();
}

std::string NameOf(const std::string& path) {
  size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? path : path.substr(p + 1);
}

// The last stage of every successful open: windows brought up to date.
int FinishOpen(DataSet& s) {
  EditorState& st = *g_ed;
  IWindowOps* w = Svc().windows;
  if (!st.fontLoading) {
    DisableDataSetMenus(st.currentDataSet);
    EnableDataSetMenus(st.currentDataSet);
  }
  if (w) w->WaitCursor(false);
  UpdateWorkSheetGeometry();
  if (w) w->Invalidate(WIN_MAIN, true);
  UpdateMainScrollBars();
  if (w) w->Invalidate(WIN_PIXELVIEW, true);
  UpdatePixelViewScrollBars();
  if (w) w->Invalidate(WIN_CODEPAGE, true);
  UpdateCodePageViewScrollBars();
  // A file read is a fresh start of the set's history.
  s.undoDepth = 0;
  s.redoCount = 0;
  s.modified = false;
  return s.pendingPaletteFile ? 2 : 1;
}

int Refuse(SetBackup& backup) {
  backup.Restore();
  IWindowOps* w = Svc().windows;
  if (w) w->WaitCursor(false);
  // The sheet was repainted (and the menus set) from the half-read state
  // while a message box was up: bring both back to the restored set.
  if (!g_ed->fontLoading) {
    DisableDataSetMenus(g_ed->currentDataSet);
    EnableDataSetMenus(g_ed->currentDataSet);
  }
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  if (w) w->Invalidate(WIN_MAIN, true);
  return 0;
}

}  // namespace

OpenModes& OpenMode() {
  static OpenModes modes;
  return modes;
}

OpenKind ClassifyOpening(uint8_t b0, uint8_t b1, uint8_t b2, const char* word) {
  if (b0 == 'S' && b1 == 'T' && b2 == 'A' && word && std::strcmp(word, "RTFONT") == 0) return OPEN_BDF;
  if (IsOpener(b0, b1) && b2 == 'W') return OPEN_CODE_PAGE;
  if (IsOpener(b0, b1) && b2 == 'V') return OPEN_COLOR;
  if (b0 == 'B' && b1 == 'M') return OPEN_BITMAP;
  if (b2 <= 3) return OPEN_BINARY_LEGACY;
  if (b2 <= 19) return b0 == 0 && b1 == 0 ? OPEN_BINARY : OPEN_UNKNOWN;
  if (IsOpener(b0, b1)) return b2 >= 'A' && b2 <= 'Z' ? OPEN_BW_SYMBOL : OPEN_UNKNOWN_C;
  return OPEN_UNKNOWN;
}

static uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
static uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int CheckBitmapHeader(const uint8_t* b, size_t size, BitmapHeaderInfo* out) {
  *out = BitmapHeaderInfo();
  if (size < 18 || b[0] != 'B' || b[1] != 'M') return 1;
  out->fileSize = Le32(b + 2);
  out->infoSize = Le32(b + 14);
  if (out->infoSize == 12) {
    if (size < 26) return 1;
    out->width = Le16(b + 18);
    out->height = static_cast<int16_t>(Le16(b + 20));
    out->bitCount = Le16(b + 24);
  } else if (out->infoSize == 40 || out->infoSize == 108 || out->infoSize == 124) {
    if (size < 34) return 1;
    out->width = static_cast<int32_t>(Le32(b + 18));
    out->height = static_cast<int32_t>(Le32(b + 22));
    out->bitCount = Le16(b + 28);
    out->compression = Le32(b + 30);
  } else {
    return 1;
  }
  if (out->height < 0) {
    out->topDown = true;
    out->height = out->height == INT32_MIN ? INT32_MAX : -out->height;
  }
  return out->compression != 0 ? 2 : 0;
}

bool CheckBinaryHeader(const uint8_t* b, size_t size, BinaryHeaderInfo* out) {
  *out = BinaryHeaderInfo();
  if (size < 3 || b[2] > 19) return false;
  int code = b[2];
  if (code <= 3) {
    out->legacy = true;
    out->width = b[0];
    out->height = b[1];
    DecodeLegacyBinaryCode(code, &out->byteOrganization, &out->bitOrganization);
    return true;
  }
  if (b[0] != 0 || b[1] != 0) return false;
  out->group = code >= 12;
  DecodeLayoutValue(code - (out->group ? 12 : 4), &out->byteOrganization, &out->bitOrganization);
  // The "8", then width and height; a group adds its count and count X.
  if (size < 8) return false;
  out->width = Le16(b + 4);
  out->height = Le16(b + 6);
  if (out->group) {
    if (size < 11) return false;
    out->elementCount = Le16(b + 8);
    out->elementCountX = b[10];
    if (out->elementCountX < 1) return false;
  }
  return out->width >= 1 && out->height >= 1 && out->width <= kMaxPictureWidth && out->height <= kMaxPictureHeight;
}

int ReadBdfFont(const char*) {
  UnknownFormat();
  return 0;
}
int ReadColorData(const char*) {
  UnknownFormat();
  return 0;
}
int ImportBitmap(const char*) {
  UnknownFormat();
  return 0;
}
int ImportBinaryFile(const char*) {
  UnknownFormat();
  return 0;
}
int& ConvertBwCalls() {
  static int calls = 0;
  return calls;
}
void ConvertBwToPalette() { ++ConvertBwCalls(); }
void ConvertBwToRgb() { ++ConvertBwCalls(); }

int32_t MakePathWithExtension(const char* source, const char* extension, char* pathOut, char* nameOut) {
  std::string src = source ? source : "";
  std::string ext = extension ? extension : "";
  std::string name = NameOf(src);
  size_t dot = src.rfind('.');
  size_t sep = src.find_last_of("\\/");
  // A dot in a directory name is not an extension.
  bool hasDot = dot != std::string::npos && (sep == std::string::npos || dot > sep);
  std::string path = hasDot ? src.substr(0, dot + 1) + ext : src;
  size_t ndot = name.rfind('.');
  std::string newName = ndot != std::string::npos ? name.substr(0, ndot + 1) + ext : name;
  if (path.size() >= static_cast<size_t>(kPathSlot)) return 0;
  CopyText(pathOut, kPathSlot, path.c_str());
  CopyText(nameOut, kPathSlot, newName.c_str());
  return static_cast<int32_t>(path.size());
}

void BuildWorkspaceFilePaths() {
  DataSet& s = g_ed->Cur();
  std::string dir = s.initialDir;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  CopyText(s.initialDir, kPathSlot, dir.c_str());
  struct Slot {
    char* path;
    const char* title;
  } slots[] = {{s.symbolPath, s.symbolTitle},
               {s.codePagePath, s.codePageTitle},
               {s.palettePath, s.paletteTitle},
               {s.systemPalettePath, s.systemPaletteTitle}};
  for (const Slot& sl : slots)
    if (sl.title[0]) CopyText(sl.path, kPathSlot, (dir + sl.title).c_str());
}

OpenKind LastOpenKind() { return g_lastKind; }

int OpenDataFile(const char* path) {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  int set = st.currentDataSet & 1;
  IWindowOps* w = Svc().windows;
  if (!path) path = "";
  g_lastKind = OPEN_UNKNOWN;
  if (std::strchr(path, '*')) {
    Message(path, "Cannot Open File: * in File Name", MBX_OK | MBX_ICONEXCLAMATION);
    return 0;
  }
  if (w) w->WaitCursor(true);
  HeldFile file(Files().Open(path, FILE_READ));
  if (file.fd < 0) {
    if (w) w->WaitCursor(false);
    if (s.pendingCodePageFile) {
      // The single range set while the symbol file was read stays in force.
      MakePathWithExtension(s.symbolPath, "cp", s.codePagePath, s.codePageTitle);
      Message(s.codePagePath, "Error Opening CodePage File, Using Default", MBX_OK | MBX_ICONEXCLAMATION);
      return 2;
    }
    SetMainTitle();
    Message(path, "Cannot Open File for Reading, Access denied", MBX_OK | MBX_ICONEXCLAMATION);
    return 0;
  }
  FileByteReader in(file.fd);
  SetBackup backup;
  backup.Take();
  if (OpenMode().importBinary) {
    ImportBinaryFile(path);
    return Refuse(backup);
  }

  s.pictureWidth = 0;
  s.pictureHeight = 0;
  s.variableElementSizes = false;
  uint8_t b[3];
  bool importC = OpenMode().importC;
  if (importC) {
    b[0] = '/';
    b[1] = '*';
    b[2] = StoredDescriptorCode(set);
  } else {
    for (int i = 0; i < 3; ++i) {
      int c = in.Next();
      if (c < 0) {
        UnknownFormat();
        return Refuse(backup);
      }
      b[i] = static_cast<uint8_t>(c);
    }
  }
  std::string word;
  if (!importC && b[0] == 'S' && b[1] == 'T' && b[2] == 'A') {
    for (int c = in.Next(); c > ' ' && word.size() < 16; c = in.Next()) word += static_cast<char>(c);
  }
  OpenKind kind = ClassifyOpening(b[0], b[1], b[2], word.c_str());
  g_lastKind = kind;

  if (kind == OPEN_BDF) {
    ReadBdfFont(path);
    return Refuse(backup);
  }
  if (kind == OPEN_CODE_PAGE) {
    ReadCodePageFile(in, b[1] == '/');
    s.pictureWidth = backup.fields.pictureWidth;
    s.pictureHeight = backup.fields.pictureHeight;
    s.variableElementSizes = backup.fields.variableElementSizes;
    s.useCodePage = 1;
    CopyText(s.codePagePath, kPathSlot, path);
    CopyText(s.codePageTitle, kPathSlot, NameOf(path).c_str());
    DisableDataSetMenus(set);
    EnableDataSetMenus(set);
    if (w) w->Invalidate(WIN_FONTVIEW, true);
    int64_t mapped = 0;
    for (int32_t i = 0; i < s.codePageRangeCount && i < kCodePageEntries - 1; ++i)
      mapped += static_cast<int64_t>(s.codePageEnd[i]) - s.codePageStart[i] + 1;
    if (mapped != s.elementCount)
      RunFontCodePageMatchDialog(static_cast<int32_t>(mapped > INT32_MAX ? INT32_MAX : mapped), s.elementCount);
    return FinishOpen(s);
  }
  // Every other file switches the code page off.
  s.useCodePage = 0;
  DisableDataSetMenus(set);
  if (kind == OPEN_COLOR) {
    ReadColorData(path);
    return Refuse(backup);
  }
  // The picture is cleared only now that the old one is safe in the copy.
  FillAllCells(s, 0);
  if (!s.openToPresentFormat) {
    s.colorMode = 10665;
    if (Svc().menu) Svc().menu->Check(10240, false);
    if (w) {
      w->Show(WIN_PALETTE, SHOW_HIDE);
      w->Show(WIN_RAINBOW, SHOW_HIDE);
    }
  }
  if (w) w->Invalidate(WIN_MAIN, true);
  if (st.fontLoading && Svc().menu)
    for (int id : {10221, 10101, 10104, 10147}) Svc().menu->Enable(id, true);
  if (kind == OPEN_BITMAP) {
    uint8_t head[54] = {b[0], b[1], b[2]};
    size_t n = 3;
    for (int c; n < sizeof head && (c = in.Next()) >= 0;) head[n++] = static_cast<uint8_t>(c);
    BitmapHeaderInfo info;
    int r = CheckBitmapHeader(head, n, &info);
    if (r == 2) Message("Compressed Bitmaps are not supported by this program", "BitMap", MBX_OK | MBX_ICONEXCLAMATION);
    if (r == 0) ImportBitmap(path);
    return Refuse(backup);
  }
  if (kind == OPEN_BINARY_LEGACY || kind == OPEN_BINARY) {
    uint8_t head[11] = {b[0], b[1], b[2]};
    size_t n = 3;
    for (int c; n < sizeof head && (c = in.Next()) >= 0;) head[n++] = static_cast<uint8_t>(c);
    BinaryHeaderInfo info;
    if (!CheckBinaryHeader(head, n, &info)) {
      UnknownFormat();
      return Refuse(backup);
    }
    ImportBinaryFile(path);
    return Refuse(backup);
  }
  if (kind == OPEN_UNKNOWN) {
    UnknownFormat();
    return Refuse(backup);
  }
  bool preScan = true;
  if (kind == OPEN_UNKNOWN_C) {
    int answer = ANS_NO;
    if (s.bwFileFormat >= 1026 && s.bwFileFormat <= 1028)
      answer = Svc().prompter ? Svc().prompter->Ask(
                                    "Unknown C source format, starts correctly with /* */\n\nShall I try to load it "
                                    "using the current setup",
                                    kProgramTitle, MBX_YESNOCANCEL | MBX_ICONQUESTION)
                              : ANS_CANCEL;
    if (answer == ANS_CANCEL) return Refuse(backup);
    if (answer != ANS_YES) {
      Message("Unknown C-format, starts correctly with /* */\n\nIt may be the Font Header for a *.sym File,\nplease "
              "open the *.sym File instead of the *.c",
              kProgramTitle, MBX_OK | MBX_ICONEXCLAMATION);
      return Refuse(backup);
    }
    importC = true;
    preScan = false;
    b[2] = StoredDescriptorCode(set);
  }

  // A black-and-white symbol file.
  s.pictureWidth = backup.fields.pictureWidth;
  s.pictureHeight = backup.fields.pictureHeight;
  s.bwFileFormat = 1026;
  BwCodeInfo code = DecodeBwCode(b[2]);
  if (code.kind == BW_CODE_INVALID) {
    UnknownFormat();
    return Refuse(backup);
  }
  s.bwFileFormat = code.fileFormat;
  s.byteOrganization = code.byteOrganization;
  s.bitOrganization = code.bitOrganization;
  bool group = s.viewMode != 10097;
  if (code.kind == BW_CODE_SINGLE) {
    group = false;
    if (!OpenMode().multipleFiles) s.viewMode = 10097;
  } else if (code.kind == BW_CODE_GROUP) {
    group = true;
    s.pictureWidth = kMaxPictureWidth;
    s.pictureHeight = kMaxPictureHeight;
    SetViewModeQuietly(s, 10099);
  }
  bool defaultCodePage = false;
  if (code.kind != BW_CODE_LEGACY && !importC) {
    DescriptorFields f;
    ReadDescriptorFields(in, code.kind == BW_CODE_GROUP, &f);
    if (!f.complete) {
      UnknownFormat();
      return Refuse(backup);
    }
    s.noCharInElement = f.noCharInElement ? 1 : 0;
    if (code.kind == BW_CODE_GROUP) {
      s.elementWidth = f.width;
      s.elementHeight = f.height;
      s.elementCountX = f.countX;
      if (f.hasCodePageRef) {
        std::string cp = DirectoryOf(path) + f.codePageName;
        CopyText(s.codePagePath, kPathSlot, cp.c_str());
        CopyText(s.codePageTitle, kPathSlot, NameOf(f.codePageName).c_str());
        s.pendingCodePageFile = true;
      } else {
        MakePathWithExtension(path, "cp", s.codePagePath, s.codePageTitle);
        defaultCodePage = true;
      }
      // The default code page until the file says otherwise.
      s.codePageRangeCount = 1;
      s.codePageStart[0] = 0;
      s.codePageBase[0] = 0;
      s.codePageEnd[0] = s.elementCount - 1;
      s.codePageDefaultChar = 0x20;
      s.useCodePage = 0;
      FillArray(s.elementWidths, kMaxElements, s.elementWidth);
      FillArray(s.elementHeights, kMaxElements, s.elementHeight);
    }
  }
  BuildFileDescriptor();
  if (group && (s.elementWidth < 1 || s.elementHeight < 1 || s.elementWidth * static_cast<int64_t>(s.elementHeight) < 4 ||
                s.elementCountX < 1 || s.elementWidth > kMaxPictureWidth || s.elementHeight > kMaxPictureHeight)) {
    char text[120];
    std::snprintf(text, sizeof text, "ElementX=%d  ElementY=%d  ElementCountX=%d", static_cast<int>(s.elementWidth),
                  static_cast<int>(s.elementHeight), static_cast<int>(s.elementCountX));
    Message(text, (std::string("Error reading ") + path).c_str(), MBX_OK | MBX_ICONEXCLAMATION);
    // A tiny element is still readable; an empty or oversized grid is not,
    // and the set stays as it was.
    if (s.elementWidth < 1 || s.elementHeight < 1 || s.elementCountX < 1 || s.elementWidth > kMaxPictureWidth ||
        s.elementHeight > kMaxPictureHeight)
      return Refuse(backup);
  }
  // The rest of a C Source or single-icon descriptor line is no data (a
  // title like "f[2].sym" must not count); the library font types keep
  // their array head on it.
  if (!importC && !(group && (s.bwFileFormat == 1027 || s.bwFileFormat == 1028))) {
    int c = in.Next();
    while (c >= 0 && c != '\n') c = in.Next();
  }
  SymbolReadContext ctx;
  ctx.path = path;
  ctx.group = group;
  ctx.preScan = preScan && !importC;
  // The single range set above was made before the count was known; it
  // follows the count also when a referenced code-page file turns out
  // missing and the default stays in force.
  ctx.defaultCodePage = defaultCodePage || s.pendingCodePageFile;
  if (!ReadSymbolElements(in, ctx)) return Refuse(backup);
  if (s.elementCountX < 1) s.elementCountX = 1;
  if (s.openToPresentFormat && s.colorMode == 10666) {
    if (s.colorKind == 10668) ConvertBwToPalette();
    else ConvertBwToRgb();
  }
  return FinishOpen(s);
}

int RunOpenSequence(const char* path) {
  DataSet& s = g_ed->Cur();
  std::string symbol = path ? path : "";
  int r = OpenDataFile(symbol.c_str());
  if (r == 0) return 0;
  if (s.pendingCodePageFile) {
    OpenDataFile(s.codePagePath);
    s.pendingCodePageFile = false;
  }
  if (s.pendingPaletteFile) {
    OpenDataFile(s.palettePath);
    s.pendingPaletteFile = false;
    s.colorKind = 10668;
  }
  RememberFileDirectory(symbol.c_str());
  PushUndo();
  s.modified = false;
  return r;
}

int OpenFileDialog() {
  DataSet& s = g_ed->Cur();
  // The dialog writes into the set's slots; a refused file must not leave
  // its name there, or the next Save would overwrite it.
  std::string oldPath = s.symbolPath, oldTitle = s.symbolTitle;
  FileChoice c;
  c.save = false;
  c.path = s.symbolPath;
  c.title = s.symbolTitle;
  c.initialDir = s.initialDir;
  c.filterIndex = LastFilterIndex();
  if (!Chooser().Choose(c)) {
    CopyText(s.symbolPath, kPathSlot, oldPath.c_str());
    CopyText(s.symbolTitle, kPathSlot, oldTitle.c_str());
    return 0;
  }
  LastFilterIndex() = c.filterIndex;
  std::string chosen = s.symbolPath;
  int r = RunOpenSequence(chosen.c_str());
  if (r == 0 || LastOpenKind() == OPEN_CODE_PAGE) {
    // A code-page file opened alone is no picture file.
    CopyText(s.symbolPath, kPathSlot, oldPath.c_str());
    CopyText(s.symbolTitle, kPathSlot, oldTitle.c_str());
  }
  SetMainTitle();
  if (Svc().windows) {
    std::string pv = std::string("Pixel View  - ") + s.symbolTitle;
    Svc().windows->SetTitle(WIN_PIXELVIEW, pv.c_str());
  }
  return r;
}

}  // namespace dw
