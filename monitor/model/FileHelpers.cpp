#include "model/FileHelpers.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "model/Geodesy.h"

namespace {

std::atomic<IFileChooser*> g_chooser(nullptr);

#ifndef _WIN32
// There is no dialog to show natively; choosing is always cancelled unless a
// test installs its own chooser.
class CancellingChooser : public IFileChooser {
public:
    int Choose(const FileChooserRequest&, CString&, CString&) override { return CHOOSE_FILE_CANCEL; }
};
#endif

LPCTSTR KindOrLog(LPCTSTR kind)
{
    return (kind == nullptr || *kind == '\0') ? "Log" : kind;
}

} // namespace

#ifndef _WIN32
IFileChooser& GetDefaultFileChooser()
{
    static CancellingChooser chooser;
    return chooser;
}
#endif

IFileChooser& GetFileChooser()
{
    IFileChooser* chooser = g_chooser.load();
    return chooser ? *chooser : GetDefaultFileChooser();
}

IFileChooser* SetFileChooser(IFileChooser* chooser)
{
    return g_chooser.exchange(chooser);
}

CString BuildChooserTitle(LPCTSTR kind)
{
    CString lower(KindOrLog(kind));
    lower.MakeLower();
    return "Choose the " + lower + " file ...";
}

CString BuildChooserFilter(LPCTSTR kind, LPCTSTR extension)
{
    const CString k(KindOrLog(kind));
    const CString ext(extension);
    return k + " Files (." + ext + ")|*." + ext + "|All Files (*.*)|*.*|";
}

bool OpenStdioFile(CStdioFile*& holder, LPCTSTR path, bool overwrite, bool read, bool binary)
{
    CloseStdioFile(holder);
    if (path == nullptr || *path == '\0') return false;
    UINT flags = CFile::shareDenyNone | (binary ? CFile::typeBinary : CFile::typeText);
    if (read) {
        flags |= CFile::modeRead;
    } else {
        flags |= CFile::modeCreate | CFile::modeWrite;
        if (!overwrite) flags |= CFile::modeNoTruncate;
    }
    std::unique_ptr<CStdioFile> file(new CStdioFile);
    if (!file->Open(path, flags)) return false;
    // Appending is what every writer here wants: logs grow across runs
    // unless the user asked to start over.
    if (!read) file->SeekToEnd();
    holder = file.release();
    return true;
}

void CloseStdioFile(CStdioFile*& holder)
{
    if (holder == nullptr) return;
    holder->Close();
    delete holder;
    holder = nullptr;
}

int ChooseFile(CStdioFile** holder, CString& path, LPCTSTR initialName, bool overwrite,
               LPCTSTR extension, CString* fileName, LPCTSTR kind, bool openDialog, bool binary,
               HWND parent)
{
    FileChooserRequest request;
    request.title = BuildChooserTitle(kind);
    request.filter = BuildChooserFilter(kind, extension);
    request.initialName = initialName;
    request.extension = extension;
    request.openDialog = openDialog;
    request.parent = parent;
    CString chosenPath;
    CString chosenName;
    if (GetFileChooser().Choose(request, chosenPath, chosenName) != CHOOSE_FILE_OK)
        return CHOOSE_FILE_CANCEL;
    path = chosenPath;
    if (fileName != nullptr) *fileName = chosenName;
    if (holder != nullptr && !OpenStdioFile(*holder, path, overwrite, openDialog, binary))
        return CHOOSE_FILE_CANCEL;
    return CHOOSE_FILE_OK;
}

bool ParsePositionLine(const char* line, PositionRecord& out)
{
    if (line == nullptr || line[0] != '0' || (line[1] != ' ' && line[1] != '\t')) return false;
    int lead = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    if (sscanf(line, "%d %lf %lf %lf", &lead, &latitude, &longitude, &altitude) != 4) return false;
    latitude *= kDegreesToRadians;
    longitude *= kDegreesToRadians;
    if (!IsValidPositionComponent(POSITION_LATITUDE, false, latitude) ||
        !IsValidPositionComponent(POSITION_LONGITUDE, false, longitude) ||
        !IsValidPositionComponent(POSITION_ALTITUDE, false, altitude))
        return false;
    out.latitude = latitude;
    out.longitude = longitude;
    out.altitude = altitude;
    return true;
}

bool ReadPositionFile(bool choose, CString& path, PositionRecord& position)
{
    CStdioFile* file = nullptr;
    bool opened;
    if (choose) {
        opened = ChooseFile(&file, path, "Position.dat", false, "dat", nullptr, "Position", true,
                            false, nullptr) == CHOOSE_FILE_OK;
    } else {
        if (path.IsEmpty()) path = "Position.dat";
        opened = OpenStdioFile(file, path, false, true, false);
    }
    if (!opened) {
        // 0, not -1.0: callers say "invalid file" only for a file that was read.
        CloseStdioFile(file);
        position.latitude = 0.0;
        return false;
    }
    CString line;
    const bool haveLine = file->ReadString(line);
    CloseStdioFile(file);
    if (!haveLine || !ParsePositionLine(line, position)) {
        position.latitude = -1.0;
        return false;
    }
    return true;
}

bool IsScriptFile(LPCTSTR path)
{
    if (path == nullptr || *path == '\0') return false;
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeText)) return false;
    CString first;
    CString second;
    const bool ok = file.ReadString(first) && file.ReadString(second);
    file.Close();
    if (!ok) return false;
    first.MakeUpper();
    second.MakeLower();
    return first == "!QZWSCRIPT" && second.Find("!version") >= 0;
}
