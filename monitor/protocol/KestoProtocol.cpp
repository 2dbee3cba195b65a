#include "protocol/KestoProtocol.h"

#include "framework/CArray.h"

bool CheckKestoFrame(const BYTE* frame, int length)
{
    if (frame == nullptr || length < 2) return false;
    if (frame[0] != 0x81 || frame[length - 1] != 0x82) return false;
    BYTE sum = 0;
    for (int i = 0; i < length; ++i) sum = static_cast<BYTE>(sum + frame[i]);
    return sum == 0;
}

void DecodeKestoFrame(const BYTE* frame, int length, CModel* model)
{
    (void)frame;
    (void)length;
    (void)model;
}

// ---- Command builders ----------------------------------------------------------
// Until the KESTO command set is built every builder builds nothing: the array
// is left empty and the caller sends nothing.

namespace {
bool KestoBuildsNothing(CByteArray& packet)
{
    packet.RemoveAll();
    return false;
}
} // namespace

bool BuildKestoRequest11(CByteArray& packet) { return KestoBuildsNothing(packet); }
bool BuildKestoRequest16(CByteArray& packet) { return KestoBuildsNothing(packet); }
bool BuildKestoRequest12(CByteArray& packet) { return KestoBuildsNothing(packet); }
bool BuildKestoReset(CByteArray& packet, int) { return KestoBuildsNothing(packet); }
bool BuildKestoSaveConfig(CByteArray& packet) { return KestoBuildsNothing(packet); }
