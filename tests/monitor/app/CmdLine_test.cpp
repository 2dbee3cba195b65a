// The command line: the option table, every mode's checks and messages, and
// the start-up decision built on them. Message boxes go to a scripted
// prompter and the file system is a fake, so every refusal is seen exactly.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CCmdLineOptions.h"
#include "app/CCmdLineSettings.h"
#include "app/CMainApp.h"
#include "app/MainWindowLayout.h"
#include "framework/MessagePrompter.h"

namespace {

const double kDegToRad = 0.017453292519943295;

// Files by name with their contents, folders by name.
class FakePaths : public ICmdLinePaths {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::string current = "/data/logs";

    double GetFileLength(LPCTSTR path) override
    {
        auto it = files.find(path);
        return it == files.end() ? -1.0 : static_cast<double>(it->second.size());
    }
    bool IsFolder(LPCTSTR path) override { return folders.count(path) != 0; }
    CString GetCurrentFolder() override { return CString(current.c_str()); }
    bool ReadPosition(LPCTSTR path, PositionRecord& position) override
    {
        auto it = files.find(path);
        if (it == files.end()) return false;
        const std::string line = it->second.substr(0, it->second.find('\n'));
        return ParsePositionLine(line.c_str(), position);
    }
};

FakePaths StandardFiles()
{
    FakePaths p;
    p.files = {{"log.qbl", ""},           {"alm.txt", "almanac"}, {"eph.txt", "ephemeris"},
               {"run.scr", "!qzwscript"}, {"empty.scr", ""},      {"fw.rfb", "image"},
               {"fw.RFB", "image"},       {"fw.bin", "image"},    {"pos.dat", "0 47.5 -122.25 100\n"},
               {"bad.dat", "1 47.5 -122.25 100\n"}, {"a.qbl", "x"}};
    p.folders = {"logs"};
    return p;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        size_t j = line.find(' ', i);
        if (j == std::string::npos) j = line.size();
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j + 1;
    }
    return words;
}

// argv as the process gets it: the program first.
struct Argv {
    explicit Argv(const std::vector<std::string>& words)
    {
        storage.push_back("VelmaraMon.exe");
        storage.insert(storage.end(), words.begin(), words.end());
        for (const std::string& w : storage) pointers.push_back(w.c_str());
    }
    int32_t argc() const { return static_cast<int32_t>(pointers.size()); }
    const char* const* argv() const { return pointers.data(); }
    std::vector<std::string> storage;
    std::vector<const char*> pointers;
};

struct Outcome {
    bool ok = false;
    std::vector<std::string> messages;
    CCmdLineSettings settings;
};

Outcome RunCommandLine(const std::string& line, FakePaths paths = StandardFiles())
{
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    Argv args(Split(line));
    CCmdLineOptions options;
    options.Parse(args.argc(), args.argv());
    Outcome out;
    out.ok = out.settings.ParseCommandLine(options, paths);
    for (const ScriptedPrompter::Box& box : prompter.boxes) {
        out.messages.push_back(box.text);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK)) << line;
    }
    return out;
}

// ---------------------------------------------------------------------------
// The option table

TEST(CmdLineOptions, BuildsTheTableFromArguments)
{
    struct Case {
        const char* line;
        int32_t count;
        // name -> expected values, in order
        std::map<std::string, std::vector<std::string>> values;
    };
    const Case cases[] = {
        {"-c3=9600,8,N,1,QBIN", 1, {{"-c3", {"9600,8,N,1,QBIN"}}}},
        {"-c3 9600,8,N,1,QBIN", 1, {{"-c3", {"9600,8,N,1,QBIN"}}}},
        // A minus sign and a digit is a value, not an option.
        {"-duration -5 -2x", 1, {{"-duration", {"-5", "-2x"}}}},
        {"-a=x=y", 1, {{"-a", {"x=y"}}}},
        // An empty value after "=" adds nothing; a following word becomes the first value.
        {"-a= word", 1, {{"-a", {"word"}}}},
        // A repeated option keeps its first entry; later words still join it.
        {"-a=1 -a=2 more", 1, {{"-a", {"1", "more"}}}},
        // Words before the first option, and a lone "-", are not options.
        {"file.txt - -k v", 1, {{"-k", {"v"}}}},
        {"file.txt other", 0, {}},
        {"-Script -script=s", 2, {{"-Script", {}}, {"-script", {"s"}}}},
        {"-- -=v", 2, {{"--", {}}, {"-", {"v"}}}},
    };
    for (const Case& c : cases) {
        Argv args(Split(c.line));
        CCmdLineOptions options;
        EXPECT_EQ(options.Parse(args.argc(), args.argv()), c.count) << c.line;
        EXPECT_EQ(options.GetArgumentCount(), args.argc()) << c.line;
        for (const auto& entry : c.values) {
            const char* name = entry.first.c_str();
            EXPECT_TRUE(options.HasOption(name)) << c.line << ' ' << name;
            ASSERT_EQ(options.GetValueCount(name), static_cast<int32_t>(entry.second.size())) << c.line << ' ' << name;
            for (size_t i = 0; i < entry.second.size(); ++i)
                EXPECT_STREQ(options.GetValue(name, static_cast<int32_t>(i)), entry.second[i].c_str()) << c.line;
            EXPECT_STREQ(options.GetValue(name, static_cast<int32_t>(entry.second.size())), "") << c.line;
        }
    }
}

TEST(CmdLineOptions, NamesAreCaseSensitiveAndMissingOptionsReadEmpty)
{
    Argv args({"-Monitor", "-c3=x"});
    CCmdLineOptions options;
    ASSERT_EQ(options.Parse(args.argc(), args.argv()), 2);
    EXPECT_FALSE(options.HasOption("-monitor"));
    EXPECT_FALSE(options.HasOption("c3"));
    EXPECT_STREQ(options.GetValue("-c4"), "");
    EXPECT_STREQ(options.GetValue("-c3", -1), "");
    EXPECT_FALSE(options.HasOption(nullptr));

    // A new parse replaces the old table; null arguments are skipped.
    const char* withNull[] = {"prog", nullptr, "-x"};
    EXPECT_EQ(options.Parse(3, withNull), 1);
    EXPECT_FALSE(options.HasOption("-Monitor"));
    EXPECT_EQ(options.Parse(5, nullptr), 0);
    EXPECT_EQ(options.Parse(-3, withNull), 0);
}

// ---------------------------------------------------------------------------
// Modes and their messages

struct ModeCase {
    const char* line;
    const char* message;  // nullptr: accepted; "": refused without a message
    std::function<void(const CCmdLineSettings&)> check;
};

void RunCases(const std::vector<ModeCase>& cases, StartMode mode)
{
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.line);
        Outcome out = RunCommandLine(c.line);
        EXPECT_EQ(out.settings.GetStartMode(), mode);
        if (c.message == nullptr) {
            EXPECT_TRUE(out.ok);
            EXPECT_TRUE(out.messages.empty()) << (out.messages.empty() ? "" : out.messages[0]);
        } else {
            EXPECT_FALSE(out.ok);
            if (*c.message == '\0') {
                EXPECT_TRUE(out.messages.empty());
            } else {
                ASSERT_EQ(out.messages.size(), 1u);
                EXPECT_EQ(out.messages[0], c.message);
            }
        }
        if (c.check) c.check(out.settings);
    }
}

std::function<void(const CCmdLineSettings&)> Link(int32_t port, int32_t baud, int32_t bits, int32_t parity,
                                                  int32_t stop, ProtocolKind protocol)
{
    return [=](const CCmdLineSettings& s) {
        const CmdLinePortSettings& l = s.monitor.link;
        EXPECT_FALSE(s.monitor.playback);
        EXPECT_EQ(l.port, port);
        EXPECT_EQ(l.baud, baud);
        EXPECT_EQ(l.dataBits, bits);
        EXPECT_EQ(l.parity, parity);
        EXPECT_EQ(l.stopBits, stop);
        EXPECT_EQ(l.protocol, protocol);
    };
}

TEST(CmdLineModes, Monitor)
{
    RunCases({
        {"-monitor -c3=9600,8,N,1,QBIN", nullptr, Link(3, 9600, 8, 0, 0, PROTO_QBIN)},
        {"-monitor -c3 9600,8,N,1,QBIN", nullptr, Link(3, 9600, 8, 0, 0, PROTO_QBIN)},
        {"-Monitor -c7=4800,8,N,1,NMEA -c2=9600,8,N,1,QBIN", nullptr, Link(2, 9600, 8, 0, 0, PROTO_QBIN)},
        {"-monitor -c65=9600,8,N,1,QBIN", "No valid port specified.", nullptr},
        {"-monitor", "No valid port specified.", nullptr},
        {"-monitor -c64=256000,7,e,2,qbin", nullptr, Link(64, 256000, 7, 2, 2, PROTO_QBIN)},
        {"-monitor -c1=1200,8,o,1,auto", nullptr, Link(1, 1200, 8, 1, 0, PROTO_AUTO)},
        {"-monitor -c1=9600", "Baud rate not specified.", nullptr},
        {"-monitor -c1", "Baud rate not specified.", nullptr},
        {"-monitor -c1=9601,8,N,1,QBIN", "Invalid baud rate.", nullptr},
        {"-monitor -c1=96OO,8,N,1,QBIN", "Invalid baud rate.", nullptr},
        {"-monitor -c1=9600,8", "Number of data bits not specified.", nullptr},
        {"-monitor -c1=9600,9,N,1,QBIN", "Invalid number of data bits.", nullptr},
        {"-monitor -c1=9600,8,NO,1,QBIN", "Parity not specified.", nullptr},
        {"-monitor -c1=9600,8,N", "Parity not specified.", nullptr},
        {"-monitor -c1=9600,8,,1,QBIN", "Parity not specified.", nullptr},
        {"-monitor -c3=9600,8,X,1,QBIN", "Invalid parity.", nullptr},
        {"-monitor -c1=9600,8,N,", "Number of stop bits not specified.", nullptr},
        {"-monitor -c1=9600,8,N,3,QBIN", "Invalid number of stop bits.", nullptr},
        {"-monitor -c1=9600,8,N,1", "Invalid protocol specified.", nullptr},
        {"-monitor -c1=9600,8,N,1,", "Invalid protocol specified.", nullptr},
        {"-monitor -c1=9600,8,N,1,FOO", "Invalid protocol specified.", nullptr},
        // Playback needs no port and ignores any.
        {"-monitor -playback=log.qbl -c65=junk", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_TRUE(s.monitor.playback);
             EXPECT_STREQ(s.monitor.playbackFile, "log.qbl");
             EXPECT_EQ(s.monitor.link.port, 0);
         }},
        {"-monitor -playback=missing.qbl", "Invalid playback file.", nullptr},
        {"-monitor -playback", "Invalid playback file.", nullptr},
        {"-monitor -playback=log.qbl -alm_send=alm.txt", "Option alm_send not supported with playback.", nullptr},
        {"-monitor -playback=log.qbl -eph_send=eph.txt", "Option eph_send not supported with playback.", nullptr},
        {"-monitor -c5=9600,8,N,1,QBIN -alm_send=nope.txt", "Invalid almanac file.", nullptr},
        {"-monitor -c5=9600,8,N,1,QBIN -eph_send=nope.txt", "Invalid ephemeris file.", nullptr},
        {"-monitor -c5=9600,8,N,1,QBIN -alm_send=alm.txt -eph_send=eph.txt", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_TRUE(s.monitor.almanacSend);
             EXPECT_STREQ(s.monitor.almanacFile, "alm.txt");
             EXPECT_TRUE(s.monitor.ephemerisSend);
             EXPECT_STREQ(s.monitor.ephemerisFile, "eph.txt");
         }},
    }, START_MODE_MONITOR);
}

TEST(CmdLineModes, ScriptFailsSilentlyWithoutAScript)
{
    RunCases({
        {"-script=run.scr -log_status -stop_on_failure", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_STREQ(s.script.scriptFile, "run.scr");
             EXPECT_TRUE(s.script.logStatus);
             EXPECT_TRUE(s.script.stopOnFailure);
         }},
        {"-script -Script=run.scr", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_STREQ(s.script.scriptFile, "run.scr");
             EXPECT_FALSE(s.script.logStatus);
         }},
        // The script switch is tested before the monitor switch.
        {"-monitor -c65=junk -script=run.scr", nullptr, nullptr},
        {"-script=empty.scr", "", [](const CCmdLineSettings& s) { EXPECT_STREQ(s.script.scriptFile, ""); }},
        {"-script=missing.scr", "", nullptr},
        {"-Script", "", nullptr},
    }, START_MODE_SCRIPT);
}

TEST(CmdLineModes, FlashLoader)
{
    auto addresses = [](uint32_t fw, uint32_t boot) {
        return [=](const CCmdLineSettings& s) {
            EXPECT_EQ(s.flashLoader.firmwareAddress, fw);
            EXPECT_EQ(s.flashLoader.bootCodeAddress, boot);
        };
    };
    RunCases({
        {"-flashloader -c256 -c5 -c2 -file=fw.rfb", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_EQ(s.flashLoader.ports, (std::vector<int32_t>{2, 5, 256}));
             EXPECT_STREQ(s.flashLoader.firmwareFile, "fw.rfb");
             EXPECT_EQ(s.flashLoader.firmwareAddress, 0u);
             EXPECT_EQ(s.flashLoader.bootCodeAddress, 0u);
         }},
        {"-FlashLoader -c1 -file=fw.RFB", nullptr, nullptr},
        {"-Flashloader -c1 -file=fw.bin -fw_addr=0x10000 -boot_addr=FFFF8000", nullptr,
         addresses(0x10000u, 0xFFFF8000u)},
        {"-flashloader -c1 -file=fw.rfb -fw_addr=zz", "Invalid FW address.", nullptr},
        {"-flashloader -c1 -file=fw.bin", "FW address not specified.", nullptr},
        {"-flashloader -c1 -file=fw.bin -fw_addr=0", "Invalid FW address.", nullptr},
        {"-flashloader -c1 -file=fw.bin -fw_addr=123456789", "Invalid FW address.", nullptr},
        {"-flashloader -c1 -file=fw.bin -fw_addr=400", "Boot code address not specified.", nullptr},
        {"-flashloader -c1 -file=fw.bin -fw_addr=400 -boot_addr=0x0", "Invalid boot code address.", nullptr},
        {"-flashloader -c257 -file=fw.rfb", "No valid port specified.", nullptr},
        {"-flashloader -c1", "No file specified.", nullptr},
        {"-flashloader -c1 -file=nope.bin", "Invalid file.", nullptr},
    }, START_MODE_FLASH_LOADER);
}

TEST(CmdLineModes, DataRecorder)
{
    RunCases({
        {"-datarecorder -c9=9600,8,n,1,qbin,rec -c4=115200,7,E,2,NMEA,rec.dat -testcase=T1 -output=out "
         "-duration=5 -auto_query -add_timestamp",
         nullptr,
         [](const CCmdLineSettings& s) {
             const auto& r = s.dataRecorder;
             ASSERT_EQ(r.ports.size(), 2u);
             EXPECT_EQ(r.ports[0].port, 4);
             EXPECT_EQ(r.ports[0].baud, 115200);
             EXPECT_EQ(r.ports[0].dataBits, 7);
             EXPECT_EQ(r.ports[0].parity, 'E');
             EXPECT_EQ(r.ports[0].stopBits, 2);
             EXPECT_EQ(r.ports[0].protocol, PROTO_NMEA);
             EXPECT_STREQ(r.ports[0].fileName, "rec.dat");
             EXPECT_EQ(r.ports[1].port, 9);
             EXPECT_EQ(r.ports[1].parity, 'N');
             EXPECT_EQ(r.ports[1].stopBits, 1);
             EXPECT_STREQ(r.ports[1].fileName, "rec.log");
             EXPECT_STREQ(r.testCase, "T1");
             EXPECT_STREQ(r.outputFolder, "out");
             EXPECT_EQ(r.duration, 5);
             EXPECT_TRUE(r.autoQuery);
             EXPECT_TRUE(r.addTimestamp);
         }},
        {"-DataRecorder -c1=9600,8,N,1,QBIN,dir/rec", "File name must not contain a path.", nullptr},
        {"-Datarecorder -c1=9600,8,N,1,QBIN,dir\\rec", "File name must not contain a path.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN,c:rec", "File name must not contain a path.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN,", "File name must not contain a path.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN", "Protocol not specified.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,XYZ,rec", "Invalid protocol specified.", nullptr},
        {"-datarecorder -c1=9600", "No baud rate specified.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN,rec -duration=0", "Invalid duration.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN,rec -duration", "Invalid duration.", nullptr},
        {"-datarecorder -c300=9600,8,N,1,QBIN,rec", "No valid port specified.", nullptr},
        {"-datarecorder -c1=9600,8,N,1,QBIN,rec", nullptr,
         [](const CCmdLineSettings& s) { EXPECT_EQ(s.dataRecorder.duration, 0); }},
    }, START_MODE_DATA_RECORDER);
}

TEST(CmdLineModes, DataRecorderTakesTheLowest32Ports)
{
    std::string line = "-datarecorder";
    for (int port = 40; port >= 1; --port) line += " -c" + std::to_string(port) + "=9600,8,N,1,QBIN,p" + std::to_string(port);
    Outcome out = RunCommandLine(line);
    ASSERT_TRUE(out.ok);
    ASSERT_EQ(out.settings.dataRecorder.ports.size(), 32u);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(out.settings.dataRecorder.ports[static_cast<size_t>(i)].port, i + 1);
}

TEST(CmdLineModes, Ttff)
{
    const std::string base = "-ttff -c1=9600,8,N,1,QBIN,ttff -type=cold -interval=60";
    auto line = [&](const char* more) { return base + more; };
    std::vector<std::string> lines = {
        line(""), line(" -duration=60"), line(" -duration=61 -max_interval=60"), line(" -max_interval=59"),
        line(" -delay=0"), line(" -collect_almanac=0"), line(" -delay=3 -collect_almanac=2 -output=o"),
        line(" -relay"), line(" -relay=33,5"), line(" -relay=3"), line(" -relay=3,0"), line(" -relay=3,5"),
        line(" -refpos=pos.dat"), line(" -refpos=missing.dat"), line(" -refpos=bad.dat"),
        line(" -cold_start -auto_query -no_random_delay"),
    };
    RunCases({
        {lines[0].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             const auto& t = s.ttff;
             ASSERT_EQ(t.ports.size(), 1u);
             EXPECT_STREQ(t.ports[0].fileName, "ttff");  // no ".log" for the tester
             EXPECT_EQ(t.type, 'C');
             EXPECT_EQ(t.interval, 60);
             EXPECT_EQ(t.duration, 0);
             EXPECT_EQ(t.maxInterval, -1);
             EXPECT_EQ(t.delay, -1);
             EXPECT_EQ(t.collectAlmanac, -1);
             EXPECT_EQ(t.relayPort, 0);
             EXPECT_EQ(t.relayPowerOffTime, 0);
             EXPECT_EQ(t.referencePosition.latitude, kNoReferenceLatitude);
             EXPECT_FALSE(t.coldStart);
         }},
        {lines[1].c_str(), "Duration cannot be less than the reset interval!", nullptr},
        {lines[2].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_EQ(s.ttff.duration, 61);
             EXPECT_EQ(s.ttff.maxInterval, 60);
         }},
        {lines[3].c_str(), "Max interval cannot be less than the reset interval.", nullptr},
        {lines[4].c_str(), "Invalid delay.", nullptr},
        {lines[5].c_str(), "Invalid value for -collect_almanac option.", nullptr},
        {lines[6].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_EQ(s.ttff.delay, 3);
             EXPECT_EQ(s.ttff.collectAlmanac, 2);
             EXPECT_STREQ(s.ttff.outputFolder, "o");
         }},
        {lines[7].c_str(), "No relay COM port specified.", nullptr},
        {lines[8].c_str(), "Invalid relay COM port.", nullptr},
        {lines[9].c_str(), "Relay power-off time not specified.", nullptr},
        {lines[10].c_str(), "Invalid relay power-off time specified.", nullptr},
        {lines[11].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_EQ(s.ttff.relayPort, 3);
             EXPECT_EQ(s.ttff.relayPowerOffTime, 5);
         }},
        {lines[12].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_NEAR(s.ttff.referencePosition.latitude, 47.5 * kDegToRad, 1e-12);
             EXPECT_NEAR(s.ttff.referencePosition.longitude, -122.25 * kDegToRad, 1e-12);
             EXPECT_DOUBLE_EQ(s.ttff.referencePosition.altitude, 100.0);
         }},
        {lines[13].c_str(), "Reference position file error (format or path).", nullptr},
        {lines[14].c_str(), "Reference position file error (format or path).", nullptr},
        {lines[15].c_str(), nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_TRUE(s.ttff.coldStart);
             EXPECT_TRUE(s.ttff.autoQuery);
             EXPECT_TRUE(s.ttff.noRandomDelay);
         }},
        {"-TTFF -c1=9600,8,N,1,QBIN,t -interval=60", "TTFF type not specified.", nullptr},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=q -interval=60", "Invalid TTFF type.", nullptr},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=Y", "Interval not specified.", nullptr},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=h -interval=0", "Interval must be between 1 and 50000.", nullptr},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=h -interval=50001", "Interval must be between 1 and 50000.", nullptr},
        // "-5" after an option is its value, so the interval is refused, not missing.
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=h -interval -5", "Interval must be between 1 and 50000.", nullptr},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=w -interval=50000", nullptr,
         [](const CCmdLineSettings& s) { EXPECT_EQ(s.ttff.type, 'W'); }},
        {"-ttff -type=c -interval=5", "No valid port specified.", nullptr},
    }, START_MODE_TTFF);
}

TEST(CmdLineModes, Converter)
{
    RunCases({
        {"-converter -file=. -kml", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_STREQ(s.converter.converter.inputPath, "/data/logs");
             EXPECT_TRUE(s.converter.converter.convertAll);
             EXPECT_TRUE(s.converter.converter.kml);
             EXPECT_TRUE(s.converter.converter.overwrite);
             EXPECT_FALSE(s.converter.converter.spreadsheetSplit);
         }},
        {"-Converter -file=logs -NMEA -ask_overwrite", nullptr,
         [](const CCmdLineSettings& s) {
             EXPECT_STREQ(s.converter.converter.inputPath, "logs");
             EXPECT_TRUE(s.converter.converter.convertAll);
             EXPECT_TRUE(s.converter.converter.nmeaGga);
             EXPECT_FALSE(s.converter.converter.overwrite);
         }},
        {"-converter -file=a.qbl -TXT -xlx -csv -fill_1hz -split_lines=1000", nullptr,
         [](const CCmdLineSettings& s) {
             const ConverterOptions& o = s.converter.converter;
             EXPECT_STREQ(o.inputPath, "a.qbl");
             EXPECT_FALSE(s.converter.converter.convertAll);
             EXPECT_TRUE(o.textTranslation);
             EXPECT_TRUE(o.spreadsheet);
             EXPECT_TRUE(o.mapCsv);
             EXPECT_FALSE(o.kml);
             EXPECT_FALSE(o.nmeaGga);
             EXPECT_TRUE(s.converter.converter.fill1Hz);
             EXPECT_TRUE(o.spreadsheetSplit);
             EXPECT_EQ(o.linesPerPart, 1000);
         }},
        {"-converter -file=a.qbl -nmea -convert_all", nullptr,
         [](const CCmdLineSettings& s) { EXPECT_TRUE(s.converter.converter.convertAll); }},
        {"-converter -kml", "No file/path specified.", nullptr},
        {"-converter -file=nope.qbl -kml", "Invalid file/path specified.", nullptr},
        {"-converter -file=a.qbl -Kml", "Select at least one file format to generate!", nullptr},
        {"-converter -file=a.qbl -kml -split_lines=0", "Invalid number of lines to split.", nullptr},
    }, START_MODE_CONVERTER);
}

TEST(CmdLineModes, NoStartModeIsRefusedSilently)
{
    for (const char* line : {"-c3=9600,8,N,1,QBIN", "-MONITOR -c3=9600,8,N,1,QBIN", "-x"}) {
        Outcome out = RunCommandLine(line);
        EXPECT_FALSE(out.ok) << line;
        EXPECT_TRUE(out.messages.empty()) << line;
        EXPECT_FALSE(out.settings.IsCommandLine()) << line;
    }
}

// ---------------------------------------------------------------------------
// Start-up: what the arguments make of the main window

class FakeMainWindow : public IMainWindowStartup {
public:
    explicit FakeMainWindow(bool createOk = true) : m_createOk(createOk) {}
    CCmdLineOptions& GetCmdLineOptions() override { return options; }
    bool ParseCommandLine() override { return settings.ParseCommandLine(options, paths); }
    void SetCommandLineFlag(bool on) override
    {
        settings.SetCommandLine(on);
        flagCalls.push_back(on);
    }
    bool CreateModeless(UINT templateId, CWnd* parent) override
    {
        createdWith.push_back(templateId);
        EXPECT_EQ(parent, nullptr);
        return m_createOk;
    }
    CWnd* GetMainWnd() override { return nullptr; }

    CCmdLineOptions options;
    CCmdLineSettings settings;
    FakePaths paths = StandardFiles();
    std::vector<bool> flagCalls;
    std::vector<UINT> createdWith;

private:
    bool m_createOk;
};

TEST(MainAppStartup, ArgumentsDecideWhetherAWindowIsMade)
{
    struct Case {
        const char* line;
        StartupResult result;
        int32_t messages;
        bool commandLine;
    };
    const Case cases[] = {
        {"", STARTUP_RUN, 0, false},
        {"C:\\logs\\a.qbl", STARTUP_REFUSED, 0, false},
        {"-c3=9600,8,N,1,QBIN", STARTUP_REFUSED, 0, false},
        {"-monitor -c3=9600,8,X,1,QBIN", STARTUP_REFUSED, 1, false},
        {"-monitor -playback=missing.qbl", STARTUP_REFUSED, 1, false},
        {"-monitor -c3=9600,8,N,1,QBIN", STARTUP_RUN, 0, true},
        {"-script=run.scr", STARTUP_RUN, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScriptedPrompter prompter;
        CPrompterScope scope(&prompter);
        FakeMainWindow window;
        Argv args(Split(c.line));
        EXPECT_EQ(StartMainWindow(window, args.argc(), args.argv()), c.result);
        EXPECT_EQ(static_cast<int32_t>(prompter.boxes.size()), c.messages);
        EXPECT_EQ(window.settings.IsCommandLine(), c.commandLine);
        if (c.result == STARTUP_RUN) {
            EXPECT_EQ(window.createdWith, std::vector<UINT>{IDD_MAIN_WINDOW});
            EXPECT_EQ(window.flagCalls, std::vector<bool>{c.commandLine});
        } else {
            EXPECT_TRUE(window.createdWith.empty());
            EXPECT_TRUE(window.flagCalls.empty());
        }
    }
}

TEST(MainAppStartup, ModeQueriesNeedTheCommandLineFlag)
{
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    FakeMainWindow window;
    Argv args({"-converter", "-file=.", "-kml"});
    ASSERT_EQ(StartMainWindow(window, args.argc(), args.argv()), STARTUP_RUN);
    EXPECT_TRUE(window.settings.IsCommandLineMode(START_MODE_CONVERTER));
    EXPECT_FALSE(window.settings.IsCommandLineMode(START_MODE_MONITOR));

    // An interactive start is in no command-line mode, not even mode 0.
    FakeMainWindow interactive;
    Argv none({});
    ASSERT_EQ(StartMainWindow(interactive, none.argc(), none.argv()), STARTUP_RUN);
    EXPECT_FALSE(interactive.settings.IsCommandLineMode(START_MODE_MONITOR));

    FakeMainWindow broken(false);
    EXPECT_EQ(StartMainWindow(broken, none.argc(), none.argv()), STARTUP_CREATE_FAILED);
}

TEST(MainAppStartup, FactoryCanBeLeftUnset)
{
    EXPECT_EQ(GetMainWindowFactory(), nullptr);
    MainWindowFactory factory = []() -> IMainWindowStartup* { return nullptr; };
    EXPECT_EQ(SetMainWindowFactory(factory), nullptr);
    EXPECT_EQ(GetMainWindowFactory(), factory);
    EXPECT_EQ(SetMainWindowFactory(nullptr), factory);
}

}  // namespace

namespace {

TEST(MainWindowLayoutChoice, TallerThan18PixelsIsLarge)
{
    struct Case {
        bool haveMetrics;
        int32_t height;
        bool large;
        int32_t widths[kMainStatusPaneCount];
    };
    const Case cases[] = {
        {true, 16, false, {67, 0, 110, 55, 140}},
        {true, 18, false, {67, 0, 110, 55, 140}},
        {true, 19, true, {90, 0, 130, 75, 170}},
        {false, 40, false, {67, 0, 110, 55, 140}},
    };
    for (const Case& c : cases) {
        const MainWindowLayout layout = ChooseMainWindowLayout(c.haveMetrics, c.height);
        EXPECT_EQ(layout.large, c.large) << c.height;
        for (int32_t i = 0; i < kMainStatusPaneCount; ++i) EXPECT_EQ(layout.paneWidths[i], c.widths[i]) << c.height;
        EXPECT_EQ(std::vector<UINT>(layout.paneIds, layout.paneIds + kMainStatusPaneCount),
                  (std::vector<UINT>{1, 2, 4, 5, 6}));
    }
    EXPECT_EQ(std::vector<UINT>(kMainToolbarButtons, kMainToolbarButtons + kMainToolbarButtonCount),
              (std::vector<UINT>{36004, 0, 32854, 32855, 0, 36009, 0, 32796, 32863, 32925, 0, 32785, 1047}));
}

}  // namespace

namespace {

TEST(CmdLineModes, ScriptLogSitsBesideTheScript)
{
    const std::pair<const char*, const char*> cases[] = {
        {"run.scr", "run_log.txt"},
        {"C:\\tests\\run.v2.scr", "C:\\tests\\run.v2_log.txt"},
        {"C:\\my.tests\\run", "C:\\my.tests\\run_log.txt"},
        {"dir.d/run", "dir.d/run_log.txt"},
    };
    for (const auto& c : cases) {
        CScriptCmdOptions script;
        script.scriptFile = c.first;
        EXPECT_STREQ(script.GetLogFileName(), c.second) << c.first;
    }
}

TEST(CmdLineModes, OnlyTheMultiPortToolsHideTheMainWindow)
{
    const std::pair<const char*, bool> cases[] = {
        {"-monitor -c1=9600,8,N,1,QBIN", false},
        {"-script=run.scr", false},
        {"-converter -file=a.qbl -kml", false},
        {"-flashloader -c1 -file=fw.rfb", true},
        {"-ttff -c1=9600,8,N,1,QBIN,t -type=c -interval=5", true},
        {"-datarecorder -c1=9600,8,N,1,QBIN,r", true},
    };
    for (const auto& c : cases) {
        Outcome out = RunCommandLine(c.first);
        ASSERT_TRUE(out.ok) << c.first;
        EXPECT_FALSE(out.settings.HidesMainWindow()) << "before the flag is set: " << c.first;
        out.settings.SetCommandLine(true);
        EXPECT_EQ(out.settings.HidesMainWindow(), c.second) << c.first;
    }
}

}  // namespace
