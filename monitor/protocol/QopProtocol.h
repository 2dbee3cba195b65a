#pragma once
// QOP: binary messages "@@" id1 id2 data... checksum CR LF, with a fixed length
// per id. The reader thread takes the expected length from the message table
// while it collects a frame; the check and the dispatcher are here too.
#include <cstdint>

#include "framework/WinTypes.h"

class CModel;

// Decodes the data of one reply (the bytes after "@@" and the id).
typedef void (*QopReplyParser)(const BYTE* data, int length, CModel* model);

struct QopMessageRow {
    uint16_t id;             // first id letter in the high byte; 0 ends the table
    uint16_t commandLength;  // every byte from "@" to LF
    uint16_t replyLength;
    QopReplyParser parser;   // none for replies the monitor does not decode
};

enum : uint16_t {
    QOP_MESSAGE_COUNT = 21,
    QOP_NOT_FOUND = 0xFFFF,
    QOP_LENGTH_COMMAND = 0,  // selectors of GetQopMessageLength
    QOP_LENGTH_REPLY = 2,
};

// The 21 known messages in their fixed order, followed by a row with id 0.
extern const QopMessageRow kQopMessageTable[QOP_MESSAGE_COUNT + 1];

class CByteArray;

// Message framing: Begin empties the array and writes "@@" and the two id
// letters; Append adds one data byte (QOP has no escaping); End appends the
// checksum, CR and LF.
void BeginQopMessage(CByteArray& message, char id1, char id2);
void AppendQopByte(CByteArray& message, BYTE b);
void EndQopMessage(CByteArray& message);

// XOR of bytes 2 .. length-4 of a whole message (id through last data byte).
BYTE ComputeQopChecksum(const BYTE* message, int length);

// False below 7 bytes (the shortest message); else whether the checksum byte
// (third from the end) matches.
bool CheckQopMessage(const BYTE* message, int length);

// Index of the row whose id equals bytes 2 and 3, or QOP_NOT_FOUND. The caller
// guarantees at least 4 bytes.
uint16_t FindQopMessage(const BYTE* message);

// Command length (selector 0) or reply length (selector 2) of the id in bytes
// 2 and 3; 0 for an unknown id or selector. At least 4 bytes, as above.
uint16_t GetQopMessageLength(const BYTE* message, int selector);

// Hands an accepted message to its row's parser, with the bytes after "@@"
// and the id (data, checksum, CR LF) and their count, length - 4. Only a
// message of its id's reply length is decoded; unknown ids and rows without a
// parser are ignored.
void DispatchQopMessage(const BYTE* message, int length, CModel* model);

// ---- Reply parsers ---------------------------------------------------------------
// Each is given what the dispatcher hands on and decodes only a reply of its
// full length (the table's reply length less the 4 header bytes); any other
// length stores nothing.

// "Ha": date and time, position, the 12 channels, receiver status and DOP;
// a fix is stored as a combined timing-fix report.
void ParseQopPositionStatus(const BYTE* data, int length, CModel* model);
// "Bb": elevation and azimuth of the visible satellites, for the channels
// that track them.
void ParseQopSatellites(const BYTE* data, int length, CModel* model);
// "Cj": the software version and date lines of the receiver's text.
void ParseQopVersion(const BYTE* data, int length, CModel* model);

// ---- Command builders ----------------------------------------------------------
// Each takes the caller's array first and fills it with one whole message
// ("@@", id, data, checksum, CR LF), returning true; or returns false with the
// array empty, and the command API then sends nothing.

class CByteArray;
class CString;
struct PortConfigRecord;

bool BuildQopPositionQuery(CByteArray& message);
bool BuildQopSatelliteQuery(CByteArray& message);
// Reset type 4 (factory) only: the receiver knows no other reset.
bool BuildQopSetDefaults(CByteArray& message, int resetType);
// Set form (flag 1) only, and only for a port whose output is QBIN alone.
bool BuildQopPortCommand(CByteArray& message, BYTE setFlag, const PortConfigRecord* port);
bool BuildQopVersionQuery(CByteArray& message);
// Two id characters, then hex data bytes (one or two hex digits each, in
// either case, separated by blanks), as typed by the user; no data is allowed.
// A short id or a bad token builds nothing; error, when given, then says why
// and names it.
bool BuildQopFromHexText(CByteArray& message, const char* text, CString* error = nullptr);
