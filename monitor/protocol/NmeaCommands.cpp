#include "protocol/NmeaCommands.h"

#include "framework/CArray.h"

// Until the NMEA command set is built every builder builds nothing: the array
// is left empty and the caller sends nothing.
namespace {
bool BuildsNothing(CByteArray& sentence)
{
    sentence.RemoveAll();
    return false;
}
} // namespace

bool BuildNmeaHealthQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaGsaQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaGsvQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaReset(CByteArray& sentence, int) { return BuildsNothing(sentence); }
bool BuildNmeaSaveConfig(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaPortConfig(CByteArray& sentence, BYTE, const PortConfigRecord*) { return BuildsNothing(sentence); }
bool BuildNmeaReceiverConfig(CByteArray& sentence, BYTE, const NavConfig*, const FilterConfig*)
{
    return BuildsNothing(sentence);
}
bool BuildNmeaDatum(CByteArray& sentence, BYTE, uint16_t) { return BuildsNothing(sentence); }
bool BuildNmeaGpsTime(CByteArray& sentence, BYTE, uint32_t, uint16_t) { return BuildsNothing(sentence); }
bool BuildNmeaVersionQuery(CByteArray& sentence, int) { return BuildsNothing(sentence); }
bool BuildNmeaHardwareQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaOutputConfig(CByteArray& sentence, BYTE, const NmeaOutputConfig*) { return BuildsNothing(sentence); }
bool BuildNmeaFromText(CByteArray& sentence, const char*, CString*) { return BuildsNothing(sentence); }
bool BuildNmeaAlmanacStatusQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaEphemerisQuery(CByteArray& sentence, BYTE) { return BuildsNothing(sentence); }
bool BuildNmeaAlmanacQuery(CByteArray& sentence, BYTE) { return BuildsNothing(sentence); }
bool BuildNmeaAlmanacHealthQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaUtcQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaIonoQuery(CByteArray& sentence) { return BuildsNothing(sentence); }
bool BuildNmeaInitialPosition(CByteArray& sentence, int, const double[3]) { return BuildsNothing(sentence); }
bool BuildNmeaPpsConfig(CByteArray& sentence, BYTE, const TimingConfig*) { return BuildsNothing(sentence); }
bool BuildNmeaShutdown(CByteArray& sentence, BYTE, const ShutdownStandbyRecord*) { return BuildsNothing(sentence); }
bool BuildNmeaSatelliteMasks(CByteArray& sentence, BYTE, const BYTE[32], uint32_t) { return BuildsNothing(sentence); }
