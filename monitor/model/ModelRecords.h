#pragma once
// Every record the receiver data model keeps, shared by the decoders that fill
// them and the views that read them back. Fields are in the order the reports
// and views list them. Records are plain fixed-size values: the model copies
// them whole under its lock, so a reader never sees a half-written record, and
// nothing is allocated per report. Decoders fill fields one by one from wire
// bytes (byte order and widths differ), never by copying wire bytes in.
#include <cstddef>
#include <cstdint>
#include <cstring>

enum : int {
    MODEL_COMPONENT_COUNT = 20,   // component version table
    MODEL_CHANNEL_COUNT = 12,     // tracking and signal-level entries
    MODEL_REPORT_FLAG_COUNT = 12, // sentence-seen flags
    MODEL_REPORT_TEXT_COUNT = 37, // source-label slots
    MODEL_FIX_SV_COUNT = 12,      // satellites kept in the fix-mode record
    MODEL_SV_COUNT = 32,          // satellites 1..32
    MODEL_NAME_LENGTH = 64,       // version and product texts, terminator included
    MODEL_PROD_TEXT_LENGTH = 17   // production record texts: 16 characters + terminator
};

// Copies a text into a fixed record field, always terminated, cut when too long.
template <size_t N>
inline void CopyRecordText(char (&dst)[N], const char* src)
{
    size_t n = 0;
    if (src) {
        while (n + 1 < N && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
}

// ---- Identification -------------------------------------------------------

struct FirmwareVersionRecord {
    char name[MODEL_NAME_LENGTH];
    uint8_t major;
    uint8_t minor;
    int16_t build;     // -1 when not known
    uint8_t month;
    uint8_t day;
    uint16_t year;     // two digits as the version reports give it (5 = 2005)
};

struct ComponentVersionTable {
    FirmwareVersionRecord entries[MODEL_COMPONENT_COUNT];
    uint8_t count;     // valid entries
};

struct ProductRecord {
    uint16_t code;     // product or model code (QBIN: the hardware code)
    char name[MODEL_NAME_LENGTH];
    uint32_t serialNumber;
    uint8_t buildMonth;
    uint8_t buildDay;
    uint8_t buildHour;
    uint16_t buildYear;
};

// ---- Navigation -----------------------------------------------------------

enum : uint8_t {
    NAV_FIX_BAD = 0x01,
    NAV_FIX_DIFFERENTIAL = 0x02,
    NAV_FIX_2D = 0x04,
    NAV_FIX_FILTERED = 0x10
};

struct NavState {
    uint8_t fixValid;          // 1 when the report gave a usable fix
    double timeOfFix;          // GPS seconds of week; negative = no valid time
    uint16_t week;
    double latitude;           // radians
    double longitude;          // radians
    double height;             // metres above the ellipsoid
    double x, y, z;            // ECEF, metres
    // m/s. NMEA, KESTO and QTXT give speed over ground and course instead of a
    // vector: for them east holds the speed (m/s), north the heading
    // (radians) and up the vertical speed (m/s); a value not given is
    // -700000.0 (-800000.0 where a report marks a value it leaves as it was).
    double velEast, velNorth, velUp;
    double velX, velY, velZ;   // ECEF velocity, m/s
    double clockBias;          // metres
    float clockBiasRate;       // m/s
    uint8_t svCount;           // satellites in the list
    uint8_t svs[MODEL_SV_COUNT];
    uint8_t fixFlags;          // NAV_FIX_*
    int16_t datum;             // 0 WGS-84, negative unknown, else datum number
    uint16_t iode[MODEL_SV_COUNT];
    int8_t utcOffset;          // GPS-UTC, seconds
    // Filled by the NMEA decoders for the views and recorders that need them.
    double geoidSeparation;    // metres (GGA)
    double groundSpeedKnots;   // RMC, VTG
    double heading;            // radians (RMC, VTG)
    double ggaHdop;            // GGA; -1.0 when it gave none
};

// Kinds of UpdateNavState: what the report carried.
enum : int32_t {
    NAV_KIND_SVS_ONLY = 0,
    NAV_KIND_LLA = 3,
    NAV_KIND_XYZ = 4,
    NAV_KIND_VEL_ENU = 5,
    NAV_KIND_VEL_XYZ = 6,
    NAV_KIND_FIX = 7,
    NAV_KIND_TIMING_FIX = 8,
    NAV_KIND_CLOCK = 17,
    NAV_KIND_LLA_DOUBLE = 57,
    NAV_KIND_LLA_SINGLE = 58,
    NAV_KIND_XYZ_DOUBLE = 59,
    NAV_KIND_XYZ_SINGLE = 60
};

struct FixModeRecord {
    uint8_t fixMode;           // 0..7 (3 = 2-D, 4 = 3-D)
    uint8_t manualMode;
    uint8_t svCount;
    uint8_t svs[MODEL_FIX_SV_COUNT];
    uint16_t extra;
};

struct DopRecord {
    double hdop;
    double vdop;
    double tdop;
    double pdop;
};

enum : uint8_t { TIME_SOURCE_UTC_CALENDAR = 3 };
enum : uint16_t { TIME_YEAR_NONE = 30000 };

struct GpsTimeInfo {
    uint32_t timeOfWeek;       // whole seconds
    uint16_t week;
    uint8_t utcOffset;         // seconds
    uint8_t source;            // 3: the calendar fields carry UTC
    uint8_t month;
    uint8_t day;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
    uint16_t year;             // 30000 = none
    uint8_t timingFlags;
};

struct ReferenceAltitude {
    float value;
    uint8_t flag;              // non-zero: an altitude is set
};

// ---- Receiver status ------------------------------------------------------

struct DiagStatusRecord {
    uint32_t values[3];
    uint16_t value16;
};

// The production configuration reply; the diagnostics page edits the same
// record and sends it back, hence one layout under two names.
struct DiagTextRecord {
    uint8_t buildDay;
    uint8_t buildMonth;
    uint8_t buildHour;
    uint8_t flags;             // bit 0 search range set, bit 1 oscillator offset set
    uint16_t buildYear;
    uint16_t machineId;
    uint32_t serialNumber;
    uint32_t reserved;
    float searchRange;         // ppm
    float oscillatorOffset;    // ppm
    char productPartNumber[MODEL_PROD_TEXT_LENGTH];
    char hardwareId[MODEL_PROD_TEXT_LENGTH];
};
typedef DiagTextRecord ProdConfigRecord;

// ---- Satellites and signals -----------------------------------------------

struct TrackingEntry {
    uint8_t sv;                // 0 = empty entry
    float signalLevel;
    uint8_t status;            // bit 0x40 = tracking
    uint8_t status2;           // 254 = none
    float azimuth;             // radians
    float elevation;           // radians
};

struct TrackingTable {
    uint32_t head;
    TrackingEntry entries[MODEL_CHANNEL_COUNT];
};

struct SignalLevelEntry {
    uint8_t sv;
    float signalLevel;
};

struct SignalLevelTable {
    SignalLevelEntry entries[MODEL_CHANNEL_COUNT];
    uint8_t count;
};

struct RawMeasurement {
    uint8_t sv;
    uint8_t sampleLength;      // the report's float, kept as a whole number
    uint8_t spare;
    float signalLevel;
    float codePhase;
    float doppler;
    double timeOfMeasurement;
};

struct SvFlags {
    uint8_t flags[MODEL_SV_COUNT];  // satellite 1..32 at index 0..31
};

// ---- System data ----------------------------------------------------------

struct AlmanacHealthPage {
    uint8_t wnOa;              // week of the almanac, low 8 bits
    uint8_t tOa;
    uint8_t health[MODEL_SV_COUNT];
    uint8_t currentTOa;
    uint16_t currentWnOa;
};

struct AlmanacRecord {
    uint8_t sv;                // 0 = none
    int32_t tOaRaw;            // -1 = not available
    uint8_t health;
    float e, tOa, i0, omegaDot, sqrtA, omega0, omega, m0, af0, af1;
    float axis, n, omegaN, odotN, tZc;
    uint16_t wnOa;
    uint16_t weekNumber;
};

struct EphemerisRecord {
    uint8_t sv;
    float collectionTime;      // negative = not available
    // subframe 1
    uint8_t codeL2;
    uint16_t weekNumber;
    uint8_t l2PData;
    uint8_t accuracyIndex;
    float accuracy;            // metres
    uint8_t health;
    float tGd;
    uint16_t iodc;
    float tOc, af2, af1, af0;
    // subframes 2 and 3
    uint8_t iode;
    float cRs, deltaN;
    double m0;
    float cUc;
    double e;
    float cUs;
    double sqrtA;
    float tOe;
    uint8_t fitInterval;
    float cIc;
    double omega0;
    float cIs;
    double i0;
    float cRc;
    double omega;
    float omegaDot, iDot;
    double axis, n, r1me2, omegaN, odotN;
};

struct UtcParams {
    float a1;
    double a0;
    float tOt;
    uint16_t wnT;
    int16_t deltaTLs;
    uint16_t wnLsf;
    uint16_t dn;
    int16_t deltaTLsf;
    uint8_t valid;
};

struct IonoParams {
    float alpha[4];
    float beta[4];
};

// ---- Configuration --------------------------------------------------------

struct IoOptions {
    uint8_t position;          // bit 5: live position/velocity reports are refused
    uint8_t velocity;
    uint8_t timing;
    uint8_t auxiliary;         // bit 6: checksum flag
};

struct FilterConfig {
    uint8_t pv;
    uint8_t staticFilter;
    uint8_t altitude;
    uint8_t kalman;
    uint8_t extra;
};

struct NavConfig {
    uint8_t operatingMode;     // 0 automatic 2-D/3-D
    uint8_t dgpsMode;
    uint8_t dynamics;
    float elevationMask;       // radians
    float snrMask;
    float dopMask;
    float dopSwitch;
    uint8_t dgpsAgeLimit;
    uint8_t subcode;           // which form of the reply; decides the command's filler length
};

struct DatumRecord {
    int16_t index;             // -1 user-entered, 0 WGS-84, else a standard datum
    double dx, dy, dz;
    double aAxis;
    double eSquared;
};

struct PortConfigRecord {
    uint32_t comPort;
    uint32_t baud;
    uint8_t parity;            // 0 none, 1 odd, 2 even
    uint8_t stopBits;          // 0 one, 2 two
    uint8_t dataBits;
    uint8_t receiverPort;      // 0 A, 1 B, 255 the port the command arrives on
    uint8_t inputMask;         // QTXT 0x1, QBIN 0x2, NMEA 0x4
    uint8_t outputMask;
};

struct NmeaOutputConfig {
    uint32_t interval;         // low byte used
    uint32_t mask;
};

enum { QTXT_PERIOD_AL, QTXT_PERIOD_CP, QTXT_PERIOD_ID, QTXT_PERIOD_LN,
       QTXT_PERIOD_PV, QTXT_PERIOD_ST, QTXT_PERIOD_TM, QTXT_PERIOD_VR, QTXT_PERIOD_COUNT };

struct QtxtConfigRecord {
    char messageId[3];         // two characters + terminator
    uint16_t interval;         // seconds
    uint16_t maxInterval;      // seconds
    uint16_t distance;         // metres
    uint16_t epoch;            // seconds from the top of the hour
    char vehicleId[5];         // four characters + terminator
    uint32_t flagCs, flagEc, flagFr, flagId, flagCr;
    uint16_t periods[QTXT_PERIOD_COUNT];
};

struct SupplementalTiming {
    uint8_t receiverMode;
    uint8_t disciplineMode;
    uint8_t surveyProgress;    // percent
    uint32_t holdover;         // seconds
    uint16_t criticalAlarms;
    uint16_t minorAlarms;
    uint8_t decodingStatus;
    uint8_t disciplineActivity;
    uint8_t spare14;
    uint8_t spare15;
    float ppsOffset;           // ns
    float clockOffset;         // ppb
    uint32_t dacValue;
    float dacVoltage;          // V
    float temperature;         // degrees C
    double latitude;           // degrees
    double longitude;          // degrees
    double altitude;           // metres
    float ppsQuantError;       // ns
    uint8_t byte64;
};

struct TimingConfig {
    uint8_t surveyEnable;
    uint8_t surveySave;
    uint32_t surveyLength;
    uint16_t broadcastMask0;
    uint16_t broadcastMask1;
    uint32_t autoPacketMask;
    uint8_t timingMode;        // bit 0 UTC date/time, bit 1 PPS aligned to UTC
    uint8_t ppsOutputMode;     // bit 7 even second, bits 0..6 qualifier
    uint8_t ppsEnabled;
    uint8_t timeBase;
    uint8_t ppsPolarity;
    double ppsOffset;          // seconds
    float biasThreshold;       // metres
    double ppsWidth;           // ns; negative = unknown or not supported
    float timeConstant, damping, ko, minVoltage, maxVoltage, jamSyncThreshold,
        maxFreqOffset, initialDac;
};

// Activity flags for the main window's indicators.
enum : uint32_t {
    ACT_BYTE_RECEIVED = 1,
    ACT_BYTE_SENT = 2,
    ACT_POSITION = 4,
    ACT_VELOCITY = 8,
    ACT_FIX_MODE = 16,
    ACT_TIME = 32,
    ACT_FIX_REPORT = 64
};
