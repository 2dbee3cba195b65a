#include "data/ConverterWriters.h"

CString FormatMapCsvHeader() { return CString("Longitude, Latitude, Name"); }
CString FormatMapCsvPosition(CModel&, CConverterEngine&) { return CString(); }
CString FormatKmlHeader(uint32_t) { return CString(); }
CString FormatKmlPlacemark(CModel&, CConverterEngine&) { return CString(); }
CString FormatKmlFooter() { return CString(); }
CString FormatSpreadsheetHeader(int32_t, char) { return CString(); }
CString FormatSpreadsheetRow(CModel&, CConverterEngine&) { return CString(); }
CString FormatNmeaSpreadsheetRow(CModel&, CConverterEngine&) { return CString(); }
CString FormatGgaSentence(CModel&, CConverterEngine&) { return CString(); }
