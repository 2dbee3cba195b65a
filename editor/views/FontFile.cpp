#include "views/FontFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "files/FileDescriptor.h"
#include "files/OpenFile.h"
#include "files/SymbolFile.h"
#include "views/CodePage.h"
#include "views/FontRender.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

// Room the reader gets for a font: the whole store, 8 x 8 elements, as many
// as a set holds, in a square grid.
constexpr int32_t kRoomElementSize = 8;
constexpr int32_t kRoomCountX = 256;
constexpr int kFontCommandFallback = 10405;


void Refusal(const char* reason) {
  if (reason) {
    char text[kFontTextSlot + 200];
    std::snprintf(text, sizeof text, "Font Load Error in Load Font:\n\n%s\n\n%s", g_ed->cfg.fontFileName, reason);
    Svc().prompter->Ask(text, "FontLoad", MBX_OK | MBX_ICONEXCLAMATION);
  }
  Svc().windows->PostCommand(kFontCommandFallback);
}

// The read set becomes the loaded font; its code page goes to slot 2.
void TakeFont(const DataSet& s) {
  LoadedFont& f = TheLoadedFont();
  f.symbolWidth = s.elementWidth;
  f.symbolHeight = s.elementHeight;
  f.symbolCount = s.elementCount;
  f.countX = s.elementCountX;
  f.usesCodePage = s.useCodePage != 0;
  f.name = s.symbolTitle;
  CodePageTable slot = CodePageSlot(kFontCodePageSlot);
  if (!slot.Valid()) return;
  int32_t n = s.codePageRangeCount;
  if (n < 0) n = 0;
  if (n > kMaxCodePageRanges) n = kMaxCodePageRanges;
  std::memcpy(slot.symbolBase, s.codePageBase, sizeof(int32_t) * kCodePageEntries);
  std::memcpy(slot.startChar, s.codePageStart, sizeof(int32_t) * kCodePageEntries);
  std::memcpy(slot.endChar, s.codePageEnd, sizeof(int32_t) * kCodePageEntries);
  *slot.count = n;
  *slot.defaultChar = s.codePageDefaultChar;
}

// Reads the font file into the prepared set; 1 when the font was taken.
int ReadFont(DataSet& s) {
  if (OpenDataFile(g_ed->cfg.fontFileName) == 0) {
    // The reader has told the user why.
    Refusal(nullptr);
    return 0;
  }
  if (s.viewMode != 10099) {
    Refusal("File does not contain a Group of Elements to use as a Font!");
    return 0;
  }
  if (s.pendingCodePageFile) {
    s.pendingCodePageFile = false;
    OpenDataFile(s.codePagePath);
  }
  if (s.colorMode != 10665) {
    s.pendingPaletteFile = false;
    Refusal("Colors are not supported by Loadable Fonts\nPlease Convert the Font to Black & White");
    return 0;
  }
  TakeFont(s);
  return 1;
}

}  // namespace

LoadedFont& TheLoadedFont() {
  static LoadedFont font;
  return font;
}

int LoadFontFile() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  SetBackup keeper;
  keeper.Take();
  st.statusText = "Loading Font";
  ShowStatus(0);
  st.fontLoading = true;

  // A font file is always packed the way fonts are, and its code page must
  // not be mixed with the set's own.
  s.bitOrganization = 1031;
  s.byteOrganization = 1034;
  s.useCodePage = 0;
  s.elementWidth = s.elementHeight = kRoomElementSize;
  s.elementCount = kMaxElements;
  s.elementCountX = kRoomCountX;
  s.pictureWidth = kMaxPictureWidth;
  s.pictureHeight = kMaxPictureHeight;
  UpdateWorkSheetGeometry();
  TheLoadedFont() = LoadedFont();

  int result = ReadFont(s);

  keeper.Restore();
  st.fontLoading = false;
  IMenu& m = *Svc().menu;
  m.Check(10240, s.colorMode == 10666);
  DisableDataSetMenus(st.currentDataSet);
  EnableDataSetMenus(st.currentDataSet);
  UpdateWorkSheetGeometry();
  UpdateMainScrollBars();
  Svc().windows->SendCommand(s.viewMode);
  Svc().windows->Invalidate(WIN_MAIN, true);
  TheFontViewFont().relayoutRequested = true;
  return result;
}

void ClearFontView(int clearName) {
  TheLoadedFont() = LoadedFont();
  GlobalSettings& c = g_ed->cfg;
  if (clearName) {
    CopyText(c.oldFontFileName, kFontTextSlot, c.fontFileName);
    c.fontFileName[0] = '\0';
  }
  Svc().windows->Invalidate(WIN_FONTVIEW, true);
}

}  // namespace dw
