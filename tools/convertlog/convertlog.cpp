// convertlog: the monitor's data conversion as a native command, for the
// checks that hand its outputs to independent readers (XML, GDAL, gpsbabel,
// CSV). Each recording is read in blocks and converted on one thread by the
// same pipeline the tests use (frame handler, decoders, model, converter
// engine and writers); the outputs are written beside it, replacing any
// that exist.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/ConversionPipeline.h"

namespace {

const char kUsage[] =
    "usage: convertlog [-csv] [-kml] [-nmea] [-txt] [-xlx] [-split_lines=N] [-fill_1hz]\n"
    "                  [-range=WEEK:TOW-WEEK:TOW] RECORDING...\n"
    "Writes the chosen outputs of each recording beside it (every output when none\n"
    "is chosen). Exit 0 when every recording converted, 1 when one did not, 2 on\n"
    "a usage error.\n";

enum : int { EXIT_CONVERTED = 0, EXIT_NOT_CONVERTED = 1, EXIT_USAGE = 2 };

bool StartsWith(const char* text, const char* start) { return std::strncmp(text, start, std::strlen(start)) == 0; }

// "-range=W:T-W:T" -> the processing range.
bool ReadRange(const char* text, ConverterOptions& options)
{
    int startWeek = 0, startTow = 0, endWeek = 0, endTow = 0;
    if (std::sscanf(text, "%d:%d-%d:%d", &startWeek, &startTow, &endWeek, &endTow) != 4) return false;
    options.rangeOn = true;
    options.startWeek = startWeek;
    options.startTimeOfWeek = startTow;
    options.endWeek = endWeek;
    options.endTimeOfWeek = endTow;
    return true;
}

// Reads the arguments into the options; false on anything unknown.
bool ReadArguments(int argc, char** argv, ConverterOptions& options, std::vector<std::string>& inputs)
{
    bool chosen = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        struct Switch {
            const char* name;
            bool ConverterOptions::*flag;
        };
        static const Switch kOutputs[] = {
            {"-csv", &ConverterOptions::mapCsv},          {"-kml", &ConverterOptions::kml},
            {"-nmea", &ConverterOptions::nmeaGga},        {"-txt", &ConverterOptions::textTranslation},
            {"-xlx", &ConverterOptions::spreadsheet},
        };
        bool known = false;
        for (const Switch& s : kOutputs) {
            if (std::strcmp(a, s.name) == 0) {
                options.*s.flag = true;
                chosen = known = true;
            }
        }
        if (known) continue;
        if (std::strcmp(a, "-fill_1hz") == 0) {
            options.fill1Hz = true;
        } else if (StartsWith(a, "-split_lines=")) {
            options.spreadsheetSplit = true;
            options.linesPerPart = std::atoi(a + std::strlen("-split_lines="));
        } else if (StartsWith(a, "-range=")) {
            if (!ReadRange(a + std::strlen("-range="), options)) return false;
        } else if (a[0] == '-') {
            return false;
        } else {
            inputs.push_back(a);
        }
    }
    if (!chosen) {
        options.mapCsv = options.kml = options.nmeaGga = options.textTranslation = options.spreadsheet = true;
    }
    return !inputs.empty();
}

bool ConvertOne(const std::string& path, ConverterOptions options)
{
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "%s: cannot be opened\n", path.c_str());
        return false;
    }
    options.inputPath = path.c_str();
    convsupport::ConversionPipeline pipeline;
    const int opened = pipeline.Open(options);
    if (opened != 0) {
        std::fprintf(stderr, "%s: outputs not created (%d): %s\n", path.c_str(), opened,
                     pipeline.GetEngine().GetFailedFile().GetString());
        std::fclose(in);
        return false;
    }
    std::vector<uint8_t> block(convsupport::kReadBlock);
    size_t n = 0;
    while ((n = std::fread(block.data(), 1, block.size(), in)) > 0 && pipeline.Feed(block.data(), n)) {
    }
    std::fclose(in);
    const int32_t records = pipeline.GetEngine().GetRecordCount();
    const bool completed = pipeline.End();
    if (!completed || pipeline.GetEngine().HasFailed()) {
        std::fprintf(stderr, "%s: conversion failed: could not write %s\n", path.c_str(),
                     pipeline.GetEngine().GetFailedFile().GetString());
        return false;
    }
    std::printf("%s: %d records\n", path.c_str(), static_cast<int>(records));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    ConverterOptions options;
    options.overwrite = true;
    std::vector<std::string> inputs;
    if (!ReadArguments(argc, argv, options, inputs)) {
        std::fputs(kUsage, stderr);
        return EXIT_USAGE;
    }
    int failed = 0;
    for (const std::string& input : inputs) {
        if (!ConvertOne(input, options)) ++failed;
    }
    return failed == 0 ? EXIT_CONVERTED : EXIT_NOT_CONVERTED;
}
