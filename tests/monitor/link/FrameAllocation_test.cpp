// The reader's per-byte and per-frame path allocates nothing once warmed up:
// a live port may deliver frames for days.
//
// The global allocation functions are replaced for the whole test program;
// they count only on a thread that has asked for it, inside the measured
// scope, so every other test is unaffected.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "FrameTestUtil.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

namespace {

thread_local bool t_counting = false;
thread_local size_t t_allocations = 0;

void* CountedAlloc(size_t size)
{
    if (t_counting) ++t_allocations;
    void* p = std::malloc(size == 0 ? 1 : size);
    return p;
}

class AllocationScope {
public:
    AllocationScope() { t_allocations = 0; t_counting = true; }
    ~AllocationScope() { t_counting = false; }
    size_t Count() const { return t_allocations; }
};

// Counts events without storing them, so the listener itself allocates nothing.
class CountingListener : public IReceiverEventSink {
public:
    bool NotifyListeners(int32_t event, int32_t, bool) override
    {
        if (event >= 0 && event < 100) ++counts[event];
        return true;
    }
    size_t counts[100] = {};
};

}  // namespace

void* operator new(size_t size)
{
    void* p = CountedAlloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size)
{
    void* p = CountedAlloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace frametest;

TEST(FrameAllocation, NoHeapAllocationPerByteOrPerFrameAfterWarmUp)
{
    {
        // The replacement is in use and the scope counts what it should.
        AllocationScope probe;
        ::operator delete(::operator new(16));
        EXPECT_EQ(probe.Count(), 1u);
    }

    // Every framing, good and bad, broken QBIN packets, a QOP message inside
    // QBIN data, an oversized frame and "!"-digits.
    const Bytes stream = Cat({
        // Reports of their full length, one with a stuffed DLE, one after a broken packet.
        Hex("10 41 00 00 00 00 00 00 00 00 00 00 10 03 10 41 10 10 00 00 00 00 00 00 00 00 00 10 03"),
        Hex("10 46 01 10 46 00 00 10 03"),
        Text("$GPGGA*56\r\n$GPGGA*57\r\n$GPRMC,1\n"),
        Text(">QST;*79<>QST;*7A<"),
        Hex("40 40 41 67 00 26 0D 0A 40 40 41 67 00 27 0D 0A 10 8F 40 40 41 67 00 26 0D 0A"),
        Hex("81 02 11 01 E9 82 81 02 11 80 02 68 82 81 02 11 01 E8 82"),
        Hex("02 00 76 00 76 03 02 00 76 00 77 03"),
        Text("!5"), Hex("10 55"), Bytes(600, 0x55),
    });

    struct Case {
        const char* name;
        int channelType;
        bool passRaw;
    };
    for (const Case& c : {Case{"serial", LINK_CHANNEL_SERIAL, false}, Case{"playback", LINK_CHANNEL_PLAYBACK, false},
                          Case{"playback with raw frames", LINK_CHANNEL_PLAYBACK, true}}) {
        SCOPED_TRACE(c.name);
        CModel model;
        CountingListener listener;
        ASSERT_TRUE(model.Attach(&listener, nullptr));
        LinkStatistics stats;
        CFrameLinkState link;
        link.protocol = PROTO_NMEA;
        link.passRaw = c.passRaw;
        link.speed = 1;
        FrameContext context;
        context.channelType = c.channelType;
        context.model = &model;
        context.statistics = &stats;
        context.link = &link;
        context.markers.nmea = "gga";
        context.markers.qop = "Ag";
        CFrameHandler handler(context);

        uint32_t pauses = 0;
        for (uint8_t b : stream) pauses += handler.OnByte(b).pauseMs;  // warm-up: buffers reach their size
        size_t allocations;
        {
            // Byte by byte as the reader feeds today, and in blocks of several
            // sizes, each handed over again after a pause.
            AllocationScope scope;
            for (int round = 0; round < 20; ++round) {
                const size_t block = round % 4 == 0 ? 1 : (round % 4 == 1 ? 7 : (round % 4 == 2 ? 100 : stream.size()));
                for (size_t at = 0; at < stream.size();) {
                    FrameStep step = handler.OnBytes(stream.data() + at, std::min(block, stream.size() - at));
                    at += step.taken;
                    pauses += step.pauseMs;
                }
            }
            allocations = scope.Count();
        }
        EXPECT_EQ(allocations, 0u);
        EXPECT_EQ(stats.Get(LINK_BYTES), 21u * stream.size());
        EXPECT_EQ(stats.Get(LINK_GOOD), 21u * 10);  // 3 QBIN, 2 NMEA, 1 QTXT, 2 QOP, 2 KESTO per round
        EXPECT_GT(listener.counts[13], 0u);
        EXPECT_EQ(listener.counts[34] != 0, c.channelType == LINK_CHANNEL_SERIAL || c.passRaw);
        EXPECT_EQ(pauses != 0, c.channelType == LINK_CHANNEL_PLAYBACK);
    }
}
