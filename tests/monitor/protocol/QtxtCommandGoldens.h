#pragma once
// The exact sentences the QTXT builders write, shared by the native tests and
// the Win32 build's tests so both builds are held to the same characters.
// Plain C++: no test framework here.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "model/ModelRecords.h"
#include "protocol/QtxtSentence.h"

struct QtxtCommandGolden {
    const char* call;
    std::function<bool(CByteArray&)> build;
    std::string expected;  // the whole sentence as text; empty: nothing is built
};

inline PortConfigRecord QtxtGoldenPort(uint32_t baud, uint8_t dataBits, uint8_t stopBits, uint8_t parity,
                                       uint8_t inputMask = 0, uint8_t outputMask = 0)
{
    PortConfigRecord port;
    std::memset(&port, 0, sizeof port);
    port.baud = baud;
    port.dataBits = dataBits;
    port.stopBits = stopBits;
    port.parity = parity;
    port.inputMask = inputMask;
    port.outputMask = outputMask;
    return port;
}

inline QtxtConfigRecord QtxtGoldenConfig(const char* messageId)
{
    QtxtConfigRecord config;
    std::memset(&config, 0, sizeof config);
    CopyRecordText(config.messageId, messageId);
    config.interval = 10;
    config.maxInterval = 60;
    config.distance = 500;
    config.epoch = 120;
    CopyRecordText(config.vehicleId, "CAR7");
    config.flagId = 1;
    config.flagFr = 1;
    config.flagCr = 1;
    return config;
}

inline std::vector<QtxtCommandGolden> QtxtCommandGoldens()
{
    const PortConfigRecord port19200 = QtxtGoldenPort(19200, 8, 0, 0, 0x05, 0x01);
    const PortConfigRecord port115200 = QtxtGoldenPort(115200, 7, 2, 2, 0x02, 0x03);
    const QtxtConfigRecord ln = QtxtGoldenConfig("LN");
    const QtxtConfigRecord pv = QtxtGoldenConfig("PV");
    QtxtConfigRecord lnEvery30 = ln;
    lnEvery30.interval = 30;
    return {
        {"status query", [](CByteArray& s) { return BuildQtxtStatusQuery(s); }, ">QST;*79<"},
        {"long navigation query", [](CByteArray& s) { return BuildQtxtLongNavQuery(s); }, ">QLN;*7C<"},
        {"version query", [](CByteArray& s) { return BuildQtxtVersionQuery(s); }, ">QVR;*7A<"},
        {"save", [](CByteArray& s) { return BuildQtxtSaveConfig(s); }, ">SRTSAVE_CONFIG;*2E<"},
        {"reset 1", [](CByteArray& s) { return BuildQtxtReset(s, 1); }, ">SRTCOLD;*7E<"},
        {"reset 2", [](CByteArray& s) { return BuildQtxtReset(s, 2); }, ">SRT;*7A<"},
        {"reset 4", [](CByteArray& s) { return BuildQtxtReset(s, 4); }, ">SRTFACTORY;*2E<"},
        {"reset 3", [](CByteArray& s) { return BuildQtxtReset(s, 3); }, ""},
        {"port {19200, 8, 0, 0}", [=](CByteArray& s) { return BuildQtxtPortConfig(s, 1, &port19200); },
         ">SPT1920,8,1,N;*19<"},
        {"port {115200, 7, stop 2, even}", [=](CByteArray& s) { return BuildQtxtPortConfig(s, 1, &port115200); },
         ">SPT1152,7,2,E;*13<"},
        {"port query", [](CByteArray& s) { return BuildQtxtPortConfig(s, 0, nullptr); }, ">QPT;*7A<"},
        {"port 14400", [](CByteArray& s) {
             const PortConfigRecord p = QtxtGoldenPort(14400, 8, 0, 0);
             return BuildQtxtPortConfig(s, 1, &p);
         }, ""},
        {"port parity 3", [](CByteArray& s) {
             const PortConfigRecord p = QtxtGoldenPort(9600, 8, 0, 3);
             return BuildQtxtPortConfig(s, 1, &p);
         }, ""},
        {"port stop code 1", [](CByteArray& s) {
             const PortConfigRecord p = QtxtGoldenPort(9600, 8, 1, 0);
             return BuildQtxtPortConfig(s, 1, &p);
         }, ""},
        {"port 6 data bits", [](CByteArray& s) {
             const PortConfigRecord p = QtxtGoldenPort(9600, 6, 0, 0);
             return BuildQtxtPortConfig(s, 1, &p);
         }, ""},
        {"port set, no record", [](CByteArray& s) { return BuildQtxtPortConfig(s, 1, nullptr); }, ""},
        {"protocols in 0x05, out 0x01", [=](CByteArray& s) { return BuildQtxtProtocols(s, 1, &port19200); },
         ">SPR;QTXT=Ta;QBIN=Fa;NMEA=Ia;*58<"},
        {"protocols in 0x02, out 0x03", [=](CByteArray& s) { return BuildQtxtProtocols(s, 1, &port115200); },
         ">SPR;QTXT=Oa;QBIN=Ta;NMEA=Fa;*5E<"},
        {"protocols query", [](CByteArray& s) { return BuildQtxtProtocols(s, 2, nullptr); }, ">QPR;*7C<"},
        {"time query", [](CByteArray& s) { return BuildQtxtTimeQuery(s, 0); }, ">QTM;*67<"},
        {"time set", [](CByteArray& s) { return BuildQtxtTimeQuery(s, 1); }, ""},
        {"frequency LN every 30 s", [=](CByteArray& s) { return BuildQtxtFrequencyReporting(s, 1, &lnEvery30); },
         ">FLN00300120;*6B<"},
        {"frequency query", [=](CByteArray& s) { return BuildQtxtFrequencyReporting(s, 0, &ln); }, ">FLN;*6B<"},
        {"distance PV", [=](CByteArray& s) { return BuildQtxtDistanceReporting(s, 1, &pv); },
         ">DPV0010012005000060;*6C<"},
        {"distance query", [=](CByteArray& s) { return BuildQtxtDistanceReporting(s, 0, &pv); }, ">DPV;*6D<"},
        {"vehicle id", [=](CByteArray& s) { return BuildQtxtVehicleId(s, 1, &ln); }, ">SIDCAR7;*16<"},
        {"vehicle id query", [](CByteArray& s) { return BuildQtxtVehicleId(s, 0, nullptr); }, ">QID;*73<"},
        {"reporting flags", [=](CByteArray& s) { return BuildQtxtReportingFlags(s, 1, &ln); },
         ">SRM;ID_FLAG=T;CS_FLAG=F;EC_FLAG=F;FR_FLAG=T;CR_FLAG=T;*7C<"},
        {"reporting flags query", [](CByteArray& s) { return BuildQtxtReportingFlags(s, 0, nullptr); },
         ">QRM;*61<"},
        {"text \"  SRT;RESET \"", [](CByteArray& s) { return BuildQtxtFromText(s, "  SRT;RESET ", nullptr); },
         ">SRT;RESET;*14<"},
        {"text \"QST<\"", [](CByteArray& s) { return BuildQtxtFromText(s, "QST<", nullptr); }, ">QST;*79<"},
        {"text of blanks", [](CByteArray& s) { return BuildQtxtFromText(s, " \t ", nullptr); }, ""},
        {"text with a tab inside", [](CByteArray& s) { return BuildQtxtFromText(s, "QS\tT", nullptr); }, ""},
    };
}
