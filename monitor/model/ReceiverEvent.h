#pragma once
// The closed set of events a receiver link raises to its listener windows.
// wParam of WM_RECEIVER_EVENT carries the code, lParam (link id << 16) | detail.
#include <cstdint>

// WM_USER + 100; fixed because listeners in every window compare against it.
enum : uint32_t { WM_RECEIVER_EVENT = 0x0464 };

enum ReceiverEvent : int32_t {
    EV_CORE_VERSION = 1,
    EV_FIRMWARE_VERSION = 2,
    EV_POSITION_LLA = 3,
    EV_POSITION_XYZ = 4,
    EV_VELOCITY_ENU = 5,
    EV_VELOCITY_XYZ = 6,
    EV_FIX_REPORT = 7,
    EV_TIMING_FIX = 8,
    EV_GPS_TIME = 9,
    EV_NVS_WRITE_RESULT = 10,
    EV_FIX_MODE = 11,
    EV_HEALTH = 12,
    EV_FRAME_RECEIVED = 13,
    EV_MACHINE_ID = 14,
    EV_TRACKING = 15,
    EV_SIGNAL_LEVELS = 16,
    EV_CLOCK_BIAS = 17,
    EV_IO_OPTIONS = 18,
    EV_FILTER_CONFIG = 19,
    EV_PRODUCT_INFO = 20,
    EV_COMPONENT_VERSION = 21,
    EV_ALMANAC_HEALTH = 22,
    EV_UTC = 23,
    EV_IONOSPHERE = 24,
    EV_ALMANAC = 25,
    EV_EPHEMERIS = 26,
    EV_DGPS_MODE = 27,
    EV_HEALTH_ERRORS = 28,
    EV_ANTENNA_STATUS = 29,
    EV_STATUS_CODE = 30,
    EV_SV_FLAGS = 31,
    EV_NAV_CONFIG = 32,
    EV_DIAG_MESSAGE = 33,
    EV_RAW_FRAME = 34,
    EV_SUPPLEMENTAL_TIMING = 35,
    EV_SELF_SURVEY_PARAMS = 36,
    EV_PACKET_MASK = 37,
    EV_COMMAND_BYTES = 38,
    EV_PORT_CONFIG = 39,
    EV_NMEA_OUTPUT = 40,
    EV_PPS_SETTINGS = 41,
    EV_PPS_OUTPUT_MODE = 42,
    EV_TIMING_MODE = 43,
    EV_END_OF_DATA = 44,
    EV_COMMAND_WRITTEN = 47,
    EV_PACKET_REJECTED = 48,
    EV_QTXT_ID = 49,
    EV_QTXT_REPORTING = 50,
    EV_DIAG_REPORT = 51,
    EV_DOPS = 52,
    EV_DIAG_TEXT = 53,
    EV_RECEIVER_MODEL = 54,
    EV_TIME_SOURCE = 55,
    EV_RAW_MEASUREMENT = 56,
    EV_DATUM = 61,
    EV_CRC_ERROR = 62,
    EV_PPS_WIDTH = 63,
    EV_TIME_SET_REPLY = 64,
    EV_SELF_SURVEY_REPLY = 65,
    EV_PRIMARY_TIMING = 66,
    EV_DIAG_TIME = 67,
    EV_DISCIPLINING_0 = 68,
    EV_DISCIPLINING_1 = 69,
    EV_DISCIPLINING_2 = 70,
    EV_DISCIPLINING_3 = 71,
    EV_SV_MASK = 72,
    EV_QTXT_F_REPORT = 73,
    EV_QTXT_D_REPORT = 74,
    EV_DIAG_STATUS = 75,
    EV_REFERENCE_ALTITUDE = 76,
    EV_AUTO_PACKET_MASK = 77,
    EV_QTXT_CONFIG = 78
};

// The delivery rule every raiser uses: these events carry data that is only
// valid while they are being handled (last frame, last command, raw
// measurement, the failed packet), so they are sent and wait for listeners;
// everything else is posted.
inline bool IsSentEvent(int32_t code)
{
    return code == EV_RAW_FRAME || code == EV_COMMAND_BYTES || code == EV_RAW_MEASUREMENT ||
           code == EV_CRC_ERROR;
}

// True for every code of the closed set; 0, 45, 46 and 57..60 are never raised.
inline bool IsReceiverEvent(int32_t code)
{
    if (code < EV_CORE_VERSION || code > EV_QTXT_CONFIG) return false;
    if (code == 45 || code == 46) return false;
    if (code >= 57 && code <= 60) return false;
    return true;
}
