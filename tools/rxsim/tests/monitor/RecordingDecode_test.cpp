// rxsim's recordings through the monitor's own frame handler, decoders and
// model: every fix of the truth is a position the model stores, in order
// and with the same values, nothing else is; faults lose exactly the fixes
// the truth leaves out; and each QBIN period's 0x82 raises the DGPS mode
// event after the period's position, the event on which a converter writes
// its GGA sentence and spreadsheet row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Generate.h"
#include "Receiver.h"
#include "link/FrameHandler.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "support/FrameFeed.h"
#include "../TestSupport.h"

namespace {

const double kDegreesPerRadian = 57.29577951308232;
const size_t kReadBlock = 4096;
using framefeed::kByteByByte;

class MemorySink : public rxsim::RecordingSink {
public:
    bool Write(const uint8_t* data, size_t n) override
    {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
    bool Fix(const rxsim::FixTruth& fix) override
    {
        fixes.push_back(fix);
        return true;
    }
    rxsim::Bytes bytes;
    std::vector<rxsim::FixTruth> fixes;
};

struct Recording {
    MemorySink sink;
    rxsim::GenerateResult result;
};

void Make(const std::string& scenario, uint64_t bytes, const std::string& faults, Recording& r)
{
    std::string error;
    std::unique_ptr<rxsim::Receiver> receiver = rxsim::LoadReceiver(scenario, error);
    ASSERT_TRUE(receiver) << error;
    rxsim::GenerateRequest request;
    request.minBytes = bytes;
    ASSERT_TRUE(rxsim::ParseFaults(faults, request.faults, error)) << error;
    ASSERT_TRUE(rxsim::GenerateRecording(*receiver, request, r.sink, r.result, error)) << error;
}

// What the model said while it took a recording.
struct Seen {
    std::vector<NavState> positions;  // at each position event, valid fixes only
    std::vector<double> fixTimeAtDgps;  // the stored fix's time at each DGPS mode event
    int dgpsEvents = 0;
    int invalidPositions = 0;
    uint8_t dgpsMode = 0xFF;
};

class Recorder : public IReceiverEventSink {
public:
    explicit Recorder(CModel& model) : m_model(model) {}
    bool NotifyListeners(int32_t event, int32_t, bool) override
    {
        NavState nav;
        if (event == EV_POSITION_LLA) {
            m_model.GetNavState(nav);
            if (nav.fixValid) seen.positions.push_back(nav);
            else ++seen.invalidPositions;
        } else if (event == EV_DGPS_MODE) {
            m_model.GetNavState(nav);
            ++seen.dgpsEvents;
            seen.fixTimeAtDgps.push_back(nav.timeOfFix);
        }
        return true;
    }
    Seen seen;

private:
    CModel& m_model;
};

Seen Decode(const rxsim::Bytes& input, size_t block)
{
    CModel model;
    Recorder recorder(model);
    EXPECT_TRUE(model.Attach(&recorder, nullptr));
    framefeed::ReplayContext replay(model);
    {
        CFrameHandler handler(replay.context);
        framefeed::Feed(handler, input, block);
    }
    recorder.seen.dgpsMode = model.GetDgpsMode();
    model.Detach();
    return recorder.seen;
}

struct QbinCase {
    const char* scenario;
    const char* faults;
    uint8_t dgpsMode;
    size_t block;
};

TEST(RxsimThroughMonitor, QbinRecordingsGiveTheirTruthAndADgpsEventEachPeriod)
{
    const QbinCase cases[] = {
        {"qbin-drive-1.txt", "", 0, kReadBlock},
        {"qbin-drive-1.txt", "garbage:2,broken:3,bad:5,crc:7,truncate", 0, kReadBlock},
        {"qbin-drive-2.txt", "garbage:3,broken:2,bad:4,crc:5,truncate", 1, kByteByByte},
        {"qbin-drive-3.txt", "garbage:1,broken:1,bad:1,crc:3", 0, 7},
    };
    for (const QbinCase& c : cases) {
        SCOPED_TRACE(std::string(c.scenario) + " " + c.faults);
        Recording r;
        Make(rxsim::test::Scenario(c.scenario), 300000, c.faults, r);
        const std::vector<rxsim::FixTruth>& truth = r.sink.fixes;
        ASSERT_GT(truth.size(), 100u);
        Seen seen = Decode(r.sink.bytes, c.block);

        for (size_t i = 0; i < std::min(truth.size(), seen.positions.size()); ++i)
            if (seen.positions[i].timeOfFix != truth[i].tow) {
                ADD_FAILURE() << "first difference at " << i << ": " << seen.positions[i].timeOfFix << " vs "
                              << truth[i].tow;
                break;
            }
        ASSERT_EQ(seen.positions.size(), truth.size());
        EXPECT_EQ(seen.invalidPositions, 0);
        for (size_t i = 0; i < truth.size(); ++i) {
            const NavState& got = seen.positions[i];
            const rxsim::FixTruth& want = truth[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(got.week, want.week);
            EXPECT_EQ(got.timeOfFix, want.tow);
            EXPECT_EQ(got.latitude * kDegreesPerRadian, want.latitude);
            EXPECT_EQ(got.longitude * kDegreesPerRadian, want.longitude);
            EXPECT_EQ(got.height, want.altitude);
            if (HasFailure()) break;
        }
        // One DGPS mode event a period (a cut last period never got to it),
        // each after the period's fix: the stored fix then is the period's,
        // or the one before when the period's own was lost.
        const uint64_t whole = r.result.periods - (r.result.cut ? 1 : 0);
        EXPECT_EQ(static_cast<uint64_t>(seen.dgpsEvents), whole);
        std::vector<double> times = seen.fixTimeAtDgps;
        times.erase(std::unique(times.begin(), times.end()), times.end());
        std::vector<double> truthTimes;
        for (const rxsim::FixTruth& f : truth) truthTimes.push_back(f.tow);
        EXPECT_EQ(times, truthTimes);
        EXPECT_EQ(seen.dgpsMode, c.dgpsMode);
        EXPECT_EQ(whole - r.result.spoiled, truth.size());
    }
}

TEST(RxsimThroughMonitor, NmeaRecordingStoresEveryFixOfItsTruth)
{
    const std::string scenario = rxsim::test::Scenario("nmea-maker.txt") + "\ntime 235950 9 11 2006 1";
    Recording r;
    Make(scenario, 100000, "garbage:2,broken:3,bad:4,crc:5,truncate", r);
    Seen seen = Decode(r.sink.bytes, kReadBlock);
    // GGA and RMC both store the position, so each fix shows as a run of
    // one time (of the week: the date is known from the period's ZDA).
    std::vector<std::pair<double, std::pair<double, double>>> got, want;
    for (const NavState& n : seen.positions)
        if (got.empty() || got.back().first != n.timeOfFix)
            got.push_back({n.timeOfFix, {n.latitude * kDegreesPerRadian, n.longitude * kDegreesPerRadian}});
    for (const rxsim::FixTruth& f : r.sink.fixes)
        if (want.empty() || want.back().first != f.tow) want.push_back({f.tow, {f.latitude, f.longitude}});
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].first, want[i].first) << i;
        EXPECT_NEAR(got[i].second.first, want[i].second.first, 1e-9) << i;
        EXPECT_NEAR(got[i].second.second, want[i].second.second, 1e-9) << i;
    }
    EXPECT_GT(r.result.spoiled, 0u);
}

}  // namespace
