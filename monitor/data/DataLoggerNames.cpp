// The logger's names, paths and texts: pure functions of their arguments (and
// of the clock for the standard name).
#include "data/DataLoggerCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/Clock.h"

namespace {

// The profile keeps a split size as thousandths of a MB.
const double kChunkScale = 1000.0;
const int32_t kChunkProfileLimit = 2000000000;

}  // namespace

CString BuildStandardFileName(const CString& unitId, const CString& testCase)
{
    const CalendarTime now = GetClock().NowLocal();
    CString name;
    name.Format("TC_%s_%02d%02d%02d_%02d%02d_%s.log", unitId.IsEmpty() ? "[ID#]" : unitId.GetString(),
                now.wYear % 100, now.wMonth, now.wDay, now.wHour, now.wMinute,
                testCase.IsEmpty() ? "[TC#]" : testCase.GetString());
    return name;
}

CString ReplaceExtension(const CString& path, const char* extension)
{
    const int separator = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    const int dot = path.ReverseFind('.');
    CString result = dot > separator ? path.Left(dot) : path;
    result += '.';
    result += extension;
    return result;
}

CString LogDirectoryOf(const CString& path)
{
    int separator = path.ReverseFind('/');
    if (separator < 0) separator = path.ReverseFind('\\');
    return separator < 0 ? CString() : path.Left(separator + 1);
}

CString FormatLogSize(uint32_t bytes)
{
    const uint32_t kMegabyteShown = 1024001;
    const uint32_t kKilobyte = 1024;
    CString text;
    if (bytes >= kMegabyteShown)
        text.Format("%.2f MB", bytes / 1048576.0);
    else if (bytes <= kKilobyte)
        text.Format("%d bytes", static_cast<int>(bytes));
    else
        text.Format("%.1f KB", bytes / 1024.0);
    return text;
}

bool IsFileNamePartValid(const CString& text)
{
    if (text.FindOneOf("\\/:*?\"<>|") >= 0 || text.Find("..") >= 0) return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

int32_t PortOfListEntry(const CString& entry)
{
    const int kPrefixLength = 3;
    if (entry.GetLength() <= kPrefixLength) return 0;
    return static_cast<int32_t>(std::atoi(entry.Mid(kPrefixLength).GetString()));
}

CString DefaultLogFileName(int32_t port)
{
    if (port == LOGGER_PLAYBACK_PORT) return "replay_data.log";
    CString name;
    name.Format("com%d_data.log", static_cast<int>(port));
    return name;
}

CString ProposeLogFileName(int32_t port, const CString& currentPath)
{
    if (port == LOGGER_PLAYBACK_PORT || currentPath.IsEmpty()) return DefaultLogFileName(port);
    return currentPath.Mid(currentPath.ReverseFind('\\') + 1);
}

LoggerGroupTitles GetLoggerGroupTitles(int32_t port)
{
    LoggerGroupTitles titles;
    if (port == LOGGER_PLAYBACK_PORT) {
        titles.status = "Status Info for Playback";
        titles.logFile = "Log File for Playback Channel";
        titles.portSettings = "Port Settings for Playback";
        titles.misc = "Misc Settings for Playback";
        return titles;
    }
    const int number = static_cast<int>(port);
    titles.status.Format("Status Info for COM %d", number);
    titles.logFile.Format("Log File for COM %d", number);
    titles.portSettings.Format("Port Settings for COM %d", number);
    titles.misc.Format("Miscellaneous Settings for COM %d", number);
    return titles;
}

int32_t ChunkToProfile(float chunkMb)
{
    const double scaled = static_cast<double>(chunkMb) * kChunkScale;
    if (!(scaled > -kChunkProfileLimit && scaled < kChunkProfileLimit)) return 0;
    return static_cast<int32_t>(std::lround(scaled));
}

float ChunkFromProfile(int32_t value) { return static_cast<float>(value / kChunkScale); }
