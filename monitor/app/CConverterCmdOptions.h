#pragma once
// "-converter": turn recorded logs into text, spreadsheet, map CSV, KML and
// NMEA files.
#include "app/CCmdLineOptions.h"
#include "app/CmdLinePaths.h"
#include "link/CConverterEngine.h"

class CConverterCmdOptions {
public:
    bool Parse(const CCmdLineOptions& options, ICmdLinePaths& paths);
    void Reset() { *this = CConverterCmdOptions(); }

    // The converter's own record: input path, output switches, split and
    // overwrite, as the converter window hands them to the engine.
    ConverterOptions converter;
    bool convertAll = false;     // every log of the folder
    bool fillTo1Hz = false;
};
