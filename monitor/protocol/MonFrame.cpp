#include "protocol/MonFrame.h"

#include "framework/CArray.h"

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
    if (frame[0] != 0x02 || frame[length - 1] != 0x03) return false;
    return frame[length - 2] == static_cast<BYTE>(SumBytes(frame + 2, length - 4));
}

void DecodeMonFrame(const BYTE* frame, int length, CModel* model)
{
    (void)frame;
    (void)length;
    (void)model;
}

// ---- Command builders ----------------------------------------------------------
// Until the monitor-mode command set is built both builders build nothing: the
// array is left empty and the caller sends nothing.

bool BuildMonVersionQuery(CByteArray& frame)
{
    frame.RemoveAll();
    return false;
}

bool BuildMonMemoryRead(CByteArray& frame, BYTE, uint32_t)
{
    frame.RemoveAll();
    return false;
}
