// Real receiver logs through the frame handler and every decoder into a real
// model. Each log gives the figures it gave once measured (good and bad NMEA
// sentences, positions stored), the same whether it is fed as recorded in
// read blocks or byte by byte, with the CR LF of the wire in blocks that
// frames straddle, or replayed by a controller; every stored position is the
// one its sentence states; and the logs with a fix end where their last fix
// and time are.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/CController.h"
#include "link/CPlaybackChannel.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "support/CorpusLogs.h"
#include "support/FrameFeed.h"

namespace {

using corpuslogs::Bytes;
using corpuslogs::LogNames;
using corpuslogs::PathOf;
using corpuslogs::ReadBytes;
using corpuslogs::WithCrLf;
using framefeed::Feed;
using framefeed::kByteByByte;

const double kDegreesPerRadian = 57.29577951308232;
const double kPositionToleranceDegrees = 1e-6;

// What one run of a log gave.
struct LogFigures {
    uint32_t good;        // accepted NMEA sentences
    uint32_t bad;         // NMEA sentences refused by their check
    uint32_t positions;   // positions stored (position events)
};

bool operator==(const LogFigures& a, const LogFigures& b)
{
    return a.good == b.good && a.bad == b.bad && a.positions == b.positions;
}

std::ostream& operator<<(std::ostream& os, const LogFigures& f)
{
    return os << "{good " << f.good << ", bad " << f.bad << ", positions " << f.positions << "}";
}

// Measured once with every decoder in place, then frozen: a change in a
// recogniser or decoder that moves them must explain itself.
struct LogRow {
    const char* name;
    LogFigures figures;
};
const LogRow kLogTable[] = {
    {"bu353s4.log", {90, 0, 25}},
    {"haicom-305N.log", {325, 0, 68}},
    {"hemi.log", {753, 0, 21}},
    {"mtk-3301.log", {59, 0, 4}},
    {"sirfstarv-nmea.log", {367, 0, 59}},
    {"skytraq-fix.log", {100, 0, 11}},
    {"ublox-8.log", {1009, 0, 73}},  // one RMC fix before the first GGA, then one per GGA
    {"ublox-neo-m8n.log", {0, 0, 0}},
};

const LogRow* FindRow(const std::string& name)
{
    for (const LogRow& row : kLogTable) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

// A position as the model stored it, and the sentence being decoded then.
struct StoredPosition {
    std::string sentence;
    double latitude;    // radians
    double longitude;
};

bool SamePlace(const StoredPosition& a, const StoredPosition& b)
{
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

struct DecodeRun {
    LogFigures figures = {0, 0, 0};
    std::vector<StoredPosition> positions;
    NavState nav = {};
    GpsTimeInfo time = {};
};

// Counts the positions the model stores and reads each one back as it is
// announced, naming the NMEA sentence the handler is decoding at the time.
class PositionRecorder : public IReceiverEventSink, public IFrameSink {
public:
    explicit PositionRecorder(CModel& model) : m_model(model) {}

    bool NotifyListeners(int32_t event, int32_t, bool) override
    {
        if (event != EV_POSITION_LLA && event != EV_POSITION_XYZ) return true;
        ++run.figures.positions;
        NavState nav;
        m_model.GetNavState(nav);
        run.positions.push_back(StoredPosition{m_sentence, nav.latitude, nav.longitude});
        return true;
    }
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        m_sentence = kind == PROTO_NMEA ? std::string(reinterpret_cast<const char*>(frame), length)
                                        : "(frame of kind " + std::to_string(kind) + ")";
        while (!m_sentence.empty() && (m_sentence.back() == '\n' || m_sentence.back() == '\r')) m_sentence.pop_back();
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
    void OnBangDigit(BYTE) override {}

    DecodeRun run;

private:
    CModel& m_model;
    std::string m_sentence;
};

// How the bytes reach the frame handler: in blocks as a reader reads them
// (of this many bytes), or one at a time.
const size_t kReadBlock = 4096;
const size_t kStraddlingBlock = 7;  // most frames straddle two or more blocks

// The reader's work on a replay at full speed, without the reader: the bytes
// to the frame handler, every decoder behind it.
DecodeRun Decode(const Bytes& input, size_t block)
{
    CModel model;
    PositionRecorder recorder(model);
    EXPECT_TRUE(model.Attach(&recorder, nullptr));
    framefeed::ReplayContext replay(model);
    {
        CFrameHandler handler(replay.context);
        handler.SetFrameObserver(&recorder);
        Feed(handler, input, block);
    }
    EXPECT_EQ(replay.stats.Get(LINK_BYTES), input.size());
    DecodeRun run = recorder.run;
    run.figures.good = replay.stats.Get(LINK_NMEA_GOOD);
    run.figures.bad = replay.stats.Get(LINK_NMEA_BAD);
    model.GetNavState(run.nav);
    model.GetTimeInfo(run.time);
    model.Detach();
    return run;
}

// The windows of a replay's listener: positions are read back from the model
// as their events are delivered (on the reader thread, as a sent handler
// would), and the end of the data is awaited.
class ReplayWindows : public IListenerWindows {
public:
    explicit ReplayWindows(CController& controller) : m_controller(controller) {}
    bool CreateAnchor() override { return true; }
    void DestroyAnchor() override {}
    bool Post(HWND, uint32_t, WPARAM wParam, LPARAM) override { return Deliver(static_cast<int32_t>(wParam)); }
    LRESULT Send(HWND, uint32_t, WPARAM wParam, LPARAM) override { return Deliver(static_cast<int32_t>(wParam)); }

    bool WaitForEnd()
    {
        std::unique_lock<std::mutex> g(m_lock);
        return m_changed.wait_for(g, std::chrono::seconds(60), [&] { return m_ended; });
    }
    std::vector<StoredPosition> Positions()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_positions;
    }

private:
    bool Deliver(int32_t event)
    {
        if (event == EV_POSITION_LLA || event == EV_POSITION_XYZ) {
            NavState nav;
            m_controller.GetModel().GetNavState(nav);
            std::lock_guard<std::mutex> g(m_lock);
            m_positions.push_back(StoredPosition{"", nav.latitude, nav.longitude});
        } else if (event == EV_END_OF_DATA) {
            std::lock_guard<std::mutex> g(m_lock);
            m_ended = true;
            m_changed.notify_all();
        }
        return true;
    }

    CController& m_controller;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_ended = false;
    std::vector<StoredPosition> m_positions;
};

// The log file replayed by a controller at speed 1000, through the real
// playback channel and reader thread.
DecodeRun Replay(const std::string& path)
{
    DecodeRun run;
    CController controller;
    ReplayWindows windows(controller);
    controller.SetListenerWindows(&windows);
    controller.AddListener(reinterpret_cast<HWND>(1), WM_RECEIVER_EVENT);
    PlaybackSettings settings;
    settings.fileName = path.c_str();
    settings.speed = CPlaybackChannel::kMaxSpeed;
    int32_t error = -1;
    if (!controller.OpenPlayback(settings, PROTO_AUTO, &error)) {
        ADD_FAILURE() << "playback of " << path << " not opened, error " << error;
        return run;
    }
    EXPECT_TRUE(windows.WaitForEnd()) << path << ": no end of data";
    const CProtocol& protocol = controller.GetProtocol();
    run.figures.good = protocol.GetStatistic(LINK_NMEA_GOOD);
    run.figures.bad = protocol.GetStatistic(LINK_NMEA_BAD);
    run.positions = windows.Positions();
    run.figures.positions = static_cast<uint32_t>(run.positions.size());
    controller.GetModel().GetNavState(run.nav);
    controller.GetModel().GetTimeInfo(run.time);
    controller.Disconnect();
    return run;
}

// ---- The test's own reading of a sentence's position -------------------------------

std::vector<std::string> Fields(const std::string& sentence)
{
    std::string body = sentence.substr(0, sentence.find('*'));
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = body.find(',', start);
        fields.push_back(body.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

// "ddmm.mmmm" or "dddmm.mmmm" with its hemisphere letter -> signed degrees.
bool Angle(const std::string& value, const std::string& hemisphere, double& degrees)
{
    if (value.empty() || hemisphere.size() != 1) return false;
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0') return false;
    const double whole = std::floor(v / 100.0);
    degrees = whole + (v - whole * 100.0) / 60.0;
    if (hemisphere == "S" || hemisphere == "W") degrees = -degrees;
    return true;
}

// Latitude and longitude of a GGA, RMC or GLL sentence (any talker).
bool StatedPosition(const std::string& sentence, double& latitude, double& longitude)
{
    const std::vector<std::string> f = Fields(sentence);
    if (f[0].size() != 6 || f[0][0] != '$') return false;
    const std::string type = f[0].substr(3);
    size_t first;
    if (type == "GGA") first = 2;
    else if (type == "RMC") first = 3;
    else if (type == "GLL") first = 1;
    else return false;
    if (f.size() < first + 4) return false;
    return Angle(f[first], f[first + 1], latitude) && Angle(f[first + 2], f[first + 3], longitude);
}

// ---- Runs, each made once -----------------------------------------------------------

enum FeedKind { AS_RECORDED, BYTE_BY_BYTE, WITH_CR_LF, REPLAYED };

const char* FeedName(FeedKind feed)
{
    switch (feed) {
    case AS_RECORDED: return "as recorded";
    case BYTE_BY_BYTE: return "byte by byte";
    case WITH_CR_LF: return "with CR LF in small blocks";
    case REPLAYED: return "replayed";
    }
    return "";
}

const DecodeRun& RunOf(const std::string& name, FeedKind feed)
{
    static std::map<std::pair<std::string, int>, DecodeRun> runs;
    const std::pair<std::string, int> key(name, feed);
    auto found = runs.find(key);
    if (found != runs.end()) return found->second;
    DecodeRun run;
    switch (feed) {
    case AS_RECORDED: run = Decode(ReadBytes(PathOf(name)), kReadBlock); break;
    case BYTE_BY_BYTE: run = Decode(ReadBytes(PathOf(name)), kByteByByte); break;
    case WITH_CR_LF: run = Decode(WithCrLf(ReadBytes(PathOf(name))), kStraddlingBlock); break;
    case REPLAYED: run = Replay(PathOf(name)); break;
    }
    return runs.emplace(key, run).first->second;
}

#define SKIP_WITHOUT_CORPUS()                                                   \
    if (LogNames().empty()) GTEST_SKIP() << "no corpus at " CORPUS_DIR

}  // namespace

TEST(CorpusDecode, EveryLogHasItsMeasuredFigures)
{
    SKIP_WITHOUT_CORPUS();
    for (const std::string& name : LogNames()) {
        SCOPED_TRACE(name);
        const LogRow* row = FindRow(name);
        ASSERT_NE(row, nullptr) << "a log without figures: measure it and add its row";
        EXPECT_EQ(RunOf(name, AS_RECORDED).figures, row->figures);
    }
}

TEST(CorpusDecode, EveryWayOfFeedingALogGivesTheSameFiguresAndPositions)
{
    SKIP_WITHOUT_CORPUS();
    for (const std::string& name : LogNames()) {
        const DecodeRun& recorded = RunOf(name, AS_RECORDED);
        for (FeedKind feed : {BYTE_BY_BYTE, WITH_CR_LF, REPLAYED}) {
            SCOPED_TRACE(name + " " + FeedName(feed));
            const DecodeRun& other = RunOf(name, feed);
            EXPECT_EQ(other.figures, recorded.figures);
            ASSERT_EQ(other.positions.size(), recorded.positions.size());
            for (size_t i = 0; i < recorded.positions.size(); ++i)
                EXPECT_TRUE(SamePlace(other.positions[i], recorded.positions[i]))
                    << "position " << i << " from " << recorded.positions[i].sentence;
        }
    }
}

TEST(CorpusDecode, EveryStoredPositionIsTheOneItsSentenceStates)
{
    SKIP_WITHOUT_CORPUS();
    size_t checked = 0;
    for (const std::string& name : LogNames()) {
        SCOPED_TRACE(name);
        for (const StoredPosition& p : RunOf(name, AS_RECORDED).positions) {
            double latitude = 0, longitude = 0;
            ASSERT_TRUE(StatedPosition(p.sentence, latitude, longitude)) << "stored from " << p.sentence;
            EXPECT_NEAR(p.latitude * kDegreesPerRadian, latitude, kPositionToleranceDegrees) << p.sentence;
            EXPECT_NEAR(p.longitude * kDegreesPerRadian, longitude, kPositionToleranceDegrees) << p.sentence;
            ++checked;
        }
    }
    uint32_t stored = 0;
    for (const LogRow& row : kLogTable) stored += row.figures.positions;
    EXPECT_EQ(checked, stored);
}

TEST(CorpusDecode, AUsbReceiverLogEndsAtItsLastFixAndTime)
{
    SKIP_WITHOUT_CORPUS();
    const DecodeRun& run = RunOf("bu353s4.log", AS_RECORDED);
    EXPECT_NEAR(run.nav.latitude, -0.6594690799410908, 1e-12);
    EXPECT_NEAR(run.nav.longitude, 3.0598222618934274, 1e-12);
    EXPECT_NEAR(run.nav.height, 83.9, 1e-9);
    EXPECT_EQ(run.nav.svCount, 7);
    EXPECT_EQ(run.nav.timeOfFix, 270463.0);
    EXPECT_EQ(run.time.week, 1825);
    EXPECT_EQ(run.time.timeOfWeek, 270463u);
}

TEST(CorpusDecode, ALogMostlyWithoutAFixStillKeepsItsTime)
{
    SKIP_WITHOUT_CORPUS();
    const DecodeRun& run = RunOf("hemi.log", AS_RECORDED);
    EXPECT_EQ(run.time.week, 2017);
    EXPECT_EQ(run.time.timeOfWeek, 502860u);
}
