// Which frames equal a replay's marker frame, and the pause that follows one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/PlaybackMarker.h"

namespace {

typedef std::vector<uint8_t> Bytes;
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST(PlaybackMarker, FrameEqualsMarker)
{
    struct Case {
        const char* name;
        ProtocolKind kind;
        Bytes frame;
        PlaybackMarkers markers;
        bool expected;
    };
    PlaybackMarkers gga;
    gga.nmea = "GGA";
    PlaybackMarkers ggaLower;
    ggaLower.nmea = "gga";
    PlaybackMarkers gg;
    gg.nmea = "GG";
    PlaybackMarkers empty;
    PlaybackMarkers rmc;
    rmc.nmea = "RMC";
    PlaybackMarkers st;
    st.qtxt = "st";
    PlaybackMarkers ha;
    ha.qop = "ha";
    PlaybackMarkers kesto;
    kesto.kestoClass = 0x02;
    kesto.kestoId = 0x11;
    PlaybackMarkers qbin;
    qbin.qbinId = 0x8F;
    PlaybackMarkers huge;
    huge.nmea = std::string(600, 'A');
    huge.qtxt = huge.nmea;
    huge.qop = huge.nmea;
    PlaybackMarkers exact;
    exact.nmea = "GGA,1*00\r\n";  // as long as the text after the talker
    PlaybackMarkers oneMore;
    oneMore.nmea = "GGA,1*00\r\nX";

    const Bytes sentence = Text("$GPGGA,1*00\r\n");
    const std::vector<Case> cases = {
        {"GGA", PROTO_NMEA, sentence, gga, true},
        {"gga", PROTO_NMEA, sentence, ggaLower, true},
        {"lower-case sentence", PROTO_NMEA, Text("$gpgga,1*00\r\n"), gga, true},
        {"GG", PROTO_NMEA, sentence, gg, true},
        {"empty matches every sentence", PROTO_NMEA, Text("$GPRMC*00\r\n"), empty, true},
        {"RMC", PROTO_NMEA, sentence, rmc, false},
        {"QTXT st", PROTO_QTXT, Text(">QST<"), st, true},
        {"QTXT st, other report", PROTO_QTXT, Text(">RTM<"), st, false},
        {"QOP ha", PROTO_QOP, Bytes{0x40, 0x40, 0x48, 0x61, 0x00, 0x29, 0x0D, 0x0A}, ha, true},
        {"QOP ha, other id", PROTO_QOP, Text("@@Hn\r\n"), ha, false},
        {"KESTO 02 11", PROTO_KESTO, {0x81, 0x02, 0x11, 0x01, 0xE9, 0x82}, kesto, true},
        {"KESTO 02 12", PROTO_KESTO, {0x81, 0x02, 0x12, 0x03, 0xE6, 0x82}, kesto, false},
        {"KESTO class only", PROTO_KESTO, {0x81, 0x02}, kesto, false},
        {"QBIN id", PROTO_QBIN, {0x10, 0x8F, 0x20, 0x10, 0x03}, qbin, true},
        {"QBIN other id", PROTO_QBIN, {0x10, 0x8E, 0x20, 0x10, 0x03}, qbin, false},
        {"MON never", PROTO_MON, {0x02, 0x00, 0x76, 0x00, 0x76, 0x03}, empty, false},
        {"marker as long as the frame text", PROTO_NMEA, sentence, exact, true},
        {"marker one longer than the frame", PROTO_NMEA, sentence, oneMore, false},
        {"600-character NMEA marker", PROTO_NMEA, sentence, huge, false},
        {"600-character QTXT marker", PROTO_QTXT, Text(">QST<"), huge, false},
        {"600-character QOP marker", PROTO_QOP, Bytes{0x40, 0x40, 0x48, 0x61, 0x00, 0x29, 0x0D, 0x0A}, huge, false},
        {"frame shorter than its prefix", PROTO_NMEA, Text("$G"), empty, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Exactly the frame's bytes on the heap, so reading past them is caught.
        std::unique_ptr<uint8_t[]> frame(new uint8_t[c.frame.size()]);
        std::copy(c.frame.begin(), c.frame.end(), frame.get());
        EXPECT_EQ(IsMarkerFrame(c.kind, frame.get(), static_cast<int>(c.frame.size()), c.markers), c.expected);
    }
    EXPECT_FALSE(IsMarkerFrame(PROTO_NMEA, nullptr, 10, empty));
}

TEST(PlaybackMarker, PacingPause)
{
    struct Case {
        int channelType;
        bool converting;
        bool marker;
        uint32_t speed;
        uint32_t pause;
    };
    const std::vector<Case> cases = {
        {2, false, true, 1, 1000}, {2, false, true, 3, 333}, {2, false, true, 999, 1},
        {2, false, true, 1000, 0}, {2, false, true, 0, 0},   {2, false, true, 1001, 0},
        {1, false, true, 1, 0},    {2, true, true, 1, 0},    {2, false, false, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPacingPause(c.channelType, c.converting, c.marker, c.speed), c.pause)
            << "type " << c.channelType << " converting " << c.converting << " marker " << c.marker << " speed "
            << c.speed;
    }
}
