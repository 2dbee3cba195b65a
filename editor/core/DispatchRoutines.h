// The dispatcher's own command routines, by menu: the file, colour and
// code-page commands. DispatchCommand's table names them; nothing else
// calls them.
#ifndef DOTWERK_CORE_DISPATCHROUTINES_H
#define DOTWERK_CORE_DISPATCHROUTINES_H

namespace dw {

// File menu.
void CommandNewSetup(int id);         // 10660
void CommandImportC(int id);          // 10221
void CommandImportBinary(int id);     // 10101
void CommandExportBinary(int id);     // 10104
void CommandExportAssembler(int id);  // 10147
void CommandExportCodePageText(int id);  // 10653
void CommandGroupToElements(int id);  // 10124
void CommandElementsToGroup(int id);  // 10125
void CommandPrint(int id);            // 57607
void CommandPrintPreview(int id);     // 10070
void CommandPrinterSetup(int id);     // 10069
void CommandChangePrinter(int id);    // 10799..10842
void CommandSavePaletteAs(int id);    // 10656
void CommandSaveSystemPaletteAs(int id);  // 10901
void CommandResetAndExit(int id);     // 10159

// Colour menu and the Palette window.
void CommandDrawWithColor(int id);    // 10240
void CommandColorKind(int id);        // 10667, 10668
void CommandSwapColorKind(int id);    // 10242
void CommandPaletteSize(int id);      // 10244..10255, 10262..10273
void CommandMinimizePalette(int id);  // 10286, 10287
void CommandAlternatePalette(int id);  // 10674
void CommandToolColor(int id);        // 10241
void CommandLcdColors(int id);        // 10129
void ApplyMonochromeColors();         // after 10127 and 10129

// Code page.
void CommandUseCodePage(int id);      // 10502
void CommandCheckCodePage(int id);    // 10361
void CommandEditCodePage(int id);     // 10355

}  // namespace dw

#endif
