// The receivers the scenarios make: their output and answers against the
// sentences and layouts the monitor's own tests and the examples
// give, so that the end-to-end tests start from a known-good receiver.
#include <gtest/gtest.h>

#include "KestoReceiver.h"
#include "MonReceiver.h"
#include "NmeaReceiver.h"
#include "QopReceiver.h"
#include "QtxtReceiver.h"
#include "TestSupport.h"

namespace rxsim {
namespace {

using test::Ask;
using test::Hex;
using test::Scenario;
using test::Spaced;
using test::Text;

template <class R>
R Load(const char* file)
{
    R r;
    std::string error;
    EXPECT_TRUE(r.Load(Scenario(file), error)) << file << ": " << error;
    return r;
}

std::vector<std::string> Texts(const std::vector<Segment>& segments, int kind)
{
    std::vector<std::string> t;
    for (const Segment& s : segments)
        if (s.kind == kind) t.push_back(Text(s.bytes));
    return t;
}

TEST(RxsimReceivers, EveryScenarioLoadsAsTheReceiverItNames)
{
    for (const char* file : {"sim1.txt", "sim1-still.txt", "sim1-track.txt", "sim1-config.txt", "sim3007.txt", "sim1-sky.txt", "sim1-sky-moving.txt", "qbin-fix.txt", "velmara-demo.txt",
                             "nmea-maker.txt", "nmea-sirf.txt",
                             "nmea-nemerix.txt", "nmea-qinetiq.txt", "nmea-tyco.txt", "nmea-unav.txt",
                             "nmea-navman.txt", "nmea-ublox.txt", "qtxt-fix.txt", "qop-fix.txt", "kesto-fix.txt",
                             "mon-boot.txt"}) {
        std::string error;
        EXPECT_TRUE(LoadReceiver(Scenario(file), error) != nullptr) << file << ": " << error;
    }
    std::string error;
    EXPECT_EQ(LoadReceiver("protocol xyz", error), nullptr);
    EXPECT_NE(error.find("xyz"), std::string::npos);
    EXPECT_EQ(LoadReceiver("protocol nmea; position 91 0 0 0", error), nullptr);
    EXPECT_EQ(LoadReceiver("protocol nmea; periodic GGA XYZ", error), nullptr);
}

TEST(RxsimReceivers, MakersNmeaReceiverSendsTheStandardSentences)
{
    NmeaReceiver r = Load<NmeaReceiver>("nmea-maker.txt");
    std::vector<Segment> out;
    r.Tick(out);
    const std::vector<std::string> expected = {
        "$GPZDA,010203.00,09,11,2006,00,00*6B\r\n",
        "$GPGGA,010203.00,4730.0000,N,12215.0000,W,2,08,1.25,100.0,M,-17.0,M,,*6C\r\n",
        "$GPGSA,A,3,05,12,17,24,,,,,,,,,2.50,1.25,2.00*07\r\n",
        "$GPGSV,2,1,08,05,45,090,38,12,30,045,40,17,60,180,42,24,15,270,35*" +
            NmeaChecksumText("GPGSV,2,1,08,05,45,090,38,12,30,045,40,17,60,180,42,24,15,270,35") + "\r\n",
        "$GPGSV,2,2,08,02,10,020,30,09,25,135,33,29,05,315,28,31,70,225,44*" +
            NmeaChecksumText("GPGSV,2,2,08,02,10,020,30,09,25,135,33,29,05,315,28,31,70,225,44") + "\r\n",
        "$GPRMC,010203.00,A,4730.0000,N,12215.0000,W,10.0,90.0,091106,,,A*" +
            NmeaChecksumText("GPRMC,010203.00,A,4730.0000,N,12215.0000,W,10.0,90.0,091106,,,A") + "\r\n",
        "$GPVTG,90.0,T,,M,10.0,N,18.52,K,A*0B\r\n",
    };
    EXPECT_EQ(Texts(out, KIND_NMEA), expected);
    for (const Segment& s : out) EXPECT_EQ(s.outcome, OUT_GOOD);
}

TEST(RxsimReceivers, MakersNmeaReceiverAnswersItsQueries)
{
    NmeaReceiver r = Load<NmeaReceiver>("nmea-maker.txt");
    struct Case {
        const char* query;
        std::vector<std::string> replies;
    };
    const Case cases[] = {
        {"PZULQTF", {"PZULRTF,A,A,349323,04,3,4730.0000,N,12215.0000,W,83.0,5.144444,0.000000,0.000000"}},
        {"GPGPQ,GSA", {"GPGSA,A,3,05,12,17,24,,,,,,,,,2.50,1.25,2.00"}},
        {"GPGPQ,ZDA", {"GPZDA,010203.00,09,11,2006,00,00"}},
        {"GPGPQ,GSV", r.Bodies("GSV")},
        {"PZULQVR,S", {"PZULRVR,S,NAVFW,07.74.03,03,15,07"}},
        {"PZULQVR,N", {"PZULRVR,N,CORE,01.02.03,01,02,03"}},
        {"PZULQVR,H", {}},
        {"GPGPQ,XYZ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        std::vector<std::string> sentences;
        for (const std::string& body : c.replies) sentences.push_back(Text(NmeaSentence(body)));
        EXPECT_EQ(Texts(Ask(r, NmeaSentence(c.query)), KIND_NMEA), sentences);
    }
    EXPECT_EQ(Text(NmeaSentence("PZULRVR,S,NAVFW,07.74.03,03,15,07")), "$PZULRVR,S,NAVFW,07.74.03,03,15,07*59\r\n");
    EXPECT_EQ(Text(NmeaSentence("PZULRVR,N,CORE,01.02.03,01,02,03")), "$PZULRVR,N,CORE,01.02.03,01,02,03*10\r\n");
    // A query whose checksum is wrong is not the query.
    EXPECT_TRUE(Ask(r, NmeaSentence("PZULQTF", true, true)).empty());
}

TEST(RxsimReceivers, OtherMakersSendTheirVersionSentences)
{
    struct Case {
        const char* file;
        const char* query;     // "" when the sentence comes every period
        const char* sentence;  // as the dialect tables of the monitor give it
    };
    const Case cases[] = {
        {"nmea-sirf.txt", "", "$PSRFTXT,Version: 4.0.4-P1*5F\r\n"},
        {"nmea-nemerix.txt", "PNMRX600", "$PNMRX600,NMRX,1.05,ROM*00\r\n"},
        {"nmea-qinetiq.txt", "PQNQQ,VERS", "$PQNQQ,VERS,GPS,2.10,X,Jun 07 2005,x,y,12345*3D\r\n"},
        {"nmea-tyco.txt", "PSTMINFOREAD", "$PSTMVER,GPSLIB_07.01.15*29\r\n"},
        {"nmea-unav.txt", "PUNV,GETCONFIG,09", "$PUNV,CFG_R,9,1*76\r\n"},
        {"nmea-navman.txt", "", "$PTTK,NAVMAN SW VERSION 2.10.1*50\r\n"},
        {"nmea-ublox.txt", "", "$GPTXT,01,01,02,ANTARIS HW 00040001*05\r\n"},
        {"nmea-ublox.txt", "PZULQTF", "$GPTXT,01,01,01,PUBX inv format*23\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        NmeaReceiver r = Load<NmeaReceiver>(c.file);
        std::vector<Segment> out;
        if (*c.query) out = Ask(r, NmeaSentence(c.query));
        else r.Tick(out);
        std::vector<std::string> t = Texts(out, KIND_NMEA);
        EXPECT_NE(std::find(t.begin(), t.end(), c.sentence), t.end());
        // None of them answers the maker's own queries.
        if (std::string(c.file) != "nmea-ublox.txt") {
            EXPECT_TRUE(Ask(r, NmeaSentence("PZULQTF")).empty());
        }
    }
}

TEST(RxsimReceivers, UbloxReceiverSendsUbxBetweenItsSentences)
{
    NmeaReceiver r = Load<NmeaReceiver>("nmea-ublox.txt");
    std::vector<Segment> out;
    r.Tick(out);
    ASSERT_GE(out.size(), 4u);
    for (size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        if (i % 2 == 0) {
            EXPECT_EQ(out[i].kind, KIND_NMEA);
        } else {
            // A UBX message, which the reader counts as nothing.
            EXPECT_EQ(out[i].kind, KIND_NONE);
            std::vector<Command> c = test::Collect(out[i].bytes);
            ASSERT_EQ(c.size(), 1u);
            EXPECT_EQ(c[0].kind, KIND_UBX);
            EXPECT_TRUE(c[0].valid);
        }
    }
    EXPECT_EQ(Spaced(Bytes(out[1].bytes.begin() + 6, out[1].bytes.begin() + 16)), "10 41 02 00 FF 81 05 40 41 3E");
}

TEST(RxsimReceivers, QtxtReportsHoldTheirColumns)
{
    QtxtReceiver r = Load<QtxtReceiver>("qtxt-fix.txt");
    const std::string ln = ">" + r.Body("LN");
    struct Column {
        size_t at;
        const char* text;
    };
    const Column columns[] = {
        {1, "RLN"},  {4, "03723"},  {12, "+475000000"}, {22, "-1222500000"}, {33, "+00032808"},
        {42, "0115"}, {46, "+0000"}, {51, "0900"},       {55, "04"},          {57, "0538124017422435"},
        {73, "0000000000"}, {83, "32"},
    };
    for (const Column& c : columns) EXPECT_EQ(ln.substr(c.at, strlen(c.text)), c.text) << c.at;
    EXPECT_EQ(ln.size(), 85u);
    EXPECT_EQ(">" + r.Body("TM"), ">RTM0102030000911200614104");
    EXPECT_EQ(">" + r.Body("ST"), ">RST0C200000");
    EXPECT_EQ(">" + r.Body("PT"), ">RPT9600,8,1,N");
    EXPECT_EQ(">" + r.Body("PR"), ">RPR;QTXT=Ta;QBIN=Fa;NMEA=Ia");
    EXPECT_EQ(Texts(Ask(r, QtxtSentence("QVR")), KIND_QTXT),
              std::vector<std::string>{Text(QtxtSentence("RVR Zenthos Tracker;VERSION 02.15 (03/15/07)"))});
    EXPECT_EQ(Texts(Ask(r, QtxtSentence("QST")), KIND_QTXT),
              std::vector<std::string>{Text(QtxtSentence(r.Body("ST")))});
    EXPECT_TRUE(Ask(r, QtxtSentence("QVR", true, true)).empty());
}

TEST(RxsimReceivers, QopMessagesHaveTheTableLengths)
{
    QopReceiver r = Load<QopReceiver>("qop-fix.txt");
    Bytes ha = r.Message("Ha");
    ASSERT_EQ(ha.size(), 154u);
    // Data offsets + 4: date, time, latitude (mas), DOP, first channel, status.
    EXPECT_EQ(Spaced(Bytes(ha.begin() + 4, ha.begin() + 11)), "0B 09 07 D6 01 02 03");
    EXPECT_EQ(Spaced(Bytes(ha.begin() + 15, ha.begin() + 19)), "0A 31 40 C0");  // 171000000
    EXPECT_EQ(Spaced(Bytes(ha.begin() + 53, ha.begin() + 55)), "00 19");
    EXPECT_EQ(Spaced(Bytes(ha.begin() + 57, ha.begin() + 60)), "05 08 26");
    EXPECT_EQ(Spaced(Bytes(ha.begin() + 129, ha.begin() + 131)), "E0 00");
    EXPECT_EQ(Ask(r, QopMessage('B', 'b', {0x00})).at(0).bytes.size(), 92u);
    std::vector<Segment> cj = Ask(r, QopMessage('C', 'j', {}));
    ASSERT_EQ(cj.size(), 1u);
    ASSERT_EQ(cj[0].bytes.size(), 294u);
    EXPECT_NE(Text(cj[0].bytes).find("SOFTWARE VER # 02.15.01\r\n"), std::string::npos);
    EXPECT_NE(Text(cj[0].bytes).find("SOFTWARE DATE 03/15/07\r\n"), std::string::npos);
    EXPECT_EQ(Ask(r, QopMessage('H', 'a', {0x00})).at(0).bytes, ha);
}

TEST(RxsimReceivers, KestoPacketsAndAnswers)
{
    KestoReceiver r = Load<KestoReceiver>("kesto-fix.txt");
    std::vector<Segment> out;
    r.Tick(out);
    ASSERT_EQ(out.size(), 7u);  // 30-02, 32-01, four channels, the escaped checksum
    EXPECT_EQ(Spaced(out.back().bytes), "81 70 11 FA 80 02 82");
    std::vector<Command> nav = test::Collect(out[0].bytes);
    ASSERT_EQ(nav.size(), 1u);
    ASSERT_TRUE(nav[0].valid);
    // Flags, time of fix (349323000 ms), latitude, longitude, altitude,
    // heading (90 degrees), speed (5.14 m/s), all low byte first.
    EXPECT_EQ(Spaced(nav[0].body), "30 02 0D 00 00 F8 3E D2 14 72 1C C7 21 11 11 11 A9 53 00 00 40 02 02");

    std::vector<Command> version = test::Collect(Ask(r, Hex("81 02 11 01 E9 82")).at(0).bytes);
    ASSERT_EQ(version.size(), 1u);
    EXPECT_EQ(Spaced(version[0].body), "11 01 01 02 03 0F 03 D7 07");
    std::vector<Command> product = test::Collect(Ask(r, Hex("81 02 12 03 E6 82")).at(0).bytes);
    ASSERT_EQ(product.size(), 1u);
    EXPECT_EQ(Text(Bytes(product[0].body.begin() + 10, product[0].body.end())), "KSX Module      ");
    EXPECT_EQ(Ask(r, Hex("81 02 16 02 E3 82")).size(), 1u);
    EXPECT_TRUE(Ask(r, Hex("81 03 02 F8 82")).empty());  // a reset: logged only
}

TEST(RxsimReceivers, MonAnswersVersionAndMemoryRead)
{
    MonReceiver r;
    std::string error;
    ASSERT_TRUE(r.Load("protocol mon; version 7 74 3 15 7; memory 1000 1234", error)) << error;
    EXPECT_EQ(Spaced(Ask(r, MonFrame(0x76, {})).at(0).bytes), "02 00 96 06 07 4A 03 0F 00 07 06 03");
    EXPECT_EQ(Spaced(Ask(r, MonFrame(0x80, Hex("0000100002"))).at(0).bytes), "02 00 92 02 12 34 DA 03");
    EXPECT_EQ(Spaced(Ask(r, MonFrame(0x80, Hex("0000200002"))).at(0).bytes), "02 00 92 02 00 00 94 03");
    std::vector<Segment> none;
    r.Tick(none);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace rxsim
