#pragma once
// Records that the configuration pages and tools fill and hand to the command
// builders, and that the receiver data model does not keep. Records the model
// also stores (port, navigation, filter, timing, QTXT configuration, I/O
// options) are the model's, in model/ModelRecords.h.
#include <cstdint>

#include "model/ModelRecords.h"

// GPIO set-up sent to the receiver: a leading field that must be 0 for the
// command to be built, then six 16-bit fields in the order the GPIO page
// fills them (the packet sends them in another order).
struct GpioConfig {
    uint16_t first;
    uint16_t g1;
    uint16_t g2;
    uint16_t g3;
    uint16_t g4;
    uint16_t g5;
    uint16_t g6;
};

// The production record is the same record the receiver returns in its
// production configuration reply (the model's diagnostic text record): the
// production page and the scripter read the reply, edit it and send it back,
// so one layout serves both directions. Field order: four 8-bit fields
// (build day, month, hour, flags), two 16-bit fields (build year, machine id),
// the serial number, a reserved word, two 32-bit fields (search range and
// oscillator offset, floats) and two texts of at most 16 characters.
typedef DiagTextRecord ProductionRecord;

// Start parameters of the tracking test, a record of bytes in this order.
// The duration takes two byte positions, so the last two fields are the
// record's bytes 6 and 7.
struct TrackingTestParams {
    uint8_t satellite;
    uint8_t mode;          // the tracking test page always sends 1
    uint8_t channelCount;
    uint8_t delay;         // seconds before collecting
    uint16_t duration;     // seconds of collection
    uint8_t storeOscInfo;  // 1: store the oscillator result in flash
    uint8_t snrUnits;      // 0 dB-Hz, 1 AMU
};

// The combined reset / shutdown / standby command.
struct ShutdownStandbyRecord {
    char mode;             // 'S' standby, 'C' cold, 'W' warm, 'F' factory, 'H' hot
    uint8_t storageOption; // which non-volatile data survives
    uint8_t startupFlags;  // what wakes the receiver from standby
    uint32_t duration;     // seconds of standby
};
