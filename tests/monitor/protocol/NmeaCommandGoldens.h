#pragma once
// The exact bytes of every NMEA command builder, the maker's own and the other
// makers' dialects with u-blox's UBX messages, for the native and the Win32
// tests alike (so no test framework and nothing host-only here).
//
// expected: the sentences as text, each with its CR LF; "B5 62 ..." hex for UBX
// messages; empty when the call builds nothing (and returns false).
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/CArray.h"
#include "protocol/NmeaCommands.h"
#include "protocol/VendorNmeaCommands.h"

struct NmeaCommandGolden {
    const char* call;
    std::function<bool(CByteArray&)> build;
    std::string expected;
};

// Sentences as the wire carries them, each ended by CR LF.
inline std::string NmeaGoldenLines(std::initializer_list<const char*> sentences)
{
    std::string text;
    for (const char* s : sentences) text += std::string(s) + "\r\n";
    return text;
}

inline bool IsUbxGolden(const NmeaCommandGolden& golden)
{
    return golden.expected.compare(0, 6, "B5 62 ") == 0;
}

// The built bytes in the form of the golden's expected text.
inline std::string NmeaGoldenText(const CByteArray& bytes, bool hex)
{
    std::string text;
    for (INT_PTR i = 0; i < bytes.GetSize(); ++i) {
        if (!hex) {
            text += static_cast<char>(bytes[i]);
            continue;
        }
        char digits[4];
        snprintf(digits, sizeof digits, "%02X", bytes[i]);
        if (i) text += ' ';
        text += digits;
    }
    return text;
}

inline PortConfigRecord NmeaGoldenPort(uint32_t baud, uint8_t dataBits, uint8_t parity, uint8_t stopBits,
                                       uint8_t inputMask, uint8_t outputMask)
{
    PortConfigRecord port{};
    port.baud = baud;
    port.dataBits = dataBits;
    port.parity = parity;
    port.stopBits = stopBits;
    port.inputMask = inputMask;
    port.outputMask = outputMask;
    return port;
}

inline std::vector<NmeaCommandGolden> NmeaCommandGoldens()
{
    typedef CByteArray& B;
    const auto lines = NmeaGoldenLines;
    return {
        // ---- The maker's own sentences ----
        {"BuildNmeaHealthQuery", [](B b) { return BuildNmeaHealthQuery(b); }, lines({"$PZULQTF*50"})},
        {"BuildNmeaGsaQuery", [](B b) { return BuildNmeaGsaQuery(b); }, lines({"$GPGPQ,GSA*28"})},
        {"BuildNmeaGsvQuery", [](B b) { return BuildNmeaGsvQuery(b); }, lines({"$GPGPQ,GSV*3F"})},
        {"BuildNmeaReset(1)", [](B b) { return BuildNmeaReset(b, 1); }, lines({"$PZULSRT,C*29"})},
        {"BuildNmeaReset(4)", [](B b) { return BuildNmeaReset(b, 4); }, lines({"$PZULSRT,F*2C"})},
        {"BuildNmeaReset(7)", [](B b) { return BuildNmeaReset(b, 7); }, lines({"$PZULSRT,M*27"})},
        {"BuildNmeaReset(8)", [](B b) { return BuildNmeaReset(b, 8); }, ""},
        {"BuildNmeaSaveConfig", [](B b) { return BuildNmeaSaveConfig(b); }, lines({"$PZULSRT,H,2,0,0*3C"})},
        {"BuildNmeaPortConfig(set 9600 8N1)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 2, 4);
             return BuildNmeaPortConfig(b, 1, &p);
         },
         lines({"$PZULSPT,009600,8,N,1,2,4*0A"})},
        {"BuildNmeaPortConfig(set 14400)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(14400, 8, 0, 0, 2, 4);
             return BuildNmeaPortConfig(b, 1, &p);
         },
         ""},
        {"BuildNmeaPortConfig(set parity 3)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 3, 0, 2, 4);
             return BuildNmeaPortConfig(b, 1, &p);
         },
         ""},
        {"BuildNmeaPortConfig(set stop code 1)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 1, 2, 4);
             return BuildNmeaPortConfig(b, 1, &p);
         },
         ""},
        {"BuildNmeaPortConfig(query)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 2, 4);
             return BuildNmeaPortConfig(b, 0, &p);
         },
         lines({"$PZULQPT*46"})},
        {"BuildNmeaReceiverConfig(set)",
         [](B b) {
             NavConfig n{};
             n.operatingMode = 4;
             n.dgpsMode = 1;
             n.dynamics = 2;
             n.elevationMask = 0.5f;
             n.snrMask = 1.0f;
             n.dopMask = 2.0f;
             n.dopSwitch = 4.0f;
             FilterConfig f{};
             f.kalman = 1;
             return BuildNmeaReceiverConfig(b, 1, &n, &f);
         },
         lines({"$PZULSCR,1.00,28.65,2.00,4.00,0.0000000,4,2,1,1*6B"})},
        {"BuildNmeaReceiverConfig(query)", [](B b) { return BuildNmeaReceiverConfig(b, 0, nullptr, nullptr); },
         lines({"$PZULQCR*53"})},
        {"BuildNmeaDatum(set 0)", [](B b) { return BuildNmeaDatum(b, 1, 0); },
         lines({"$PZULSDM,0,0.0,0.0,0.0,0.0,0.0*57"})},
        {"BuildNmeaDatum(set user datum)", [](B b) { return BuildNmeaDatum(b, 1, 0xFFFF); },
         lines({"$PZULSDM,-1,0.0,0.0,0.0,0.0,0.0*7B"})},
        {"BuildNmeaDatum(query)", [](B b) { return BuildNmeaDatum(b, 0, 0); }, lines({"$PZULQDM*4B"})},
        {"BuildNmeaGpsTime(set 345600, week 1100)", [](B b) { return BuildNmeaGpsTime(b, 1, 345600, 1100); },
         lines({"$PZULSKG,0076,345600000,0000.00000,N,00000.00000,E,00000*5E"})},
        {"BuildNmeaGpsTime(query)", [](B b) { return BuildNmeaGpsTime(b, 0, 0, 0); }, lines({"$GPGPQ,ZDA*22"})},
        {"BuildNmeaVersionQuery(0)", [](B b) { return BuildNmeaVersionQuery(b, 0); }, lines({"$PZULQVR,S*39"})},
        {"BuildNmeaVersionQuery(1)", [](B b) { return BuildNmeaVersionQuery(b, 1); }, lines({"$PZULQVR,N*24"})},
        {"BuildNmeaVersionQuery(2)", [](B b) { return BuildNmeaVersionQuery(b, 2); }, ""},
        {"BuildNmeaHardwareQuery", [](B b) { return BuildNmeaHardwareQuery(b); }, lines({"$PZULQVR,H*22"})},
        {"BuildNmeaOutputConfig(set 1, 0x121)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x121};
             return BuildNmeaOutputConfig(b, 1, &c);
         },
         lines({"$PZULSNM,0121,01*40"})},
        {"BuildNmeaOutputConfig(query)", [](B b) { return BuildNmeaOutputConfig(b, 0, nullptr); },
         lines({"$PZULQNM*41"})},
        {"BuildNmeaFromText(trimmed)", [](B b) { return BuildNmeaFromText(b, " \tPZULQTF  ", nullptr); },
         lines({"$PZULQTF*50"})},
        {"BuildNmeaAlmanacStatusQuery", [](B b) { return BuildNmeaAlmanacStatusQuery(b); }, lines({"$PZULQAS*50"})},
        {"BuildNmeaEphemerisQuery(5)", [](B b) { return BuildNmeaEphemerisQuery(b, 5); }, lines({"$PZULQEP,05*7E"})},
        {"BuildNmeaAlmanacQuery(12)", [](B b) { return BuildNmeaAlmanacQuery(b, 12); }, lines({"$PZULQAL,12*60"})},
        {"BuildNmeaAlmanacHealthQuery", [](B b) { return BuildNmeaAlmanacHealthQuery(b); }, lines({"$PZULQAH*4B"})},
        {"BuildNmeaUtcQuery", [](B b) { return BuildNmeaUtcQuery(b); }, lines({"$PZULQUT*43"})},
        {"BuildNmeaIonoQuery", [](B b) { return BuildNmeaIonoQuery(b); }, lines({"$PZULQIO*44"})},
        {"BuildNmeaInitialPosition(0)",
         [](B b) {
             const double c[3] = {0.5, -1.0, 123.9};
             return BuildNmeaInitialPosition(b, 0, c);
         },
         lines({"$PZULSKG,,,2838.87339,N,5717.74677,W,00123*4F"})},
        {"BuildNmeaInitialPosition(1)",
         [](B b) {
             const double c[3] = {1.0, 2.0, 3.0};
             return BuildNmeaInitialPosition(b, 1, c);
         },
         ""},
        {"BuildNmeaPpsConfig(set)",
         [](B b) {
             TimingConfig t{};
             t.ppsEnabled = 1;
             t.ppsOffset = 1500.0;
             t.ppsPolarity = 0;
             t.ppsWidth = 1000.0;  // nanoseconds
             return BuildNmeaPpsConfig(b, 1, &t);
         },
         lines({"$PZULSPS,1,15,1,1000*46"})},
        {"BuildNmeaPpsConfig(query)", [](B b) { return BuildNmeaPpsConfig(b, 0, nullptr); }, lines({"$PZULQPS*41"})},
        {"BuildNmeaShutdown(set)",
         [](B b) {
             const ShutdownStandbyRecord r = {'S', 2, 3, 3600};
             return BuildNmeaShutdown(b, 1, &r);
         },
         lines({"$PZULSRT,S,2,3,3600*11"})},
        {"BuildNmeaShutdown(flag 0)",
         [](B b) {
             const ShutdownStandbyRecord r = {'S', 2, 3, 3600};
             return BuildNmeaShutdown(b, 0, &r);
         },
         ""},
        {"BuildNmeaSatelliteMasks(SVs 1 and 32 excluded)",
         [](B b) {
             BYTE states[32];
             for (BYTE& s : states) s = 1;
             states[0] = 0;
             states[31] = 0;
             return BuildNmeaSatelliteMasks(b, 1, states, 0);
         },
         lines({"$PZULSSV,80000001,00000000*4C"})},
        {"BuildNmeaSatelliteMasks(query)", [](B b) { return BuildNmeaSatelliteMasks(b, 0, nullptr, 0); },
         lines({"$PZULQSV*47"})},

        // ---- SiRF ----
        {"BuildSirfReset(1)", [](B b) { return BuildSirfReset(b, 1); }, lines({"$PSRF104,0,0,0,000,0,0,12,4*15"})},
        {"BuildSirfReset(2)", [](B b) { return BuildSirfReset(b, 2); }, lines({"$PSRF104,0,0,0,000,0,0,12,2*13"})},
        {"BuildSirfPortConfig(4800 8N1)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(4800, 8, 0, 0, 0, 0);
             return BuildSirfPortConfig(b, 1, &p);
         },
         lines({"$PSRF100,1,4800,8,1,0*0E"})},
        {"BuildSirfPortConfig(38400 8E1, binary in)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(38400, 8, 2, 0, 0x08, 0x04);
             return BuildSirfPortConfig(b, 1, &p);
         },
         lines({"$PSRF100,0,38400,8,1,2*3E"})},
        {"BuildSirfOutputConfig(5, 0x101)",
         [](B b) {
             const NmeaOutputConfig c = {5, 0x101};
             return BuildSirfOutputConfig(b, 1, &c);
         },
         lines({"$PSRF103,00,00,05,01*21", "$PSRF103,01,00,00,01*25", "$PSRF103,02,00,00,01*26",
                "$PSRF103,03,00,00,01*27", "$PSRF103,04,00,05,01*25", "$PSRF103,05,00,00,01*21",
                "$PSRF103,08,00,00,01*2C"})},

        // ---- Nemerix ----
        {"BuildNemerixReset(1)", [](B b) { return BuildNemerixReset(b, 1); }, lines({"$PNMRX111,COLD*40"})},
        {"BuildNemerixOutputConfig(1, 0x111)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x111};
             return BuildNemerixOutputConfig(b, 1, &c);
         },
         lines({"$PNMRX103,GGA,1,GLL,0,GSA,1,GSV,0,RMC,1,VTG,0*62"})},
        {"BuildNemerixPortConfig(9600 even)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 2, 0, 0, 0);
             return BuildNemerixPortConfig(b, 1, &p);
         },
         lines({"$PNMRX100,0,9600,2*49"})},
        {"BuildNemerixVersionQuery", [](B b) { return BuildNemerixVersionQuery(b); }, lines({"$PNMRX600*6F"})},

        // ---- QinetiQ ----
        {"BuildQinetiqReset(1)", [](B b) { return BuildQinetiqReset(b, 1); }, lines({"$PQNQS,RSET,RSET111111,*61"})},
        {"BuildQinetiqOutputConfig(1, 0x111)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x111};
             return BuildQinetiqOutputConfig(b, 1, &c);
         },
         lines({"$PQNQS,SETP,NMEA,1,GGA,1*35", "$PQNQS,SETP,NMEA,1,GLL,0*32", "$PQNQS,SETP,NMEA,1,GSV,0*37",
                "$PQNQS,SETP,NMEA,1,GSA,1*21", "$PQNQS,SETP,NMEA,1,RMC,1*28", "$PQNQS,SETP,NMEA,1,VTG,0*30"})},
        {"BuildQinetiqPortConfig(9600)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 0, 0);
             return BuildQinetiqPortConfig(b, 1, &p);
         },
         lines({"$PQNQS,SETP,BAUD,1,9600*73"})},
        {"BuildQinetiqVersionQuery", [](B b) { return BuildQinetiqVersionQuery(b); }, lines({"$PQNQQ,VERS*71"})},

        // ---- ST/Tyco ----
        {"BuildTycoReset(2)", [](B b) { return BuildTycoReset(b, 2); }, lines({"$PSTMWARM*13"})},
        {"BuildTycoOutputConfig(0x111 at 9600)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x111};
             return BuildTycoOutputConfig(b, 1, &c, 9600);
         },
         lines({"$PSTMNMEACONFIG,0,9600,69,1*16"})},
        {"BuildTycoOutputConfig(0x111 on a replay)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x111};
             return BuildTycoOutputConfig(b, 1, &c, 0);
         },
         lines({"$PSTMNMEACONFIG,0,0,69,1*29"})},
        {"BuildTycoPortConfig(9600)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 0, 0);
             return BuildTycoPortConfig(b, 1, &p);
         },
         lines({"$PSTMNMEACONFIG,0,9600,93,1*13"})},
        {"BuildTycoVersionQuery", [](B b) { return BuildTycoVersionQuery(b); }, lines({"$PSTMINFOREAD*06"})},

        // ---- u-blox ----
        {"BuildUbloxOutputConfig(mask 0x001)",
         [](B b) {
             const NmeaOutputConfig c = {7, 0x001};
             return BuildUbloxOutputConfig(b, 1, &c);
         },
         lines({"$PUBX,40,GGA,1,1,1,0*5B", "$PUBX,40,GLL,0,0,0,0*5C", "$PUBX,40,GSV,0,0,0,0*59",
                "$PUBX,40,GSA,0,0,0,0*4E", "$PUBX,40,RMC,0,0,0,0*47", "$PUBX,40,VTG,0,0,0,0*5E",
                "$PUBX,40,ZDA,0,0,0,0*44"})},
        {"BuildUbloxPortConfig(9600)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 0, 0);
             return BuildUbloxPortConfig(b, 1, &p);
         },
         lines({"$PUBX,41,0,0003,0002,9600,0*14", "$PUBX,41,1,0003,0002,9600,0*15",
                "$PUBX,41,2,0003,0002,9600,0*16"})},
        {"BuildUbxReset(1)", [](B b) { return BuildUbxReset(b, 1); }, "B5 62 06 04 04 00 FF FF 00 00 0C 5D"},
        {"BuildUbxReset(2)", [](B b) { return BuildUbxReset(b, 2); }, "B5 62 06 04 04 00 01 00 00 00 0F 68"},
        {"BuildUbxReset(3)", [](B b) { return BuildUbxReset(b, 3); }, "B5 62 06 04 04 00 00 00 00 00 0E 64"},
        {"BuildUbxReset(4)", [](B b) { return BuildUbxReset(b, 4); },
         "B5 62 06 09 0C 00 03 00 00 00 00 00 00 00 00 00 00 00 1E B3 "
         "B5 62 06 04 04 00 FF FF 00 00 0C 5D"},
        {"BuildUbxReset(5)", [](B b) { return BuildUbxReset(b, 5); }, ""},
        {"BuildUbxSaveConfig", [](B b) { return BuildUbxSaveConfig(b); },
         "B5 62 06 09 0C 00 00 00 00 00 03 00 00 00 00 00 00 00 1E A7"},

        // ---- uNav ----
        {"BuildUnavReset(3)", [](B b) { return BuildUnavReset(b, 3); }, lines({"$PUNV,START,FAST*5D"})},
        {"BuildUnavOutputConfig(0x121 at 9600)",
         [](B b) {
             const NmeaOutputConfig c = {1, 0x121};
             return BuildUnavOutputConfig(b, 1, &c, 9600);
         },
         lines({"$PUNV,CONFIG,00,0000,0,1000,9600,51*01"})},
        {"BuildUnavPortConfig(9600)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(9600, 8, 0, 0, 0, 0);
             return BuildUnavPortConfig(b, 1, &p);
         },
         lines({"$PUNV,CONFIG,00,0000,0,1000,9600,1D*70"})},
        {"BuildUnavPortConfig(300)",
         [](B b) {
             const PortConfigRecord p = NmeaGoldenPort(300, 8, 0, 0, 0, 0);
             return BuildUnavPortConfig(b, 1, &p);
         },
         ""},
        {"BuildUnavVersionQuery", [](B b) { return BuildUnavVersionQuery(b); }, lines({"$PUNV,GETCONFIG,09*48"})},
    };
}
