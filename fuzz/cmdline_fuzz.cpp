// Arguments as a user or a script could type them, through the option table
// and every start mode's checks. The bytes are split at NUL into arguments.
// Files are a fake (names starting with "f" are files, with "d" folders, and
// a position file's text is its own name), so no input reaches the disk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CCmdLineOptions.h"
#include "app/CCmdLineSettings.h"
#include "framework/MessagePrompter.h"

namespace {

class FuzzPaths : public ICmdLinePaths {
public:
    double GetFileLength(LPCTSTR path) override
    {
        return path != nullptr && path[0] == 'f' ? static_cast<double>(CString(path).GetLength()) : -1.0;
    }
    bool IsFolder(LPCTSTR path) override { return path != nullptr && path[0] == 'd'; }
    CString GetCurrentFolder() override { return CString("dcurrent"); }
    bool ReadPosition(LPCTSTR path, PositionRecord& position) override
    {
        return ParsePositionLine(path, position);
    }
};

class CountingPrompter : public IMessagePrompter {
public:
    int Prompt(LPCTSTR pszText, UINT nType, UINT) override
    {
        if (pszText == nullptr || *pszText == '\0') abort();  // every refusal says why
        ++count;
        return AfxDefaultButtonOf(nType);
    }
    int count = 0;
};

bool HasPathChar(const CString& name) { return name.FindOneOf(":\\/") >= 0; }

void CheckEntries(const std::vector<CmdLinePortEntry>& entries)
{
    if (entries.size() > static_cast<size_t>(kMaxCmdLinePortEntries) || entries.empty()) abort();
    int32_t last = 0;
    for (const CmdLinePortEntry& e : entries) {
        if (e.port <= last || e.port > 256) abort();
        last = e.port;
        if (e.fileName.IsEmpty() || HasPathChar(e.fileName)) abort();
        if (e.protocol == PROTO_NONE || (e.stopBits != 1 && e.stopBits != 2)) abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    std::vector<std::string> words(1, "VelmaraMon.exe");
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty()) words.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());

    CountingPrompter prompter;
    CPrompterScope scope(&prompter);
    FuzzPaths paths;

    CCmdLineOptions options;
    const int32_t count = options.Parse(static_cast<int32_t>(argv.size()), argv.data());
    if (count < 0 || count != options.GetOptionCount() || count > static_cast<int32_t>(words.size())) abort();

    CCmdLineSettings settings;
    const bool ok = settings.ParseCommandLine(options, paths);
    if (prompter.count > 1 || (ok && prompter.count != 0)) abort();
    if (!ok) return 0;

    switch (settings.GetStartMode()) {
    case START_MODE_MONITOR:
        if (!settings.monitor.playback &&
            (settings.monitor.link.port < 1 || settings.monitor.link.port > 64 ||
             settings.monitor.link.protocol == PROTO_NONE))
            abort();
        break;
    case START_MODE_SCRIPT:
        if (settings.script.scriptFile.IsEmpty()) abort();
        if (settings.script.GetLogFileName().Right(8) != "_log.txt") abort();
        break;
    case START_MODE_FLASH_LOADER:
        if (settings.flashLoader.ports.empty() || settings.flashLoader.firmwareFile.IsEmpty()) abort();
        break;
    case START_MODE_TTFF:
        CheckEntries(settings.ttff.ports);
        if (settings.ttff.interval < 1 || settings.ttff.interval > 50000) abort();
        if (settings.ttff.duration != 0 && settings.ttff.duration <= settings.ttff.interval) abort();
        break;
    case START_MODE_DATA_RECORDER:
        CheckEntries(settings.dataRecorder.ports);
        for (const CmdLinePortEntry& e : settings.dataRecorder.ports)
            if (e.fileName.Find('.') < 0) abort();
        break;
    case START_MODE_CONVERTER:
        if (settings.converter.converter.inputPath.IsEmpty()) abort();
        if (settings.converter.converter.spreadsheetSplit && settings.converter.converter.linesPerPart < 1) abort();
        break;
    default:
        abort();
    }
    return 0;
}
