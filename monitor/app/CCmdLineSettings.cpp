#include "app/CCmdLineSettings.h"

namespace {

// The start-mode switches in the order they are tested; the first present wins.
struct ModeSwitches {
    StartMode mode;
    const char* names[3];
};

const ModeSwitches kModeSwitches[] = {
    {START_MODE_SCRIPT, {"-Script", "-script", nullptr}},
    {START_MODE_MONITOR, {"-monitor", "-Monitor", nullptr}},
    {START_MODE_FLASH_LOADER, {"-flashloader", "-FlashLoader", "-Flashloader"}},
    {START_MODE_TTFF, {"-ttff", "-TTFF", nullptr}},
    {START_MODE_DATA_RECORDER, {"-datarecorder", "-DataRecorder", "-Datarecorder"}},
    {START_MODE_CONVERTER, {"-Converter", "-converter", nullptr}},
};

bool HasAny(const CCmdLineOptions& options, const ModeSwitches& s)
{
    for (const char* name : s.names)
        if (name != nullptr && options.HasOption(name)) return true;
    return false;
}

} // namespace

bool CCmdLineSettings::ParseCommandLine(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    for (const ModeSwitches& s : kModeSwitches) {
        if (!HasAny(options, s)) continue;
        m_startMode = s.mode;
        switch (s.mode) {
        case START_MODE_SCRIPT: return script.Parse(options, paths);
        case START_MODE_MONITOR: return monitor.Parse(options, paths);
        case START_MODE_FLASH_LOADER: return flashLoader.Parse(options, paths);
        case START_MODE_TTFF: return ttff.Parse(options, paths);
        case START_MODE_DATA_RECORDER: return dataRecorder.Parse(options, paths);
        default: return converter.Parse(options, paths);
        }
    }
    return false;
}
