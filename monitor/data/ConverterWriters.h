#pragma once
// The text writers of the converter's outputs (map CSV, KML, spreadsheet,
// NMEA GGA). The map CSV header is fixed; the other writers come with the
// converter and write nothing until then (an empty text is never written).
#include <cstdint>

#include "framework/CString.h"

class CModel;
class CConverterEngine;

CString FormatMapCsvHeader();
CString FormatMapCsvPosition(CModel& model, CConverterEngine& engine);
CString FormatKmlHeader(uint32_t dotColour);
CString FormatKmlPlacemark(CModel& model, CConverterEngine& engine);
CString FormatKmlFooter();
// Column sets: 3 the binary-protocol set, 4 the NMEA set.
CString FormatSpreadsheetHeader(int32_t columnSet, char separator);
CString FormatSpreadsheetRow(CModel& model, CConverterEngine& engine);
CString FormatNmeaSpreadsheetRow(CModel& model, CConverterEngine& engine);
CString FormatGgaSentence(CModel& model, CConverterEngine& engine);
