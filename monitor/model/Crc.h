#pragma once
// Checksums shared by the link, the model and the tools.
//  - CRC-32 is what a QBIN 0xAA report announces for the next packet's data.
//  - CRC-16/MODBUS protects the receiver configuration file and flash loader blocks.
// Both take a signed length so that a caller's negative count (a short or
// broken frame) gives a defined result instead of a huge unsigned walk.
#include <cstdint>

// Standard CRC-32 (reflected polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF). 0 for a null pointer or a length of 0 or less.
uint32_t ComputeCrc32(const uint8_t* bytes, int32_t length);

// CRC-16/MODBUS (reflected polynomial 0x8005, initial value 0xFFFF, no final
// XOR). 0xFFFF (the initial value) for a null pointer or a length of 0 or less.
uint16_t ComputeCrc16(const uint8_t* bytes, int32_t length);
