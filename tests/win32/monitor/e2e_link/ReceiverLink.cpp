#include "ReceiverLink.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace e2e {

void ReceiverLinkE2e::TearDown()
{
    if (link.GetProtocol().IsStarted()) link.Disconnect();
    PumpPending();
    if (listener.GetSafeHwnd()) listener.DestroyWindow();
    sim.Quiet();
}

void ReceiverLinkE2e::Open(ProtocolKind kind, const std::string& file, bool autoQuery)
{
    ASSERT_TRUE(listener.Create());
    link.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(link.OpenSerial(Port(5), kind, &error)) << error;
    if (autoQuery) SetAutoQuery(true);
    // rxsim runs in the repository's root.
    ASSERT_TRUE(sim.Ok("scenario load tools/rxsim/scenarios/" + file)) << sim.LastError();
}

void ReceiverLinkE2e::SetAutoQuery(bool on)
{
    AutoQuerySettings s;
    s.enabled = on ? 1 : 0;
    s.queryHealth = s.querySelection = s.queryTracking = s.queryTime = 1;
    s.queryRawMeasurements = 0;
    s.periodSeconds = 1;
    ASSERT_TRUE(link.GetProtocol().SetAutoQuery(s));
}

std::string ReceiverLinkE2e::Hold(const std::function<std::string()>& differences, DWORD timeoutMs)
{
    std::string d;
    PumpUntil([&] { return (d = differences()).empty(); }, timeoutMs);
    return d;
}

std::string ReceiverLinkE2e::CountersAgainstTruth()
{
    SetAutoQuery(false);
    if (!sim.Ok("scenario pause")) return "rxsim: " + sim.LastError();
    // A query on its way when the auto-query stopped is still answered.
    PumpFor(500);
    // Line noise longer than any frame: a candidate that a start byte among
    // the last bytes opened (one inside a UBX message, say) ends, and the
    // frames it held are found, before the counters are read.
    if (!sim.Ok("inject garbage 600")) return "rxsim: " + sim.LastError();
    if (!sim.WaitSent()) return "rxsim: " + sim.LastError();
    RxsimTruth truth;
    if (!sim.Truth(truth)) return "rxsim: " + sim.LastError();
    CProtocol& protocol = link.GetProtocol();
    // Under Wine the reader takes the line's bytes one read at a time, slowly
    // on a loaded machine: wait while it makes progress, and give up only
    // when it has stopped taking bytes.
    const uint64_t wanted = truth.Get("bytes");
    uint64_t taken = protocol.GetStatistic(LINK_BYTES);
    while (taken < wanted) {
        const uint64_t before = taken;
        PumpUntil([&] { return (taken = protocol.GetStatistic(LINK_BYTES)) >= wanted; }, 10000);
        if (taken == before) break;
    }
    if (taken < wanted) return "the reader took " + std::to_string(taken) + " of " + truth.text;
    // The frames of the last bytes are handled before the next read counts.
    PumpFor(200);
    std::string d = CounterDifferences(Counters(protocol), truth);
    return d.empty() ? d : d + "(" + truth.text + ")";
}

std::string ReceiverLinkE2e::InjectEveryFault()
{
    SetAutoQuery(false);
    if (!sim.Ok("scenario pause")) return "rxsim: " + sim.LastError();
    PumpFor(500);
    for (const char* fault : {"bad 2", "truncated 2", "garbage 300", "falsestart 2", "burst 3"})
        if (!sim.Ok(std::string("inject ") + fault)) return "rxsim: " + sim.LastError();
    return CountersAgainstTruth();
}

void ReceiverLinkE2e::CheckFaultsChangeNothing(const std::function<std::string()>& differences)
{
    ASSERT_EQ(Hold(differences, 10000), "");
    EXPECT_EQ(InjectEveryFault(), "");
    EXPECT_EQ(differences(), "");
}

FirmwareVersionRecord Firmware(CModel& model, int which)
{
    FirmwareVersionRecord fw;
    memset(&fw, 0, sizeof fw);
    model.GetFirmwareVersion(fw, which);
    return fw;
}

ProductRecord Product(CModel& model) { return Read(model, &CModel::GetProductInfo); }

void NoteScenarioPlace(std::string& d, const NavState& nav, double tolerance)
{
    Note(d, std::fabs(nav.latitude - 47.5 * kDegreesToRadians) < tolerance, "latitude");
    Note(d, std::fabs(nav.longitude + 122.25 * kDegreesToRadians) < tolerance, "longitude");
}

void NoteScenarioTime(std::string& d, const GpsTimeInfo& t)
{
    Note(d, t.year == 2006 && t.month == 11 && t.day == 9, "date");
    Note(d, t.hour == 1 && t.minute == 2 && t.second == 3, "time of day");
}

void Note(std::string& d, bool same, const std::string& what)
{
    if (!same) d += std::string(d.empty() ? "" : ", ") + what;
}

std::string Describe(const FirmwareVersionRecord& fw)
{
    char buf[160];
    snprintf(buf, sizeof buf, "\"%s\" %u.%u.%d %u/%u/%u", fw.name, fw.major, fw.minor, fw.build, fw.month, fw.day,
             fw.year);
    return buf;
}

}  // namespace e2e
