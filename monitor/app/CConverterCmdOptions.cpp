#include "app/CConverterCmdOptions.h"

#include "app/CMainApp.h"
#include "app/CmdLinePorts.h"
#include "data/DataConverterCore.h"

namespace {

// The message box every mode shows, then what a script that started the
// program can read: the same text on standard error and exit code 2.
bool RefuseConverterOption(const char* message)
{
    RefuseCmdLineOption(message);
    WriteStandardErrorLine(message);
    SetProgramExitCode(CONV_EXIT_REFUSED);
    return false;
}

}  // namespace

bool CConverterCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    Reset();
    converter.overwrite = true;  // an unattended run must not stop to ask

    const CString file = options.GetValue("-file");
    if (file.IsEmpty()) return RefuseConverterOption("No file/path specified.");
    if (file == ".") {
        // Resolved now: tools may change the working folder before the run.
        const CString folder = paths.GetCurrentFolder();
        converter.inputPath = folder.IsEmpty() ? file : folder;
        converter.convertAll = true;
    } else if (paths.IsFolder(file)) {
        converter.inputPath = file;
        converter.convertAll = true;
    } else if (paths.GetFileLength(file) >= 0) {
        converter.inputPath = file;
    } else {
        return RefuseConverterOption("Invalid file/path specified.");
    }

    converter.kml = options.HasOption("-KML") || options.HasOption("-kml");
    converter.nmeaGga = options.HasOption("-NMEA") || options.HasOption("-nmea");
    converter.textTranslation = options.HasOption("-TXT") || options.HasOption("-txt");
    converter.spreadsheet = options.HasOption("-XLX") || options.HasOption("-xlx");
    converter.mapCsv = options.HasOption("-CSV") || options.HasOption("-csv");
    if (!converter.kml && !converter.nmeaGga && !converter.textTranslation && !converter.spreadsheet &&
        !converter.mapCsv)
        return RefuseConverterOption("Select at least one file format to generate!");

    if (options.HasOption("-convert_all")) converter.convertAll = true;
    if (options.HasOption("-ask_overwrite")) converter.overwrite = false;
    converter.fill1Hz = options.HasOption("-fill_1hz");

    if (options.HasOption("-split_lines")) {
        int32_t lines = 0;
        if (!ParseCmdLineInteger(options.GetValue("-split_lines"), lines) || lines <= 0)
            return RefuseConverterOption("Invalid number of lines to split.");
        converter.spreadsheetSplit = true;
        converter.linesPerPart = lines;
    }
    return true;
}
