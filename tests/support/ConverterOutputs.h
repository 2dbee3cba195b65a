#pragma once
// Reading a conversion's output files back, without the writers' code: the
// tests and the fuzz target find the files a conversion left, take each
// apart by its own rules (the map CSV's three fields, the KML placemarks and
// its one closing, the GGA sentences and their checksums, the spreadsheet's
// header and rows) and report the first thing that is not well formed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/MemoryFileBackend.h"

namespace convsupport {

const char kKmlFooter[] = "\r\n</Document>\r\n</Folder>\r\n</kml>\r\n";
const char kMapCsvHeader[] = "Longitude, Latitude, Name";
const char kTemporarySuffix[] = ".part";

// The files of one conversion, by kind. Spreadsheet parts in name order.
struct ConvertedFiles {
    bool hasCsv = false, hasKml = false, hasGga = false, hasText = false;
    std::string csv, kml, gga, text, crcLog;
    std::vector<std::string> spreadsheets;
    std::vector<std::string> spreadsheetNames;
    std::vector<std::string> temporaries;   // ".part" files still there
};

inline bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

inline std::string LowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Every file in the backend but the recording is an output of the
// conversion; which one its name tells (the backend holds one conversion).
inline ConvertedFiles CollectOutputs(const MemoryFileBackend& files, const std::string& inputPath)
{
    ConvertedFiles out;
    for (const std::string& name : files.ListFiles()) {
        const std::string lower = LowerCase(name);
        if (lower == LowerCase(inputPath)) continue;
        const std::string text = files.GetFileText(name);
        if (EndsWith(lower, kTemporarySuffix)) {
            out.temporaries.push_back(name);
        } else if (EndsWith(lower, ".csv")) {
            out.hasCsv = true;
            out.csv = text;
        } else if (EndsWith(lower, ".kml")) {
            out.hasKml = true;
            out.kml = text;
        } else if (EndsWith(lower, ".xlx")) {
            out.spreadsheets.push_back(text);
            out.spreadsheetNames.push_back(name);
        } else if (lower.find("_crclog") != std::string::npos) {
            out.crcLog = text;
        } else if (lower.find("_nmea") != std::string::npos && EndsWith(lower, ".txt")) {
            out.hasGga = true;
            out.gga = text;
        } else if (EndsWith(lower, ".txt")) {
            out.hasText = true;
            out.text = text;
        }
    }
    return out;
}

// ---- Lines and fields ------------------------------------------------------------

// Lines without their CR LF or LF; a last line without a line end counts too.
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

inline std::vector<std::string> SplitFields(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

inline size_t CountOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

inline bool ReadNumber(const std::string& text, double& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0';
}

// ---- Map CSV -------------------------------------------------------------------

struct CsvPosition {
    double longitudeSeconds;   // signed arc seconds, west and south negative
    double latitudeSeconds;
    std::string name;          // the fix time
};

// "ddd:mm:ss.hhH" -> signed arc seconds.
inline bool ReadDms(std::string text, char positive, char negative, double& seconds)
{
    while (!text.empty() && text[0] == ' ') text.erase(0, 1);
    if (text.size() < 2) return false;
    const char hemisphere = text.back();
    if (hemisphere != positive && hemisphere != negative) return false;
    text.pop_back();
    const std::vector<std::string> parts = SplitFields(text, ':');
    double d = 0, m = 0, s = 0;
    if (parts.size() != 3 || !ReadNumber(parts[0], d) || !ReadNumber(parts[1], m) || !ReadNumber(parts[2], s))
        return false;
    seconds = (d * 3600.0 + m * 60.0 + s) * (hemisphere == negative ? -1.0 : 1.0);
    return true;
}

inline bool ParseMapCsv(const std::string& csv, std::vector<CsvPosition>& rows, std::string& problem)
{
    const std::vector<std::string> lines = SplitLines(csv);
    if (lines.empty() || lines[0] != kMapCsvHeader) {
        problem = "the map CSV does not start with its header";
        return false;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = SplitFields(lines[i], ',');
        CsvPosition row;
        if (f.size() != 3 || !ReadDms(f[0], 'E', 'W', row.longitudeSeconds) ||
            !ReadDms(f[1], 'N', 'S', row.latitudeSeconds)) {
            problem = "map CSV line " + std::to_string(i + 1) + " is not three fields: " + lines[i];
            return false;
        }
        row.name = f[2].size() > 0 && f[2][0] == ' ' ? f[2].substr(1) : f[2];
        rows.push_back(row);
    }
    return true;
}

// ---- KML -------------------------------------------------------------------------

struct KmlPoint {
    long number;
    std::string timeOfDay;          // "hh:mm:ss"
    double longitude, latitude, altitude;   // from <coordinates>; altitude 0 when not given
};

inline std::string Between(const std::string& text, size_t from, const std::string& open,
                           const std::string& close, size_t* next = nullptr)
{
    const size_t a = text.find(open, from);
    if (a == std::string::npos) return std::string();
    const size_t b = text.find(close, a + open.size());
    if (b == std::string::npos) return std::string();
    if (next != nullptr) *next = b + close.size();
    return text.substr(a + open.size(), b - a - open.size());
}

inline bool ParseKml(const std::string& kml, std::vector<KmlPoint>& points, std::string& problem)
{
    if (kml.compare(0, 5, "<?xml") != 0) {
        problem = "the KML does not start with the XML declaration";
        return false;
    }
    if (CountOf(kml, "</kml>") != 1 || !EndsWith(kml, kKmlFooter)) {
        problem = "the KML does not end with exactly one closing";
        return false;
    }
    if (CountOf(kml, "<Placemark>") != CountOf(kml, "</Placemark>")) {
        problem = "a KML placemark is not closed";
        return false;
    }
    size_t at = 0;
    for (;;) {
        size_t next = 0;
        const std::string placemark = Between(kml, at, "<Placemark>", "</Placemark>", &next);
        if (next == 0) break;
        at = next;
        KmlPoint point;
        const std::string description = Between(placemark, 0, "<![CDATA[", "]]>");
        const size_t hash = description.find("Point no. #");
        const size_t br = description.find("<br></br>");
        point.number = hash == std::string::npos ? -1 : std::strtol(description.c_str() + hash + 11, nullptr, 10);
        point.timeOfDay = br == std::string::npos ? std::string() : description.substr(br + 9, 8);
        // Longitude, latitude and, when the fix has one, altitude.
        const std::vector<std::string> tuple = SplitFields(Between(placemark, 0, "<coordinates>", "</coordinates>"), ',');
        point.altitude = 0.0;
        if (tuple.size() < 2 || tuple.size() > 3 || !ReadNumber(tuple[0], point.longitude) ||
            !ReadNumber(tuple[1], point.latitude) || (tuple.size() == 3 && !ReadNumber(tuple[2], point.altitude))) {
            problem = "KML placemark " + std::to_string(points.size() + 1) + " has no coordinate tuple";
            return false;
        }
        if (point.number != static_cast<long>(points.size()) + 1) {
            problem = "KML placemarks are not numbered 1, 2, ...";
            return false;
        }
        points.push_back(point);
    }
    return true;
}

// ---- GGA -------------------------------------------------------------------------

struct GgaFix {
    std::string time;     // "hhmmss.ss"
    double latitude, longitude, altitude;   // degrees, metres (0 when the fix has none)
};

inline bool IsGgaChecksumValid(const std::string& sentence)
{
    const size_t star = sentence.rfind('*');
    if (sentence.empty() || sentence[0] != '$' || star == std::string::npos || star + 3 != sentence.size())
        return false;
    uint8_t sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<uint8_t>(sentence[i]);
    char hex[3];
    snprintf(hex, sizeof hex, "%02X", sum);
    return sentence.compare(star + 1, 2, hex) == 0;
}

// "ddmm.mmmm" and its hemisphere letter -> signed degrees.
inline bool ReadNmeaAngle(const std::string& value, const std::string& hemisphere, double& degrees)
{
    double v = 0;
    if (!ReadNumber(value, v) || hemisphere.size() != 1) return false;
    const double whole = static_cast<double>(static_cast<long>(v / 100.0));
    degrees = whole + (v - whole * 100.0) / 60.0;
    if (hemisphere == "S" || hemisphere == "W") degrees = -degrees;
    return true;
}

inline bool ParseGga(const std::string& text, std::vector<GgaFix>& fixes, std::string& problem)
{
    if (!text.empty() && !EndsWith(text, "\r\n")) {
        problem = "the GGA output does not end with CR LF";
        return false;
    }
    for (const std::string& line : SplitLines(text)) {
        const std::vector<std::string> f = SplitFields(line, ',');
        GgaFix fix;
        fix.altitude = 0.0;
        if (!IsGgaChecksumValid(line) || f.size() != 15 || f[0] != "$GPGGA" ||
            !ReadNmeaAngle(f[2], f[3], fix.latitude) || !ReadNmeaAngle(f[4], f[5], fix.longitude) ||
            (!f[9].empty() && !ReadNumber(f[9], fix.altitude))) {
            problem = "not a GGA sentence with a valid checksum: " + line;
            return false;
        }
        fix.time = f[1];
        fixes.push_back(fix);
    }
    return true;
}

// ---- Spreadsheet -------------------------------------------------------------------

inline char SeparatorOf(int32_t fieldSep) { return fieldSep == 1 ? ' ' : fieldSep == 2 ? ',' : '\t'; }

struct Spreadsheet {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    // The column of this header name, or -1.
    int ColumnOf(const std::string& name) const
    {
        for (size_t i = 0; i < header.size(); ++i) {
            if (header[i] == name) return static_cast<int>(i);
        }
        return -1;
    }
};

// One part: its header line, then rows with as many fields as the header.
inline bool ParseSpreadsheet(const std::string& text, int32_t fieldSep, Spreadsheet& sheet, std::string& problem)
{
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.empty()) return true;   // a part no row reached
    const char separator = SeparatorOf(fieldSep);
    sheet.header = SplitFields(lines[0], separator);
    if (sheet.header.empty() || sheet.header[0] != "Index") {
        problem = "the spreadsheet does not start with its header";
        return false;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitFields(lines[i], separator);
        if (fields.size() != sheet.header.size()) {
            problem = "spreadsheet row " + std::to_string(i) + " has " + std::to_string(fields.size()) +
                      " fields, its header " + std::to_string(sheet.header.size());
            return false;
        }
        sheet.rows.push_back(fields);
    }
    return true;
}

// ---- All at once -------------------------------------------------------------------

// "" when every output present is well formed and no temporary is left,
// else what is wrong first.
inline std::string FindMalformation(const ConvertedFiles& files, int32_t fieldSep)
{
    if (!files.temporaries.empty()) return "a temporary file is left: " + files.temporaries[0];
    std::string problem;
    std::vector<CsvPosition> rows;
    if (files.hasCsv && !ParseMapCsv(files.csv, rows, problem)) return problem;
    std::vector<KmlPoint> points;
    if (files.hasKml && !ParseKml(files.kml, points, problem)) return problem;
    std::vector<GgaFix> fixes;
    if (files.hasGga && !ParseGga(files.gga, fixes, problem)) return problem;
    for (const std::string& part : files.spreadsheets) {
        Spreadsheet sheet;
        if (!ParseSpreadsheet(part, fieldSep, sheet, problem)) return problem;
    }
    return std::string();
}

}  // namespace convsupport
