#include "protocol/NmeaDispatcher.h"

void DispatchNmeaSentence(const BYTE* sentence, int length, CModel* model, ProtocolKind& dialect)
{
    (void)sentence;
    (void)length;
    (void)model;
    (void)dialect;
}
