#include "app/PortSettingsRules.h"

#include <cstdlib>
#include <cstring>

const char* const kPortBaudTexts[] = {"110",  "300",  "600",   "1200",  "2400",  "4800",
                                      "9600", "19200", "38400", "57600", "115200"};
const int kPortBaudTextCount = static_cast<int>(sizeof kPortBaudTexts / sizeof kPortBaudTexts[0]);
const char* const kPortParityTexts[] = {"None", "Odd", "Even"};
const int kPortParityTextCount = static_cast<int>(sizeof kPortParityTexts / sizeof kPortParityTexts[0]);
const char* const kPortDataBitsTexts[] = {"7", "8"};
const char* const kPortStopBitsTexts[] = {"1", "2"};

const char kPortPresetsTitle[] = "Serial Port Presets";
const char kPortPresetsLine[] = "-----------------------------";

namespace {

const int kParityNone = 0, kParityOdd = 1, kParityEven = 2;
const BYTE kSevenDataBits = 7, kEightDataBits = 8;
const BYTE kOneStopBitCode = 0, kTwoStopBitsCode = 2;
const int32_t kMaxPort = 255;

}  // namespace

const PortPreset kPortPresets[] = {
    {32887, "9600-8-None-1", "9600", kParityNone},     {32888, "9600-8-Odd-1", "9600", kParityOdd},
    {32889, "38400-8-None-1", "38400", kParityNone},   {32890, "38400-8-Odd-1", "38400", kParityOdd},
    {32891, "115200-8-None-1", "115200", kParityNone}, {32892, "115200-8-Odd-1", "115200", kParityOdd},
    {32893, "4800-8-None-1", "4800", kParityNone},     {32894, "19200-8-None-1", "19200", kParityNone},
    {32895, "19200-8-Odd-1", "19200", kParityOdd},
};
const int kPortPresetCount = static_cast<int>(sizeof kPortPresets / sizeof kPortPresets[0]);

int32_t ParsePortText(const char* text)
{
    if (text == nullptr) return 0;
    const char* m = std::strchr(text, 'M');
    if (m == nullptr) return 0;
    const char* digits = m + 1;
    while (*digits == ' ') ++digits;
    if (*digits < '0' || *digits > '9') return 0;
    long port = 0;
    // Digits only, and no more than a port number can have.
    for (int n = 0; *digits >= '0' && *digits <= '9'; ++digits, ++n) {
        if (n >= 4) return 0;
        port = port * 10 + (*digits - '0');
    }
    return port >= 1 && port <= kMaxPort ? static_cast<int32_t>(port) : 0;
}

BYTE DataBitsFromIndex(int index) { return index == 0 ? kSevenDataBits : kEightDataBits; }
int DataBitsIndex(BYTE dataBits) { return dataBits == kSevenDataBits ? 0 : 1; }
BYTE StopBitsFromIndex(int index) { return index == 1 ? kTwoStopBitsCode : kOneStopBitCode; }
int StopBitsIndex(BYTE stopBitsCode) { return stopBitsCode == kTwoStopBitsCode ? 1 : 0; }

BYTE ParityFromIndex(int index)
{
    return index == kParityOdd || index == kParityEven ? static_cast<BYTE>(index) : static_cast<BYTE>(kParityNone);
}

int ParityIndex(BYTE parity) { return parity == kParityOdd || parity == kParityEven ? parity : kParityNone; }

uint32_t BaudFromText(const char* text)
{
    if (text == nullptr) return 0;
    char* end = nullptr;
    const unsigned long baud = std::strtoul(text, &end, 10);
    return end != text ? static_cast<uint32_t>(baud) : 0;
}

bool GetPortPresetChoice(UINT id, PortPresetChoice& choice)
{
    if (id < ID_PORT_PRESET_FIRST || id > ID_PORT_PRESET_LAST) return false;
    choice = PortPresetChoice();
    for (const PortPreset& preset : kPortPresets) {
        if (preset.id != id) continue;
        choice.baud = preset.baud;
        choice.parityIndex = preset.parityIndex;
    }
    return true;
}
