#include "link/ProtocolKind.h"

#include <cstring>

namespace {

const char* const kNames[PROTO_KIND_COUNT] = {
    "NONE", "AUTO", "RAW", "QBIN", "NMEA", "QTXT", "KESTO", "QOP", "SCPI", "TOD",
    "SIRF NMEA", "UBLOX NMEA", "UNAV NMEA", "NEMERIX NMEA", "QINETIQ NMEA", "TYCO NMEA",
    "NAVMAN NMEA", "PROF", "CUSTOM BIN", "CUSTOM ASCII", "MON", "NONE"};

struct NameRow {
    ProtocolKind kind;
    const char* spelling;
};

// Order matters: the first match wins.
const NameRow kSpellings[] = {
    {1, "auto"}, {3, "qbin"}, {5, "qtxt"}, {4, "nmea"}, {7, "qop"}, {2, "raw"},
    {6, "kesto"}, {8, "scpi"}, {9, "tod"},
    {10, "sirf nmea"}, {10, "sirf_nmea"}, {10, "sirf n"}, {10, "sirf_n"}, {10, "sirf"},
    {11, "ublox nmea"}, {11, "ublox_nmea"}, {11, "ublx n"}, {11, "ublx_n"}, {11, "ublx"},
    {11, "ublox"}, {11, "ubx"},
    {12, "unav nmea"}, {12, "unav_nmea"}, {12, "unav n"}, {12, "unav_n"}, {12, "unav"},
    {12, "orion"}, {12, "casio"},
    {13, "nemerix nmea"}, {13, "nemerix_nmea"}, {13, "nmrx n"}, {13, "nmrx_n"}, {13, "nmrx"},
    {13, "nemerix"},
    {14, "qinetiq nmea"}, {14, "qinetiq_nmea"}, {14, "qntq n"}, {14, "qntq_n"}, {14, "qntq"},
    {14, "qinetiq"},
    {15, "tyco nmea"}, {15, "tyco_nmea"}, {15, "tyco n"}, {15, "tyco_n"}, {15, "tyco"},
    {16, "navman nmea"}, {16, "navman_nmea"}, {16, "nvmn n"}, {16, "nvmn_n"}, {16, "nvmn"},
    {16, "navman"}, {16, "jupiter"},
};

}  // namespace

const char* GetProtocolName(ProtocolKind kind) {
    return IsValidProtocolKind(kind) ? kNames[kind] : "";
}

ProtocolKind ParseProtocolName(const char* name) {
    if (name == nullptr) return PROTO_NONE;
    char lower[32];
    size_t n = std::strlen(name);
    if (n >= sizeof lower) return PROTO_NONE;  // longer than any spelling
    for (size_t i = 0; i <= n; ++i) {
        char c = name[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const NameRow& row : kSpellings) {
        if (std::strcmp(lower, row.spelling) == 0) return row.kind;
    }
    return PROTO_NONE;
}
