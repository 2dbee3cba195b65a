// The file menu's routines of the dispatcher: the setup dialog, imports and
// exports, printing, the palette files and Reset to Defaults and Exit.
#include <cstring>

#include "core/CellExtent.h"
#include "core/DispatchRoutines.h"
#include "core/EditorState.h"
#include "core/Geometry.h"
#include "core/MainWindow.h"
#include "core/MenuState.h"
#include "core/Services.h"
#include "core/Undo.h"
#include "core/ViewModes.h"
#include "files/ExportFiles.h"
#include "files/FileChooser.h"
#include "files/FormatDialogs.h"
#include "files/OpenFile.h"
#include "files/PaletteFile.h"
#include "files/Printing.h"
#include "core/CodePageDialogs.h"
#include "views/CodePageCheck.h"
#include "views/StatusLine.h"

namespace dw {

namespace {

// File types of the data format, as their dialogs select them.
constexpr int32_t kFileBinary = 1025;
constexpr int32_t kFileCSource = 1026;
// The first item of the "C&hange Printer" list.
constexpr int kFirstPrinterItem = 10799;
// The toolbar's Print button.
constexpr int kPrintButton = 3;

void RefreshAfterRead() {
  IWindowOps& w = *Svc().windows;
  w.Invalidate(WIN_PIXELVIEW, true);
  UpdateMainScrollBars();
  w.InvalidateWorkSheet(true);
}

// The common save dialog with the "All" filter; false when cancelled.
bool ChooseExportFile(char* path, char* title, const char* proposal) {
  CopyText(path, kPathSlot, proposal);
  title[0] = '\0';
  FileChoice c;
  c.save = true;
  c.path = path;
  c.title = title;
  c.initialDir = g_ed->Cur().initialDir;
  c.filter = "All (*.*)";
  return Chooser().Choose(c);
}

// The items that only black and white can import or export.
void MarkBlackAndWhiteFileItems(const DataSet& s) {
  bool bw = s.colorMode != 10666;
  for (int id : {10221, 10101, 10104, 10147}) Svc().menu->Enable(id, bw);
}

// OK of the setup dialog: the set follows its new view and sizes.
void ApplyNewSetup() {
  EditorState& st = *g_ed;
  DataSet& s = st.Cur();
  IWindowOps& w = *Svc().windows;
  if (s.viewMode == kShowSingleIcon) {
    w.SendCommand(kShowSingleIcon);
    UpdateWorkSheetGeometry();
    w.Invalidate(WIN_PIXELVIEW, true);
    w.Invalidate(WIN_MAIN, true);
    UpdateMainScrollBars();
    s.useCodePage = 0;
    DisableDataSetMenus(st.currentDataSet);
    EnableDataSetMenus(st.currentDataSet);
  } else {
    w.SendCommand(kShowGroup);
    if (!s.variableElementSizes) {
      FillArray(s.elementWidths, kMaxElements, s.elementWidth);
      FillArray(s.elementHeights, kMaxElements, s.elementHeight);
    }
    UpdateWorkSheetGeometry();
    w.Invalidate(WIN_PIXELVIEW, true);
    UpdatePixelViewScrollBars();
    w.Invalidate(WIN_MAIN, true);
    UpdateMainScrollBars();
    DisableDataSetMenus(st.currentDataSet);
    EnableDataSetMenus(st.currentDataSet);
    if (s.useCodePage && s.codePageRangeCount > 0) {
      CheckCodePage(s.useHexInCodePage, 1, s.codePageDefaultChar, s.codePageRangeCount, s.codePageBase,
                    s.codePageStart, s.codePageEnd);
      w.Invalidate(WIN_CODEPAGE, true);
    }
    if (s.currentTool == kToolCodePageByMouse) w.SendCommand(kToolPutPixel);
  }
  MarkBlackAndWhiteFileItems(s);
}

// An import or export runs its format dialog with the file type it needs
// and gives the set its own type back afterwards.
class FileTypeForDialog {
 public:
  explicit FileTypeForDialog(int32_t type) : kept_(g_ed->Cur().bwFileFormat) { g_ed->Cur().bwFileFormat = type; }
  ~FileTypeForDialog() { g_ed->Cur().bwFileFormat = kept_; }
  FileTypeForDialog(const FileTypeForDialog&) = delete;
  FileTypeForDialog& operator=(const FileTypeForDialog&) = delete;

 private:
  int32_t kept_;
};

}  // namespace

void CommandNewSetup(int) {
  EditorState& st = *g_ed;
  bool suspended = st.undoSuspended;
  UndoMark mark = MarkUndo();
  PushUndo();
  st.undoSuspended = true;
  int ok = RunColorDataFormatKelvorDialog();
  if (ok) ApplyNewSetup();
  st.undoSuspended = suspended;
  // A cancelled setup changed nothing, so it leaves no snapshot either.
  if (!ok) DropUndoSince(mark);
  Svc().windows->Invalidate(WIN_PALETTE, true);
  Svc().windows->Invalidate(WIN_RAINBOW, true);
}

void CommandImportC(int) {
  DataSet& s = g_ed->Cur();
  int32_t type = s.bwFileFormat == kFileBinary ? kFileCSource : s.bwFileFormat;
  {
    FileTypeForDialog forDialog(type);
    if (!RunDataFormatDialog("DATAFORMATC")) return;
  }
  s.bwFileFormat = type;
  OpenMode().importC = true;
  OpenFileDialog();
  OpenMode().importC = false;
  RefreshAfterRead();
  PushUndo();
}

void CommandImportBinary(int) {
  FileTypeForDialog forDialog(kFileBinary);
  if (!RunDataFormatDialog("IMPORTFORMAT")) return;
  OpenMode().importBinary = true;
  OpenFileDialog();
  OpenMode().importBinary = false;
  RefreshAfterRead();
}

void CommandExportBinary(int) {
  FileTypeForDialog forDialog(kFileBinary);
  if (!RunDataFormatDialog("IMPORTFORMAT")) return;
  char path[kPathSlot], title[kPathSlot];
  if (ChooseExportFile(path, title, "")) ExportBinaryFile(path);
}

void CommandExportAssembler(int) {
  FileTypeForDialog forDialog(kFileCSource);
  if (!RunDataFormatDialog("ASSEMBLERFORMAT")) return;
  char path[kPathSlot], title[kPathSlot];
  if (ChooseExportFile(path, title, g_ed->Cur().extraTitle)) ExportAssemblerFile(path);
}

void CommandExportCodePageText(int) {
  char path[kPathSlot], title[kPathSlot];
  if (!ChooseExportFile(path, title, g_ed->Cur().textTitle)) return;
  int32_t format = g_ed->cfg.codePageTextFormat;
  if (!RunCodePageTextFormatDialog(&format)) return;
  g_ed->cfg.codePageTextFormat = format;
  ExportCodePageText(path, format);
}

void CommandGroupToElements(int) { SaveGroupAsElements(); }

void CommandElementsToGroup(int) {
  ElementsToGroup();
  UpdateMainScrollBars();
}

void CommandPrint(int) {
  PrintWorkSheet();
  EditorState& st = *g_ed;
  if (st.pressedToolbarButton == kPrintButton) {
    st.pressedToolbarButton = -1;
    Svc().windows->Invalidate(WIN_MAIN, false);
  }
}

void CommandPrintPreview(int) { RunPrintSizeDialog(); }
void CommandPrinterSetup(int) { ShowPrinterProperties(g_ed->cfg.printerNumber); }

void CommandChangePrinter(int id) {
  GlobalSettings& c = g_ed->cfg;
  Svc().menu->Check(kFirstPrinterItem + c.printerNumber, false);
  c.printerNumber = id - kFirstPrinterItem;
  Svc().menu->Check(id, true);
}

void CommandSavePaletteAs(int) {
  DataSet& s = g_ed->Cur();
  MakePathWithExtension(s.palettePath, "pal", s.palettePath, s.paletteTitle);
  SavePaletteFileAs();
}

void CommandSaveSystemPaletteAs(int) {
  DataSet& s = g_ed->Cur();
  MakePathWithExtension(s.systemPalettePath, "spl", s.systemPalettePath, s.systemPaletteTitle);
  SaveSystemPaletteAs();
}

void CommandResetAndExit(int) {
  if (PrepareResetAndExit()) Svc().windows->CloseWindow(WIN_MAIN);
}

}  // namespace dw
