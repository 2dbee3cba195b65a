#include "protocol/VendorNmeaCommands.h"

#include "framework/CArray.h"

// Until the vendor dialects are built every builder builds nothing: the array
// is left empty and the caller sends nothing.
namespace {
bool BuildsNothing(CByteArray& bytes)
{
    bytes.RemoveAll();
    return false;
}
} // namespace

bool BuildSirfReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildSirfOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*) { return BuildsNothing(bytes); }
bool BuildSirfPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }

bool BuildNemerixReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildNemerixOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*) { return BuildsNothing(bytes); }
bool BuildNemerixPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }
bool BuildNemerixVersionQuery(CByteArray& bytes) { return BuildsNothing(bytes); }

bool BuildQinetiqReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildQinetiqOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*) { return BuildsNothing(bytes); }
bool BuildQinetiqPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }
bool BuildQinetiqVersionQuery(CByteArray& bytes) { return BuildsNothing(bytes); }

bool BuildTycoReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildTycoOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*, uint32_t) { return BuildsNothing(bytes); }
bool BuildTycoPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }
bool BuildTycoVersionQuery(CByteArray& bytes) { return BuildsNothing(bytes); }

bool BuildUbxReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildUbxSaveConfig(CByteArray& bytes) { return BuildsNothing(bytes); }
bool BuildUbloxOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*) { return BuildsNothing(bytes); }
bool BuildUbloxPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }

bool BuildUnavReset(CByteArray& bytes, int) { return BuildsNothing(bytes); }
bool BuildUnavOutputConfig(CByteArray& bytes, BYTE, const NmeaOutputConfig*, uint32_t) { return BuildsNothing(bytes); }
bool BuildUnavPortConfig(CByteArray& bytes, BYTE, const PortConfigRecord*) { return BuildsNothing(bytes); }
bool BuildUnavVersionQuery(CByteArray& bytes) { return BuildsNothing(bytes); }
