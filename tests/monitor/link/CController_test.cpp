// The link owner: opening and closing links, error codes, the listener list
// and how events reach listeners, natively with fake channels and windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"
#include "link/CController.h"
#include "support/FedChannel.h"

namespace {

// What happened to the fakes, in order, across all of them.
class Journal {
public:
    void Add(const std::string& entry)
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_entries.push_back(entry);
    }
    std::vector<std::string> Entries()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_entries;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_entries.clear();
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_entries;
};

// A channel over bytes the test hands in that tells the journal when it is
// closed and deleted.
class FakeChannel : public linksupport::FedChannel {
public:
    FakeChannel(int type, Journal* journal) : FedChannel(type), m_journal(journal) {}
    ~FakeChannel() override
    {
        if (m_journal) m_journal->Add("channel deleted");
    }
    bool Close() override
    {
        if (m_journal && onClose) m_journal->Add(onClose());
        else if (m_journal) m_journal->Add("channel closed");
        return true;
    }
    std::function<std::string()> onClose;

private:
    Journal* m_journal;
};

class FakeFactory : public ILinkFactory {
public:
    explicit FakeFactory(Journal* journal) : m_journal(journal) {}

    CChannel* OpenSerial(const LinkPortSettings& s) override
    {
        m_journal->Add("open serial " + std::to_string(s.portNumber));
        if (failOpen) return nullptr;
        lastChannel = new FakeChannel(CHANNEL_TYPE_SERIAL, m_journal);
        lastChannel->Feed(initialInput);
        return lastChannel;
    }
    CChannel* OpenPlayback(const PlaybackSettings& s) override
    {
        m_journal->Add(std::string("open playback ") + s.fileName.GetString());
        if (failOpen) return nullptr;
        lastChannel = new FakeChannel(playbackType, m_journal);
        lastChannel->Feed(initialInput);
        return lastChannel;
    }
    CConverterEngine* CreateEngine() override
    {
        m_journal->Add("create engine");
        return failCreateEngine ? nullptr : new CConverterEngine();
    }
    int OpenEngine(CConverterEngine& engine, const ConverterOptions& options, CModel* model) override
    {
        m_journal->Add("open engine");
        const int opened = engine.Open(options, model);
        return engineOpenResult != 0 ? engineOpenResult : opened;
    }
    bool OnEngineEvent(CConverterEngine&, int32_t event) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        engineEvents.push_back(event);
        return stopOnEvent != event;
    }
    void FinishEngine(CConverterEngine& engine) override
    {
        m_journal->Add("engine finished");
        engine.Finish();
    }
    void DeleteEngine(CConverterEngine* engine) override
    {
        m_journal->Add("engine deleted");
        delete engine;
    }

    bool failOpen = false;
    bool failCreateEngine = false;
    int engineOpenResult = 0;
    int32_t stopOnEvent = -1;
    int playbackType = CHANNEL_TYPE_SERIAL;  // waits for bytes until stopped
    std::string initialInput;
    FakeChannel* lastChannel = nullptr;
    std::mutex m_lock;
    std::vector<int32_t> engineEvents;

private:
    Journal* m_journal;
};

struct Delivery {
    bool sent;
    HWND window;
    uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};

class FakeWindows : public IListenerWindows {
public:
    explicit FakeWindows(Journal* journal = nullptr) : m_journal(journal) {}
    bool CreateAnchor() override
    {
        if (m_journal) m_journal->Add("anchor created");
        return !failAnchor;
    }
    void DestroyAnchor() override
    {
        if (m_journal) m_journal->Add("anchor destroyed");
    }
    bool Post(HWND w, uint32_t m, WPARAM wp, LPARAM lp) override
    {
        Record(Delivery{false, w, m, wp, lp});
        return failing.count(w) == 0;
    }
    LRESULT Send(HWND w, uint32_t m, WPARAM wp, LPARAM lp) override
    {
        Record(Delivery{true, w, m, wp, lp});
        return failing.count(w) ? 0 : 1;
    }
    std::vector<Delivery> Deliveries()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_deliveries;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_deliveries.clear();
    }
    // Waits until an event with this code has been delivered; a safety cap
    // only, so a broken reader fails the test instead of hanging it.
    bool WaitFor(WPARAM event)
    {
        std::unique_lock<std::mutex> g(m_lock);
        return m_changed.wait_for(g, std::chrono::seconds(30), [&] {
            return std::any_of(m_deliveries.begin(), m_deliveries.end(),
                               [&](const Delivery& d) { return d.wParam == event; });
        });
    }

    bool failAnchor = false;
    std::set<HWND> failing;

private:
    void Record(const Delivery& d)
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_deliveries.push_back(d);
        m_changed.notify_all();
    }
    Journal* m_journal;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Delivery> m_deliveries;
};

class FakeModelWindow : public IModelWindow {
public:
    explicit FakeModelWindow(Journal* journal) : m_journal(journal) {}
    bool Create() override { return !fail; }
    void Destroy() override { m_journal->Add("model detached"); }
    bool fail = false;

private:
    Journal* m_journal;
};

HWND Window(uintptr_t n) { return reinterpret_cast<HWND>(n); }

// A controller wired to fakes.
struct Rig {
    Rig() : factory(&journal), windows(&journal), modelWindow(&journal)
    {
        controller.SetLinkFactory(&factory);
        controller.SetListenerWindows(&windows);
        controller.GetModel().SetWindow(&modelWindow);
    }
    ~Rig() { controller.Disconnect(); }
    bool OpenSerial(uint32_t port, ProtocolKind kind, int32_t* error)
    {
        LinkPortSettings s;
        s.portNumber = port;
        s.baudRate = 9600;
        return controller.OpenSerial(s, kind, error);
    }
    Journal journal;
    FakeFactory factory;
    FakeWindows windows;
    FakeModelWindow modelWindow;
    CController controller;
};

bool Contains(const std::vector<std::string>& v, const std::string& s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

// ---- Opening --------------------------------------------------------------------

TEST(CControllerOpen, SerialRefusedByThePortEndsDisconnectedWithError3)
{
    // The real port: port 0 is never opened, 128000 is not one of the rates.
    struct Case {
        uint32_t port;
        uint32_t baud;
    };
    const Case cases[] = {{0, 9600}, {5, 128000}};
    for (const Case& c : cases) {
        CController controller;
        LinkPortSettings s;
        s.portNumber = c.port;
        s.baudRate = c.baud;
        int32_t error = -1;
        EXPECT_FALSE(controller.OpenSerial(s, PROTO_QBIN, &error));
        EXPECT_EQ(error, LINK_ERROR_SERIAL);
        EXPECT_FALSE(controller.IsConnected());
        EXPECT_EQ(controller.GetChannel(), nullptr);
        EXPECT_EQ(controller.GetLinkId(), 0u);
    }
}

TEST(CControllerOpen, ErrorTable)
{
    struct Case {
        const char* what;
        std::function<void(Rig&)> arrange;
        std::function<bool(Rig&, int32_t*)> open;
        int32_t error;
    };
    PlaybackSettings playback;
    playback.fileName = "run.qbl";
    playback.linkId = 7;
    const Case cases[] = {
        {"serial port refuses", [](Rig& r) { r.factory.failOpen = true; },
         [](Rig& r, int32_t* e) { return r.OpenSerial(5, PROTO_QBIN, e); }, LINK_ERROR_SERIAL},
        {"playback file missing", [](Rig& r) { r.factory.failOpen = true; },
         [playback](Rig& r, int32_t* e) { return r.controller.OpenPlayback(playback, PROTO_QBIN, e); },
         LINK_ERROR_PLAYBACK},
        {"model cannot attach", [](Rig& r) { r.modelWindow.fail = true; },
         [](Rig& r, int32_t* e) { return r.OpenSerial(5, PROTO_QBIN, e); }, LINK_ERROR_ATTACH},
        {"hidden window fails", [](Rig& r) { r.windows.failAnchor = true; },
         [](Rig& r, int32_t* e) { return r.OpenSerial(5, PROTO_QBIN, e); }, LINK_ERROR_ATTACH},
        {"reader cannot start", [](Rig&) {},
         [](Rig& r, int32_t* e) { return r.OpenSerial(5, PROTO_KIND_COUNT, e); }, LINK_ERROR_READER},
        {"conversion input missing", [](Rig& r) { r.factory.failOpen = true; },
         [playback](Rig& r, int32_t* e) {
             return r.controller.OpenConversion(ConverterOptions(), playback, e) == 0;
         },
         LINK_ERROR_PLAYBACK},
        {"engine cannot be made", [](Rig& r) { r.factory.failCreateEngine = true; },
         [playback](Rig& r, int32_t* e) {
             return r.controller.OpenConversion(ConverterOptions(), playback, e) == 0;
         },
         LINK_ERROR_CONVERTER},
        {"engine outputs fail", [](Rig& r) { r.factory.engineOpenResult = 1; },
         [playback](Rig& r, int32_t* e) {
             return r.controller.OpenConversion(ConverterOptions(), playback, e) == 0;
         },
         LINK_ERROR_CONVERTER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        c.arrange(rig);
        int32_t error = -1;
        EXPECT_FALSE(c.open(rig, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(rig.controller.IsConnected());
        EXPECT_EQ(rig.controller.GetChannel(), nullptr);
        EXPECT_EQ(rig.controller.GetConverterEngine(), nullptr);
        EXPECT_EQ(rig.controller.GetLinkId(), 0u);
        EXPECT_FALSE(rig.controller.GetProtocol().HasReaderThread());
        // Whatever was opened was closed and released.
        std::vector<std::string> j = rig.journal.Entries();
        EXPECT_EQ(std::count(j.begin(), j.end(), "channel closed"),
                  std::count(j.begin(), j.end(), "channel deleted"));
        EXPECT_EQ(std::count(j.begin(), j.end(), "anchor created") -
                      (rig.windows.failAnchor ? 1 : 0),
                  std::count(j.begin(), j.end(), "anchor destroyed"));
    }
}

TEST(CControllerOpen, ConversionOpensTheInputBeforeTheEngineAndReturnsItsCode)
{
    Rig rig;
    PlaybackSettings playback;
    playback.fileName = "missing.qbl";
    rig.factory.failOpen = true;
    int32_t error = 0;
    EXPECT_EQ(rig.controller.OpenConversion(ConverterOptions(), playback, &error), 1);
    EXPECT_EQ(error, LINK_ERROR_PLAYBACK);
    // No engine was made, so no output file can exist.
    EXPECT_FALSE(Contains(rig.journal.Entries(), "create engine"));

    rig.journal.Clear();
    rig.factory.failOpen = false;
    rig.factory.engineOpenResult = 2;  // the user declined to overwrite
    EXPECT_EQ(rig.controller.OpenConversion(ConverterOptions(), playback, &error), 2);
    EXPECT_EQ(error, LINK_ERROR_CONVERTER);
    std::vector<std::string> j = rig.journal.Entries();
    ASSERT_GE(j.size(), 3u);
    EXPECT_EQ(j[0], "open playback missing.qbl");
    EXPECT_EQ(j[1], "create engine");
    EXPECT_EQ(j[2], "open engine");
}

TEST(CControllerOpen, ConversionRunsWithLinkIdZero)
{
    Rig rig;
    PlaybackSettings playback;
    playback.fileName = "run.qbl";
    playback.linkId = 0x1234;
    int32_t error = -1;
    ASSERT_EQ(rig.controller.OpenConversion(ConverterOptions(), playback, &error), 0);
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(rig.controller.IsConnected());
    EXPECT_EQ(rig.controller.GetLinkId(), 0u);
    ASSERT_NE(rig.controller.GetConverterEngine(), nullptr);
    EXPECT_TRUE(rig.controller.GetConverterEngine()->IsActive());
    EXPECT_EQ(rig.controller.GetProtocolKind(), PROTO_QBIN);
}

TEST(CControllerOpen, KindZeroConnectsWithoutAReader)
{
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_NONE, &error));
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(rig.controller.IsConnected());
    EXPECT_EQ(rig.controller.GetLinkId(), 5u);
    EXPECT_FALSE(rig.controller.GetProtocol().HasReaderThread());
    const BYTE command[] = {0x10, 0x26, 0x10, 0x03};
    EXPECT_EQ(rig.controller.Write(command, 4, 100), 4);
    EXPECT_EQ(rig.factory.lastChannel->Written(), std::string("\x10\x26\x10\x03", 4));
    rig.controller.Disconnect();
    EXPECT_EQ(rig.controller.Write(command, 4, 100), -1);
    BYTE b;
    EXPECT_EQ(rig.controller.Read(&b, 1, 0), -1);
}

TEST(CControllerOpen, SecondOpenClosesTheFirstLink)
{
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_QBIN, &error));
    EXPECT_TRUE(rig.controller.GetProtocol().HasReaderThread());
    rig.journal.Clear();
    ASSERT_TRUE(rig.OpenSerial(6, PROTO_QBIN, &error));
    std::vector<std::string> j = rig.journal.Entries();
    ASSERT_GE(j.size(), 3u);
    EXPECT_EQ(j[0], "channel closed");
    EXPECT_EQ(j[1], "channel deleted");
    EXPECT_TRUE(Contains(j, "open serial 6"));
    EXPECT_EQ(rig.controller.GetLinkId(), 6u);
}

TEST(CControllerOpen, ProtocolKindAndRestart)
{
    Rig rig;
    EXPECT_FALSE(rig.controller.SetProtocolKind(PROTO_KIND_COUNT));
    EXPECT_FALSE(rig.controller.SetProtocolKind(-1));
    EXPECT_TRUE(rig.controller.SetProtocolKind(PROTO_NMEA));
    EXPECT_EQ(rig.controller.GetProtocolKind(), PROTO_NMEA);
    EXPECT_FALSE(rig.controller.RestartReader(PROTO_QBIN));  // not connected

    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_QBIN, &error));
    EXPECT_TRUE(rig.controller.RestartReader(PROTO_NMEA));
    EXPECT_TRUE(rig.controller.GetProtocol().HasReaderThread());
    EXPECT_EQ(rig.controller.GetProtocolKind(), PROTO_NMEA);
    EXPECT_TRUE(rig.controller.RestartReader(PROTO_NONE));
    EXPECT_FALSE(rig.controller.GetProtocol().HasReaderThread());
    EXPECT_FALSE(rig.controller.RestartReader(PROTO_KIND_COUNT));
}

// ---- Closing ----------------------------------------------------------------------

class MemoryFiles {
public:
    MemoryFiles() { CFile::SetBackend(&files); }
    ~MemoryFiles() { CFile::SetBackend(nullptr); }
    MemoryFileBackend files;
};

TEST(CControllerClose, ConversionOutcomeOutlivesItsEngine)
{
    MemoryFiles memory;
    const char kRun[] = "C:\\logs\\run.qbl";
    const char kCsv[] = "C:\\logs\\run.csv";
    memory.files.SetFile(kRun, "");
    ConverterOptions options;
    options.inputPath = kRun;
    options.mapCsv = true;
    options.overwrite = true;
    PlaybackSettings playback;
    playback.fileName = kRun;
    struct Case {
        const char* what;
        bool refuseCreate, refuseRename;
        int opened;
        bool failed;
    };
    const Case cases[] = {
        {"output cannot be created", true, false, 1, true},
        {"output cannot take its name", false, true, 0, true},
        {"all well", false, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        memory.files.ClearFaults();
        if (c.refuseCreate) memory.files.FailOpen(std::string(kCsv) + ".part");
        if (c.refuseRename) memory.files.FailRename(kCsv);
        int32_t error = -1;
        ASSERT_EQ(rig.controller.OpenConversion(options, playback, &error), c.opened);
        EXPECT_EQ(error, c.opened == 0 ? LINK_ERROR_NONE : LINK_ERROR_CONVERTER);
        rig.controller.Disconnect();
        EXPECT_EQ(rig.controller.GetConverterEngine(), nullptr);
        EXPECT_EQ(rig.controller.HasConversionFailed(), c.failed);
        EXPECT_STREQ(rig.controller.GetConversionFailedFile().GetString(), c.failed ? kCsv : "");
        EXPECT_EQ(memory.files.Exists(kCsv), !c.failed);
        EXPECT_EQ(rig.controller.GetConversionRecordCount(), 0);
    }
}

// Starts the raw log through the reader and waits until it writes.
void StartRawLog(Rig& rig, const char* name)
{
    RawLogSettings settings;
    settings.fileName = name;
    rig.controller.GetRawLogger().Configure(RAWLOG_REQUEST_START, &settings);
    // The reader applies the start before it reads its next byte.
    rig.factory.lastChannel->Feed("x");
    for (int i = 0; i < 30000 && !rig.controller.GetRawLogger().IsLogging(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(rig.controller.GetRawLogger().IsLogging());
}

TEST(CControllerClose, DisconnectTearsDownInOrder)
{
    MemoryFiles memory;
    Rig rig;
    rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT);
    PlaybackSettings playback;
    playback.fileName = "run.qbl";
    int32_t error = -1;
    ASSERT_EQ(rig.controller.OpenConversion(ConverterOptions(), playback, &error), 0);
    StartRawLog(rig, "raw.log");
    // What the channel sees when it is closed tells what ran before it.
    CController& c = rig.controller;
    rig.factory.lastChannel->onClose = [&c]() {
        return std::string("channel closed") +
               (c.GetProtocol().HasReaderThread() ? " (reader running)" : "") +
               (c.GetRawLogger().IsLogging() ? " (log open)" : "");
    };
    rig.journal.Clear();
    EXPECT_TRUE(c.Disconnect());
    EXPECT_EQ(rig.journal.Entries(),
              (std::vector<std::string>{"channel closed", "channel deleted", "engine finished",
                                        "engine deleted", "model detached", "anchor destroyed"}));
    EXPECT_EQ(c.GetLinkId(), 0u);
    EXPECT_FALSE(c.IsConnected());
    EXPECT_EQ(c.GetListenerCount(), 1);
    EXPECT_FALSE(memory.files.IsOpen("raw.log"));
    // A second disconnect does nothing.
    rig.journal.Clear();
    EXPECT_TRUE(c.Disconnect());
    EXPECT_TRUE(rig.journal.Entries().empty());
}

TEST(CControllerClose, DisconnectClosesARawLogThatNoReaderServices)
{
    MemoryFiles memory;
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_QBIN, &error));
    StartRawLog(rig, "raw.log");
    // Kind 0 from now on: the reader ends and nothing services the logger.
    ASSERT_TRUE(rig.controller.RestartReader(PROTO_NONE));
    EXPECT_TRUE(rig.controller.GetRawLogger().IsLogging());
    rig.controller.Disconnect();
    EXPECT_FALSE(rig.controller.GetRawLogger().IsLogging());
    EXPECT_FALSE(memory.files.IsOpen("raw.log"));
    // Closed for good: it opens again for writing.
    CFile again;
    EXPECT_TRUE(again.Open("raw.log", CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite));
}

TEST(CControllerClose, LoggingGateIsTheRawLoggersWriteEnable)
{
    CController c;
    EXPECT_TRUE(c.IsLoggingEnabled());
    c.SetLoggingEnabled(false);
    EXPECT_FALSE(c.GetRawLogger().IsWriteEnabled());
    c.SetLoggingEnabled(true);
    EXPECT_TRUE(c.GetRawLogger().IsWriteEnabled());
}

// ---- Listeners ------------------------------------------------------------------------

TEST(CControllerListeners, LParamCarriesLinkIdAndTheLowDetail)
{
    struct Case {
        uint32_t port;
        int32_t detail;
        LPARAM lParam;
    };
    const Case cases[] = {
        {5, 0x1234, 0x00051234}, {5, 0x12345, 0x00052345}, {255, 0xFFFF, 0x00FFFFFF},
        {5, -1, 0x0005FFFF},
    };
    for (const Case& c : cases) {
        Rig rig;
        int32_t error = -1;
        ASSERT_TRUE(rig.OpenSerial(c.port, PROTO_NONE, &error));
        rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT);
        EXPECT_TRUE(rig.controller.NotifyListeners(EV_GPS_TIME, c.detail, false));
        std::vector<Delivery> d = rig.windows.Deliveries();
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].wParam, static_cast<WPARAM>(EV_GPS_TIME));
        EXPECT_EQ(d[0].lParam, c.lParam) << std::hex << c.detail;
    }
}

TEST(CControllerListeners, SentAndPostedInRegistrationOrder)
{
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_NONE, &error));
    rig.controller.AddListener(Window(3), WM_RECEIVER_EVENT);
    rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT + 1);
    rig.controller.AddListener(Window(2), WM_RECEIVER_EVENT);
    CModel& model = rig.controller.GetModel();
    // Raised the way the model raises them: its own delivery rule.
    const uint8_t frame[] = {0x24, 0x47};
    model.SetLastRawFrame(PROTO_NMEA, frame, 2);                     // 34 sent
    model.SetLastSentCommand(PROTO_QBIN, frame, 2);                  // 38 sent
    model.SetRawMeasurement(RawMeasurement());                       // 56 sent
    model.Notify(EV_CRC_ERROR, PROTO_QBIN, IsSentEvent(EV_CRC_ERROR));  // 62 sent
    model.SetHealthStatus(1);                                        // 12 posted
    model.Notify(EV_FRAME_RECEIVED, PROTO_NMEA, IsSentEvent(EV_FRAME_RECEIVED));  // 13 posted
    std::vector<Delivery> d = rig.windows.Deliveries();
    const int32_t events[] = {34, 38, 56, 62, 12, 13};
    ASSERT_EQ(d.size(), 18u);
    for (size_t i = 0; i < d.size(); ++i) {
        int32_t event = events[i / 3];
        EXPECT_EQ(d[i].wParam, static_cast<WPARAM>(event)) << i;
        EXPECT_EQ(d[i].sent, IsSentEvent(event)) << i;
        EXPECT_EQ(d[i].window, Window(i % 3 == 0 ? 3 : i % 3 == 1 ? 1 : 2)) << i;
        EXPECT_EQ(d[i].message, i % 3 == 1 ? WM_RECEIVER_EVENT + 1u : WM_RECEIVER_EVENT) << i;
    }
}

TEST(CControllerListeners, RegistrationKeepsOneEntryPerWindow)
{
    Rig rig;
    CController& c = rig.controller;
    EXPECT_TRUE(c.AddListener(Window(1), WM_RECEIVER_EVENT));
    EXPECT_TRUE(c.AddListener(Window(1), 0x999));  // changes nothing: the first message stays
    EXPECT_TRUE(c.AddListener(Window(2), WM_RECEIVER_EVENT));
    EXPECT_TRUE(c.AddListener(Window(3), WM_RECEIVER_EVENT));
    EXPECT_EQ(c.GetListenerCount(), 3);
    EXPECT_TRUE(c.RemoveListener(Window(9)));  // unknown: no change
    EXPECT_EQ(c.GetListenerCount(), 3);
    EXPECT_TRUE(c.RemoveListener(Window(2)));
    EXPECT_EQ(c.GetListenerCount(), 2);
    c.NotifyListeners(EV_HEALTH, 0, false);
    std::vector<Delivery> d = rig.windows.Deliveries();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].window, Window(1));
    EXPECT_EQ(d[0].message, static_cast<uint32_t>(WM_RECEIVER_EVENT));
    EXPECT_EQ(d[1].window, Window(3));
}

TEST(CControllerListeners, ResultIsFalseWhenAnyDeliveryFails)
{
    struct Case {
        bool send;
        bool fail;
        bool result;
    };
    const Case cases[] = {{false, false, true}, {false, true, false}, {true, false, true},
                          {true, true, false}};
    for (const Case& c : cases) {
        Rig rig;
        rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT);
        rig.controller.AddListener(Window(2), WM_RECEIVER_EVENT);
        if (c.fail) rig.windows.failing.insert(Window(1));
        EXPECT_EQ(rig.controller.NotifyListeners(c.send ? EV_RAW_FRAME : EV_HEALTH, 0, c.send),
                  c.result);
        EXPECT_EQ(rig.windows.Deliveries().size(), 2u);  // a failure does not skip the rest
    }
    // Natively no window exists: a listener cannot be reached.
    CController plain;
    plain.AddListener(Window(1), WM_RECEIVER_EVENT);
    EXPECT_FALSE(plain.NotifyListeners(EV_HEALTH, 0, false));
    CController none;
    EXPECT_TRUE(none.NotifyListeners(EV_HEALTH, 0, false));
}

TEST(CControllerListeners, ConversionPassesOnlyTheEndOfData)
{
    struct Case {
        const char* what;
        int32_t stopOn;
        std::vector<int32_t> raised;
        std::vector<WPARAM> delivered;
    };
    const Case cases[] = {
        {"engine takes everything", -1, {3, 13, 34, 62, 44}, {44}},
        {"engine asks to stop on 3", 3, {3, 4}, {44}},
        {"stop asked on a sent event", 34, {34}, {44}},
        // The reader still announces the end after a stop: heard once.
        {"end after a stop", 3, {3, 44}, {44}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT);
        PlaybackSettings playback;
        playback.fileName = "run.qbl";
        int32_t error = -1;
        ASSERT_EQ(rig.controller.OpenConversion(ConverterOptions(), playback, &error), 0);
        rig.factory.stopOnEvent = c.stopOn;
        for (int32_t e : c.raised) EXPECT_TRUE(rig.controller.NotifyListeners(e, 0, IsSentEvent(e)));
        std::vector<Delivery> d = rig.windows.Deliveries();
        std::vector<WPARAM> codes;
        for (const Delivery& x : d) {
            codes.push_back(x.wParam);
            EXPECT_FALSE(x.sent);  // 44 is posted, whatever the event it replaced
        }
        EXPECT_EQ(codes, c.delivered);
        std::lock_guard<std::mutex> g(rig.factory.m_lock);
        EXPECT_EQ(rig.factory.engineEvents, c.raised);  // the engine saw every event first
    }
}

// ---- The link's engine and its model ---------------------------------------------------

TEST(CControllerModel, ProtocolTimersAndAutoQueryClearTheModelsBookkeeping)
{
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_QBIN, &error));
    CModel& model = rig.controller.GetModel();
    CProtocol& protocol = rig.controller.GetProtocol();
    model.SetReportFlag(3, true);
    model.SetReportText(2, "0x84");
    AutoQuerySettings off;
    off.enabled = 0;
    ASSERT_TRUE(protocol.SetAutoQuery(off));
    EXPECT_STREQ(model.GetReportText(2), "");
    EXPECT_TRUE(model.GetReportFlag(3));  // the flags wait for their timer
    protocol.OnTimer(TIMER_CLEAR_REPORT_FLAGS);
    EXPECT_FALSE(model.GetReportFlag(3));

    model.SetHealthStatus(9);
    protocol.EnterResetInProgress();
    protocol.OnTimer(TIMER_RESET_DONE);
    EXPECT_EQ(model.GetHealthStatus(), 2u);  // the receiver data went with the reset
}

TEST(CControllerModel, PacketFailingItsAnnouncedCrcReachesListenersAsRawFrameThenCrcError)
{
    Rig rig;
    rig.controller.AddListener(Window(1), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_QBIN, &error));
    rig.factory.lastChannel->Feed(std::string("\x10\x46\x00\x00\x10\x03", 6));
    // The health report's own events end with the antenna status; only after
    // it has arrived is every delivery of the first packet in.
    ASSERT_TRUE(rig.windows.WaitFor(EV_ANTENNA_STATUS));
    rig.windows.Clear();
    rig.controller.GetModel().SetExpectedCrc(10, 0x1234);
    rig.factory.lastChannel->Feed(
        std::string("\x10\x41\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x10\x03", 14));
    ASSERT_TRUE(rig.windows.WaitFor(EV_CRC_ERROR));
    rig.controller.Disconnect();
    std::vector<Delivery> d = rig.windows.Deliveries();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].wParam, static_cast<WPARAM>(EV_RAW_FRAME));
    EXPECT_EQ(d[1].wParam, static_cast<WPARAM>(EV_CRC_ERROR));
    for (const Delivery& x : d) {
        EXPECT_TRUE(x.sent);
        EXPECT_EQ(x.lParam, 0x00050003);
    }
}

// ---- Many links at once ----------------------------------------------------------------

TEST(CControllerConcurrency, ManyReplaysAtOnceEachCarryTheirOwnLinkId)
{
    const int kLinks = 64;
    std::vector<std::unique_ptr<Rig>> rigs;
    const std::string nmea = "$GPGGA,,,,,,0,,,,,,,,*66\r\n$GPZDA,,,,,,*48\r\n";
    for (int i = 0; i < kLinks; ++i) {
        rigs.emplace_back(new Rig());
        rigs.back()->factory.playbackType = CHANNEL_TYPE_PLAYBACK;
        rigs.back()->factory.initialInput = nmea + nmea;
        rigs.back()->controller.AddListener(Window(100 + i), WM_RECEIVER_EVENT);
    }
    for (int i = 0; i < kLinks; ++i) {
        PlaybackSettings s;
        s.fileName = "run.nmea";
        s.linkId = static_cast<uint16_t>(0x100 + i);
        int32_t error = -1;
        ASSERT_TRUE(rigs[i]->controller.OpenPlayback(s, PROTO_NMEA, &error)) << i;
    }
    for (int i = 0; i < kLinks; ++i) {
        ASSERT_TRUE(rigs[i]->windows.WaitFor(EV_END_OF_DATA)) << i;
        std::vector<Delivery> d = rigs[i]->windows.Deliveries();
        int ends = 0;
        for (const Delivery& x : d) {
            EXPECT_EQ(static_cast<uint32_t>(x.lParam) >> 16, 0x100u + i);
            EXPECT_EQ(x.window, Window(100 + i));
            if (x.wParam == EV_END_OF_DATA) ++ends;
        }
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(d.back().wParam, static_cast<WPARAM>(EV_END_OF_DATA));  // nothing after it
    }
    // Closed from several threads at once, as windows of a tool may do.
    std::vector<std::thread> closers;
    for (int t = 0; t < 4; ++t)
        closers.emplace_back([&, t] {
            for (int i = t; i < kLinks; i += 4) rigs[i]->controller.Disconnect();
        });
    for (std::thread& t : closers) t.join();
    for (int i = 0; i < kLinks; ++i) EXPECT_FALSE(rigs[i]->controller.IsConnected());
}

TEST(CControllerConcurrency, ListenersChangeWhileEventsAreDelivered)
{
    Rig rig;
    int32_t error = -1;
    ASSERT_TRUE(rig.OpenSerial(5, PROTO_NONE, &error));
    std::atomic<bool> done(false);
    std::thread raiser([&] {
        for (int i = 0; i < 20000; ++i) rig.controller.NotifyListeners(EV_HEALTH, i, (i & 1) != 0);
        done = true;
    });
    int n = 0;
    while (!done) {
        rig.controller.AddListener(Window(1 + n % 7), WM_RECEIVER_EVENT);
        rig.controller.RemoveListener(Window(1 + (n + 3) % 7));
        ++n;
    }
    raiser.join();
    for (const Delivery& d : rig.windows.Deliveries()) EXPECT_EQ(d.lParam >> 16, 5);
}

} // namespace
