// The converter engine over a file system in memory: which outputs it names
// and how, that the recording and existing outputs stay as they are unless
// the user agrees, which event reaches which output, the translation text,
// the spreadsheet's parts, and what a failing file leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ConverterTestSupport.h"
#include "framework/MessagePrompter.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"

namespace {

const char kInput[] = "C:\\logs\\run.qbl";
const char kRange[] = "1400-0_1400-86400";

std::string InLogs(const std::string& name) { return std::string("C:\\logs\\") + name; }

void SetRange(ConverterOptions& o, int32_t startWeek, int32_t startTow, int32_t endWeek, int32_t endTow)
{
    o.rangeOn = true;
    o.startWeek = startWeek;
    o.startTimeOfWeek = startTow;
    o.endWeek = endWeek;
    o.endTimeOfWeek = endTow;
}

void AllOutputs(ConverterOptions& o)
{
    o.mapCsv = o.kml = o.nmeaGga = o.textTranslation = o.spreadsheet = true;
}

// A new fix in the model, as a decoder leaves it before the engine hears of it.
void GiveFix(CModel& model, uint16_t week, double tow)
{
    NavState nav = NavState();
    nav.fixValid = 1;
    nav.week = week;
    nav.timeOfFix = tow;
    nav.latitude = 0.5;
    nav.longitude = -1.0;
    nav.height = 100.0;
    model.UpdateNavState(nav, NAV_KIND_LLA, nullptr);
}

size_t CountOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// The lines of a file, without their ends and without empty ones.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string FirstField(const std::string& line) { return line.substr(0, line.find('\t')); }

std::map<std::string, std::string> Snapshot(const MemoryFileBackend& files)
{
    std::map<std::string, std::string> all;
    for (const std::string& name : files.ListFiles()) all[name] = files.GetFileText(name);
    return all;
}

class ConverterEngineTest : public ::testing::Test {
protected:
    ConverterEngineTest() : rig(kInput) { rig.files.SetFile(kInput, "recorded bytes"); }

    CModel model;
    ConverterTestRig rig;
    CConverterEngine& engine = rig.engine;
};

}  // namespace

// ---- Names -----------------------------------------------------------------

TEST_F(ConverterEngineTest, OutputsAreNamedAfterTheInputAndTheRange)
{
    const std::string r = kRange;
    struct Case {
        const char* what;
        bool range;
        std::vector<std::pair<ConverterOutput, std::string>> names;
    };
    const Case cases[] = {
        {"without a range", false,
         {{CONVERTER_MAP_CSV, "run.csv"}, {CONVERTER_KML, "run.kml"}, {CONVERTER_GGA, "run_nmea.txt"},
          {CONVERTER_TEXT, "run.txt"}, {CONVERTER_SPREADSHEET, "run.xlx"}, {CONVERTER_RAW_COPY, ""},
          {CONVERTER_CRC_LOG, "run_crcLog.txt"}}},
        {"with a range", true,
         {{CONVERTER_MAP_CSV, "run_" + r + ".csv"}, {CONVERTER_KML, "run_" + r + ".kml"},
          {CONVERTER_GGA, "run_nmea_" + r + ".txt"}, {CONVERTER_TEXT, "run_" + r + ".txt"},
          {CONVERTER_SPREADSHEET, "run_" + r + ".xlx"}, {CONVERTER_RAW_COPY, "run_" + r + ".qbl"},
          {CONVERTER_CRC_LOG, "run_crcLog.txt"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterOptions o = rig.options;
        AllOutputs(o);
        if (c.range) SetRange(o, 1400, 0, 1400, 86400);
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        for (const auto& n : c.names) {
            EXPECT_EQ(engine.GetOutputName(n.first).GetString(), n.second.empty() ? "" : InLogs(n.second));
        }
        engine.Finish();
        // Every output but the CRC log (made at the first CRC failure) is
        // there under its name, and nothing else is left.
        for (const auto& n : c.names) {
            if (n.second.empty()) continue;
            EXPECT_EQ(rig.files.Exists(InLogs(n.second)), n.first != CONVERTER_CRC_LOG) << n.second;
            EXPECT_FALSE(rig.files.Exists(InLogs(n.second) + ".part"));
        }
        rig.files.RemoveAllFiles();
        rig.files.SetFile(kInput, "recorded bytes");
    }
}

TEST_F(ConverterEngineTest, NoOutputTakesTheInputsName)
{
    const std::string r = kRange;
    struct Case {
        const char* what;
        const char* input;
        bool range;
        ConverterOutput output;
        std::string expected;
    };
    const Case cases[] = {
        {"translation of a .txt log", "C:\\logs\\X.txt", false, CONVERTER_TEXT, "C:\\logs\\X_out.txt"},
        {"the log spelt in capitals", "C:\\logs\\X.TXT", false, CONVERTER_TEXT, "C:\\logs\\X_out.txt"},
        {"a folder and back", "C:\\logs\\sub\\..\\X.txt", false, CONVERTER_TEXT,
         "C:\\logs\\sub\\..\\X_out.txt"},
        // The range's raw copy keeps the log's extension: it would be the
        // translation's file.
        {"range translation", "C:\\logs\\X.txt", true, CONVERTER_TEXT, "C:\\logs\\X_" + r + ".txt"},
        {"range raw copy", "C:\\logs\\X.txt", true, CONVERTER_RAW_COPY, "C:\\logs\\X_" + r + "_out.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.files.SetFile(c.input, "the recording");
        ConverterOptions o = rig.options;
        o.inputPath = c.input;
        o.textTranslation = true;
        if (c.range) SetRange(o, 1400, 0, 1400, 86400);
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        EXPECT_EQ(engine.GetOutputName(c.output).GetString(), c.expected);
        engine.Finish();
        EXPECT_EQ(rig.files.GetFileText(c.input), "the recording");
        rig.files.RemoveAllFiles();
    }
}

TEST_F(ConverterEngineTest, FilesOfOneFolderRunDoNotShareOutputs)
{
    ConverterNameSet taken;
    struct Step {
        const char* input;
        const char* csv;
    };
    const Step steps[] = {
        {"C:\\logs\\a.log", "C:\\logs\\a.csv"},
        {"C:\\logs\\a.qbl", "C:\\logs\\a_out.csv"},
        {"C:\\logs\\sub\\..\\A.bin", "C:\\logs\\sub\\..\\A_out_out.csv"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.input);
        rig.files.SetFile(s.input, "");
        ConverterOptions o = rig.options;
        o.inputPath = s.input;
        o.mapCsv = true;
        engine.SetTakenNames(&taken);
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        EXPECT_EQ(engine.GetOutputName(CONVERTER_MAP_CSV).GetString(), std::string(s.csv));
        engine.Finish();
    }
    // A new run starts with nothing taken.
    taken.Clear();
    ConverterOptions o = rig.options;
    o.inputPath = "C:\\logs\\a.qbl";
    o.mapCsv = true;
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    EXPECT_STREQ(engine.GetOutputName(CONVERTER_MAP_CSV).GetString(), "C:\\logs\\a.csv");
}

// ---- Overwrite questions ---------------------------------------------------

TEST_F(ConverterEngineTest, EveryExistingOutputIsAskedAboutBeforeAnyIsCreated)
{
    rig.files.SetFile(InLogs("run.csv"), "old csv");
    rig.files.SetFile(InLogs("run.kml"), "old kml");
    const std::map<std::string, std::string> before = Snapshot(rig.files);
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    prompter.Answer(IDYES);
    prompter.Answer(IDNO);
    ConverterOptions o = rig.options;
    o.overwrite = false;
    AllOutputs(o);
    EXPECT_EQ(engine.Open(o, &model), CONVERTER_OPEN_DECLINED);
    ASSERT_EQ(prompter.boxes.size(), 2u);
    EXPECT_EQ(prompter.boxes[0].text, "CSV file for this log already exists. Do you want to overwrite it and continue?");
    EXPECT_EQ(prompter.boxes[1].text, "KML file for this log already exists. Do you want to overwrite it and continue?");
    EXPECT_EQ(prompter.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_FALSE(engine.IsActive());
    EXPECT_FALSE(engine.HasFailed());
    EXPECT_EQ(Snapshot(rig.files), before);  // no temporary, no output touched
}

TEST_F(ConverterEngineTest, OutputsWithSuffixesAndSplitPartsAreAskedAboutToo)
{
    const std::string r = kRange;
    struct Case {
        const char* what;
        std::string existing;
        bool range;
        bool split;
        const char* extension;
    };
    const Case cases[] = {
        {"GGA", "run_nmea.txt", false, false, "TXT"},
        {"range map", "run_" + r + ".csv", true, false, "CSV"},
        {"range raw copy", "run_" + r + ".qbl", true, false, "QBL"},
        {"first split part", "run_001.xlx", false, true, "XLX"},
        {"CRC log beside the translation", "run_crcLog.txt", false, false, "TXT"},
    };
    for (const Case& c : cases) {
        for (int answer : {IDNO, IDYES}) {
            SCOPED_TRACE(std::string(c.what) + (answer == IDYES ? " yes" : " no"));
            rig.files.RemoveAllFiles();
            rig.files.SetFile(kInput, "");
            rig.files.SetFile(InLogs(c.existing), "old");
            ScriptedPrompter prompter;
            CPrompterScope scope(&prompter);
            prompter.Answer(answer);
            ConverterOptions o = rig.options;
            o.overwrite = false;
            AllOutputs(o);
            o.spreadsheetSplit = c.split;
            if (c.range) SetRange(o, 1400, 0, 1400, 86400);
            EXPECT_EQ(engine.Open(o, &model), answer == IDYES ? CONVERTER_OPEN_OK : CONVERTER_OPEN_DECLINED);
            ASSERT_EQ(prompter.boxes.size(), 1u);
            EXPECT_EQ(prompter.boxes[0].text.substr(0, 4), std::string(c.extension) + " ");
            engine.Finish();
            if (answer == IDNO) {
                EXPECT_EQ(rig.files.ListFiles().size(), 2u);
            }
        }
    }
}

TEST_F(ConverterEngineTest, OverwriteOptionReplacesWithoutAsking)
{
    rig.files.SetFile(InLogs("run.csv"), "old csv");
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    ConverterOptions o = rig.options;
    o.overwrite = true;
    o.mapCsv = true;
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    engine.Finish();
    EXPECT_TRUE(prompter.boxes.empty());
    EXPECT_EQ(rig.files.GetFileText(InLogs("run.csv")), "Longitude, Latitude, Name");
    EXPECT_FALSE(rig.files.Exists(InLogs("run.csv.replaced.part")));
}

// ---- Range -----------------------------------------------------------------

TEST_F(ConverterEngineTest, RangeComparesWeeksModulo1024AndBoundsAreInside)
{
    ConverterOptions o = rig.options;
    SetRange(o, 400, 0, 400, 86400);
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    struct Case {
        int32_t week, seconds;
        bool inside;
    };
    const Case cases[] = {{1424, 86400, true}, {1424, 86401, false}, {400, 0, true}, {399, 604799, false}};
    for (const Case& c : cases) EXPECT_EQ(engine.IsInRange(c.week, c.seconds), c.inside) << c.week << " " << c.seconds;
    // -1, -1: the model's fix decides.
    GiveFix(model, 1424, 86400.9);
    EXPECT_TRUE(engine.IsInRange(-1, -1));
    GiveFix(model, 1424, 86401.0);
    EXPECT_FALSE(engine.IsInRange(-1, -1));

    ConverterOptions none = rig.options;
    ASSERT_EQ(engine.Open(none, &model), CONVERTER_OPEN_OK);
    EXPECT_TRUE(engine.IsInRange(3, 7));
}

// ---- Routing ---------------------------------------------------------------

TEST_F(ConverterEngineTest, EventsReachTheOutputsTheLogsProtocolFeeds)
{
    struct Counts {
        size_t csv, placemarks, gga, rows;
        bool operator==(const Counts& o) const
        {
            return csv == o.csv && placemarks == o.placemarks && gga == o.gga && rows == o.rows;
        }
    };
    struct Case {
        const char* what;
        ProtocolKind kind;
        std::vector<int32_t> events;  // after each of two fixes
        bool outOfRange;
        Counts expected;
    };
    const Case cases[] = {
        {"QBIN position", PROTO_QBIN, {EV_POSITION_LLA}, false, {2, 2, 0, 0}},
        {"QBIN fix cycle", PROTO_QBIN, {EV_DGPS_MODE}, false, {0, 0, 2, 2}},
        {"QBIN both", PROTO_QBIN, {EV_POSITION_LLA, EV_DGPS_MODE}, false, {2, 2, 2, 2}},
        // The NMEA row is the fix before the latest one: the first has none.
        {"NMEA position", PROTO_NMEA, {EV_POSITION_LLA}, false, {2, 2, 2, 1}},
        {"NMEA ignores the QBIN cycle", PROTO_NMEA, {EV_DGPS_MODE}, false, {0, 0, 0, 0}},
        {"unknown protocol: map and GGA only", PROTO_NONE, {EV_FIX_REPORT}, false, {2, 2, 2, 0}},
        {"other events", PROTO_QBIN, {EV_VELOCITY_ENU, EV_HEALTH}, false, {0, 0, 0, 0}},
        {"outside the range", PROTO_QBIN, {EV_POSITION_LLA, EV_DGPS_MODE}, true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CModel fresh;  // no fix of an earlier case
        ConverterOptions o = rig.options;
        AllOutputs(o);
        o.textTranslation = false;
        SetRange(o, 1400, 0, 1400, 86400);
        ASSERT_EQ(engine.Open(o, &fresh), CONVERTER_OPEN_OK);
        engine.SetDetectedKind(c.kind);
        for (double tow : {100.0, 101.0}) {
            GiveFix(fresh, 1400, c.outOfRange ? tow + 86400.0 : tow);
            for (int32_t e : c.events) EXPECT_TRUE(engine.OnModelEvent(e));
        }
        const std::string sheet = rig.Output(CONVERTER_SPREADSHEET);
        const size_t sheetLines = Lines(sheet).size();
        const Counts got = {CountOf(rig.Output(CONVERTER_MAP_CSV), "\r\n"),
                            CountOf(rig.Output(CONVERTER_KML), "<Placemark>"),
                            CountOf(rig.Output(CONVERTER_GGA), "$GPGGA"),
                            sheetLines == 0 ? 0 : sheetLines - 1};
        EXPECT_EQ(got.csv, c.expected.csv);
        EXPECT_EQ(got.placemarks, c.expected.placemarks);
        EXPECT_EQ(got.gga, c.expected.gga);
        EXPECT_EQ(got.rows, c.expected.rows);
        // The map CSV is the primary output: its data lines are the count.
        EXPECT_EQ(engine.GetRecordCount(), static_cast<int32_t>(c.expected.csv));
        engine.Finish();
    }
}

TEST_F(ConverterEngineTest, KmlDocumentEndsWithOneFooterHoweverTheRunEnds)
{
    const char kFooter[] = "</kml>";
    struct Case {
        const char* what;
        bool endOfData;
        bool abort;
        bool destroy;
    };
    const Case cases[] = {
        {"end of data (outside the range), then finish", true, false, false},
        {"abort, then finish", false, true, false},
        {"abort after the end of data", true, true, false},
        {"engine destroyed", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.files.RemoveAllFiles();
        rig.files.SetFile(kInput, "");
        {
            CConverterEngine own;
            ConverterOptions o = rig.options;
            o.kml = true;
            SetRange(o, 1400, 0, 1400, 100);
            ASSERT_EQ(own.Open(o, &model), CONVERTER_OPEN_OK);
            own.SetDetectedKind(PROTO_QBIN);
            GiveFix(model, 1400, 50.0);
            own.OnModelEvent(EV_POSITION_LLA);
            GiveFix(model, 1400, 500.0);  // the end comes outside the range
            if (c.endOfData) {
                EXPECT_TRUE(own.OnModelEvent(EV_END_OF_DATA));
                EXPECT_TRUE(own.OnModelEvent(EV_END_OF_DATA));
            }
            if (c.abort) {
                own.Abort();
                EXPECT_TRUE(own.OnModelEvent(EV_END_OF_DATA));  // inactive: nothing
            }
            if (!c.destroy) own.Finish();
        }
        const std::string kml = rig.files.GetFileText(InLogs("run_1400-0_1400-100.kml"));
        EXPECT_EQ(CountOf(kml, kFooter), 1u);
        EXPECT_EQ(CountOf(kml, "<Placemark>"), 1u);
        EXPECT_EQ(kml.substr(kml.size() - 8), "</kml>\r\n");
    }
}

// ---- Translation -----------------------------------------------------------

TEST_F(ConverterEngineTest, TranslationFileStartsWithItsHeading)
{
    ConverterOptions o = rig.options;
    o.textTranslation = true;
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    EXPECT_EQ(rig.Translation(),
              "Data Converter -- Protocol Translator\r\n"
              "   Copyright (c) Velmara Systems. All rights reserved.\r\n"
              "   Velmara Systems\r\n");
}

TEST_F(ConverterEngineTest, TranslationTextGoesWhereItsFlagsSay)
{
    struct Case {
        const char* what;
        bool translation;
        bool dmPrefix;
        bool dm, crc;
        bool outOfRange;
        std::string text, crcLog;
    };
    const Case cases[] = {
        {"plain", true, true, false, false, false, "t", ""},
        {"DM with the prefix", true, true, true, false, false, "\r\nDM: t", ""},
        {"DM without the prefix", true, false, true, false, false, "\r\nt", ""},
        {"CRC failure", true, true, false, true, false, "", "t\r\n"},
        {"outside the range", true, true, true, false, true, "", ""},
        {"CRC failure outside the range", true, true, false, true, true, "", ""},
        {"no translation", false, true, true, false, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterOptions o = rig.options;
        o.mapCsv = true;
        o.textTranslation = c.translation;
        o.translationHeader = false;
        o.dmPrefix = c.dmPrefix;
        SetRange(o, 1400, 0, 1400, 86400);
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        GiveFix(model, 1400, c.outOfRange ? 90000.0 : 10.0);
        engine.WriteTranslationText("t", c.dm, c.crc);
        engine.WriteTranslationText("", c.dm, c.crc);  // empty: nothing, not even a line break
        EXPECT_EQ(rig.Translation(), c.text);
        EXPECT_EQ(rig.CrcLog(), c.crcLog);
        engine.Finish();
        EXPECT_EQ(rig.files.Exists(InLogs("run_crcLog.txt")), !c.crcLog.empty());
        rig.files.RemoveAllFiles();
        rig.files.SetFile(kInput, "");
    }
}

TEST_F(ConverterEngineTest, PacketHeadersMarkPacketsAndOpenEachTableOnce)
{
    ConverterOptions o = rig.options;
    o.textTranslation = true;
    o.translationHeader = false;
    o.packetId = true;
    o.blankLine = true;
    o.blankLinePacketId = "5c";
    o.blankLineSubcode = "zz";  // unreadable: any sub-code
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    const BYTE tracking[] = {0x5C, 0x01};
    const BYTE announcement[] = {0xAA, 0x00};
    const BYTE timing[] = {0x8F, 0xAB};
    engine.WritePacketHeader(tracking, 2);
    engine.WritePacketHeader(announcement, 2);
    engine.WritePacketHeader(tracking, 2);
    engine.WritePacketHeader(timing, 2);
    const std::string heading =
        "\r\nTracking Info\r\n  SV     C S Acq Eph   SNR     Time of Meas      TOW    Elev   Azim  Old Msec BadD DCol";
    EXPECT_EQ(rig.Translation(), "\r\n\r\nQBIN Pkt 0x5C" + heading + "\r\nQBIN Pkt 0xAA" +
                                     "\r\n\r\nQBIN Pkt 0x5C\r\nQBIN Pkt 0x8F-AB");
    // A decoder learns from the count whether it wrote anything.
    EXPECT_EQ(engine.GetTranslationBytes(), rig.Translation().size());
}

// ---- Spreadsheet parts -----------------------------------------------------

TEST_F(ConverterEngineTest, SplitSpreadsheetStartsEachPartWithItsHeader)
{
    struct Case {
        int32_t linesPerPart;
        int rows;
        std::vector<std::vector<std::string>> parts;  // first fields of each part's lines
    };
    const Case cases[] = {
        {3, 5, {{"Index", "1", "2"}, {"Index", "1", "2"}, {"Index", "1"}}},
        // The header alone never fills a part: one row each, and the run ends.
        {1, 3, {{"Index", "1"}, {"Index", "1"}, {"Index", "1"}}},
        {3, 2, {{"Index", "1", "2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linesPerPart);
        rig.files.RemoveAllFiles();
        rig.files.SetFile(kInput, "");
        ConverterOptions o = rig.options;
        o.spreadsheet = true;
        o.spreadsheetSplit = true;
        o.linesPerPart = c.linesPerPart;
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        engine.SetDetectedKind(PROTO_QBIN);
        for (int i = 0; i < c.rows; ++i) {
            GiveFix(model, 1400, 100.0 + i);
            ASSERT_TRUE(engine.OnModelEvent(EV_DGPS_MODE));
        }
        EXPECT_EQ(engine.GetRecordCount(), c.rows);
        engine.Finish();
        std::vector<std::string> names;
        if (c.parts.size() == 1) {
            names.push_back(InLogs("run.xlx"));
        } else {
            for (size_t p = 1; p <= c.parts.size(); ++p) names.push_back(InLogs("run_00" + std::to_string(p) + ".xlx"));
            EXPECT_FALSE(rig.files.Exists(InLogs("run.xlx")));
        }
        EXPECT_FALSE(rig.files.Exists(InLogs("run_00" + std::to_string(c.parts.size() + 1) + ".xlx")));
        for (size_t p = 0; p < names.size(); ++p) {
            std::vector<std::string> fields;
            for (const std::string& line : Lines(rig.files.GetFileText(names[p]))) fields.push_back(FirstField(line));
            EXPECT_EQ(fields, c.parts[p]) << names[p];
        }
        // Nothing but the input and the parts.
        EXPECT_EQ(rig.files.ListFiles().size(), names.size() + 1);
    }
}

TEST_F(ConverterEngineTest, SplitReplacesAnEarlierRunsFirstPart)
{
    rig.files.SetFile(InLogs("run_001.xlx"), "an earlier run");
    ConverterOptions o = rig.options;  // overwrite on: no question
    o.spreadsheet = true;
    o.spreadsheetSplit = true;
    o.linesPerPart = 2;
    ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
    engine.SetDetectedKind(PROTO_QBIN);
    for (int i = 0; i < 2; ++i) {
        GiveFix(model, 1400, 100.0 + i);
        engine.OnModelEvent(EV_DGPS_MODE);
    }
    engine.Finish();
    EXPECT_EQ(FirstField(Lines(rig.files.GetFileText(InLogs("run_001.xlx")))[0]), "Index");
    EXPECT_TRUE(rig.files.Exists(InLogs("run_002.xlx")));
}

// ---- Failures --------------------------------------------------------------

TEST_F(ConverterEngineTest, AFailingFileStopsTheRunAndLeavesEveryNameAsItWas)
{
    struct Case {
        const char* what;
        void (*fault)(MemoryFileBackend&);
        bool failsAtOpen;
        const char* failedFile;
        bool eventStops;  // an event's writing fails and says so
    };
    const Case cases[] = {
        {"every create refused",
         [](MemoryFileBackend& f) {
             for (const char* n : {"run.csv", "run.kml", "run_nmea.txt", "run.txt", "run.xlx"})
                 f.FailOpen(InLogs(n) + ".part");
         },
         true, "run.csv", false},
        {"third output not created", [](MemoryFileBackend& f) { f.FailOpen(InLogs("run_nmea.txt.part")); }, true,
         "run_nmea.txt", false},
        {"disk full in the KML", [](MemoryFileBackend& f) { f.FailWriteTo(InLogs("run.kml.part")); }, false,
         "run.kml", true},
        {"second part not opened", [](MemoryFileBackend& f) { f.FailOpen(InLogs("run_002.xlx.part")); }, false,
         "run_002.xlx", true},
        {"CRC log not created", [](MemoryFileBackend& f) { f.FailOpen(InLogs("run_crcLog.txt.part")); }, false,
         "run_crcLog.txt", false},
        {"final rename refused", [](MemoryFileBackend& f) { f.FailRename(InLogs("run.txt")); }, false, "run.txt",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.files.RemoveAllFiles();
        rig.files.ClearFaults();
        rig.files.SetFile(kInput, "recorded bytes");
        rig.files.SetFile(InLogs("run.csv"), "old csv");
        rig.files.SetFile(InLogs("run.kml"), "old kml");
        rig.files.SetFile(InLogs("run.txt"), "old text");
        const std::map<std::string, std::string> before = Snapshot(rig.files);
        c.fault(rig.files);

        ConverterOptions o = rig.options;
        AllOutputs(o);
        o.spreadsheetSplit = true;
        o.linesPerPart = 1;
        const int opened = engine.Open(o, &model);
        if (c.failsAtOpen) {
            EXPECT_EQ(opened, CONVERTER_OPEN_CANNOT_WRITE);
            EXPECT_FALSE(engine.IsActive());
        } else {
            ASSERT_EQ(opened, CONVERTER_OPEN_OK);
            engine.SetDetectedKind(PROTO_QBIN);
            engine.WriteTranslationText("CRC failure", false, true);
            // Enough placemarks to fill the KML's buffer: the disk runs full
            // while the run goes on, which stops it.
            bool stopped = false;
            for (int i = 0; i < 1000 && !stopped && engine.IsActive(); ++i) {
                GiveFix(model, 1400, 100.0 + i);
                stopped = !engine.OnModelEvent(EV_POSITION_LLA) || !engine.OnModelEvent(EV_DGPS_MODE);
            }
            EXPECT_EQ(stopped, c.eventStops);
            EXPECT_EQ(!engine.IsActive(), std::string(c.what) != "final rename refused");
            engine.Finish();
        }
        EXPECT_TRUE(engine.HasFailed());
        EXPECT_STREQ(engine.GetFailedFile().GetString(), InLogs(c.failedFile).c_str());
        EXPECT_EQ(Snapshot(rig.files), before);
        // A later run starts clean.
        rig.files.ClearFaults();
        ASSERT_EQ(engine.Open(o, &model), CONVERTER_OPEN_OK);
        EXPECT_FALSE(engine.HasFailed());
        EXPECT_EQ(engine.GetFailedFile(), "");
        engine.Finish();
    }
}
