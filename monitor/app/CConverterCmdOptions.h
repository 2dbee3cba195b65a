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

    // The converter's own record: input path, folder run, output switches,
    // split, 1 Hz filling and overwrite, as the converter window hands them
    // to the engine.
    ConverterOptions converter;
};
