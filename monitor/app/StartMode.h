#pragma once
// The job a command-line start runs. The values are the ones tools compare
// against through IsCommandLineMode, so they never change.
#include <cstdint>

typedef int32_t StartMode;

enum : int32_t {
    START_MODE_MONITOR = 0,
    START_MODE_SCRIPT = 1,
    START_MODE_FLASH_LOADER = 2,
    START_MODE_TTFF = 3,
    START_MODE_DATA_RECORDER = 4,
    START_MODE_CONVERTER = 5
};
