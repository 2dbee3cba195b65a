#pragma once
// The exact bytes the QOP builders write, shared by the native tests and the
// Win32 build's tests so both builds are held to the same bytes. Plain C++:
// no test framework here.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "model/ModelRecords.h"
#include "protocol/QopProtocol.h"

struct QopCommandGolden {
    const char* call;
    std::function<bool(CByteArray&)> build;
    std::string expected;  // upper-case hex bytes, "40 40 ..."; empty: nothing is built
};

inline PortConfigRecord QopGoldenPort(uint8_t outputMask)
{
    PortConfigRecord port;
    std::memset(&port, 0, sizeof port);
    port.baud = 9600;
    port.dataBits = 8;
    port.inputMask = outputMask;
    port.outputMask = outputMask;
    return port;
}

inline std::vector<QopCommandGolden> QopCommandGoldens()
{
    const PortConfigRecord qbinOut = QopGoldenPort(0x02);
    const PortConfigRecord qbinAndNmeaOut = QopGoldenPort(0x06);
    const std::string ha = "40 40 48 61 00 29 0D 0A";
    return {
        {"Ha", [](CByteArray& m) { return BuildQopPositionQuery(m); }, ha},
        {"Bb", [](CByteArray& m) { return BuildQopSatelliteQuery(m); }, "40 40 42 62 00 20 0D 0A"},
        {"Cj", [](CByteArray& m) { return BuildQopVersionQuery(m); }, "40 40 43 6A 29 0D 0A"},
        {"reset 4", [](CByteArray& m) { return BuildQopSetDefaults(m, 4); }, "40 40 43 66 25 0D 0A"},
        {"reset 1", [](CByteArray& m) { return BuildQopSetDefaults(m, 1); }, ""},
        {"Wb (flag 1, out 2)", [=](CByteArray& m) { return BuildQopPortCommand(m, 1, &qbinOut); },
         "40 40 57 62 35 0D 0A"},
        {"Wb (flag 0, out 2)", [=](CByteArray& m) { return BuildQopPortCommand(m, 0, &qbinOut); }, ""},
        {"Wb (flag 1, out 6)", [=](CByteArray& m) { return BuildQopPortCommand(m, 1, &qbinAndNmeaOut); }, ""},
        {"Wb (flag 1, no record)", [](CByteArray& m) { return BuildQopPortCommand(m, 1, nullptr); }, ""},
        {"text \"Ha 00\"", [](CByteArray& m) { return BuildQopFromHexText(m, "Ha 00", nullptr); }, ha},
        {"text \" Ha 0 \"", [](CByteArray& m) { return BuildQopFromHexText(m, " Ha 0 ", nullptr); }, ha},
        {"text \"Cj\"", [](CByteArray& m) { return BuildQopFromHexText(m, "Cj", nullptr); },
         "40 40 43 6A 29 0D 0A"},
        {"text \"Gf 01 ff\"", [](CByteArray& m) { return BuildQopFromHexText(m, "Gf 01 ff", nullptr); },
         "40 40 47 66 01 FF DF 0D 0A"},
        {"text \"H\"", [](CByteArray& m) { return BuildQopFromHexText(m, "H", nullptr); }, ""},
        {"text \"Ha 0G\"", [](CByteArray& m) { return BuildQopFromHexText(m, "Ha 0G", nullptr); }, ""},
        {"text \"Ha 123\"", [](CByteArray& m) { return BuildQopFromHexText(m, "Ha 123", nullptr); }, ""},
    };
}
