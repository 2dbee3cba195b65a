#include "Generate.h"

#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "StreamCheck.h"

namespace rxsim {

namespace {

const uint32_t kDefaultEvery = 10;
const uint32_t kMaxEvery = 1000000;
const int kGarbageBytes = 40;

// Writes segments, keeps the tally and hands on the fixes.
class Emitter {
public:
    Emitter(RecordingSink& sink, GenerateResult& result) : m_sink(sink), m_result(result) {}

    bool Whole(const Segment& s)
    {
        if (!Bytes(s, s.bytes.size())) return false;
        m_result.tally.Apply(s);
        FixTruth fix;
        if (!m_tracker.Take(s, fix)) return true;
        ++m_result.fixes;
        return m_sink.Fix(fix);
    }
    bool All(const std::vector<Segment>& segments)
    {
        for (const Segment& s : segments)
            if (!Whole(s)) return false;
        return true;
    }
    // The first `n` bytes only: the segment does not count as sent.
    bool Bytes(const Segment& s, size_t n)
    {
        m_result.tally.bytes += n;
        return n == 0 || m_sink.Write(s.bytes.data(), n);
    }
    // The index of the segment that carries the first fix of `segments`
    // (else of the last frame, else the last segment).
    size_t FixAt(const std::vector<Segment>& segments) const
    {
        FixTracker look = m_tracker;
        size_t lastFrame = segments.size() - 1;
        for (size_t i = 0; i < segments.size(); ++i) {
            FixTruth fix;
            if (look.Take(segments[i], fix)) return i;
            if (segments[i].outcome == OUT_GOOD) lastFrame = i;
        }
        return lastFrame;
    }

private:
    RecordingSink& m_sink;
    GenerateResult& m_result;
    FixTracker m_tracker;
};

bool Due(uint32_t every, uint64_t period) { return every != 0 && period % every == 0; }

// One round of the first fault of `names` the receiver knows, with what
// ends any candidate its noise leaves open.
bool AddFault(Receiver& r, std::initializer_list<const char*> names, Garbage& garbage, std::vector<Segment>& out)
{
    for (const char* name : names) {
        std::vector<Segment> fault;
        if (!r.Inject(name, 1, garbage, fault)) continue;
        SettleNoise(fault, garbage);
        out.insert(out.end(), fault.begin(), fault.end());
        return true;
    }
    return false;
}

}  // namespace

bool ParseFaults(const std::string& list, FaultPlan& plan, std::string& error)
{
    plan = FaultPlan();
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? list.size() + 1 : comma + 1;
        if (item.empty()) continue;
        const size_t colon = item.find(':');
        const std::string name = item.substr(0, colon);
        uint32_t every = kDefaultEvery;
        if (colon != std::string::npos) {
            const std::string text = item.substr(colon + 1);
            char* end = nullptr;
            unsigned long v = text.empty() || text[0] == '-' ? 0 : strtoul(text.c_str(), &end, 10);
            if (!end || *end || v < 1 || v > kMaxEvery || name == "truncate") {
                error = "bad fault " + item + " (NAME or NAME:EVERY, EVERY 1.." + std::to_string(kMaxEvery) + ")";
                return false;
            }
            every = static_cast<uint32_t>(v);
        }
        if (name == "garbage") plan.garbage = every;
        else if (name == "broken") plan.broken = every;
        else if (name == "bad") plan.bad = every;
        else if (name == "crc") plan.crc = every;
        else if (name == "truncate") plan.truncate = true;
        else {
            error = "unknown fault " + name + " (garbage, broken, bad, crc, truncate)";
            return false;
        }
    }
    return true;
}

bool GenerateRecording(Receiver& receiver, const GenerateRequest& request, RecordingSink& sink,
                       GenerateResult& result, std::string& error)
{
    result = GenerateResult();
    Emitter emit(sink, result);
    Garbage garbage;
    const FaultPlan& f = request.faults;
    std::vector<Segment> period;
    receiver.Start(period);
    if (!emit.All(period)) {
        error = "cannot write the recording";
        return false;
    }
    for (;;) {
        const bool enough = result.tally.bytes >= request.minBytes && result.periods >= request.minPeriods;
        if (enough && !f.truncate) return true;
        period.clear();
        receiver.Tick(period);
        ++result.periods;
        if (enough) {
            // The last period, cut inside its fix.
            if (period.empty()) return true;
            const size_t at = emit.FixAt(period);
            bool ok = true;
            for (size_t i = 0; i < at && ok; ++i) ok = emit.Whole(period[i]);
            const size_t size = period[at].bytes.size();
            result.cut = size > 1;
            if (!ok || !emit.Bytes(period[at], size > 1 ? size / 2 : size)) break;
            return true;
        }
        if (Due(f.crc, result.periods)) {
            if (!receiver.SpoilFix(period)) {
                error = "this receiver has no fix to spoil in period " + std::to_string(result.periods);
                return false;
            }
            ++result.spoiled;
        }
        if (!emit.All(period)) break;
        // Each fault on its own and settled, so what follows it is read as sent.
        std::vector<Segment> fault;
        if (Due(f.garbage, result.periods)) receiver.Inject("garbage", kGarbageBytes, garbage, fault);
        if (Due(f.broken, result.periods) && !AddFault(receiver, {"dle", "truncated"}, garbage, fault)) {
            error = "this receiver cannot send broken frames";
            return false;
        }
        if (Due(f.bad, result.periods) && !AddFault(receiver, {"crc", "bad"}, garbage, fault)) {
            error = "this receiver cannot send bad frames";
            return false;
        }
        if (!emit.All(fault)) break;
    }
    error = "cannot write the recording";
    return false;
}

}  // namespace rxsim
