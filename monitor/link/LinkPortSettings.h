#pragma once
// What a caller asks for when it opens a serial link.
#include <cstdint>

#include "framework/WinTypes.h"

struct LinkPortSettings {
    // COM port number; only the low byte is used. It is also the link's id,
    // which listeners see with every event of the link.
    uint32_t portNumber = 0;
    uint32_t baudRate = 9600;
    BYTE parity = 1;     // 0 none, 1 odd, 2 even (the DCB codes)
    BYTE stopBits = 0;   // 0 one stop bit, 2 two (the DCB codes; 1.5 is refused)
    BYTE dataBits = 8;   // 4..8
};
