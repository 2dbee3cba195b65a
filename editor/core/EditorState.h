// The editor's whole working state: two data sets and the window state that
// every window reads. The big stores (pictures, element arrays, code pages,
// palettes) are allocated once behind one object so that every test and the
// fuzzer can start from fresh state; their capacities never change.
#ifndef DOTWERK_CORE_EDITORSTATE_H
#define DOTWERK_CORE_EDITORSTATE_H

#include <cstdint>
#include <string>

namespace dw {

constexpr int kMaxPictureWidth = 1600;
constexpr int kMaxPictureHeight = 1200;
constexpr int kColumnStride = 1200;  // cells per picture column, whatever the used height
constexpr int kCellsPerSet = kMaxPictureWidth * kMaxPictureHeight;
constexpr int kMaxElements = 65536;
constexpr int kMaxPaletteEntries = 4096;
constexpr int kCodePageEntries = 16385;  // 16384 ranges + the scratch range
constexpr int kPathSlot = 1024;
constexpr int kHeaderTextSlot = 80;
constexpr int kFontTextSlot = 256;
constexpr int kFaceNameSlot = 32;
constexpr int kVersionSlot = 80;

extern const char kProgramTitle[];   // "Color Dotwerk Editor  5.3.61"
extern const char kSettingsFile[];   // "dotwerk5.ini"

// Windows of the editor, in the order the settings writer visits them.
enum WindowId {
  WIN_MAIN = 0,
  WIN_TOOLBOX,
  WIN_SWAPVIEW,
  WIN_PIXELVIEW,
  WIN_FONTVIEW,
  WIN_PALETTE,
  WIN_RAINBOW,
  WIN_CODEPAGE,
  WIN_COUNT
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

// Saved placement of one window: position, size and its ShowWindow code.
struct WindowPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t show = 1;
};

// Screen metrics the layout and the Palette window size depend on.
struct ScreenMetrics {
  int32_t iconWidth = 32, iconHeight = 32;
  int32_t borderWidth = 1, borderHeight = 1;
  int32_t captionHeight = 18;
  int32_t fullScreenWidth = 1280, fullScreenHeight = 1006;
  int32_t screenWidth = 1280, screenHeight = 1024;
  int32_t edgeWidth = 2;  // SM_CXEDGE, part of the Palette window's outer size
};

// One data set. Some fields are known by a second, older name; that name
// is given in the comment so readers of either text find the field:
//   g_cellWidth/g_cellHeight      -> mainCellWidth/mainCellHeight
//   g_caretColumn/g_caretRow      -> textCursorX/textCursorY
//   ActiveArea                    -> activeLeft, activeRight, activeTop, activeBottom
//   ScrollState                   -> mainScrollPosX/Y, mainScrollMaxX/Y, scrollStepX/Y
struct DataSet {
  // Picture: a view into the shared cell store, column-major with stride 1200.
  uint32_t* cells = nullptr;
  // How much of the store can differ from one value: every cell of the
  // columns from cellColumnsUsed on holds cellRest. Whole-store work
  // (snapshots, backups, clears; core/CellExtent.h) touches only the columns
  // before it. Writers widen it first: CellPtr does, direct writers call
  // WidenCellColumns.
  int32_t cellColumnsUsed = 0;
  // The same by rows: every cell of the rows from cellRowsUsed on (in any
  // column) holds cellRest. Writers that know how far down they write say
  // so through WidenCells; the others count whole columns.
  int32_t cellRowsUsed = 0;
  uint32_t cellRest = 0;
  int32_t pictureWidth = 32, pictureHeight = 32;
  int32_t activeLeft = 0, activeTop = 0, activeRight = 32, activeBottom = 32;

  // Element grid.
  int32_t elementWidth = 8, elementHeight = 8;
  int32_t elementCount = 65536, elementCountX = 32;
  bool variableElementSizes = false;
  int32_t* elementWidths = nullptr;   // kMaxElements
  int32_t* elementHeights = nullptr;  // kMaxElements
  uint8_t* elementChars = nullptr;    // kMaxElements
  int32_t currentElement = 0, currentElementColumn = 0, currentElementRow = 0;
  int32_t workElement = 0;
  int32_t elementChar = 32;  // "Char"
  int32_t viewMode = 10097;  // "ShowIconOrGroup"
  int32_t disableAutoElementGeneration = 0;
  int32_t greenGridAction = 1254;

  // Display geometry.
  int32_t mainGroupPixSize = 10203, mainElementPixSize = 10207;
  int32_t pixelSizeCommand = 10203;  // the one in force for the view mode
  int32_t pixelSizeX = 3, pixelSizeY = 3;
  int32_t mainCellWidth = 3, mainCellHeight = 3;
  int32_t elementCellWidth = 7, elementCellHeight = 7;
  int32_t workSheetCellWidth = 3, workSheetCellHeight = 3;
  int32_t textCursorX = 0, textCursorY = 0;
  int32_t mainScrollPosX = 0, mainScrollPosY = 0, mainScrollMaxX = 0, mainScrollMaxY = 0;
  int32_t scrollStepX = 0, scrollStepY = 0;
  int32_t scrollOffsetX = 0, scrollOffsetY = 0;
  // The scroll position of the other kind of view (Show Group, or the other
  // three), kept while the set shows one kind and given back on return.
  int32_t otherScrollPosX = 0, otherScrollPosY = 0;
  int32_t pixelViewOriginX = 0, pixelViewOriginY = 0;
  int32_t viewCellWidth = 2, viewCellHeight = 2;  // Pixel View (set 0) / Swap View (set 1)
  int32_t spareHeight = 0;
  double printWidthMm = 0, printHeightMm = 0;
  int32_t printedWidthMm = 0, printedHeightMm = 0;

  // Tools.
  int32_t mouseMode = 100;       // "CapGroup"
  int32_t currentTool = 10079;   // "Capture"
  int32_t penColor = 10019;      // "Color"
  int32_t capButton = 16;        // "CapButton"
  int32_t viewButton = 4;
  int32_t previousButton = 16, previousMouseMode = 100, previousTool = 10079;
  int32_t useHexInCodePage = 1;

  // Files: thirteen 1024-byte slots and the assembler header text.
  char symbolPath[kPathSlot], symbolTitle[kPathSlot];
  char extraPath[kPathSlot], extraTitle[kPathSlot];
  char textPath[kPathSlot], textTitle[kPathSlot];
  char initialDir[kPathSlot];
  char palettePath[kPathSlot], paletteTitle[kPathSlot];
  char systemPalettePath[kPathSlot], systemPaletteTitle[kPathSlot];
  char codePagePath[kPathSlot], codePageTitle[kPathSlot];
  char headerText[kHeaderTextSlot];
  bool pendingCodePageFile = false, pendingPaletteFile = false, pendingSystemPalette = false;

  // Data format.
  int32_t colorMode = 10666;  // "InternalColorType"
  int32_t colorKind = 10667;  // "InternalPaletteType"
  int32_t bwFileFormat = 1027, colorFileFormat = 1113;
  int32_t bitOrganization = 1031, byteOrganization = 1034, byteInAssembler = 1086;
  int32_t formatCommand = 10057, openToPresentFormat = 0, noCharInElement = 1;
  int32_t colorBitMapFormat = 1207, kelvorBitPerPixel = 1409;

  // Palette and colour resolution.
  int32_t paletteSizeCommand = 10251;
  int32_t paletteSize = 256;
  uint32_t* palette = nullptr;  // kMaxPaletteEntries
  uint32_t grayTable[16] = {};
  bool grayFlag = false;
  int32_t redBits = 8, greenBits = 8, blueBits = 8, grayBits = 8;
  int32_t redMax = 255, greenMax = 255, blueMax = 255, grayMax = 255;
  int32_t useSystemPaletteColors = 0, systemColorPaletteSize = 0;
  int32_t saveGrayPaletteAs = 1982;
  uint32_t systemColorTable[16] = {};
  int32_t alternatePaletteColors[12] = {};
  int32_t rainbowHorzScrollVariable = 10291;
  int32_t grayNotColor = 0;
  double saturation = 128.0 / 255.0;
  bool paletteLoaded = false;
  int32_t rgbKindActive = 0;
  int32_t rainbowShown = 0;  // the Rainbow is shown for this set
  int32_t toolColorIndex = 0, backgroundColorIndex = 255;
  uint32_t rgbToolColor = 0, rgbBackgroundColor = 0xFFFFFF;

  // Code page.
  int32_t useCodePage = 0;
  int32_t codePageRangeCount = 1;
  int32_t codePageDefaultChar = 32;
  int32_t* codePageBase = nullptr;   // kCodePageEntries
  int32_t* codePageStart = nullptr;  // kCodePageEntries
  int32_t* codePageEnd = nullptr;    // kCodePageEntries

  // Undo ring bookkeeping; the slots live in EditorState::undoSlots.
  int32_t undoPosition = 0, undoDepth = 0, redoCount = 0;
  bool modified = false;  // g_dataSetModified
  // The code page is the single fresh range "Draw a Whole Font" gave the set.
  bool codePageModeFlag = false;  // g_codePageModeFlag
};

struct UndoSlot;  // one snapshot of a data set (core/Undo.h)
constexpr int kUndoSlots = 5;

// Settings that belong to no data set ("global" sections of the settings file).
struct GlobalSettings {
  // Pixel
  int32_t screenFixedAspectRatio = 1030;
  int32_t lcdCountX = 128, lcdCountY = 128;
  double pixelSizeXmm = 0.5, pixelSizeYmm = 0.5, spacingXmm = 0.1, spacingYmm = 0.1;
  // Tool
  int32_t addColumnFromCornerPixel = 0, addRowFromCornerPixel = 0;
  // File
  int32_t convertToAnsi = 1, skipAutoSavePalette = 0, skipAutoSaveSystemPalette = 0;
  int32_t reloadFilesAtStartUp = 0, interpolatePaste = 0, interpolateNumberOfPixels = 1083;
  int32_t codePageTextFormat = 1941, disableAutomaticCorrections = 0;
  // Menu
  int32_t saveSettings = 1, askForSaveChanges = 0;
  int32_t doubleType = 10216, halfType = 10217, reopenFilesAtStartup = 0;
  // Print
  double printFactorX = 1.0, printFactorY = 1.0;
  int32_t printerFixedAspectRatio = 1022, printerNumber = 0, showMoreThanMaxPrinters = 1;
  // Font
  int32_t paintBack = 1, trueTypeGrey = 200, fontType = 10405;
  int32_t fontSizeX = 6, fontSizeY = 8, fontTypeUnicode = 0, fontViewSize = 10084, reloadFont = 0;
  char fontFileName[kFontTextSlot] = "";
  char fontName[kFontTextSlot] = "Sample8x8";
  char oldFontFileName[kFontTextSlot] = "";
  // PixelView / SwapView
  int32_t flashActiveElement = 1;
  // Show (8 = menu item checked, 0 = unchecked)
  int32_t showGrid = 8, showIconGrid = 8, showElementGrid = 8;
  int32_t showPixelGridInPrint = 1, showElementGridInPrint = 1, enableSwap = 0;
  int32_t showPaletteAutoSavedAsMessageBox = 1, showRememberToSavePaletteAsMessageBox = 1;
  // Mouse
  int32_t disableMouseOperationsInGroupMode = 0, endDrawWhenLeave = 0;
  // Color
  int32_t monoShow = 0, monoPrint = 0;
  int32_t rWhite = 160, gWhite = 176, bWhite = 156, rBlack = 80, gBlack = 88, bBlack = 78;
  int32_t rgbGreenGrid = 0x008C00, rgbRedGrid = 0x00008C, showGreenGrid = 1;
  // Edit
  int32_t rGray = 127, gGray = 127, bGray = 127, mGray = 127;
  int32_t clipAction = 1017, radioExistingNew = 1083;
  int32_t disablePasteDlg = 0, disableBitMapReadDlg = 0, disableDotMapConvertDlg = 0;
  int32_t elementDeleteMethod = 10503, gray = 128;
  // LogFont
  int32_t lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 400;
  int32_t lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0;
  int32_t lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
  char lfFaceName[kFaceNameSlot] = "";
  // Pixel View size commands (10086 + screen pixels a cell) of set 0 and
  // set 1; the cells follow them by the LCD's shape.
  int32_t pixelViewPixSize = 10088;
  int32_t swapViewPixSize = 10088;
};

// The 12 toolbar buttons of the main window.
constexpr int kToolbarButtons = 12;

struct EditorState {
  DataSet set[2];
  GlobalSettings cfg;

  int32_t currentDataSet = 0;  // g_currentDataSet
  int32_t swapDataSet = 1;     // g_swapDataSet

  // Windows: saved/default placement of the eight windows and the layout
  // computed from the screen metrics.
  ScreenMetrics metrics;
  WindowPlacement windows[WIN_COUNT];
  WindowPlacement defaults[WIN_COUNT];
  int32_t mainShowRead = 1;            // MainShow as read, written back unchanged
  int32_t mainYPosRead = 0;            // yMainPos as read (kept for maximised starts)
  int32_t rememberedShow[WIN_COUNT] = {};  // taken when the main window is minimised
  int32_t paletteOuterWidth = 330, paletteOuterHeight = 348;
  int32_t paletteColumns = 16, paletteRows = 16;

  // Work-sheet geometry of the main window.
  int32_t workSheetTop = 44;     // icon height + 12 (toolbar strip)
  int32_t clientWidth = 0;       // g_workSheetWidth
  int32_t workSheetHeight = 0;
  int32_t statusLineHeight = 0;
  int32_t textHeight = 0, textAverageWidth = 0;
  int32_t pixelGridGap = 1;
  int32_t minimumCellSize = 2;
  double lcdAspectRatio = 1.0;
  double lcdWidthMm = 0, lcdHeightMm = 0;
  uint32_t lcdWhite = 0x9CB0A0, lcdBlack = 0x4E5850;
  uint32_t pixelViewWhite = 0xFFFFFF, pixelViewBlack = 0;
  Rect toolbarRects[kToolbarButtons];
  int32_t pressedToolbarButton = -1;
  bool pressedLowerHalf = false, pressedRightHalf = false;
  int32_t hoveredToolbarButton = -1;
  bool crosshairActive = false;
  int32_t crosshairX = 0, crosshairY = 0;
  bool fontLoading = false;  // g_fontLoading: picture-size messages are suppressed
  bool activeElementInverted = false;

  // Painting (also used by printing).
  int32_t paintCellWidth = 3, paintCellHeight = 3;
  int32_t paintOriginX = 0, paintOriginY = 0;

  // Main window timing and repeat.
  bool repeatHeld = false;
  int32_t repeatCount = 0;
  int32_t repeatCommand = 0;
  int32_t timerTicks = 0;
  int32_t statusHold = 0;  // g_statusHoldTicks
  std::string statusText;  // g_statusText

  // Start-up and exit.
  char storedVersion[kVersionSlot] = "Unknown";
  bool versionRead = false;        // "Version" is handled once per run
  bool versionDiffers = false;
  bool startingUp = true;          // cleared by the second-tick reload
  bool mainInitialised = false;    // WM_CREATE has run
  bool settingsWritten = false;    // the settings were written in this run
  bool undoSuspended = false;

  // Printer list (the "C&hange Printer" menu).
  int32_t printerCount = 0;        // entries including the default one
  std::string printerNames[44];
  std::string printerDrivers[44];
  std::string printerPorts[44];

  // Stores behind the data sets.
  uint32_t* pictureStore = nullptr;  // 2 * kCellsPerSet
  int32_t* elementStore = nullptr;   // 4 * kMaxElements (widths and heights of both sets)
  uint8_t* charStore = nullptr;      // 2 * kMaxElements
  uint32_t* paletteStore = nullptr;  // 2 * kMaxPaletteEntries
  int32_t* codePageStore = nullptr;  // 6 * kCodePageEntries

  // Editing work areas, allocated once so no edit allocates or fails midway.
  UndoSlot* undoSlots = nullptr;     // kUndoSlots per set, set s at s * kUndoSlots
  uint32_t* lineBuffer = nullptr;    // g_lineBuffer: one column or row of up to 1600 cells
  uint32_t* backupCells = nullptr;   // kCellsPerSet: the picture as a live-preview dialog found it
  int32_t* fillWork = nullptr;       // kCellsPerSet entries: the flood fill's work list

  // Counts the scroll and add/remove dialogs hand to the next command of their kind.
  int32_t elementOperationCount = 1;  // ElementOperationCount: kept between the element dialogs
  int32_t elementInsertFirstChar = 0;  // the insert dialog's character start value
  int32_t scrollRepeat = 0;     // g_scrollRepeat
  int32_t addRemoveRepeat = 0;  // g_addRemoveRepeat
  // The twist-and-turn mode the ToolBox hands to its dialog.
  int32_t twistTool = 0;             // g_twistTool, 0..7
  int32_t twistDialogChoice = 1810;  // g_twistDialogChoice, 1810 + mode
  // The Font View's From/To selection for "Draw a Line of Symbols".
  int32_t symbolSelectState = 301;  // g_symbolSelectState: 301 From, 302 To, 303 chosen
  int32_t symbolFrom = 0, symbolTo = 0;  // g_symbolFrom, g_symbolTo
  int32_t symbolInsertCount = 0;         // g_symbolInsertCount

  DataSet& Cur() { return set[currentDataSet & 1]; }
  const DataSet& Cur() const { return set[currentDataSet & 1]; }
};

// The editor's one state object (g_picture and friends live behind it).
extern EditorState* g_ed;

// Makes a fresh state with every default of a first start and makes it the
// current one; the previous state, if any, is freed.
EditorState* CreateEditorState();
void DestroyEditorState();

// Fills the text slots of a data set with their first-start defaults.
void ResetFileSlots(DataSet& s);

// Bounded copy into a fixed text slot; always terminates.
void CopyText(char* dst, size_t slot, const char* src);

// Counts the cells in columns [0, columns) and rows [0, rows) of the set's
// store as possibly written.
inline void WidenCells(DataSet& s, int64_t columns, int64_t rows) {
  if (columns > s.cellColumnsUsed)
    s.cellColumnsUsed = columns > kMaxPictureWidth ? kMaxPictureWidth : static_cast<int32_t>(columns);
  if (rows > s.cellRowsUsed)
    s.cellRowsUsed = rows > kMaxPictureHeight ? kMaxPictureHeight : static_cast<int32_t>(rows);
}

// Counts columns [0, columns) of the set's store, whole, as possibly written.
inline void WidenCellColumns(DataSet& s, int64_t columns) { WidenCells(s, columns, kMaxPictureHeight); }

// Cell (x, y) of set s, or nullptr when it lies outside the store. The
// pointer may be written (and the rest of its column with it).
inline uint32_t* CellPtr(EditorState& st, int s, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= kMaxPictureWidth || y >= kMaxPictureHeight) return nullptr;
  DataSet& d = st.set[s & 1];
  WidenCellColumns(d, static_cast<int64_t>(x) + 1);
  return d.cells + static_cast<size_t>(x) * kColumnStride + y;
}

// The value a cell has after start-up or a background fill (black and white 0,
// palette kind the background index, RGB kind the background colour).
uint32_t InitialCellValue(const DataSet& s);

// Value of cell (x, y) of the current set for painting: cells outside the store
// read as the set's initial value, so painting never leaves the array.
uint32_t ReadCellForPaint(const DataSet& s, int32_t x, int32_t y);

// Rectangle of element n in cells (x-to and y-to exclusive).
void ElementRect(const DataSet& s, int32_t n, int32_t* xFrom, int32_t* yFrom, int32_t* xTo,
                 int32_t* yTo);

}  // namespace dw

#endif
