#pragma once
// The one numbering of receiver protocols shared by the whole monitor.
#include <cstdint>

typedef int32_t ProtocolKind;

enum : int32_t {
    PROTO_NONE = 0,
    PROTO_AUTO = 1,
    PROTO_RAW = 2,
    PROTO_QBIN = 3,
    PROTO_NMEA = 4,
    PROTO_QTXT = 5,
    PROTO_KESTO = 6,
    PROTO_QOP = 7,
    PROTO_SCPI = 8,
    PROTO_TOD = 9,
    PROTO_SIRF_NMEA = 10,
    PROTO_UBLOX_NMEA = 11,
    PROTO_UNAV_NMEA = 12,
    PROTO_NEMERIX_NMEA = 13,
    PROTO_QINETIQ_NMEA = 14,
    PROTO_TYCO_NMEA = 15,
    PROTO_NAVMAN_NMEA = 16,
    PROTO_PROF = 17,
    PROTO_CUSTOM_BIN = 18,
    PROTO_CUSTOM_ASCII = 19,
    PROTO_MON = 20,
    PROTO_NONE_END = 21,
    PROTO_KIND_COUNT = 22
};

// True for every valid code, 0..21.
inline bool IsValidProtocolKind(int32_t kind) { return kind >= 0 && kind < PROTO_KIND_COUNT; }
// Kinds 10..16: another maker's NMEA dialect, run as NMEA with a vendor sub-mode.
inline bool IsVendorDialect(int32_t kind) { return kind >= PROTO_SIRF_NMEA && kind <= PROTO_NAVMAN_NMEA; }

// The kind's identifier ("QBIN", "SIRF NMEA", ...); "" outside 0..21.
const char* GetProtocolName(ProtocolKind kind);

// Name typed on the command line, in a script or a setting -> code; 0 when unknown.
// Lower-cases ASCII letters, then compares exactly (no trimming), first match wins.
ProtocolKind ParseProtocolName(const char* name);
