#include "protocol/QtxtSentence.h"

#include "protocol/HexDigits.h"
#include "framework/CArray.h"
#include "model/ModelRecords.h"

BYTE ComputeXorChecksum(const BYTE* bytes, uint16_t n)
{
    BYTE x = 0;
    if (bytes == nullptr) return 0;
    for (uint16_t i = 0; i < n; ++i) x ^= bytes[i];
    return x;
}

bool CheckQtxtSentence(const BYTE* sentence, int length)
{
    if (sentence == nullptr || length < 5) return false;
    if (length > 8 && sentence[length - 5] == ';' && sentence[length - 4] == '*') {
        // A sentence longer than a 16-bit count cannot come from the reader's
        // 512-byte buffer; refuse it rather than check a truncated prefix.
        if (length - 3 > 0xFFFF) return false;
        BYTE sum = ComputeXorChecksum(sentence, static_cast<uint16_t>(length - 3));
        return sum == ReadTwoHexDigits(sentence + length - 3);
    }
    return true;
}

void DispatchQtxtSentence(const BYTE* sentence, int length, CModel* model)
{
    (void)sentence;
    (void)length;
    (void)model;
}

// ---- Command builders ----------------------------------------------------------
// Until the QTXT command set is built every builder builds nothing: the array
// is left empty and the caller sends nothing.

namespace {
bool QtxtBuildsNothing(CByteArray& sentence)
{
    sentence.RemoveAll();
    return false;
}
} // namespace

bool BuildQtxtStatusQuery(CByteArray& sentence) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtLongNavQuery(CByteArray& sentence) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtSaveConfig(CByteArray& sentence) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtReset(CByteArray& sentence, int) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtPortConfig(CByteArray& sentence, BYTE, const PortConfigRecord*) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtProtocols(CByteArray& sentence, BYTE, const PortConfigRecord*) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtTimeQuery(CByteArray& sentence, BYTE) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtVersionQuery(CByteArray& sentence) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtFromText(CByteArray& sentence, const char*, CString*) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtFrequencyReporting(CByteArray& sentence, BYTE, const QtxtConfigRecord*)
{
    return QtxtBuildsNothing(sentence);
}
bool BuildQtxtDistanceReporting(CByteArray& sentence, BYTE, const QtxtConfigRecord*)
{
    return QtxtBuildsNothing(sentence);
}
bool BuildQtxtVehicleId(CByteArray& sentence, BYTE, const QtxtConfigRecord*) { return QtxtBuildsNothing(sentence); }
bool BuildQtxtReportingFlags(CByteArray& sentence, BYTE, const QtxtConfigRecord*) { return QtxtBuildsNothing(sentence); }
