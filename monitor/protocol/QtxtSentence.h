#pragma once
// QTXT sentences: ">" body [";*" hh] "<", the tracking receivers' ASCII protocol.
//
// The reader thread collects a sentence up to its "<" and asks CheckQtxtSentence
// whether to trust it; accepted sentences go to DispatchQtxtSentence. The
// XOR checksum is shared with NMEA.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;

// XOR of the first n bytes (n is a 16-bit count, as in every caller's frame).
BYTE ComputeXorChecksum(const BYTE* bytes, uint16_t n);

// length counts every byte from ">" to "<". Shorter than 5 is refused. A
// sentence longer than 8 that ends in ";*" hh "<" is accepted only when the
// XOR of ">" through "*" equals hh; hex digits are read in either case, since
// receivers and users write both. Every other sentence of 5 or more is
// accepted untested (the checksum is optional in this protocol).
bool CheckQtxtSentence(const BYTE* sentence, int length);

// Decodes an accepted sentence into the model. Filled in with the QTXT
// report decoders; until then it ignores every sentence.
void DispatchQtxtSentence(const BYTE* sentence, int length, CModel* model);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one finished sentence
// (">" body ";*" hh "<"), returning true; or returns false with the array
// empty, and the command API then sends nothing. Flag 1 builds the set form,
// any other value the query form. The sentences come with the QTXT command
// set; until then every builder builds nothing.

class CByteArray;
class CString;
struct PortConfigRecord;
struct QtxtConfigRecord;

bool BuildQtxtStatusQuery(CByteArray& sentence);
bool BuildQtxtLongNavQuery(CByteArray& sentence);
bool BuildQtxtSaveConfig(CByteArray& sentence);
// Reset types 1 (cold), 2 (warm) and 4 (factory) only.
bool BuildQtxtReset(CByteArray& sentence, int resetType);
bool BuildQtxtPortConfig(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port);
bool BuildQtxtProtocols(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port);
// The query form only (flag 0): the receiver's time cannot be set this way.
bool BuildQtxtTimeQuery(CByteArray& sentence, BYTE setFlag);
bool BuildQtxtVersionQuery(CByteArray& sentence);
// A sentence typed by the user without ">" and checksum. Builds nothing for a
// text that is empty, too long or holds a character outside 0x20..0x7E;
// error, when given, then says why.
bool BuildQtxtFromText(CByteArray& sentence, const char* text, CString* error = nullptr);
bool BuildQtxtFrequencyReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
bool BuildQtxtDistanceReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
bool BuildQtxtVehicleId(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
bool BuildQtxtReportingFlags(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
