#pragma once
// The model's bookkeeping of where its data came from, shared by every
// decoder: which report last gave each item (the source-label slots shown
// beside the fields) and which sentences have been seen (the flags that rank
// one sentence above another). Also the markers decoders write for values a
// report did not give.
#include <cstdint>

#include "model/ModelRecords.h"

// Source-label slots (CModel::SetReportText).
enum ReportTextSlot : int {
    SLOT_POSITION = 2,
    SLOT_VELOCITY = 3,
    SLOT_TIME = 4,
    SLOT_HEALTH = 5,
    SLOT_FIX_MODE = 6,
    SLOT_MACHINE_ID = 7,
    SLOT_DOPS = 8,
    SLOT_HEALTH_ERRORS = 9,
    SLOT_STATUS_CODE = 10,
    SLOT_ANTENNA = 11,         // the antenna status event's source
    SLOT_CLOCK_BIAS = 12,
    SLOT_FIRMWARE = 13,
    SLOT_PRODUCT = 14,
    SLOT_TRACKING = 16,
    SLOT_PPS = 18,
    SLOT_FILTER = 20,
    SLOT_NMEA_OUTPUT = 21,
    SLOT_PORT = 22,
    SLOT_NAV_CONFIG = 23,
    SLOT_DATUM = 24,
    SLOT_SV_FLAGS = 25,
    SLOT_VEHICLE_ID = 27,
    SLOT_REPORTING = 28,
    SLOT_ALMANAC = 29,
    SLOT_ALMANAC_HEALTH = 30,
    SLOT_UTC = 31,
    SLOT_IONO = 32,
    SLOT_EPHEMERIS = 33,
    SLOT_SV_MASK = 34
};
static_assert(static_cast<int>(SLOT_SV_MASK) < static_cast<int>(MODEL_REPORT_TEXT_COUNT), "every slot has a place in the model");

// Sentence-seen flags (CModel::SetReportFlag): NMEA's, then QTXT's.
enum ReportFlagSlot : int {
    FLAG_TF = 0,
    FLAG_GSA = 1,
    FLAG_ZDA = 2,
    FLAG_RMC = 3,
    FLAG_GGA = 4,
    FLAG_VTG = 5,
    FLAG_LN = 6,
    FLAG_CP = 7,
    FLAG_AL = 8,
    FLAG_PV = 9,
    FLAG_TM = 10
};
static_assert(static_cast<int>(FLAG_TM) < static_cast<int>(MODEL_REPORT_FLAG_COUNT), "every flag has a place in the model");

// A value the report did not give, and one another report gives instead
// (so a display keeps what it shows).
const double kValueUnknown = -700000.0;
const double kValueFromOtherReport = -800000.0;
// Seconds of week when only the time of day is known.
const uint32_t kTimeOfWeekUnknown = static_cast<uint32_t>(INT32_C(-700000));
