#include "protocol/NmeaSentence.h"

#include "protocol/HexDigits.h"
#include "protocol/QtxtSentence.h"

bool CheckNmeaSentence(const BYTE* sentence, int length)
{
    if (sentence == nullptr || length <= 0) return false;
    // Too short to hold a "*" five bytes before the end: there is no checksum
    // field to test, which is the first acceptance rule.
    if (length < 5 || sentence[length - 5] != '*') return true;
    if (sentence[1] == 'P' && !(sentence[2] == 'Z' && sentence[3] == 'U' && sentence[4] == 'L'))
        return true;
    if (length < 8) return false;
    if (length - 6 > 0xFFFF) return false;  // never from the reader's buffer
    BYTE sum = ComputeXorChecksum(sentence + 1, static_cast<uint16_t>(length - 6));
    return sum == ReadTwoHexDigits(sentence + length - 4);
}
