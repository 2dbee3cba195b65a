#pragma once
// Opening text files, letting the user choose one, and the two small file
// formats the monitor reads directly: the position file and the script-file
// header. The dialog sits behind a chooser seam so that everything here runs
// natively and in tests with scripted answers.
#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"

// Dialog results, with the values of IDOK and IDCANCEL.
enum : int { CHOOSE_FILE_OK = 1, CHOOSE_FILE_CANCEL = 2 };

// What a file dialog is asked to show.
struct FileChooserRequest {
    CString title;        // "Choose the position file ..."
    CString filter;       // "Position Files (.dat)|*.dat|All Files (*.*)|*.*|"
    CString initialName;  // proposed file name
    CString extension;    // default extension, without the dot
    bool openDialog;      // an open dialog (the file must exist), else a save dialog
    HWND parent;
};

// The seam for the file dialog: the Windows build shows the common dialog;
// the native default cancels; tests script the answers.
struct IFileChooser {
    virtual ~IFileChooser() {}
    // Returns CHOOSE_FILE_OK with the full path and the bare file name, or
    // CHOOSE_FILE_CANCEL.
    virtual int Choose(const FileChooserRequest& request, CString& path, CString& fileName) = 0;
};
IFileChooser& GetFileChooser();
// Installs a chooser (nullptr: the build's default); returns the previous one.
IFileChooser* SetFileChooser(IFileChooser* chooser);
// The build's own chooser (common dialog on Windows, always cancel natively).
IFileChooser& GetDefaultFileChooser();

// "Choose the " + kind in lower case + " file ..."; an empty kind is "Log".
CString BuildChooserTitle(LPCTSTR kind);
// kind + " Files (." + ext + ")|*." + ext + "|All Files (*.*)|*.*|".
CString BuildChooserFilter(LPCTSTR kind, LPCTSTR extension);

// Closes and deletes a file the holder holds, then opens `path` as a
// CStdioFile shared with everyone: for reading, or for writing (created when
// missing, truncated only with `overwrite`, positioned at its end). Text mode
// unless `binary`. False, with an empty holder, when it cannot be opened.
bool OpenStdioFile(CStdioFile*& holder, LPCTSTR path, bool overwrite, bool read, bool binary);
// Closes and deletes the held file and empties the holder.
void CloseStdioFile(CStdioFile*& holder);

// Asks the user for a file (title and filter from kind and extension, the
// read-only box hidden, overwriting confirmed). On OK sets `path` (and
// `fileName` when given) and, with a holder, opens the file through
// OpenStdioFile (reading for an open dialog); a file that cannot be opened
// turns the result into CHOOSE_FILE_CANCEL.
int ChooseFile(CStdioFile** holder, CString& path, LPCTSTR initialName, bool overwrite,
               LPCTSTR extension, CString* fileName, LPCTSTR kind = "Log", bool openDialog = false,
               bool binary = false, HWND parent = nullptr);

// Latitude and longitude in radians, altitude in metres.
struct PositionRecord {
    double latitude;
    double longitude;
    double altitude;
};

// The first line of a position file: "0", a blank, then latitude and
// longitude in degrees and altitude in metres, each in range. Fills `out`
// only on success.
bool ParsePositionLine(const char* line, PositionRecord& out);

// Reads a position file: with `choose` the user picks it (the chosen path is
// returned in `path`), otherwise `path` is read ("Position.dat" when empty).
// A cancelled choice or a file that cannot be opened gives false with the
// latitude 0; a bad first line gives false with the latitude -1.0, which
// callers report as an invalid file.
bool ReadPositionFile(bool choose, CString& path, PositionRecord& position);

// True when the file's first line, upper-cased, is exactly "!QZWSCRIPT" and
// its second line, lower-cased, contains "!version".
bool IsScriptFile(LPCTSTR path);
