#include "protocol/UbxMessage.h"

#include "framework/CArray.h"

namespace {

enum : int {
    kSyncLength = 2,
    kLengthOffset = 4,     // after sync, class and id
    kHeaderLength = 6,     // sync, class, id and the two length bytes
    kMaxPayload = 0xFFFF
};

int PayloadLength(const CByteArray& message)
{
    return message[kLengthOffset] | (message[kLengthOffset + 1] << 8);
}

bool HoldsBegunMessage(const CByteArray& message)
{
    return message.GetSize() >= kHeaderLength && message[0] == UBX_SYNC_1 && message[1] == UBX_SYNC_2;
}

} // namespace

void UbxBeginMessage(CByteArray& message, BYTE messageClass, BYTE id)
{
    message.RemoveAll();
    const BYTE header[kHeaderLength] = {UBX_SYNC_1, UBX_SYNC_2, messageClass, id, 0, 0};
    for (BYTE b : header) message.Add(b);
}

void UbxAppendByte(CByteArray& message, BYTE b)
{
    if (!HoldsBegunMessage(message)) return;
    const int length = PayloadLength(message);
    if (length >= kMaxPayload) return;
    message.Add(b);
    message[kLengthOffset] = static_cast<BYTE>((length + 1) & 0xFF);
    message[kLengthOffset + 1] = static_cast<BYTE>((length + 1) >> 8);
}

void UbxEndMessage(CByteArray& message)
{
    if (!HoldsBegunMessage(message)) return;
    const uint16_t sum =
        UbxChecksum(message.GetData() + kSyncLength, static_cast<int>(message.GetSize()) - kSyncLength);
    message.Add(static_cast<BYTE>(sum >> 8));
    message.Add(static_cast<BYTE>(sum & 0xFF));
}

uint16_t UbxChecksum(const BYTE* bytes, int n)
{
    BYTE a = 0;
    BYTE b = 0;
    if (bytes == nullptr) return 0;
    for (int i = 0; i < n; ++i) {
        a = static_cast<BYTE>(a + bytes[i]);
        b = static_cast<BYTE>(b + a);
    }
    return static_cast<uint16_t>((a << 8) | b);
}
