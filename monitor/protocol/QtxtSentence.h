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

// Decodes an accepted sentence into the model: the "R" reports and the "D"
// and "F" reporting replies. length counts the bytes delivered; no field is
// read past them, and a report whose fields are missing or malformed stores
// nothing (sentences are accepted from 5 characters on).
//
// The navigation state has no slots of its own for what QTXT reports, so its
// velocity slots carry them: velEast the speed (m/s), velNorth the heading
// (radians), velUp the vertical speed (m/s), with groundSpeedKnots and
// heading filled beside them. A value the report lacks is -700000.0, or
// -800000.0 ("no new value") where another report supplies it.
void DispatchQtxtSentence(const BYTE* sentence, int length, CModel* model);

// Stores the receiver's (GPS) time of day as a UTC time without date: the
// model's GPS-UTC offset, when it has one, is taken off, wrapping into the
// previous day below 0. A time of
// day outside 0..86399 stores nothing. Returns whether it stored.
bool SetQtxtTimeOfDay(int32_t secondsOfDay, CModel* model);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one finished sentence
// (">" body ";*" hh "<"), returning true; or returns false with the array
// empty, and the command API then sends nothing. Flag 1 builds the set form,
// any other value the query form. A builder that reads a record builds
// nothing for a null record.

class CByteArray;
class CString;
struct PortConfigRecord;
struct QtxtConfigRecord;

// Ends a sentence text (">" and body; one trailing "<" is dropped) with ";*",
// the two upper-case hex digits of the XOR of every character so far and
// "<", and puts the result into the array, which is emptied first.
void FinishQtxtSentence(const char* text, CByteArray& sentence);

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
// A sentence typed by the user without ">" and checksum, trimmed of blanks at
// both ends. Builds nothing for a text that is empty, longer than
// QTXT_TEXT_LIMIT or holds a character outside 0x20..0x7E; error, when given,
// then says why.
enum : int { QTXT_TEXT_LIMIT = 194 };  // ">", text, ";*", hh and "<" fill 200 characters
bool BuildQtxtFromText(CByteArray& sentence, const char* text, CString* error = nullptr);
// The configuration's two message-id characters, then (set form) its values
// as four-digit fields: interval and epoch; for distance reporting interval,
// epoch, distance and the longest interval. A value above 9999 or an id
// character outside 0x21..0x7E builds nothing.
bool BuildQtxtFrequencyReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
bool BuildQtxtDistanceReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
// Set form: the four vehicle-id characters (each 0x20..0x7E).
bool BuildQtxtVehicleId(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
bool BuildQtxtReportingFlags(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config);
