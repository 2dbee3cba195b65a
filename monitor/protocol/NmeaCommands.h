#pragma once
// The NMEA commands of the maker's own dialect: "$PZUL..." proprietary
// sentences and the "$GPGPQ" queries, each finished with "*hh" CR LF.
//
// Every builder takes the caller's array first, fills it with one complete
// sentence and returns true, or returns false with the array empty when its
// input names no command the receiver knows or cannot be written in the
// sentence, so that the command API sends nothing. Set/query builders take a
// flag: 1 builds the set form with its data, any other value the query form.
#include <cstdint>

#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "model/ModelRecords.h"
#include "protocol/QbinCommandRecords.h"

class CByteArray;

enum : int {
    // A sentence is composed as text of at most this many characters, its
    // "*hh" and terminating zero included.
    NMEA_SENTENCE_ROOM = 256,
    // The longest typed command: "$", the text and "*hh" fill the room.
    NMEA_MAX_TYPED_TEXT = NMEA_SENTENCE_ROOM - 5,
    // The shortest: a sentence under 8 bytes on the wire is no sentence to
    // any NMEA reader, ours included.
    NMEA_MIN_TYPED_TEXT = 2
};

// text: a sentence from "$" up to its checksum field, without "*". Fills the
// emptied array with the text, "*", the two upper-case hex digits of the XOR
// of every character after "$", CR and LF. False, array empty, for a text
// that does not start with "$" or would not fit NMEA_SENTENCE_ROOM.
bool FinishNmeaSentence(const char* text, CByteArray& sentence);
// The text composed by printf rules ("." as decimal point), then finished;
// false, array empty, when the composed text would not fit.
bool ComposeNmeaSentence(CByteArray& sentence, const char* format, ...) AFX_PRINTF_FORMAT(2, 3);
// The bauds every NMEA port command can set: 1200 to 115200 in the usual steps.
bool IsNmeaPortBaud(uint32_t baud);

bool BuildNmeaHealthQuery(CByteArray& sentence);
bool BuildNmeaGsaQuery(CByteArray& sentence);
bool BuildNmeaGsvQuery(CByteArray& sentence);
// Reset types 1..7 (cold, warm, hot, factory, semi-warm, semi-hot, 7).
bool BuildNmeaReset(CByteArray& sentence, int resetType);
bool BuildNmeaSaveConfig(CByteArray& sentence);
bool BuildNmeaPortConfig(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port);
// One sentence carries both records, so the set form joins the navigation
// configuration with the filter configuration.
bool BuildNmeaReceiverConfig(CByteArray& sentence, BYTE setFlag, const NavConfig* config,
                             const FilterConfig* filter);
bool BuildNmeaDatum(CByteArray& sentence, BYTE setFlag, uint16_t datumIndex);
bool BuildNmeaGpsTime(CByteArray& sentence, BYTE setFlag, uint32_t timeOfWeek, uint16_t week);
// which 0: the navigation firmware, 1: the second processor.
bool BuildNmeaVersionQuery(CByteArray& sentence, int which);
bool BuildNmeaHardwareQuery(CByteArray& sentence);
bool BuildNmeaOutputConfig(CByteArray& sentence, BYTE setFlag, const NmeaOutputConfig* config);
// A sentence typed by the user without "$" and checksum. Builds nothing for a
// text that is empty, too long or holds a character outside 0x20..0x7E;
// error, when given, then says why.
bool BuildNmeaFromText(CByteArray& sentence, const char* text, CString* error = nullptr);
bool BuildNmeaAlmanacStatusQuery(CByteArray& sentence);
bool BuildNmeaEphemerisQuery(CByteArray& sentence, BYTE sv);
bool BuildNmeaAlmanacQuery(CByteArray& sentence, BYTE sv);
bool BuildNmeaAlmanacHealthQuery(CByteArray& sentence);
bool BuildNmeaUtcQuery(CByteArray& sentence);
bool BuildNmeaIonoQuery(CByteArray& sentence);
// coordinateKind 0 (latitude, longitude in radians, altitude in metres) only.
bool BuildNmeaInitialPosition(CByteArray& sentence, int coordinateKind, const double coordinates[3]);
bool BuildNmeaPpsConfig(CByteArray& sentence, BYTE setFlag, const TimingConfig* timing);
bool BuildNmeaShutdown(CByteArray& sentence, BYTE setFlag, const ShutdownStandbyRecord* record);
// states: one byte per satellite 1..32, 0 = excluded.
bool BuildNmeaSatelliteMasks(CByteArray& sentence, BYTE setFlag, const BYTE states[32], uint32_t mask);
