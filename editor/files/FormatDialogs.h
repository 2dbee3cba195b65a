// The data-format dialogs of the file formats: COLORDATAFORMATKELVOR (the
// new symbol or font setup) and DATAFORMATC, IMPORTFORMAT and
// ASSEMBLERFORMAT (one procedure for the three).
#ifndef DOTWERK_FILES_FORMATDIALOGS_H
#define DOTWERK_FILES_FORMATDIALOGS_H

namespace dw {

// OK (1) with the size, count, view mode, file type and colour format of the
// current set stored; Cancel (0) changes nothing.
int RunColorDataFormatKelvorDialog();
// OK (1) with the format stored; Cancel (0) changes nothing.
int RunDataFormatDialog(const char* templateName);

}  // namespace dw

#endif
