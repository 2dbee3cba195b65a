#pragma once
// Commands in other makers' NMEA dialects (SiRF, Nemerix, QinetiQ, ST/Tyco,
// u-blox, uNav), sent instead of the maker's own sentences while the link
// runs one of their vendor sub-modes. u-blox resets and its save command are
// binary UBX messages.
//
// Every builder takes the caller's array first and returns true when it
// built something; otherwise the array is left empty and nothing is sent.
// Reset types are those of the command API (1 cold, 2 warm, 3 hot, 4
// factory, ...). Port and output builders build the set form only (flag 1):
// these receivers have no query for them. Builders that send several
// sentences (or UBX messages) put them all into the one array, for one write.
#include <cstdint>

#include "framework/WinTypes.h"
#include "model/ModelRecords.h"

class CByteArray;

// ---- SiRF (and Navman, which takes the same forms) ----
bool BuildSirfReset(CByteArray& bytes, int resetType);
bool BuildSirfOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config);
bool BuildSirfPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);

// ---- Nemerix ----
bool BuildNemerixReset(CByteArray& bytes, int resetType);
bool BuildNemerixOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config);
bool BuildNemerixPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);
bool BuildNemerixVersionQuery(CByteArray& bytes);

// ---- QinetiQ ----
bool BuildQinetiqReset(CByteArray& bytes, int resetType);
bool BuildQinetiqOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config);
bool BuildQinetiqPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);
bool BuildQinetiqVersionQuery(CByteArray& bytes);

// ---- ST/Tyco ----
bool BuildTycoReset(CByteArray& bytes, int resetType);
// portBaud: the baud of the serial port the link is open on, 0 on a replay;
// the sentence repeats it because the receiver's command sets both at once.
bool BuildTycoOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config, uint32_t portBaud);
bool BuildTycoPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);
bool BuildTycoVersionQuery(CByteArray& bytes);

// ---- u-blox ----
// UBX CFG-RST; the factory reset (type 4) first clears the saved port and
// message configuration with CFG-CFG, then resets cold.
bool BuildUbxReset(CByteArray& bytes, int resetType);
// UBX CFG-CFG saving the port and message configuration.
bool BuildUbxSaveConfig(CByteArray& bytes);
bool BuildUbloxOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config);
bool BuildUbloxPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);

// ---- uNav ----
bool BuildUnavReset(CByteArray& bytes, int resetType);
// portBaud as for ST/Tyco.
bool BuildUnavOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config, uint32_t portBaud);
bool BuildUnavPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port);
bool BuildUnavVersionQuery(CByteArray& bytes);
