// The data logger's core with real links over fake channels, files in memory,
// a fixed clock and a recording window: the checks of a start, the names and
// companions it makes, the profile, the calendar's gate, the status a port
// shows and what happens to every port when a link or the window goes away.
#include "data/DataLoggerCore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/MemoryFileBackend.h"
#include "framework/MessagePrompter.h"
#include "link/CController.h"
#include "model/Clock.h"
#include "support/FedChannel.h"

namespace {

const double kPi = 3.14159265358979323846;

// ---- Fakes -------------------------------------------------------------------

// Serial lines over bytes the test hands in.
using FakeChannel = linksupport::FedChannel;

class FakeFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings& s) override
    {
        opened.push_back(s);
        if (refusedPorts.count(s.portNumber) != 0) return nullptr;
        FakeChannel* channel = new FakeChannel();
        channels[s.portNumber] = channel;
        return channel;
    }
    CChannel* OpenPlayback(const PlaybackSettings&) override { return nullptr; }
    void DeleteChannel(CChannel* channel) override
    {
        for (auto it = channels.begin(); it != channels.end(); ++it)
            if (it->second == channel) {
                channels.erase(it);
                break;
            }
        delete channel;
    }

    std::map<uint32_t, int> refusedPorts;
    std::map<uint32_t, FakeChannel*> channels;
    std::vector<LinkPortSettings> opened;
};

class FakeWindows : public IListenerWindows {
public:
    bool CreateAnchor() override { return true; }
    void DestroyAnchor() override {}
    bool Post(HWND, uint32_t, WPARAM, LPARAM) override { return true; }
    LRESULT Send(HWND, uint32_t, WPARAM, LPARAM) override { return 1; }
};

struct LampCall {
    LoggerLamp lamp;
    int scheme;
    int shade;
};

class FakeView : public ILoggerView {
public:
    bool ReadForm(LoggerForm& out) override
    {
        ++reads;
        out = form;
        return !refuseForm;
    }
    void ShowFilePath(const CString& path) override { shownPaths.push_back(path.GetString()); }
    void SetStatusText(const char* text) override { statuses.push_back(text); }
    void SetSizeText(const char* text) override { size = text; }
    void SetFixTexts(const char* satellites, const char* dimension) override
    {
        svs = satellites;
        dim = dimension;
    }
    void SetLamp(LoggerLamp lamp, int scheme, int shade) override { lamps.push_back({lamp, scheme, shade}); }
    void BlinkLamp(LoggerLamp lamp) override { blinks.push_back(lamp); }
    void EnableSettings(bool enable) override { enabled.push_back(enable); }

    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }

    LoggerForm form;
    bool refuseForm = false;
    int reads = 0;
    std::vector<std::string> shownPaths;
    std::vector<std::string> statuses;
    std::string size, svs, dim;
    std::vector<LampCall> lamps;
    std::vector<LoggerLamp> blinks;
    std::vector<bool> enabled;
};

class FakeLinks : public ILoggerLinks {
public:
    FakeLinks()
    {
        mainLink.SetLinkFactory(&factory);
        mainLink.SetListenerWindows(&windows);
    }
    ~FakeLinks() { mainLink.Disconnect(); }

    CController* GetMainLinkFor(int32_t port) override { return port == mainPort ? &mainLink : nullptr; }
    CController* CreateLink() override
    {
        if (refuseLinks) return nullptr;
        CController* link = new CController();
        link->SetLinkFactory(&factory);
        link->SetListenerWindows(&windows);
        ++live;
        return link;
    }
    void DeleteLink(CController* link) override
    {
        --live;
        delete link;
    }
    HWND GetEventWindow() override { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)); }
    void ReportScriptResult(int32_t result, int32_t action) override { reports.push_back({result, action}); }
    void RefreshLoggingStatus() override { ++statusRefreshes; }

    FakeFactory factory;
    FakeWindows windows;
    CController mainLink;
    int32_t mainPort = -1;
    bool refuseLinks = false;
    int live = 0;
    std::vector<std::pair<int32_t, int32_t>> reports;
    int statusRefreshes = 0;
};

class FakeProfile : public ILoggerProfile {
public:
    int32_t GetInt(const char* entry, int32_t def) override
    {
        auto it = ints.find(entry);
        return it == ints.end() ? def : it->second;
    }
    CString GetString(const char* entry, const char* def) override
    {
        auto it = texts.find(entry);
        return it == texts.end() ? CString(def) : CString(it->second.c_str());
    }
    void WriteInt(const char* entry, int32_t value) override
    {
        ints[entry] = value;
        writes.push_back(entry);
    }
    void WriteString(const char* entry, const char* value) override
    {
        texts[entry] = value;
        writes.push_back(entry);
    }
    std::map<std::string, int32_t> ints;
    std::map<std::string, std::string> texts;
    std::vector<std::string> writes;
};

// Polls a condition the reader threads bring about; a safety cap only.
bool WaitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

const char kKmlFooter[] = "\r\n</Document>\r\n</Folder>\r\n</kml>\r\n";
const char kCsvHeader[] = "Longitude, Latitude, Name";

// ---- Fixture ---------------------------------------------------------------------

class LoggerCoreTest : public testing::Test {
protected:
    LoggerCoreTest()
    {
        CFile::SetBackend(&files);
        SetNow(1170493500);  // 2007-02-03 09:05:00 UTC, shown as local time too
    }
    ~LoggerCoreTest() override
    {
        core.reset();
        CFile::SetBackend(nullptr);
    }

    void SetNow(int64_t seconds)
    {
        const CalendarTime t = MakeCalendarTime(2007, 2, 3, 9, 5, 0);
        clock.Set(t, t, seconds);
        now = seconds;
    }

    // The core over ports 5, 6 and 12 with the playback channel.
    void Make(std::vector<uint32_t> ports = {5, 6, 12}, bool internalTools = true)
    {
        core.reset(new CDataLoggerCore(view, links, profile));
        entries = core->Initialise(ports, internalTools);
    }

    LoggerForm Form(const char* path)
    {
        LoggerForm form;
        form.filePath = path;
        form.dirName = LogDirectoryOf(path);
        return form;
    }

    // Starts a port through the button and waits until its log is open. The
    // first byte only wakes the reader, which opens the log before the next.
    void StartLogging(int32_t port, const LoggerForm& form)
    {
        view.form = form;
        core->OnStartStopLogging(port);
        ASSERT_TRUE(core->GetPort(port)->controller != nullptr) << view.Status();
        ASSERT_TRUE(WaitUntil([&] {
            Channel(port)->Feed("~");
            return core->IsPortLogging(port);
        }));
    }

    CController* Link(int32_t port) { return core->GetPort(port)->controller; }
    FakeChannel* Channel(int32_t port)
    {
        CController* link = Link(port);
        return link == nullptr ? nullptr : static_cast<FakeChannel*>(link->GetChannel());
    }

    // Bytes that reach the log: fed, then waited for in the logger's count.
    void Log(int32_t port, const std::string& bytes)
    {
        CRawLogger& logger = Link(port)->GetRawLogger();
        const uint32_t before = logger.GetBytesLogged();
        Channel(port)->Feed(bytes);
        ASSERT_TRUE(WaitUntil([&] { return logger.GetBytesLogged() >= before + bytes.size(); }));
    }

    // A valid fix of the link's model, announced as the link would.
    void Fix(int32_t port, double timeOfFix, double latDeg, double lonDeg)
    {
        NavState nav = {};
        nav.fixValid = 1;
        nav.timeOfFix = timeOfFix;
        nav.latitude = latDeg * kPi / 180.0;
        nav.longitude = lonDeg * kPi / 180.0;
        nav.height = 100.0;
        Link(port)->GetModel().UpdateNavState(nav, NAV_KIND_LLA, nullptr);
        core->OnModelUpdate(EV_POSITION_LLA, static_cast<uint32_t>(port) << 16);
    }

    std::string File(const char* name) { return files.GetFileText(name); }

    MemoryFileBackend files;
    ScriptedPrompter prompter;
    CPrompterScope prompterScope{&prompter};
    FixedClock clock;
    ScopedClock clockScope{&clock};
    int64_t now = 0;
    FakeView view;
    FakeLinks links;
    FakeProfile profile;
    std::vector<CString> entries;
    std::unique_ptr<CDataLoggerCore> core;
};

// ---- Pure helpers --------------------------------------------------------------------

TEST_F(LoggerCoreTest, NamesSizesAndPathsFollowTheirRules)
{
    EXPECT_STREQ("TC_[ID#]_070203_0905_[TC#].log", BuildStandardFileName("", ""));
    EXPECT_STREQ("TC_U7_070203_0905_42.log", BuildStandardFileName("U7", "42"));

    const struct {
        uint32_t bytes;
        const char* text;
    } sizes[] = {{0, "0 bytes"},        {1024, "1024 bytes"},     {1025, "1.0 KB"},
                 {1024000, "1000.0 KB"}, {1024001, "0.98 MB"},     {2097152, "2.00 MB"}};
    for (const auto& c : sizes) EXPECT_STREQ(c.text, FormatLogSize(c.bytes)) << c.bytes;

    const struct {
        const char* path;
        const char* csv;
        const char* dir;
    } paths[] = {
        {"d\\run.txt", "d\\run.csv", "d\\"},
        {"d.v2\\log", "d.v2\\log.csv", "d.v2\\"},
        {"C:\\logs\\run.log", "C:\\logs\\run.csv", "C:\\logs\\"},
        {"x.csv", "x.csv", ""},
        {"a/b.c/d", "a/b.c/d.csv", "a/b.c/"},
        {"trail.", "trail.csv", ""},
    };
    for (const auto& c : paths) {
        EXPECT_STREQ(c.csv, ReplaceExtension(c.path, "csv")) << c.path;
        EXPECT_STREQ(c.dir, LogDirectoryOf(c.path)) << c.path;
    }

    EXPECT_EQ(7, PortOfListEntry("COM 7"));
    EXPECT_EQ(12, PortOfListEntry("COM 12"));
    EXPECT_EQ(0, PortOfListEntry("Playback"));

    EXPECT_STREQ("com7_data.log", DefaultLogFileName(7));
    EXPECT_STREQ("replay_data.log", DefaultLogFileName(0));
    EXPECT_STREQ("replay_data.log", ProposeLogFileName(0, "C:\\logs\\run.log"));
    EXPECT_STREQ("run.log", ProposeLogFileName(7, "C:\\logs\\run.log"));
    EXPECT_STREQ("run.log", ProposeLogFileName(7, "run.log"));
    EXPECT_STREQ("com7_data.log", ProposeLogFileName(7, ""));
    EXPECT_STREQ("Miscellaneous Settings for COM 7", GetLoggerGroupTitles(7).misc);
    EXPECT_STREQ("Log File for Playback Channel", GetLoggerGroupTitles(0).logFile);

    EXPECT_EQ(500, ChunkToProfile(0.5f));
    EXPECT_EQ(10, ChunkToProfile(0.01f));
    EXPECT_EQ(100000000, ChunkToProfile(100000.0f));
    EXPECT_FLOAT_EQ(1.5f, ChunkFromProfile(1500));
}

TEST_F(LoggerCoreTest, NamingFieldsRefusePathCharacters)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {{"Unit-7_b", true}, {"T 2 (night)", true}, {"a.b", true},   {"a\\b", false}, {"a/b", false},
                 {"c:", false},      {"*", false},          {"?", false},    {"\"q\"", false}, {"<", false},
                 {">", false},       {"|", false},          {"..", false},   {"x..y", false}, {"tab\there", false},
                 {"\x7f", false}};
    for (const auto& c : cases) EXPECT_EQ(c.valid, IsFileNamePartValid(c.text)) << c.text;
}

// ---- Ports and profile -------------------------------------------------------------------

TEST_F(LoggerCoreTest, PortListTakesOneRecordPerEntryAndThePlaybackChannel)
{
    profile.ints["com06fileChunk"] = 1500;
    profile.ints["com06makeKML"] = 7;
    profile.texts["com06fileName"] = "C:\\logs\\six.log";
    Make({5, 6, 5, 12});

    ASSERT_EQ(4u, entries.size());
    EXPECT_STREQ("COM 5", entries[0]);
    EXPECT_STREQ("COM 6", entries[1]);
    EXPECT_STREQ("COM 12", entries[2]);
    EXPECT_STREQ("Playback", entries[3]);
    // The repeated entry leaves its record unused.
    EXPECT_EQ(0, core->FindPortIndex(5));
    EXPECT_EQ(3, core->FindPortIndex(12));
    EXPECT_EQ(4, core->FindPortIndex(0));
    EXPECT_EQ(-1, core->FindPortIndex(-1));
    EXPECT_EQ(-1, core->FindPortIndex(7));

    const LoggerPortState* six = core->GetPort(6);
    EXPECT_FLOAT_EQ(1.5f, six->chunkMb);
    EXPECT_EQ(1, six->makeKml);
    EXPECT_STREQ("C:\\logs\\six.log", six->fileName);
    const LoggerPortState* five = core->GetPort(5);
    EXPECT_EQ(PROTO_QBIN, five->protocol);
    EXPECT_EQ(9600, five->baud);
    EXPECT_EQ(8, five->dataBits);
    EXPECT_EQ(255u, five->kmlColour);

    Make({5, 6}, false);
    EXPECT_EQ(2u, entries.size());
    EXPECT_EQ(-1, core->FindPortIndex(0));
    std::vector<uint32_t> many;
    for (uint32_t p = 1; p <= 70; ++p) many.push_back(p);
    Make(many);
    EXPECT_EQ(64u, entries.size());
    EXPECT_EQ(-1, core->FindPortIndex(0));
}

TEST_F(LoggerCoreTest, PrepareChecksInOrderWithTheirTexts)
{
    const struct {
        const char* what;
        int32_t port;
        std::function<void(LoggerForm&)> change;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"no selection", -1, [](LoggerForm&) {}, "Please, select the COM port first."},
        {"no path", 5, [](LoggerForm& f) { f.filePath = ""; f.baudIndex = -1; }, "Select a log file."},
        {"no baud", 5, [](LoggerForm& f) { f.baudIndex = -1; }, "Invalid serial port setting selected!"},
        {"no parity", 5, [](LoggerForm& f) { f.parityIndex = -1; }, "Invalid serial port setting selected!"},
        {"no unit", 5, [](LoggerForm& f) { f.stdFileNaming = 1; f.testCase = ""; },
         "Enter Unit ID for standard file naming!"},
        {"no test case", 5, [](LoggerForm& f) { f.stdFileNaming = 1; f.unitId = "U"; },
         "Enter Test Case # for standard file naming!"},
        {"slash in unit", 5, [](LoggerForm& f) { f.stdFileNaming = 1; f.unitId = "a/b"; f.testCase = "1"; },
         kLoggerBadUnitOrTest},
        {"dots in test", 5, [](LoggerForm& f) { f.stdFileNaming = 1; f.unitId = "a"; f.testCase = ".."; },
         kLoggerBadUnitOrTest},
        {"control in test", 5, [](LoggerForm& f) { f.stdFileNaming = 1; f.unitId = "a"; f.testCase = "x\ny"; },
         kLoggerBadUnitOrTest},
        {"slash without naming", 5, [](LoggerForm& f) { f.unitId = "a/b"; }, nullptr},
        {"queries without protocol", 5, [](LoggerForm& f) { f.protocolIndex = 0; f.logTime = 1; },
         "To log SV tracking info or GPS time, a command protocol must be selected."},
        {"bad data bits", 5, [](LoggerForm& f) { f.dataBitsIndex = 2; }, "Invalid data bits option selected."},
        {"bad stop bits", 5, [](LoggerForm& f) { f.stopBitsIndex = 2; }, "Invalid stop bits option selected."},
        {"bad parity", 5, [](LoggerForm& f) { f.parityIndex = 3; }, "Invalid parity option selected."},
        {"bad baud", 5, [](LoggerForm& f) { f.baudIndex = 13; }, "Invalid baud rate option selected."},
        {"csv is the log", 5, [](LoggerForm& f) { f.filePath = "d\\x.CSV"; f.makeCsv = 1; }, kLoggerCsvFailed},
        {"kml is the log", 5, [](LoggerForm& f) { f.filePath = "d\\x.kml"; f.makeKml = 1; }, kLoggerKmlFailed},
        {"everything set", 5, [](LoggerForm& f) { f.makeCsv = 1; f.makeKml = 1; }, nullptr},
    };
    for (const auto& c : cases) {
        Make();
        prompter.boxes.clear();
        profile.writes.clear();
        files.RemoveAllFiles();
        view.form = Form("d\\run.log");
        c.change(view.form);
        const bool accepted = core->PreparePort(c.port);
        EXPECT_EQ(c.message == nullptr, accepted) << c.what;
        if (c.message == nullptr) {
            EXPECT_TRUE(prompter.boxes.empty()) << c.what;
            EXPECT_EQ(20u, profile.writes.size()) << c.what;
        } else {
            ASSERT_EQ(1u, prompter.boxes.size()) << c.what;
            EXPECT_EQ(c.message, prompter.boxes[0].text) << c.what;
            EXPECT_TRUE(profile.writes.empty()) << c.what;
        }
    }
    // The form refused by the window itself: its own message, none of ours.
    Make();
    prompter.boxes.clear();
    view.refuseForm = true;
    EXPECT_FALSE(core->PreparePort(5));
    EXPECT_TRUE(prompter.boxes.empty());
}

TEST_F(LoggerCoreTest, PrepareStoresThePortAndWritesItsKeysInOrder)
{
    Make();
    LoggerForm form = Form("C:\\logs\\old.log");
    form.stdFileNaming = 1;
    form.unitId = "U1";
    form.testCase = "T7";
    form.chunkMb = 0.5f;
    form.protocolIndex = 2;
    form.baudIndex = 10;
    form.dataBitsIndex = 0;
    form.stopBitsIndex = 1;
    form.parityIndex = 2;
    form.kmlColour = 0x00FF00;
    form.logSig = 1;
    view.form = form;
    ASSERT_TRUE(core->PreparePort(12));

    ASSERT_EQ(1u, view.shownPaths.size());
    EXPECT_EQ("C:\\logs\\TC_U1_070203_0905_T7.log", view.shownPaths[0]);
    const LoggerPortState* record = core->GetPort(12);
    EXPECT_STREQ("C:\\logs\\TC_U1_070203_0905_T7.log", record->fileName);
    EXPECT_EQ(PROTO_NMEA, record->protocol);
    EXPECT_EQ(115200, record->baud);
    EXPECT_EQ(7, record->dataBits);
    EXPECT_EQ(2, record->stopBits);
    EXPECT_EQ(2, record->parity);

    const std::vector<std::string> order = {
        "com12fileChunk", "com12logSig",     "com12makeKML",       "com12clrKML",   "com12makeCSV",
        "com12logTime",   "com12MaxHorizErr", "com12MaxVertErr",   "com12MaxOutages", "com12ID",
        "com12TC",        "com12StdFileNaming", "com12fileName",   "com12dirName",  "com12logAppend",
        "com12protocol",  "com12baud",        "com12parity",       "com12data",     "com12stop"};
    EXPECT_EQ(order, profile.writes);
    EXPECT_EQ(500, profile.ints["com12fileChunk"]);
    EXPECT_EQ(0x00FF00, profile.ints["com12clrKML"]);
    EXPECT_EQ("C:\\logs\\", profile.texts["com12dirName"]);

    // What was stored comes back as it went in.
    Make();
    const LoggerForm back = core->GetForm(12);
    EXPECT_FLOAT_EQ(0.5f, back.chunkMb);
    EXPECT_EQ(10, back.baudIndex);
    EXPECT_EQ(0, back.dataBitsIndex);
    EXPECT_EQ(1, back.stopBitsIndex);
    EXPECT_EQ(2, back.parityIndex);
    EXPECT_EQ(2, back.protocolIndex);
    EXPECT_EQ(1, back.stdFileNaming);
    EXPECT_EQ(1, back.logSig);
    EXPECT_STREQ("U1", back.unitId);
}

TEST_F(LoggerCoreTest, UseCurrentSettingsCopiesExactlyTheSharedFields)
{
    profile.texts["com06fileName"] = "C:\\six\\six.log";
    profile.texts["com06dirName"] = "C:\\six\\";
    profile.texts["com06ID"] = "unit6";
    profile.texts["com06TC"] = "old";
    profile.ints["com06MaxHorizErr"] = 11;
    profile.ints["com06MaxVertErr"] = 12;
    profile.ints["com06MaxOutages"] = 13;
    Make();
    LoggerForm form = Form("C:\\five\\five.log");
    form.logAppend = 1;
    form.stdFileNaming = 1;
    form.unitId = "unit5";
    form.testCase = "case5";
    form.makeCsv = 1;
    form.makeKml = 1;
    form.kmlColour = 0x123456;
    form.protocolIndex = 3;
    form.chunkMb = 2.0f;
    form.logSig = 1;
    form.logTime = 1;
    form.parityIndex = 1;
    form.stopBitsIndex = 1;
    form.dataBitsIndex = 0;
    form.baudIndex = 12;
    view.form = form;
    ASSERT_TRUE(core->UseSettingsForAllPorts(5));

    const LoggerPortState* six = core->GetPort(6);
    EXPECT_EQ(6, six->port);
    EXPECT_EQ(1, six->logAppend);
    EXPECT_EQ(1, six->stdFileNaming);
    EXPECT_EQ(1, six->makeCsv);
    EXPECT_EQ(1, six->makeKml);
    EXPECT_EQ(0x123456u, six->kmlColour);
    EXPECT_STREQ("case5", six->testCase);
    EXPECT_EQ(PROTO_QTXT, six->protocol);
    EXPECT_FLOAT_EQ(2.0f, six->chunkMb);
    EXPECT_EQ(1, six->logSig);
    EXPECT_EQ(1, six->logTime);
    EXPECT_EQ(1, six->parity);
    EXPECT_EQ(2, six->stopBits);
    EXPECT_EQ(7, six->dataBits);
    EXPECT_EQ(256000, six->baud);
    // What belongs to the port stays.
    EXPECT_STREQ("C:\\six\\six.log", six->fileName);
    EXPECT_STREQ("C:\\six\\", six->dirName);
    EXPECT_STREQ("unit6", six->unitId);
    EXPECT_EQ(11, six->maxHorizErr);
    EXPECT_EQ(12, six->maxVertErr);
    EXPECT_EQ(13, six->maxOutages);
    // Only the prepared port's keys were written, and no companion is left open.
    for (const std::string& key : profile.writes) EXPECT_EQ(0u, key.find("com05")) << key;
    EXPECT_EQ(0, files.GetOpenCount());
}

// ---- Companions -------------------------------------------------------------------------

TEST_F(LoggerCoreTest, AppendingRunsContinueOneCsvAndOneKmlDocument)
{
    Make();
    LoggerForm form = Form("d\\run.log");
    form.makeCsv = 1;
    form.makeKml = 1;
    form.logAppend = 1;
    StartLogging(5, form);
    Fix(5, 100.0, 47.5, -122.25);
    Fix(5, 100.0, 47.5, -122.25);  // the same fix time: no second line
    Fix(5, 101.0, 47.5, -122.25);
    core->OnStartStopLogging(5);
    ASSERT_EQ(nullptr, core->GetPort(5)->controller);
    StartLogging(5, form);
    Fix(5, 102.0, 47.5, -122.25);
    core->OnStartStopLogging(5);

    const std::string csv = File("d\\run.csv");
    EXPECT_EQ(0u, csv.find(kCsvHeader));
    EXPECT_EQ(1u, Count(csv, kCsvHeader));
    EXPECT_EQ(3u, Count(csv, "\r\n"));
    EXPECT_EQ(1u, Count(csv, ", 102.0"));

    const std::string kml = File("d\\run.kml");
    EXPECT_EQ(1u, Count(kml, "<?xml"));
    EXPECT_EQ(1u, Count(kml, "</kml>"));
    EXPECT_TRUE(EndsWith(kml, kKmlFooter));
    EXPECT_EQ(3u, Count(kml, "<Placemark>"));
    EXPECT_EQ(3u, Count(kml, "</Placemark>"));
    EXPECT_EQ(0, files.GetOpenCount());

    // Without append each start begins the documents again.
    form.logAppend = 0;
    StartLogging(5, form);
    Fix(5, 200.0, 47.5, -122.25);
    core->OnStartStopLogging(5);
    EXPECT_EQ(1u, Count(File("d\\run.kml"), "<Placemark>"));
    EXPECT_EQ(1u, Count(File("d\\run.csv"), "\r\n"));
}

TEST_F(LoggerCoreTest, ACompanionThatCannotBeContinuedRefusesTheStartAndClosesTheOther)
{
    Make();
    LoggerForm form = Form("d\\run.log");
    form.makeCsv = 1;
    form.makeKml = 1;
    form.logAppend = 1;

    // A KML document that is not closed by our footer is not appended to.
    files.SetFile("d\\run.kml", "<kml>half a document");
    view.form = form;
    core->OnStartStopLogging(5);
    ASSERT_EQ(1u, prompter.boxes.size());
    EXPECT_EQ(kLoggerKmlFailed, prompter.boxes[0].text);
    EXPECT_EQ(nullptr, core->GetPort(5)->controller);
    EXPECT_EQ("<kml>half a document", File("d\\run.kml"));
    EXPECT_FALSE(files.IsOpen("d\\run.csv"));
    EXPECT_EQ(0, files.GetOpenCount());

    // One that cannot be created at all.
    prompter.boxes.clear();
    files.RemoveAllFiles();
    files.FailOpen("d\\run.kml");
    core->OnStartStopLogging(5);
    ASSERT_EQ(1u, prompter.boxes.size());
    EXPECT_EQ(kLoggerKmlFailed, prompter.boxes[0].text);
    EXPECT_EQ(0, files.GetOpenCount());

    // A start that fails after preparing leaves both documents closed and whole.
    files.ClearFaults();
    files.RemoveAllFiles();
    links.factory.refusedPorts[5] = 1;
    core->OnStartStopLogging(5);
    EXPECT_EQ("Can't open COM!", view.Status());
    EXPECT_EQ(0, files.GetOpenCount());
    EXPECT_TRUE(EndsWith(File("d\\run.kml"), kKmlFooter));
    EXPECT_EQ(0, links.live);
}

// ---- Starting, stopping, status ------------------------------------------------------------

TEST_F(LoggerCoreTest, StartOpensItsOwnLinkOrBorrowsTheMainWindowsAndStopLeavesTheBorrowedOneOpen)
{
    Make();
    LoggerForm form = Form("d\\six.log");
    form.baudIndex = 10;
    form.parityIndex = 1;
    StartLogging(6, form);
    ASSERT_EQ(1u, links.factory.opened.size());
    EXPECT_EQ(6u, links.factory.opened[0].portNumber);
    EXPECT_EQ(115200u, links.factory.opened[0].baudRate);
    EXPECT_EQ(1, links.factory.opened[0].parity);
    EXPECT_EQ(std::vector<bool>{false}, view.enabled);
    EXPECT_EQ("Initializing...", view.Status());
    Log(6, "abc");
    core->OnStartStopLogging(6);
    EXPECT_EQ(0, links.live);
    EXPECT_TRUE(EndsWith(File("d\\six.log"), "abc"));

    // The main window monitors COM 5: its link is logged, not a second one.
    int32_t error = 0;
    LinkPortSettings mainSettings;
    mainSettings.portNumber = 5;
    ASSERT_TRUE(links.mainLink.OpenSerial(mainSettings, PROTO_QBIN, &error));
    links.mainPort = 5;
    StartLogging(5, Form("d\\five.log"));
    EXPECT_EQ(&links.mainLink, Link(5));
    EXPECT_EQ(0, links.live);
    core->OnStartStopLogging(5);
    EXPECT_TRUE(links.mainLink.IsConnected());
    EXPECT_FALSE(core->IsPortLogging(5));
}

TEST_F(LoggerCoreTest, PlaybackCountsAsLoggingAndItsEndFreesThePort)
{
    Make();
    int32_t error = 0;
    LinkPortSettings settings;
    ASSERT_TRUE(links.mainLink.OpenSerial(settings, PROTO_QBIN, &error));
    links.mainPort = LOGGER_PLAYBACK_PORT;
    EXPECT_FALSE(core->IsAnyPortLogging());
    StartLogging(0, Form("d\\replay_data.log"));
    EXPECT_TRUE(core->IsPortLogging(0));
    EXPECT_TRUE(core->IsAnyPortLogging());

    // The replay ends: the main window closes its link.
    links.mainLink.Disconnect();
    links.mainPort = -1;
    EXPECT_FALSE(core->IsAnyPortLogging());
    core->OnTimer(0);
    EXPECT_EQ(nullptr, core->GetPort(0)->controller);
    EXPECT_EQ("Ready to start", view.Status());
    EXPECT_EQ(true, view.enabled.back());

    // The button starts again rather than stopping a log that is gone; there
    // is no COM 0 to open on its own.
    links.factory.refusedPorts[0] = 1;
    links.reports.clear();
    core->OnStartStopLogging(0);
    EXPECT_EQ("Can't open COM!", view.Status());
    EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{1, LOGGER_SCRIPT_ACTION}}), links.reports);
}

TEST_F(LoggerCoreTest, CalendarGatesTheLogAndItsEndStopsEveryPortOnce)
{
    Make();
    LogCalendarValues calendar;
    calendar.use = 1;
    calendar.start = now + 10;
    calendar.end = now + 20;
    core->SetCalendar(calendar);
    StartLogging(5, Form("d\\five.log"));
    core->OnTimer(5);
    EXPECT_FALSE(Link(5)->IsLoggingEnabled());
    EXPECT_EQ("Waiting...", view.Status());
    // Bytes while the gate is shut never reach the log.
    Channel(5)->Feed("shut");
    ASSERT_TRUE(WaitUntil([&] { return Channel(5)->Drained(); }));

    const struct {
        int64_t offset;
        bool open;
    } moments[] = {{9, false}, {10, true}, {15, true}, {20, true}};
    for (const auto& m : moments) {
        SetNow(calendar.start - 10 + m.offset);
        core->OnTimer(5);
        EXPECT_EQ(m.open, Link(5)->IsLoggingEnabled()) << m.offset;
    }
    EXPECT_EQ("Logging started", view.Status());
    Log(5, "open");

    const size_t stops = Count([&] {
        std::string all;
        for (const std::string& s : view.statuses) all += s + "|";
        return all;
    }(), "Stopping...");
    SetNow(calendar.end + 1);
    core->OnTimer(5);
    EXPECT_EQ(nullptr, Link(5));
    EXPECT_EQ("All stopped!", view.Status());
    EXPECT_EQ(0, core->GetCalendar().use);
    core->OnTimer(5);
    EXPECT_EQ("Ready to start", view.Status());
    size_t stopsAfter = 0;
    for (const std::string& s : view.statuses) stopsAfter += s == "Stopping..." ? 1 : 0;
    EXPECT_EQ(stops + 1, stopsAfter);
    const std::string log = File("d\\five.log");
    EXPECT_EQ(std::string::npos, log.find("shut"));
    EXPECT_TRUE(EndsWith(log, "open"));
}

TEST_F(LoggerCoreTest, ALogThatCannotBeWrittenStopsThePortWithFileError)
{
    Make();
    files.FailOpen("d\\five.log");
    view.form = Form("d\\five.log");
    core->OnStartStopLogging(5);
    ASSERT_NE(nullptr, Link(5));
    ASSERT_TRUE(WaitUntil([&] {
        Channel(5)->Feed("~");
        return Link(5)->GetRawLogger().GetState() == RAWLOG_STATE_FAILED;
    }));
    core->OnTimer(5);
    EXPECT_EQ(nullptr, Link(5));
    EXPECT_EQ(0, links.live);
    EXPECT_EQ("File error!", view.Status());
    core->OnTimer(5);
    EXPECT_EQ("File error!", view.Status());
    // The script hears of the failure once.
    EXPECT_EQ((std::vector<std::pair<int32_t, int32_t>>{{1, LOGGER_SCRIPT_ACTION}}), links.reports);
}

TEST_F(LoggerCoreTest, StatusShowsTheReceiversLampsAndFix)
{
    Make();
    StartLogging(5, Form("d\\five.log"));
    CModel& model = Link(5)->GetModel();
    model.SetActivityFlag(2 | 1 | 4 | 8, false);
    model.SetMachineId(1);
    model.SetStatusCode(2);
    model.SetHealthErrorBits(5);
    FixModeRecord fix = {};
    fix.fixMode = 4;
    fix.svCount = 7;
    model.SetFixModeAndDops(fix, false);
    view.lamps.clear();
    core->RefreshPortStatus(5);

    EXPECT_EQ((std::vector<LoggerLamp>{LOGGER_LAMP_TX, LOGGER_LAMP_RX, LOGGER_LAMP_FIX}), view.blinks);
    EXPECT_EQ(8u, model.GetActivityFlags());  // only the lamps' bits are taken
    ASSERT_EQ(3u, view.lamps.size());
    const LampCall expected[] = {{LOGGER_LAMP_ALM, 1, 2}, {LOGGER_LAMP_RTC, 3, 2}, {LOGGER_LAMP_BB, 1, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i].lamp, view.lamps[i].lamp);
        EXPECT_EQ(expected[i].scheme, view.lamps[i].scheme);
        EXPECT_EQ(expected[i].shade, view.lamps[i].shade);
    }
    EXPECT_EQ("7", view.svs);
    EXPECT_EQ("3-D", view.dim);

    fix.fixMode = 3;
    model.SetFixModeAndDops(fix, false);
    core->RefreshPortStatus(5);
    EXPECT_EQ("2-D", view.dim);
    model.SetHealthStatus(10);
    core->RefreshPortStatus(5);
    EXPECT_EQ("O-D", view.dim);

    core->OnStartStopLogging(5);
    core->RefreshPortStatus(5);
    EXPECT_EQ("n/a", view.svs);
    EXPECT_EQ("n/a", view.dim);
    EXPECT_EQ("Ready to start", view.Status());
}

TEST_F(LoggerCoreTest, ScriptHearsOnceForEachStartAndStop)
{
    Make();
    StartLogging(5, Form("d\\five.log"));
    EXPECT_TRUE(links.reports.empty());  // a start reports once its log is open
    core->RefreshPortStatus(5);
    core->RefreshPortStatus(5);
    core->OnStartStopLogging(5);
    core->RefreshPortStatus(5);
    view.form = Form("");
    core->OnStartStopLogging(5);
    core->RefreshPortStatus(5);
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {0, LOGGER_SCRIPT_ACTION}, {0, LOGGER_SCRIPT_ACTION}, {1, LOGGER_SCRIPT_ACTION}};
    EXPECT_EQ(expected, links.reports);
}

TEST_F(LoggerCoreTest, QueriesGoOutOnceASecondOnPortsThatAskForThem)
{
    Make();
    LoggerForm form = Form("d\\five.log");
    form.logSig = 1;
    form.logTime = 1;
    StartLogging(5, form);
    StartLogging(6, Form("d\\six.log"));
    core->OnTimer(5);
    const std::string sent = Channel(5)->Written();
    EXPECT_EQ(1u, Count(sent, std::string("\x10\x3C\x00\x10\x03", 5)));
    EXPECT_EQ(1u, Count(sent, "\x10\x21\x10\x03"));
    EXPECT_EQ("", Channel(6)->Written());
}

TEST_F(LoggerCoreTest, DestructionStopsEveryPortAndClosesItsDocuments)
{
    Make();
    LoggerForm form = Form("d\\five.log");
    form.makeKml = 1;
    form.makeCsv = 1;
    StartLogging(5, form);
    Fix(5, 100.0, 10.0, 20.0);
    form = Form("d\\six.log");
    form.makeKml = 1;
    StartLogging(6, form);
    Log(6, "six");
    ASSERT_EQ(2, links.live);
    core.reset();
    EXPECT_EQ(0, links.live);
    EXPECT_EQ(0, files.GetOpenCount());
    for (const char* name : {"d\\five.kml", "d\\six.kml"}) {
        const std::string kml = File(name);
        EXPECT_EQ(0u, kml.find("<?xml")) << name;
        EXPECT_TRUE(EndsWith(kml, kKmlFooter)) << name;
    }
    EXPECT_EQ(1u, Count(File("d\\five.kml"), "<Placemark>"));
    EXPECT_TRUE(EndsWith(File("d\\six.log"), "six"));
}

}  // namespace
