// NMEA receivers on COM5: rxsim plays the maker's receiver (standard
// sentences every second, answers to "$PZUL" and "$GPGPQ" queries), other
// makers' receivers whose sentences switch the monitor to their dialect, and
// a u-blox receiver with UBX binary messages between its sentences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ReceiverLink.h"

using namespace e2e;

namespace {

// nmea-maker.txt: 47 deg 30' N, 122 deg 15' W, 83 m above the ellipsoid;
// 9 November 2006 01:02:03 (week 1400, second 349323); a 3-D fix from four
// satellites; 10 knots due east.
const double kLatitude = 47.5 * kDegreesToRadians;
const double kHeight = 83.0;
const uint8_t kUsed[] = {5, 12, 17, 24};

struct InView {
    int entry;
    uint8_t sv;
    double elevation, azimuth;
    float snr;
};
const InView kInView[] = {{0, 5, 45, 90, 38}, {3, 24, 15, 270, 35}, {7, 31, 70, 225, 44}};

bool Near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

class NmeaReceiverE2e : public ReceiverLinkE2e {
protected:
    // Every value of nmea-maker.txt as the model holds it; "" when all agree.
    std::string Differences()
    {
        CModel& m = Model();
        std::string d;
        const NavState nav = Read(m, &CModel::GetNavState);
        NoteScenarioPlace(d, nav, 1e-9);
        Note(d, Near(nav.height, kHeight, 1e-6), "height");
        const GpsTimeInfo t = Read(m, &CModel::GetTimeInfo);
        NoteScenarioTime(d, t);
        Note(d, t.week == 1400 && t.timeOfWeek == 349323, "week and second");
        const FixModeRecord fix = Read(m, &CModel::GetFixModeAndDops);
        Note(d, fix.fixMode == 4 && fix.manualMode == 0, "fix mode");
        Note(d, fix.svCount == 4 && memcmp(fix.svs, kUsed, sizeof kUsed) == 0, "satellites used");
        const DopRecord dops = Read(m, &CModel::GetFixSvList);
        Note(d, dops.pdop == 2.5 && dops.hdop == 1.25 && dops.vdop == 2.0, "DOPs");
        Note(d, m.GetHealthStatus() == 1, "health");
        Note(d, m.GetDgpsMode() == 5, "DGPS mode");
        const TrackingTable table = Read(m, &CModel::GetTrackingTable);
        for (const InView& v : kInView) {
            const TrackingEntry& e = table.entries[v.entry];
            Note(d,
                 e.sv == v.sv && Near(e.elevation, v.elevation * kDegreesToRadians, 1e-6) &&
                     Near(e.azimuth, v.azimuth * kDegreesToRadians, 1e-6) && e.signalLevel == v.snr,
                 "tracking entry");
        }
        // The model knows navigation firmware 7.74 and names the receiver
        // after it: the numbers and the date are the reply's, the name may
        // not be.
        FirmwareVersionRecord fw = Firmware(m, 0);
        Note(d,
             fw.name[0] != '\0' && fw.major == 7 && fw.minor == 74 && fw.build == 3 && fw.month == 3 && fw.day == 15 &&
                 fw.year == 7,
             "firmware record 0 " + Describe(fw));
        fw = Firmware(m, 1);
        Note(d,
             strcmp(fw.name, "CORE") == 0 && fw.major == 1 && fw.minor == 2 && fw.build == 3 && fw.month == 1 &&
                 fw.day == 2 && fw.year == 3,
             "firmware record 1 " + Describe(fw));
        return d;
    }
};

TEST_F(NmeaReceiverE2e, ModelHoldsTheSentencesAndTheAnswers)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_NMEA, "nmea-maker.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    // ZDA, GGA, GSA, GSV, RMC and VTG come every second: five are plenty.
    EXPECT_EQ(Hold([&] { return Differences(); }, 5000), "");
    // The queries the auto-query and the version request wrote, as rxsim
    // saw them on the wire.
    for (const char* body : {"PZULQTF", "GPGPQ,GSA", "GPGPQ,GSV", "GPGPQ,ZDA", "PZULQVR,S", "PZULQVR,N"})
        EXPECT_TRUE(seen.WaitFor(NmeaText(body))) << body << seen.List();
    EXPECT_EQ(NmeaText("PZULQTF"), "$PZULQTF*50");
    // The speed and course the main window shows, whichever sentence
    // brought them (the TF reply takes over from VTG and RMC).
    const NavState nav = Read(Model(), &CModel::GetNavState);
    EXPECT_NEAR(nav.groundSpeedKnots, 10.0, 1e-3) << "speed over ground";
    EXPECT_NEAR(nav.heading, 90.0 * kDegreesToRadians, 1e-3) << "heading";
    EXPECT_EQ(SubMode(), PROTO_NONE);
    EXPECT_EQ(CountersAgainstTruth(), "");
}

TEST_F(NmeaReceiverE2e, FaultsChangeNothingAndAreCountedAsTheTruthSays)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_NMEA, "nmea-maker.txt"));
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    // Bad checksums, cut sentences (each followed straight by the next one),
    // garbage and start bytes of every framing right before sentences; the
    // faulty sentences carry another place and time.
    ASSERT_NO_FATAL_FAILURE(CheckFaultsChangeNothing([&] { return Differences(); }));
    EXPECT_TRUE(link.GetProtocol().IsStarted());
}

TEST_F(NmeaReceiverE2e, SirfSentenceSwitchesTheCommandsUntilTheMakerSpeaks)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_NMEA, "nmea-sirf.txt"));
    ASSERT_TRUE(PumpUntil([&] { return SubMode() == PROTO_SIRF_NMEA; }, 5000)) << SubMode();
    ASSERT_TRUE(PumpUntil([&] { return strcmp(Firmware(Model(), 0).name, "SiRF 4.0.4-P1") == 0; }, 5000))
        << Firmware(Model(), 0).name;
    EXPECT_EQ(Product(Model()).code, 9999);

    ASSERT_TRUE(link.GetProtocol().ResetReceiver(2));
    EXPECT_TRUE(seen.WaitFor("$PSRF104,0,0,0,000,0,0,12,2*13")) << seen.List();

    // The receiver stops its SiRF text; a reply of the maker's own brings
    // back the maker's forms.
    ASSERT_TRUE(sim.Ok("scenario pause"));
    ASSERT_TRUE(sim.WaitSent());
    PumpFor(300);
    ASSERT_TRUE(sim.Ok("frame nmea PZULRVR,S,NAVFW,07.74.03,03,15,07"));
    ASSERT_TRUE(PumpUntil([&] { return SubMode() == PROTO_NONE; }, 5000)) << SubMode();
    seen.Forget();
    ASSERT_TRUE(link.GetProtocol().ResetReceiver(2));
    EXPECT_TRUE(seen.WaitFor(NmeaText("PZULSRT,W"))) << seen.List();
}

struct DialectCase {
    const char* file;
    ProtocolKind subMode;
    const char* query;     // the dialect's version query, "" when it has none
    const char* name;      // firmware record 0
    int major, minor, build;  // -1: not checked
};

// The version sentences of nmea-*.txt as each dialect names its firmware.
const DialectCase kDialects[] = {
    {"nmea-nemerix.txt", PROTO_NEMERIX_NMEA, "PNMRX600", "1.05", -1, -1, -1},
    {"nmea-qinetiq.txt", PROTO_QINETIQ_NMEA, "PQNQQ,VERS", "QinetiQ GPS", 2, 10, 0},
    {"nmea-tyco.txt", PROTO_TYCO_NMEA, "PSTMINFOREAD", "Tyco GPS Receiver", 7, 1, 15},
    {"nmea-unav.txt", PROTO_UNAV_NMEA, "PUNV,GETCONFIG,09", "uNAV-based GPS Receiver", -1, -1, -1},
    {"nmea-navman.txt", PROTO_NAVMAN_NMEA, "", "2.10.1", -1, -1, -1},
};

TEST_F(NmeaReceiverE2e, OtherMakersAreRecognisedAndAskedInTheirOwnForms)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_NMEA, "nmea-maker.txt", false));
    for (const DialectCase& c : kDialects) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(sim.Ok(std::string("scenario load tools/rxsim/scenarios/") + c.file));
        ASSERT_TRUE(PumpUntil([&] { return SubMode() == c.subMode; }, 5000)) << SubMode();
        if (*c.query) {
            ASSERT_TRUE(link.GetProtocol().QueryVersion());
            EXPECT_TRUE(seen.WaitFor(NmeaText(c.query))) << seen.List();
        }
        ASSERT_TRUE(PumpUntil([&] { return strcmp(Firmware(Model(), 0).name, c.name) == 0; }, 5000))
            << Firmware(Model(), 0).name;
        FirmwareVersionRecord fw = Firmware(Model(), 0);
        if (c.major >= 0) {
            EXPECT_EQ(fw.major, c.major);
            EXPECT_EQ(fw.minor, c.minor);
            EXPECT_EQ(fw.build, c.build);
        }
        // The next maker's receiver must not find this one's version.
        link.GetModel().ClearData(13);
    }
}

TEST_F(NmeaReceiverE2e, UbloxSentencesAmidUbxAreAllCountedAndResetsGoAsUbx)
{
    E2E_REQUIRE_RXSIM(sim);
    // The maker's health query draws "PUBX inv format", which names the
    // dialect; the hardware text names the receiver.
    ASSERT_NO_FATAL_FAILURE(Open(PROTO_NMEA, "nmea-ublox.txt"));
    ASSERT_TRUE(PumpUntil([&] { return SubMode() == PROTO_UBLOX_NMEA; }, 5000)) << SubMode() << seen.List();
    ASSERT_TRUE(PumpUntil(
        [&] { return strcmp(Firmware(Model(), 0).name, "uBlox ANTARIS GPS Receiver") == 0; }, 5000))
        << Firmware(Model(), 0).name;
    // A few more seconds of sentences with UBX messages between them, each
    // message holding a start byte of every framing.
    PumpFor(3000);
    EXPECT_NEAR(Read(Model(), &CModel::GetNavState).latitude, kLatitude, 1e-9);

    ASSERT_TRUE(link.GetProtocol().ResetReceiver(2));
    EXPECT_TRUE(seen.WaitFor("B5 62 06 04 04 00 01 00 00 00 0F 68")) << seen.List();
    ASSERT_TRUE(link.GetProtocol().SaveConfiguration());
    EXPECT_TRUE(seen.WaitFor("B5 62 06 09 0C 00 00 00 00 00 03 00 00 00 00 00 00 00 1E A7")) << seen.List();
    EXPECT_EQ(CountersAgainstTruth(), "");
}

}  // namespace
