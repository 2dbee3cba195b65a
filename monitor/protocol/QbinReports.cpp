#include "protocol/QbinReports.h"

bool FindQbinPacketStart(const BYTE* frame, int& length, int& start, CConverterEngine* converter)
{
    (void)converter;
    if (frame == nullptr || length < 5) return false;
    start = 0;
    return true;
}

void DecodeQbinReport(const BYTE* frame, int length, CModel* model, CConverterEngine* converter)
{
    (void)frame;
    (void)length;
    (void)model;
    (void)converter;
}
