#include "protocol/MonFrame.h"

#include <cstring>

#include "framework/CArray.h"
#include "model/CModel.h"
#include "protocol/QopProtocol.h"

namespace {

// Offsets in a frame: 0 STX, 1 the 0x00, 2 id, 3 data length, 4 first data
// byte; the sum and ETX follow the data.
enum : int {
    MON_OFFSET_ID = 2,
    MON_OFFSET_LENGTH = 3,
    MON_FIRST_DATA = 4,
    MON_TRAILER_LENGTH = 2,
    MON_OVERHEAD = MON_FIRST_DATA + MON_TRAILER_LENGTH
};

enum : BYTE {
    MON_ID_VERSION_QUERY = 0x76,
    MON_ID_MEMORY_READ = 0x80,
    MON_ID_MEMORY_REPLY = 0x92,
    MON_ID_VERSION_REPLY = 0x96,
    MON_READ_16_BITS = 1,      // the command API's flag for a 16-bit read
    MON_READ_WIDTH_WORD = 0x02 // the frame's width byte: two bytes
};

enum : int {
    MON_MEMORY_VALUE_LENGTH = 2,
    MON_VERSION_REPLY_LENGTH = 12
};

const char kMonitorModeName[] = "Monitor Mode";

// The memory reply as the QBIN diagnostic memory reply listeners already
// read: DLE 0x5F 01 02 01, the 32-bit address, the 16-bit value, DLE ETX.
const BYTE kMemoryReplyHead[] = {0x10, 0x5F, 0x01, 0x02, 0x01};
const BYTE kMemoryReplyTail[] = {0x10, 0x03};
enum : int {
    MEMORY_REPLY_LENGTH = sizeof kMemoryReplyHead + 4 + MON_MEMORY_VALUE_LENGTH + sizeof kMemoryReplyTail
};

uint16_t BigEndian16(const BYTE* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

// The data bytes the frame holds: its length byte, but never more than lie
// between the length byte and the sum.
int DataLength(const BYTE* frame, int length)
{
    const int present = length - MON_OVERHEAD;
    const int declared = frame[MON_OFFSET_LENGTH];
    return declared < present ? declared : present;
}

void DecodeMemoryReply(const BYTE* frame, int length, CModel* model)
{
    if (DataLength(frame, length) < MON_MEMORY_VALUE_LENGTH) return;
    const uint32_t address = model->GetMonReadAddress();
    BYTE reply[MEMORY_REPLY_LENGTH];
    int n = 0;
    for (BYTE b : kMemoryReplyHead) reply[n++] = b;
    for (int shift = 24; shift >= 0; shift -= 8) reply[n++] = static_cast<BYTE>(address >> shift);
    reply[n++] = frame[MON_FIRST_DATA];
    reply[n++] = frame[MON_FIRST_DATA + 1];
    for (BYTE b : kMemoryReplyTail) reply[n++] = b;
    model->SetLastRawFrame(PROTO_QBIN, reply, n);
}

// Major, minor, month, day, 16-bit year.
void DecodeVersionReply(const BYTE* frame, int length, CModel* model)
{
    if (length != MON_VERSION_REPLY_LENGTH) return;
    FirmwareVersionRecord rec;
    std::memset(&rec, 0, sizeof rec);
    CopyRecordText(rec.name, kMonitorModeName);
    rec.major = frame[MON_FIRST_DATA];
    rec.minor = frame[MON_FIRST_DATA + 1];
    rec.build = 0;
    rec.month = frame[MON_FIRST_DATA + 2];
    rec.day = frame[MON_FIRST_DATA + 3];
    rec.year = BigEndian16(frame + MON_FIRST_DATA + 4);
    model->IdentifyReceiver(rec, 0);
}

}  // namespace

uint32_t SumBytes(const BYTE* bytes, int n)
{
    uint32_t sum = 0;
    if (bytes == nullptr) return 0;
    for (int i = 0; i < n; ++i) sum += bytes[i];
    return sum;
}

bool CheckMonFrame(const BYTE* frame, int length)
{
    // The shortest frame with a sum field is STX, 0x00, sum, ETX.
    if (frame == nullptr || length < 4) return false;
    if (frame[0] != MON_STX || frame[length - 1] != MON_ETX) return false;
    return frame[length - 2] == static_cast<BYTE>(SumBytes(frame + 2, length - 4));
}

void DecodeMonFrame(const BYTE* frame, int length, CModel* model)
{
    if (frame == nullptr || model == nullptr || length < MON_OVERHEAD) return;
    switch (frame[MON_OFFSET_ID]) {
    case MON_ID_MEMORY_REPLY: DecodeMemoryReply(frame, length, model); break;
    case MON_ID_VERSION_REPLY: DecodeVersionReply(frame, length, model); break;
    default: break;
    }
}

// ---- Frame framing ---------------------------------------------------------------

void MonBeginFrame(CByteArray& frame, BYTE id)
{
    frame.RemoveAll();
    frame.Add(MON_STX);
    frame.Add(0x00);
    frame.Add(id);
}

void MonAppendBigEndian(CByteArray& frame, uint32_t value, int count)
{
    if (count > 4) count = 4;
    for (int i = count - 1; i >= 0; --i) AppendQopByte(frame, static_cast<BYTE>(value >> (8 * i)));
}

void MonAppendU16(CByteArray& frame, uint16_t value) { MonAppendBigEndian(frame, value, 2); }
void MonAppendU32(CByteArray& frame, uint32_t value) { MonAppendBigEndian(frame, value, 4); }

void MonEndFrame(CByteArray& frame)
{
    // Only a frame MonBeginFrame started has an id to put the length after.
    if (frame.GetSize() < MON_OFFSET_LENGTH) return;
    const INT_PTR dataLength = frame.GetSize() - (MON_OFFSET_ID + 1);
    frame.InsertAt(MON_OFFSET_LENGTH, static_cast<BYTE>(dataLength));
    BYTE sum = 0;
    for (INT_PTR i = MON_OFFSET_ID; i < frame.GetSize(); ++i) sum = static_cast<BYTE>(sum + frame[i]);
    frame.Add(sum);
    frame.Add(MON_ETX);
}

// ---- Command builders ----------------------------------------------------------

bool BuildMonVersionQuery(CByteArray& frame)
{
    MonBeginFrame(frame, MON_ID_VERSION_QUERY);
    MonEndFrame(frame);
    return true;
}

bool BuildMonMemoryRead(CByteArray& frame, BYTE flag, uint32_t address)
{
    if (flag != MON_READ_16_BITS) {
        frame.RemoveAll();
        return false;
    }
    MonBeginFrame(frame, MON_ID_MEMORY_READ);
    MonAppendU32(frame, address);
    AppendQopByte(frame, MON_READ_WIDTH_WORD);
    MonEndFrame(frame);
    return true;
}
