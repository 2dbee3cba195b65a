#pragma once
// The rules of the port settings dialog that need no window: how the combo
// texts and indexes map to a port's settings and back, and the presets.
#include <cstdint>

#include "framework/WinTypes.h"

// The baud rates the dialog offers, in its combo's order.
extern const char* const kPortBaudTexts[];
extern const int kPortBaudTextCount;
// The parity combo's items: index 0 none, 1 odd, 2 even (the parity codes).
extern const char* const kPortParityTexts[];
extern const int kPortParityTextCount;
// The data-bits ("7", "8") and stop-bits ("1", "2") combos' items.
extern const char* const kPortDataBitsTexts[];
extern const char* const kPortStopBitsTexts[];

// The port number of a "COM n" text: the number after the "M"; 0 when there
// is none or it is outside 1..255.
int32_t ParsePortText(const char* text);

// Combo index <-> setting.
BYTE DataBitsFromIndex(int index);    // 0 -> 7, else 8
int DataBitsIndex(BYTE dataBits);     // 7 -> 0, else 1
BYTE StopBitsFromIndex(int index);    // 1 -> code 2 (two), else 0 (one)
int StopBitsIndex(BYTE stopBitsCode); // 2 -> 1, else 0
BYTE ParityFromIndex(int index);      // 1 odd, 2 even, else 0 none
int ParityIndex(BYTE parity);         // 1 -> 1, 2 -> 2, else 0
// The baud of a combo text ("115200" -> 115200); 0 for no number.
uint32_t BaudFromText(const char* text);

// The presets menu: command ids and what each selects.
enum : UINT {
    ID_PORT_PRESET_FIRST = 32887,
    ID_PORT_PRESET_DEFAULT = 32887,  // 9600-8-None-1: where a failed detection leaves the combos
    ID_PORT_PRESET_LAST_NAMED = 32895,
    ID_PORT_PRESET_LAST = 32896
};

struct PortPreset {
    UINT id;
    const char* text;   // the menu item
    const char* baud;   // the baud combo's text
    int parityIndex;
};
extern const PortPreset kPortPresets[];
extern const int kPortPresetCount;
extern const char kPortPresetsTitle[];
extern const char kPortPresetsLine[];

// What a preset id selects. Every id in range sets stop bits "1" and data
// bits "8"; the named ones also a baud and a parity (baud null otherwise).
struct PortPresetChoice {
    const char* baud = nullptr;
    int parityIndex = 0;
    const char* stopBits = "1";
    const char* dataBits = "8";
};
// False for ids outside 32887..32896.
bool GetPortPresetChoice(UINT id, PortPresetChoice& choice);
