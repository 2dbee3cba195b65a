#pragma once
// What the decoder tests share: a real model attached to a sink that records
// the events it raises, a frame handed to a decoder from a block of exactly
// its length, the records read back, and every record a decoder may touch
// copied out, so that "the model is as it was" is one comparison.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../link/FrameTestUtil.h"
#include "../model/RecordingSink.h"
#include "framework/CString.h"
#include "link/FrameRecogniser.h"
#include "model/CModel.h"

namespace decodertest {

using frametest::Bytes;

inline RecordedEvent Posted(int32_t event, int32_t detail = 0) { return RecordedEvent{event, detail, false}; }

// The bytes a builder wrote, and the same as text.
inline Bytes ToBytes(const CByteArray& a)
{
    return a.GetSize() == 0 ? Bytes() : Bytes(a.GetData(), a.GetData() + a.GetSize());
}
inline std::string Text(const CByteArray& a)
{
    return std::string(reinterpret_cast<const char*>(a.GetData()), static_cast<size_t>(a.GetSize()));
}

// What the recogniser makes of bytes fed one at a time ("frame KIND: HEX").
inline std::vector<std::string> Recognise(const Bytes& wire)
{
    frametest::RecordingFrameSink sink;
    CFrameRecogniser recogniser(&sink);
    for (uint8_t b : wire) recogniser.Feed(b);
    return sink.found;
}

// A frame copied into a heap block of exactly its length, so that a decoder
// reading past its end is a sanitizer finding.
class ExactFrame {
public:
    explicit ExactFrame(const Bytes& frame) : m_size(frame.size()), m_bytes(new BYTE[frame.size()])
    {
        if (!frame.empty()) std::memcpy(m_bytes.get(), frame.data(), frame.size());
    }
    explicit ExactFrame(const std::string& text) : ExactFrame(Bytes(text.begin(), text.end())) {}
    const BYTE* Data() const { return m_bytes.get(); }
    int Size() const { return static_cast<int>(m_size); }

private:
    size_t m_size;
    std::unique_ptr<BYTE[]> m_bytes;
};

// Every record a decoder may touch, copied out for before/after comparison.
struct Snapshot {
    struct Records {
        NavState nav, prevNav;
        GpsTimeInfo time;
        FixModeRecord fix;
        DopRecord dops;
        FirmwareVersionRecord fw0, fw1;
        ProductRecord product;
        TrackingTable tracking;
        SignalLevelTable levels;
        TimingConfig timing;
        IoOptions io;
        PortConfigRecord port;
        QtxtConfigRecord qtxt;
        NmeaOutputConfig output;
        NavConfig navConfig;
        FilterConfig filter;
        DatumRecord datum;
        SvFlags svFlags;
        uint32_t svMask;
        AlmanacHealthPage almanacHealth;
        AlmanacRecord almanac;
        IonoParams iono;
        UtcParams utc;
        EphemerisRecord ephemeris;
        uint32_t health, healthErrors, machineId, statusCode;
        uint8_t dgps;
    } r;
    std::vector<std::string> texts;
    std::vector<bool> flags;

    explicit Snapshot(CModel& m)
    {
        std::memset(&r, 0, sizeof r);
        m.GetNavState(r.nav);
        m.GetPreviousNavState(r.prevNav);
        m.GetTimeInfo(r.time);
        m.GetFixModeAndDops(r.fix);
        m.GetFixSvList(r.dops);
        m.GetFirmwareVersion(r.fw0, 0);
        m.GetFirmwareVersion(r.fw1, 1);
        m.GetProductInfo(r.product);
        m.GetTrackingTable(r.tracking);
        m.GetSignalLevels(r.levels);
        m.GetTimingConfig(r.timing);
        m.GetIoOptions(r.io);
        m.GetPortConfig(r.port);
        m.GetQtxtConfig(r.qtxt);
        m.GetNmeaOutputConfig(r.output);
        m.GetNavConfig(r.navConfig);
        m.GetFilterConfig(r.filter);
        m.GetDatum(r.datum);
        m.GetSvFlags(r.svFlags);
        m.GetSvMaskWord(r.svMask);
        m.GetAlmanacHealthPage(r.almanacHealth);
        m.GetAlmanac(r.almanac);
        m.GetIonoParams(r.iono);
        m.GetUtcParams(r.utc);
        m.GetEphemeris(r.ephemeris);
        r.health = m.GetHealthStatus();
        r.healthErrors = m.GetHealthErrorBits();
        r.machineId = m.GetMachineId();
        r.statusCode = m.GetStatusCode();
        r.dgps = m.GetDgpsMode();
        for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) texts.push_back(m.GetReportText(i).GetString());
        for (int i = 0; i < MODEL_REPORT_FLAG_COUNT; ++i) flags.push_back(m.GetReportFlag(i));
    }
    // The records and report texts; the report flags aside.
    bool SameRecords(const Snapshot& o) const { return std::memcmp(&r, &o.r, sizeof r) == 0 && texts == o.texts; }
    bool operator==(const Snapshot& o) const { return SameRecords(o) && flags == o.flags; }
};

// How each sink is readied and forgets what it recorded.
inline void Ready(RecordingSink&, CModel&) {}
inline void Ready(frametest::EventRecorder& sink, CModel& model) { sink.SetModel(&model); }
inline void Forget(RecordingSink& sink) { sink.Clear(); }
inline void Forget(frametest::EventRecorder& sink) { sink.events.clear(); }

// A real model attached to `Sink` (RecordingSink, or frametest's
// EventRecorder where a test reads the raw frame an event carries), its
// events forgotten once attached.
template <class Sink>
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ready(sink, model);
        ASSERT_TRUE(model.Attach(&sink, nullptr));
        Forget(sink);
    }
    void TearDown() override { model.Detach(); }

    NavState Nav()
    {
        NavState nav;
        std::memset(&nav, 0, sizeof nav);
        model.GetNavState(nav);
        return nav;
    }
    GpsTimeInfo Time()
    {
        GpsTimeInfo t;
        std::memset(&t, 0, sizeof t);
        model.GetTimeInfo(t);
        return t;
    }
    TrackingTable Tracking()
    {
        TrackingTable t;
        std::memset(&t, 0, sizeof t);
        model.GetTrackingTable(t);
        return t;
    }
    FirmwareVersionRecord Firmware(int which = 0)
    {
        FirmwareVersionRecord fw;
        std::memset(&fw, 0, sizeof fw);
        model.GetFirmwareVersion(fw, which);
        return fw;
    }
    std::string Label(int slot) { return model.GetReportText(slot).GetString(); }

    CModel model;
    Sink sink;
};

}  // namespace decodertest
