// Whole conversions of real and simulated recordings: the bytes through the
// frame handler, the decoders and the model to the converter engine and its
// writers, every output on, into files in memory. What the outputs say is
// checked against the recording itself, read here independently: a real
// receiver log's own GGA and RMC sentences, or the ground truth rxsim wrote
// beside its recording. Broken recordings (cut inside a frame, garbage, empty)
// must still leave well-formed files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/ConversionPipeline.h"
#include "support/ConverterOutputs.h"
#include "support/CorpusLogs.h"
#include "framework/CFile.h"
#include "framework/MemoryFileBackend.h"

namespace {

using namespace convsupport;
using corpuslogs::Bytes;
using corpuslogs::LogNames;
using corpuslogs::PathOf;
using corpuslogs::ReadBytes;
using corpuslogs::WithCrLf;

const double kDegreeTolerance = 1e-6;
const double kArcSecondTolerance = 0.01;
const double kSecondsPerDay = 86400.0;
const char kInputFolder[] = "C:\\conv\\";

// ---- The log's own fixes, read without the monitor's decoders -------------------------

struct StatedFix {
    double latitude, longitude;   // degrees
};

// Consecutive valid GGA/RMC sentences of one time of day: one fix.
struct LogEpoch {
    std::string time;             // "hhmmss.sss" as the log states it
    double secondsOfDay;
    std::vector<StatedFix> stated;
};

bool IsValidSentence(const std::string& line)
{
    const size_t star = line.rfind('*');
    if (line.size() < 7 || line[0] != '$' || star == std::string::npos || star + 3 != line.size()) return false;
    uint8_t sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<uint8_t>(line[i]);
    return std::strtoul(line.substr(star + 1).c_str(), nullptr, 16) == sum;
}

double SecondsOfDay(const std::string& hhmmss)
{
    if (hhmmss.size() < 6) return -1;
    const int h = std::atoi(hhmmss.substr(0, 2).c_str());
    const int m = std::atoi(hhmmss.substr(2, 2).c_str());
    return h * 3600.0 + m * 60.0 + std::atof(hhmmss.substr(4).c_str());
}

// A GGA with a fix quality and a position, or an RMC marked valid with one.
bool ReadStatedFix(const std::string& line, std::string& time, StatedFix& fix)
{
    if (!IsValidSentence(line)) return false;
    const std::vector<std::string> f = SplitFields(line.substr(0, line.rfind('*')), ',');
    if (f[0].size() != 6) return false;
    const std::string type = f[0].substr(3);
    size_t first = 0;
    if (type == "GGA" && f.size() > 6 && !f[6].empty() && f[6] != "0") {
        first = 2;
    } else if (type == "RMC" && f.size() > 6 && f[2] == "A") {
        first = 3;
    } else {
        return false;
    }
    time = f[1];
    return !time.empty() && ReadNmeaAngle(f[first], f[first + 1], fix.latitude) &&
           ReadNmeaAngle(f[first + 2], f[first + 3], fix.longitude);
}

std::vector<LogEpoch> ReadLogEpochs(const Bytes& log)
{
    std::vector<LogEpoch> epochs;
    for (const std::string& line : SplitLines(std::string(log.begin(), log.end()))) {
        std::string time;
        StatedFix fix;
        if (!ReadStatedFix(line, time, fix)) continue;
        if (epochs.empty() || epochs.back().time != time)
            epochs.push_back(LogEpoch{time, SecondsOfDay(time), {}});
        epochs.back().stated.push_back(fix);
    }
    return epochs;
}

bool IsStatedIn(const LogEpoch& epoch, double latitude, double longitude, double tolerance)
{
    for (const StatedFix& s : epoch.stated) {
        if (std::fabs(s.latitude - latitude) <= tolerance && std::fabs(s.longitude - longitude) <= tolerance)
            return true;
    }
    return false;
}

double DayTime(double seconds) { return std::fmod(std::fmod(seconds, kSecondsPerDay) + kSecondsPerDay, kSecondsPerDay); }

std::string ClockText(double secondsOfDay)
{
    const int s = static_cast<int>(secondsOfDay);
    char text[16];
    snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s % 3600 / 60, s % 60);
    return text;
}

// ---- Conversions ------------------------------------------------------------------

class ConvertCorpus : public ::testing::Test {
protected:
    void SetUp() override { CFile::SetBackend(&m_files); }
    void TearDown() override { CFile::SetBackend(nullptr); }

    // The recording converted with every output on; the files it left.
    ConvertedFiles Convert(const std::string& name, const Bytes& bytes, FeedMode feed = FEED_AS_READER)
    {
        const ConverterOptions options = EveryOutputOf(kInputFolder + name);
        m_files.RemoveAllFiles();
        ConversionPipeline pipeline(feed);
        const int opened = pipeline.Open(options);
        EXPECT_EQ(opened, 0) << name << ": the outputs were not created";
        if (opened == 0) {
            pipeline.Feed(bytes.data(), bytes.size());
            EXPECT_TRUE(pipeline.End()) << name << ": the conversion stopped before the end";
        }
        ConvertedFiles files = CollectOutputs(m_files, std::string(options.inputPath.GetString()));
        EXPECT_EQ(FindMalformation(files, options.fieldSep), "") << name;
        return files;
    }
    MemoryFileBackend m_files;
};

#define SKIP_WITHOUT_CORPUS() \
    if (LogNames().empty()) GTEST_SKIP() << "no corpus at " CORPUS_DIR

// The outputs of one NMEA log against the log's own fixes: one point per
// fix time, in the log's order, where the log put it.
void ExpectOutputsFollowLog(const ConvertedFiles& files, const std::vector<LogEpoch>& epochs)
{
    std::string problem;
    std::vector<KmlPoint> points;
    ASSERT_TRUE(ParseKml(files.kml, points, problem)) << problem;
    ASSERT_EQ(points.size(), epochs.size()) << "one placemark per fix time";
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("placemark " + std::to_string(i + 1) + " at " + epochs[i].time);
        EXPECT_EQ(points[i].timeOfDay, ClockText(epochs[i].secondsOfDay));
        EXPECT_TRUE(IsStatedIn(epochs[i], points[i].latitude, points[i].longitude, kDegreeTolerance))
            << points[i].latitude << ", " << points[i].longitude;
    }

    std::vector<GgaFix> gga;
    ASSERT_TRUE(ParseGga(files.gga, gga, problem)) << problem;
    ASSERT_EQ(gga.size(), epochs.size()) << "one GGA sentence per fix time";
    for (size_t i = 0; i < gga.size(); ++i) {
        SCOPED_TRACE("GGA " + std::to_string(i + 1) + " at " + epochs[i].time);
        EXPECT_NEAR(SecondsOfDay(gga[i].time), epochs[i].secondsOfDay, 0.005 + 1e-9);
        EXPECT_TRUE(IsStatedIn(epochs[i], gga[i].latitude, gga[i].longitude, kDegreeTolerance))
            << gga[i].latitude << ", " << gga[i].longitude;
    }

    std::vector<CsvPosition> rows;
    ASSERT_TRUE(ParseMapCsv(files.csv, rows, problem)) << problem;
    ASSERT_EQ(rows.size(), epochs.size()) << "one map CSV row per fix time";
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("map CSV row " + std::to_string(i + 1) + " at " + epochs[i].time);
        // The name of an NMEA fix is its time in milliseconds.
        double ms = -1;
        ASSERT_TRUE(ReadNumber(rows[i].name, ms)) << rows[i].name;
        EXPECT_NEAR(DayTime(ms / 1000.0), epochs[i].secondsOfDay, 0.001);
        LogEpoch inSeconds = epochs[i];
        for (StatedFix& s : inSeconds.stated) {
            s.latitude *= 3600.0;
            s.longitude *= 3600.0;
        }
        EXPECT_TRUE(IsStatedIn(inSeconds, rows[i].latitudeSeconds, rows[i].longitudeSeconds,
                               kArcSecondTolerance + 1e-9))
            << rows[i].latitudeSeconds << "\", " << rows[i].longitudeSeconds << "\"";
    }

    // The NMEA column set: each row describes a fix of the log, in order.
    ASSERT_EQ(files.spreadsheets.size(), 1u);
    Spreadsheet sheet;
    ASSERT_TRUE(ParseSpreadsheet(files.spreadsheets[0], 0, sheet, problem)) << problem;
    if (epochs.empty()) return;
    const int timeColumn = sheet.ColumnOf("TimeOfDay(s)");
    const int lonColumn = sheet.ColumnOf("lon(deg)");
    const int latColumn = sheet.ColumnOf("lat(deg)");
    ASSERT_TRUE(timeColumn >= 0 && lonColumn >= 0 && latColumn >= 0) << "not the NMEA column set";
    size_t epoch = 0;
    size_t positions = 0;
    for (const std::vector<std::string>& row : sheet.rows) {
        double time = 0, longitude = 0, latitude = 0;
        if (!ReadNumber(row[lonColumn], longitude) || !ReadNumber(row[latColumn], latitude)) continue;
        ASSERT_TRUE(ReadNumber(row[timeColumn], time)) << "row " << row[0];
        while (epoch < epochs.size() && std::fabs(DayTime(time) - epochs[epoch].secondsOfDay) > 0.05 + 1e-9) ++epoch;
        ASSERT_LT(epoch, epochs.size()) << "row " << row[0] << " at " << time << "s: no such fix time, or out of order";
        EXPECT_TRUE(IsStatedIn(epochs[epoch], latitude, longitude, kDegreeTolerance))
            << "row " << row[0] << ": " << latitude << ", " << longitude;
        ++positions;
    }
    EXPECT_GE(positions + 1, epochs.size()) << "the spreadsheet misses fixes";
}

TEST_F(ConvertCorpus, EveryRealLogGivesItsOwnFixesInEveryOutput)
{
    SKIP_WITHOUT_CORPUS();
    for (const std::string& name : LogNames()) {
        const Bytes stored = ReadBytes(PathOf(name));
        const std::vector<LogEpoch> epochs = ReadLogEpochs(stored);
        ConvertedFiles asStored;
        {
            SCOPED_TRACE(name + " as stored");
            asStored = Convert(name, stored);
            ExpectOutputsFollowLog(asStored, epochs);
        }
        SCOPED_TRACE(name + " with CR LF");
        const ConvertedFiles wire = Convert(name, WithCrLf(stored));
        ExpectOutputsFollowLog(wire, epochs);
        // Neither the line ends of the recording nor how its bytes reach the
        // frame handler change what the fixes make.
        const ConvertedFiles byteWise = Convert(name, stored, FEED_BYTE_BY_BYTE);
        for (const ConvertedFiles* other : {&wire, &byteWise}) {
            EXPECT_EQ(other->csv, asStored.csv);
            EXPECT_EQ(other->kml, asStored.kml);
            EXPECT_EQ(other->gga, asStored.gga);
            EXPECT_EQ(other->spreadsheets, asStored.spreadsheets);
        }
        EXPECT_EQ(byteWise.text, asStored.text);
    }
}

// ---- A simulated recording with faults --------------------------------------------

struct TruthFix {
    int32_t week;
    double tow;
    double latitude, longitude;   // degrees
};

// rxsim's ground truth: "week,tow,lat,lon,alt" per valid fix; the distinct ones.
std::vector<TruthFix> ReadTruth(const std::string& path)
{
    std::vector<TruthFix> fixes;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = SplitFields(line, ',');
        double week = 0;
        TruthFix fix;
        if (f.size() < 4 || !ReadNumber(f[0], week) || !ReadNumber(f[1], fix.tow) ||
            !ReadNumber(f[2], fix.latitude) || !ReadNumber(f[3], fix.longitude))
            continue;  // the header
        fix.week = static_cast<int32_t>(week);
        if (fixes.empty() || fixes.back().week != fix.week || fixes.back().tow != fix.tow) fixes.push_back(fix);
    }
    return fixes;
}

const char kSimulatedDrive[] = "qbin-drive-1";
// Garbage between frames, frames broken inside, frames failing their check
// and fixes that fail theirs (those are not in the truth).
const char kSimulatedFaults[] = "garbage,broken,bad,crc";

// A QBIN receiver's recording written by rxsim for the test, with garbage
// between frames, broken frames and CRC errors, and its ground truth.
bool GenerateRecording(Bytes& recording, std::vector<TruthFix>& truth)
{
    char folder[] = "/tmp/convert_corpus.XXXXXX";
    if (mkdtemp(folder) == nullptr) return false;
    const std::string out = std::string(folder) + "/sim.qbl";
    const std::string truthPath = std::string(folder) + "/sim.truth.csv";
    const std::string command = std::string("'") + RXSIM_PROGRAM + "' --generate " + kSimulatedDrive +
                                " --bytes 200000 --faults " + kSimulatedFaults + " --out '" + out + "' --truth '" +
                                truthPath + "' >/dev/null";
    const bool generated = std::system(command.c_str()) == 0;
    recording = ReadBytes(out);
    truth = ReadTruth(truthPath);
    std::remove(out.c_str());
    std::remove(truthPath.c_str());
    rmdir(folder);
    return generated && !recording.empty();
}

TEST_F(ConvertCorpus, ASimulatedRecordingWithFaultsGivesEachValidFixOfItsTruthOnce)
{
    Bytes recording;
    std::vector<TruthFix> truth;
    ASSERT_TRUE(GenerateRecording(recording, truth)) << "rxsim wrote no recording";
    ASSERT_GT(truth.size(), 10u);
    const ConvertedFiles files = Convert("sim.qbl", recording);
    std::string problem;

    std::vector<CsvPosition> rows;
    ASSERT_TRUE(ParseMapCsv(files.csv, rows, problem)) << problem;
    ASSERT_EQ(rows.size(), truth.size()) << "one map CSV row per valid fix";
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("map CSV row " + std::to_string(i + 1));
        double tow = -1;
        ASSERT_TRUE(ReadNumber(rows[i].name, tow)) << rows[i].name;   // a QBIN fix's name: its TOW
        EXPECT_NEAR(tow, truth[i].tow, 0.05);
        EXPECT_NEAR(rows[i].latitudeSeconds, truth[i].latitude * 3600.0, kArcSecondTolerance + 1e-9);
        EXPECT_NEAR(rows[i].longitudeSeconds, truth[i].longitude * 3600.0, kArcSecondTolerance + 1e-9);
    }

    std::vector<KmlPoint> points;
    ASSERT_TRUE(ParseKml(files.kml, points, problem)) << problem;
    ASSERT_EQ(points.size(), truth.size()) << "one placemark per valid fix";
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("placemark " + std::to_string(i + 1));
        EXPECT_EQ(points[i].timeOfDay, ClockText(DayTime(truth[i].tow)));
        EXPECT_NEAR(points[i].latitude, truth[i].latitude, kDegreeTolerance);
        EXPECT_NEAR(points[i].longitude, truth[i].longitude, kDegreeTolerance);
    }
    // The damaged frames were reported, not converted.
    EXPECT_FALSE(files.crcLog.empty()) << "no CRC error reached the CRC log";

    // Fed a byte at a time, every output is the same, down to the file
    // positions the broken-packet and CRC reports give.
    const ConvertedFiles byteWise = Convert("sim.qbl", recording, FEED_BYTE_BY_BYTE);
    EXPECT_EQ(byteWise.csv, files.csv);
    EXPECT_EQ(byteWise.kml, files.kml);
    EXPECT_EQ(byteWise.gga, files.gga);
    EXPECT_EQ(byteWise.spreadsheets, files.spreadsheets);
    EXPECT_EQ(byteWise.text, files.text);
    EXPECT_EQ(byteWise.crcLog, files.crcLog);
    EXPECT_NE(files.text.find("Broken packet"), std::string::npos) << "no broken packet reached the translation";
}

// ---- Broken recordings ---------------------------------------------------------

Bytes Garbage(size_t count)
{
    // Bytes that never make a frame: no start byte of any protocol.
    static const char kNoStart[] = "ghijklmnopqrstuvwxyz0123456789 .,;:\r\n";
    Bytes out;
    uint32_t state = 12345;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        out.push_back(static_cast<uint8_t>(kNoStart[(state >> 16) % (sizeof kNoStart - 1)]));
    }
    return out;
}

// A recording of fixes cut in the middle of its last sentence.
Bytes CutInsideAFrame()
{
    const std::string fixes =
        "$GPGGA,120000.00,4730.0000,N,12215.0000,W,1,08,1.3,100.0,M,,M,,*6D\r\n"
        "$GPGGA,120001.00,4730.0010,N,12215.0010,W,1,08,1.3,100.0,M,,M,,*6C\r\n"
        "$GPGGA,120002.00,4730.00";
    return Bytes(fixes.begin(), fixes.end());
}

TEST_F(ConvertCorpus, BrokenRecordingsStillGiveWellFormedOutputs)
{
    struct Case {
        const char* name;
        Bytes bytes;
        size_t fixes;
    };
    const Case cases[] = {
        {"empty.log", Bytes(), 0},
        {"garbage.log", Garbage(200000), 0},
        {"cut.log", CutInsideAFrame(), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConvertedFiles files = Convert(c.name, c.bytes);
        ASSERT_TRUE(files.hasCsv && files.hasKml && files.hasGga && files.hasText);
        std::string problem;
        std::vector<KmlPoint> points;
        ASSERT_TRUE(ParseKml(files.kml, points, problem)) << problem;
        EXPECT_EQ(points.size(), c.fixes);
        std::vector<GgaFix> gga;
        ASSERT_TRUE(ParseGga(files.gga, gga, problem)) << problem;
        EXPECT_EQ(gga.size(), c.fixes);
        std::vector<CsvPosition> rows;
        ASSERT_TRUE(ParseMapCsv(files.csv, rows, problem)) << problem;
        EXPECT_EQ(rows.size(), c.fixes);
    }
}

// ---- The readers these checks and the fuzz target rely on -------------------------

TEST(ConverterOutputReaders, RefuseEachWayAnOutputIsNotWellFormed)
{
    const std::string placemark =
        "<Placemark>\r\n <description> <![CDATA[Point no. #1\r\n <br></br>01:02:03\r\n]]>\r\n </description>\r\n"
        " <Point>\r\n  <coordinates>-122.25000000,47.50000000,100.000000</coordinates>\r\n </Point>\r\n"
        "</Placemark>\r\n";
    ConvertedFiles good;
    good.hasCsv = good.hasKml = good.hasGga = true;
    good.csv = std::string(kMapCsvHeader) + "\r\n122:15:00.00W, 47:30:00.00N, 3723250";
    good.kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml>\r\n" + placemark + kKmlFooter;
    good.gga = "$GPGGA,010203.75,4730.0000,N,12215.0000,W,1,08,1.3,100.0,M,,M,,*6C\r\n";
    good.spreadsheets = {"Index\tWeek\tTOW\r\n1\t1400\t0.00"};
    ASSERT_EQ(FindMalformation(good, 0), "");

    struct Case {
        const char* fault;
        void (*spoil)(ConvertedFiles&);
    };
    const Case cases[] = {
        {"KML closed twice", [](ConvertedFiles& f) { f.kml += kKmlFooter; }},
        {"KML not closed", [](ConvertedFiles& f) { f.kml.resize(f.kml.size() - 8); }},
        {"placemark cut", [](ConvertedFiles& f) { f.kml.insert(f.kml.find("</Placemark>"), "<Placemark>"); }},
        {"two-field CSV line", [](ConvertedFiles& f) { f.csv += "\r\n122:15:00.00W, 47:30:00.00N"; }},
        {"GGA checksum", [](ConvertedFiles& f) { f.gga[f.gga.size() - 3] = 'D'; }},
        {"GGA cut", [](ConvertedFiles& f) { f.gga.resize(f.gga.size() - 2); }},
        {"short spreadsheet row", [](ConvertedFiles& f) { f.spreadsheets[0] += "\r\n2\t1400"; }},
        {"temporary left", [](ConvertedFiles& f) { f.temporaries.push_back("run.csv.part"); }},
    };
    for (const Case& c : cases) {
        ConvertedFiles spoilt = good;
        c.spoil(spoilt);
        EXPECT_NE(FindMalformation(spoilt, 0), "") << c.fault;
    }
}

}  // namespace
