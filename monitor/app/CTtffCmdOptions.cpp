#include "app/CTtffCmdOptions.h"

namespace {

const int32_t kMaxInterval = 50000;
const int32_t kMaxRelayPort = 32;

// An optional whole number that must pass `ok`; `value` keeps its default
// when the option is absent.
template <class Check>
bool ReadOptionalNumber(const CCmdLineOptions& options, const char* name, Check ok, const char* message,
                        int32_t& value)
{
    if (!options.HasOption(name)) return true;
    int32_t v = 0;
    if (!ParseCmdLineInteger(options.GetValue(name), v) || !ok(v)) return RefuseCmdLineOption(message);
    value = v;
    return true;
}

// "port,time": the relay that powers the receivers off and on.
const char* ParseRelay(const CString& value, int32_t& port, int32_t& time)
{
    const int comma = value.Find(',');
    const CString portText = comma < 0 ? value : value.Left(comma);
    if (portText.IsEmpty()) return "No relay COM port specified.";
    int32_t p = 0;
    if (!ParseCmdLineInteger(portText, p) || p < 1 || p > kMaxRelayPort) return "Invalid relay COM port.";
    const CString timeText = comma < 0 ? CString() : value.Mid(comma + 1);
    if (timeText.IsEmpty()) return "Relay power-off time not specified.";
    int32_t t = 0;
    if (!ParseCmdLineInteger(timeText, t) || t <= 0) return "Invalid relay power-off time specified.";
    port = p;
    time = t;
    return nullptr;
}

} // namespace

bool CTtffCmdOptions::Parse(const CCmdLineOptions& options, ICmdLinePaths& paths)
{
    Reset();
    if (const char* msg = ReadPortEntries(options, false, ports)) return RefuseCmdLineOption(msg);

    const CString typeText = options.GetValue("-type");
    if (typeText.IsEmpty()) return RefuseCmdLineOption("TTFF type not specified.");
    char letter = typeText[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter == '\0' || CString("CHRWXY").Find(letter) < 0) return RefuseCmdLineOption("Invalid TTFF type.");
    type = letter;

    const CString intervalText = options.GetValue("-interval");
    if (intervalText.IsEmpty()) return RefuseCmdLineOption("Interval not specified.");
    if (!ParseCmdLineInteger(intervalText, interval) || interval < 1 || interval > kMaxInterval) {
        interval = 0;
        return RefuseCmdLineOption("Interval must be between 1 and 50000.");
    }

    // A run must last longer than one reset interval, or no reset happens.
    const int32_t reset = interval;
    if (!ReadOptionalNumber(options, "-duration", [reset](int32_t v) { return v > reset; },
                            "Duration cannot be less than the reset interval!", duration))
        return false;
    if (!ReadOptionalNumber(options, "-max_interval", [reset](int32_t v) { return v >= reset; },
                            "Max interval cannot be less than the reset interval.", maxInterval))
        return false;
    if (!ReadOptionalNumber(options, "-delay", [](int32_t v) { return v >= 1; }, "Invalid delay.", delay))
        return false;
    if (!ReadOptionalNumber(options, "-collect_almanac", [](int32_t v) { return v >= 1; },
                            "Invalid value for -collect_almanac option.", collectAlmanac))
        return false;

    outputFolder = options.GetValue("-output");

    if (options.HasOption("-relay")) {
        if (const char* msg = ParseRelay(options.GetValue("-relay"), relayPort, relayPowerOffTime))
            return RefuseCmdLineOption(msg);
    }

    if (options.HasOption("-refpos")) {
        PositionRecord position = {0.0, 0.0, 0.0};
        if (!paths.ReadPosition(options.GetValue("-refpos"), position))
            return RefuseCmdLineOption("Reference position file error (format or path).");
        referencePosition = position;
    }

    coldStart = options.HasOption("-cold_start");
    autoQuery = options.HasOption("-auto_query");
    noRandomDelay = options.HasOption("-no_random_delay");
    return true;
}
